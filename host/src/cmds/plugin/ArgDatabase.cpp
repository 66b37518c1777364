// MArgDatabase: objects and object-naming arguments read into selection lists.
#include <maya/MArgDatabase.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>

#include "cmds/plugin/CommandApi.h"

using kxh::mel::Value;

namespace {

// Adds each name of the value (a string array adds every element). Fails on the first name that matches
// nothing.
MStatus addNames(const Value& v, MSelectionList& list) {
    for (const std::string& name : v.asStringArray()) {
        MStatus st = list.add(MString(name));
        if (!st) return st;
    }
    return MS::kSuccess;
}

}  // namespace

MStatus MArgDatabase::getFlagArgument(const char* flag, unsigned int index, MSelectionList& result) const {
    const kxh::ParsedData& d = kxh::CommandApi::data(*this);
    if (!d.ok || !flag) return MS::kFailure;
    auto uses = d.usesOf(flag);
    if (uses.empty() || index >= uses[0]->args.size()) return MS::kFailure;
    return addNames(uses[0]->args[index], result);
}

MStatus MArgDatabase::getCommandArgument(unsigned int index, MSelectionList& result) const {
    const kxh::ParsedData& d = kxh::CommandApi::data(*this);
    if (!d.ok || index >= d.commandArgs.size()) return MS::kFailure;
    return addNames(d.commandArgs[index], result);
}

MStatus MArgDatabase::getObjects(MSelectionList& result) const {
    const kxh::ParsedData& d = kxh::CommandApi::data(*this);
    if (!d.ok) return MS::kFailure;
    result.clear();
    if (d.objects.empty() && d.syntax.selectionAsDefault) return MGlobal::getActiveSelectionList(result);
    for (const Value& v : d.objects) {
        MStatus st = addNames(v, result);
        if (!st) return st;
    }
    return MS::kSuccess;
}
