// MGlobal: MEL execution from C++, script output, selection lists and application state.
#include <maya/MDagPath.h>
#include <maya/MDoubleArray.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <optional>

#include "cmds/plugin/CommandApi.h"
#include "cmds/plugin/PluginHost.h"
#include "foundation/Output.h"
#include "graph/api/ApiObject.h"
#include "graph/core/Scene.h"
#include "mel/Interpreter.h"

using kxh::mel::Value;

namespace {

// Runs MEL for the API. Without undoEnabled the undo queue records nothing for this call (and whatever
// it runs): the effects stay but cannot be undone, as in the host.
bool run(const MString& command, bool displayEnabled, bool undoEnabled, Value* result) {
    kxh::mel::Interpreter& interp = kxh::hostInterpreter();
    std::optional<kxh::mel::UndoQueue::Suspend> suspend;
    if (!undoEnabled) suspend.emplace(interp.undoQueue());
    if (displayEnabled) kxh::output().print(command.str() + "\n");
    kxh::mel::Interpreter::Status st = interp.execute(command.str());
    if (!st.ok) return false;
    if (displayEnabled && !st.result.isNone()) kxh::output().result(st.result.toString());
    if (result) *result = std::move(st.result);
    return true;
}

// Runs MEL whose result an int or double array takes: each element converted by `asArray`. A result that
// is neither nothing nor numbers is an invalid parameter.
template <class Array, class Element>
MStatus runForNumbers(const MString& command, bool displayEnabled, bool undoEnabled, Array& result,
                      std::vector<Element> (Value::*asArray)() const) {
    Value v;
    if (!run(command, displayEnabled, undoEnabled, &v)) return MS::kFailure;
    using K = Value::Kind;
    K k = Value::elementKind(v.kind());
    if (!v.isNone() && k != K::Int && k != K::Float) return MS::kInvalidParameter;
    result.clear();
    for (Element x : (v.*asArray)()) result.append(x);
    return MS::kSuccess;
}

bool isNumber(const Value& v, double& out) {
    if (!v.isNumber()) return false;
    out = v.asFloat();
    return true;
}

}  // namespace

MGlobal::MMayaState MGlobal::mayaState(MStatus* ReturnStatus) {
    if (ReturnStatus) *ReturnStatus = MS::kSuccess;
    return kBatch;
}

MString MGlobal::mayaVersion() {
    return MString("2011");
}
int MGlobal::apiVersion() {
    return MAYA_API_VERSION;
}

MStatus MGlobal::executeCommand(const MString& command, bool displayEnabled, bool undoEnabled) {
    return run(command, displayEnabled, undoEnabled, nullptr) ? MS::kSuccess : MS::kFailure;
}

MStatus MGlobal::executeCommand(const MString& command, int& result, bool displayEnabled, bool undoEnabled) {
    Value v;
    if (!run(command, displayEnabled, undoEnabled, &v)) return MS::kFailure;
    double d;
    if (!isNumber(v, d)) return MS::kInvalidParameter;
    result = int(v.asInt());
    return MS::kSuccess;
}

MStatus MGlobal::executeCommand(const MString& command, double& result, bool displayEnabled,
                                bool undoEnabled) {
    Value v;
    if (!run(command, displayEnabled, undoEnabled, &v)) return MS::kFailure;
    double d;
    if (!isNumber(v, d)) return MS::kInvalidParameter;
    result = d;
    return MS::kSuccess;
}

MStatus MGlobal::executeCommand(const MString& command, MString& result, bool displayEnabled,
                                bool undoEnabled) {
    Value v;
    if (!run(command, displayEnabled, undoEnabled, &v)) return MS::kFailure;
    if (v.isArray()) return MS::kInvalidParameter;
    result = MString(v.asString());
    return MS::kSuccess;
}

MStatus MGlobal::executeCommand(const MString& command, MStringArray& result, bool displayEnabled,
                                bool undoEnabled) {
    Value v;
    if (!run(command, displayEnabled, undoEnabled, &v)) return MS::kFailure;
    result.clear();
    for (const std::string& s : v.asStringArray()) result.append(MString(s));
    return MS::kSuccess;
}

