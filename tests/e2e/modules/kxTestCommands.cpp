// A small plug-in exercising the command API end to end: an undoable command with flags, query mode and
// a multi-use flag; failing commands; a command that runs MEL itself; and registrations that must fail.
#include <maya/MArgDatabase.h>
#include <maya/MArgList.h>
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MPxCommand.h>
#include <maya/MPxNode.h>
#include <maya/MStringArray.h>
#include <maya/MSyntax.h>
#include <maya/MTypeId.h>

namespace {

int counter = 0;            // what kxtCounter edits (and undo restores)
bool refuseUnload = false;  // kxtRefuseUnload: makes uninitializePlugin fail
MStringArray initReport;    // outcomes of the registrations made to fail in initializePlugin

// kxtCounter [-a int] [-p x y z]... [-l string] | -q -v
// Adds the amount (default 1) plus the sum of all -p components; returns the new value. -l labels the
// result: the command then returns "label=value".
class CounterCmd : public MPxCommand {
public:
    static void* creator() { return new CounterCmd; }
    static MSyntax newSyntax() {
        MSyntax s;
        s.addFlag("a", "amount", MSyntax::kLong);
        s.addFlag("-p", "-point", MSyntax::kDouble, MSyntax::kDouble, MSyntax::kDouble);
        s.makeFlagMultiUse("p");
        s.addFlag("l", "label", MSyntax::kString);
        s.addFlag("v", "value");
        s.enableQuery(true);
        return s;
    }

    MStatus doIt(const MArgList& args) override {
        MStatus st;
        MArgDatabase db(syntax(), args, &st);
        if (!st) return st;
        if (db.isQuery()) {
            query_ = true;
            if (db.isFlagSet("v")) setResult(counter);
            return MS::kSuccess;
        }
        delta_ = 1;
        if (db.isFlagSet("amount") && !db.getFlagArgument("a", 0, delta_)) return MS::kFailure;
        for (unsigned i = 0; i < db.numberOfFlagUses("p"); ++i) {
            MArgList point;
            db.getFlagArgumentList("p", i, point);
            for (unsigned k = 0; k < point.length(); ++k) delta_ += int(point.asDouble(k));
        }
        if (db.isFlagSet("l")) db.getFlagArgument("l", 0, label_);
        return redoIt();
    }
    MStatus redoIt() override {
        counter += delta_;
        if (label_.length())
            setResult(label_ + "=" + counter);
        else
            setResult(counter);
        return MS::kSuccess;
    }
    MStatus undoIt() override {
        counter -= delta_;
        return MS::kSuccess;
    }
    bool isUndoable() const override { return !query_; }

private:
    bool query_ = false;
    int delta_ = 0;
    MString label_;
};

// kxtFail [-quiet]: fails; with its own error message unless -quiet.
class FailCmd : public MPxCommand {
public:
    static void* creator() { return new FailCmd; }
    static MSyntax newSyntax() {
        MSyntax s;
        s.addFlag("qu", "quiet");
        return s;
    }
    MStatus doIt(const MArgList& args) override {
        if (args.flagIndex("qu", "quiet") == MArgList::kInvalidArgIndex)
            displayError("kxtFail: deliberate failure");
        return MS::kFailure;
    }
};

// kxtEval "mel": runs the MEL through MGlobal and returns its string-array result with its own result
// appended ("mel result..., done").
class EvalCmd : public MPxCommand {
public:
    static void* creator() { return new EvalCmd; }
    MStatus doIt(const MArgList& args) override {
        MStringArray inner;
        MStatus st = MGlobal::executeCommand(args.asString(0), inner, false, true);
        if (!st) {
            displayError("kxtEval: the command failed");
            return st;
        }
        for (unsigned i = 0; i < inner.length(); ++i) appendToResult(inner[i]);
        appendToResult("done");
        return MS::kSuccess;
    }
};

// kxtInitReport: what the registrations made to fail in initializePlugin returned.
class InitReportCmd : public MPxCommand {
public:
    static void* creator() { return new InitReportCmd; }
    MStatus doIt(const MArgList&) override {
        setResult(initReport);
        return MS::kSuccess;
    }
};

// kxtRefuseUnload 0|1
class RefuseUnloadCmd : public MPxCommand {
public:
    static void* creator() { return new RefuseUnloadCmd; }
    static MSyntax newSyntax() {
        MSyntax s;
        s.addArg(MSyntax::kBoolean);
        return s;
    }
    MStatus doIt(const MArgList& args) override {
        MStatus st;
        MArgDatabase db(syntax(), args, &st);
        if (!st) return st;
        return db.getCommandArgument(0, refuseUnload);
    }
};

class ContextCmd : public MPxCommand {
public:
    static void* creator() { return new ContextCmd; }
};

class TestNode : public MPxNode {
public:
    static void* creator() { return new TestNode; }
    static MStatus initialize() { return MS::kSuccess; }
    static const MTypeId id;
};
const MTypeId TestNode::id(0x7F001);

void report(const char* what, const MStatus& st) {
    initReport.append(MString(what) + (st ? "=ok" : "=failed"));
}

}  // namespace

