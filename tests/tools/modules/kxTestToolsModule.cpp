// A plug-in module with one tool: its context runs a 10 ms timer while it is the current tool (as the
// plug-in's tools do for their hover feedback), counting ticks that kxtModuleTicks reports. Made with
// "kxtModuleContext -leak 1", the context forgets to remove its timer at clean-up, so the host must not
// call into the module once it is unloaded.
#include <maya/MArgParser.h>
#include <maya/MEvent.h>
#include <maya/MFnPlugin.h>
#include <maya/MMessage.h>
#include <maya/MPxCommand.h>
#include <maya/MPxContext.h>
#include <maya/MPxContextCommand.h>
#include <maya/MSyntax.h>
#include <maya/MTimerMessage.h>

namespace {

int ticks = 0;

void tick(float, float, void*) {
    ++ticks;
}

class TimerContext : public MPxContext {
public:
    void toolOnSetup(MEvent&) override {
        setTitleString("Module Tool");
        timer = MTimerMessage::addTimerCallback(0.01f, tick, this);
    }
    void toolOffCleanup() override {
        if (!leak) MMessage::removeCallback(timer);
        timer = 0;
    }
    MCallbackId timer = 0;
    bool leak = false;
};

class TimerContextCmd : public MPxContextCommand {
public:
    static void* creator() { return new TimerContextCmd; }
    MPxContext* makeObj() override { return context = new TimerContext; }
    MStatus appendSyntax() override {
        MSyntax s = syntax();
        return s.addFlag("lk", "leak", MSyntax::kBoolean);
    }
    MStatus doEditFlags() override {
        MArgParser p = parser();
        if (p.isFlagSet("lk")) p.getFlagArgument("lk", 0, context->leak);
        return MS::kSuccess;
    }
    TimerContext* context = nullptr;
};

class TicksCmd : public MPxCommand {
public:
    static void* creator() { return new TicksCmd; }
    MStatus doIt(const MArgList&) override {
        setResult(ticks);
        return MS::kSuccess;
    }
};

}  // namespace

PLUGIN_EXPORT MStatus initializePlugin(MObject obj) {
    MFnPlugin plugin(obj, "Kestrix Tests", "1.0", "Any");
    MStatus st = plugin.registerCommand("kxtModuleTicks", TicksCmd::creator);
    if (!st) return st;
    return plugin.registerContextCommand("kxtModuleContext", TimerContextCmd::creator);
}

PLUGIN_EXPORT MStatus uninitializePlugin(MObject obj) {
    MFnPlugin plugin(obj);
    plugin.deregisterContextCommand("kxtModuleContext");
    return plugin.deregisterCommand("kxtModuleTicks");
}