MStatus MGlobal::executeCommand(const MString& command, MIntArray& result, bool displayEnabled,
                                bool undoEnabled) {
    return runForNumbers(command, displayEnabled, undoEnabled, result, &Value::asIntArray);
}

MStatus MGlobal::executeCommand(const MString& command, MDoubleArray& result, bool displayEnabled,
                                bool undoEnabled) {
    return runForNumbers(command, displayEnabled, undoEnabled, result, &Value::asFloatArray);
}

MString MGlobal::executeCommandStringResult(const MString& command, bool displayEnabled, bool undoEnabled,
                                            MStatus* ReturnStatus) {
    Value v;
    bool ok = run(command, displayEnabled, undoEnabled, &v);
    if (ReturnStatus) *ReturnStatus = ok ? MS::kSuccess : MS::kFailure;
    return ok ? MString(v.toString()) : MString();
}

MStatus MGlobal::executeCommandOnIdle(const MString& command, bool displayEnabled) {
    kxh::queueIdleCommand(command.str(), displayEnabled);
    return MS::kSuccess;
}

MStatus MGlobal::sourceFile(const MString& fileName) {
    return kxh::hostInterpreter().executeFile(fileName.str()).ok ? MS::kSuccess : MS::kFailure;
}

void MGlobal::displayInfo(const MString& theMessage) {
    kxh::output().info(theMessage.str());
}
void MGlobal::displayWarning(const MString& theWarning) {
    kxh::output().warning(theWarning.str());
}
void MGlobal::displayError(const MString& theError) {
    kxh::output().error(theError.str());
    kxh::noteErrorShown();
}

namespace {

kxh::SelectionList toCore(const MSelectionList& list) {
    kxh::SelectionList r;
    for (const auto& item : list.items()) r.add(item);
    return r;
}

void fromCore(const kxh::SelectionList& src, MSelectionList& dest) {
    dest.clear();
    for (const auto& item : src.items())
        if (item.node && item.node->alive()) dest.items().push_back(item);
}

}  // namespace

MStatus MGlobal::getActiveSelectionList(MSelectionList& dest, bool) {
    fromCore(kxh::Scene::current().activeSelection(), dest);
    return MS::kSuccess;
}

MStatus MGlobal::setActiveSelectionList(const MSelectionList& src, ListAdjustment listAdjustment) {
    kxh::Scene::current().setActiveSelection(toCore(src), kxh::ListAdjust(int(listAdjustment)));
    return MS::kSuccess;
}

MStatus MGlobal::getHiliteList(MSelectionList& dest) {
    fromCore(kxh::Scene::current().hiliteList(), dest);
    return MS::kSuccess;
}

MStatus MGlobal::setHiliteList(MSelectionList& src) {
    kxh::Scene::current().setHiliteList(toCore(src), kxh::ListAdjust::Replace);
    return MS::kSuccess;
}

MStatus MGlobal::getSelectionListByName(const MString& name, MSelectionList& list) {
    list.clear();
    return list.add(name);
}

MStatus MGlobal::selectByName(const MString& name, ListAdjustment listAdjustment) {
    MSelectionList list;
    MStatus st = list.add(name);
    if (!st) return st;
    return setActiveSelectionList(list, listAdjustment);
}

MStatus MGlobal::select(const MObject& object, ListAdjustment listAdjustment) {
    MSelectionList list;
    MStatus st = list.add(object);
    if (!st) return st;
    return setActiveSelectionList(list, listAdjustment);
}

MStatus MGlobal::select(const MDagPath& object, const MObject& component, ListAdjustment listAdjustment) {
    MSelectionList list;
    MStatus st = list.add(object, component);
    if (!st) return st;
    return setActiveSelectionList(list, listAdjustment);
}

MStatus MGlobal::unselect(const MObject& object) {
    return select(object, kRemoveFromList);
}

MStatus MGlobal::clearSelectionList() {
    kxh::Scene::current().setActiveSelection(kxh::SelectionList(), kxh::ListAdjust::Replace);
    return MS::kSuccess;
}

MStatus MGlobal::deleteNode(MObject& node) {
    kxh::NodePtr n = kxh::nodeOf(node);
    if (!n) return MS::kInvalidParameter;
    std::string error;
    return kxh::Scene::current().deleteNode(*n, &error) ? MS::kSuccess : MS::kFailure;
}