PLUGIN_EXPORT MStatus initializePlugin(MObject obj) {
    MFnPlugin plugin(obj, "Kestrix Tests", "1.0", "Any");
    initReport.clear();
    counter = 0;
    MStatus st = plugin.registerCommand("kxtCounter", CounterCmd::creator, CounterCmd::newSyntax);
    if (!st) return st;
    plugin.registerCommand("kxtFail", FailCmd::creator, FailCmd::newSyntax);
    plugin.registerCommand("kxtEval", EvalCmd::creator);
    plugin.registerCommand("kxtInitReport", InitReportCmd::creator);
    plugin.registerCommand("kxtRefuseUnload", RefuseUnloadCmd::creator, RefuseUnloadCmd::newSyntax);
    plugin.registerContextCommand("kxtContext", ContextCmd::creator, "kxtContextTool", ContextCmd::creator);
    plugin.registerUI("kxtCreateUI", "kxtDeleteUI");
    report("node", plugin.registerNode("kxtNode", TestNode::id, TestNode::creator, TestNode::initialize));

    report("duplicateCommand", plugin.registerCommand("kxtCounter", CounterCmd::creator));
    report("builtinCommand", plugin.registerCommand("loadPlugin", CounterCmd::creator));
    report("duplicateContext", plugin.registerContextCommand("kxtContext", ContextCmd::creator));
    report("unknownCommand", plugin.deregisterCommand("kxtNoSuchCommand"));
    report("unknownContext", plugin.deregisterContextCommand("kxtNoSuchContext"));
    report("duplicateNodeId",
           plugin.registerNode("kxtOtherNode", TestNode::id, TestNode::creator, TestNode::initialize));
    report("duplicateNodeName",
           plugin.registerNode("kxtNode", MTypeId(0x7F002), TestNode::creator, TestNode::initialize));
    report("unknownNode", plugin.deregisterNode(MTypeId(0x7F003)));
    initReport.append(MString("vendor=") + plugin.vendor() + " version=" + plugin.version() +
                      " name=" + plugin.name());
    return MS::kSuccess;
}

PLUGIN_EXPORT MStatus uninitializePlugin(MObject obj) {
    MFnPlugin plugin(obj);
    if (refuseUnload) return MS::kFailure;
    MStatus st = plugin.deregisterContextCommand("kxtContext", "kxtContextTool");
    if (!st) return st;
    st = plugin.deregisterNode(TestNode::id);
    if (!st) return st;
    for (const char* name : {"kxtRefuseUnload", "kxtInitReport", "kxtEval", "kxtFail", "kxtCounter"}) {
        st = plugin.deregisterCommand(name);
        if (!st) return st;
    }
    return MS::kSuccess;
}
