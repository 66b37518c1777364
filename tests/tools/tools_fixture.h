#pragma once
// Shared set-up for the tool tests: a fresh session per test, and a small plug-in registered from inside
// the host ("kxtTools") with one context command whose context writes down every call it receives, and an
// undoable tool command that adds to a counter.
#include <gtest/gtest.h>
#include <maya/MArgDatabase.h>
#include <maya/MArgList.h>
#include <maya/MCursor.h>
#include <maya/MEvent.h>
// The test program is no plug-in module: no MApiVersion symbol.
#define MNoVersionString
#include <maya/MFnPlugin.h>
#include <maya/MObject.h>
#include <maya/MPxContextCommand.h>
#include <maya/MPxSelectionContext.h>
#include <maya/MPxToolCommand.h>
#include <maya/MSyntax.h>

#include <string>
#include <vector>

#include "cmds/Session.h"
#include "cmds/plugin/PluginHost.h"
#include "cmds/tools/Tools.h"
#include "foundation/Output.h"
#include "graph/core/Scene.h"
#include "support/session.h"

namespace kxt {

// What the test context saw, one line per call: "setup 10 20", "press 10 20 left shift", "cleanup".
inline std::vector<std::string>& calls() {
    static std::vector<std::string> c;
    return c;
}
inline int& counter() {
    static int c = 0;
    return c;
}
inline int& toolCommandsAlive() {
    static int n = 0;
    return n;
}

// kxtCountToolCmd [-d int]: adds the amount to the counter; undo takes it back.
class CountToolCmd : public MPxToolCommand {
public:
    CountToolCmd() { ++toolCommandsAlive(); }
    ~CountToolCmd() override { --toolCommandsAlive(); }
    static void* creator() { return new CountToolCmd; }
    static MSyntax newSyntax() {
        MSyntax s;
        s.addFlag("d", "delta", MSyntax::kLong);
        return s;
    }
    MStatus doIt(const MArgList& args) override {
        MStatus st;
        MArgDatabase db(syntax(), args, &st);
        if (!st) return st;
        if (db.isFlagSet("d")) db.getFlagArgument("d", 0, delta);
        return redoIt();
    }
    MStatus redoIt() override {
        counter() += delta;
        return MS::kSuccess;
    }
    MStatus undoIt() override {
        counter() -= delta;
        return MS::kSuccess;
    }
    bool isUndoable() const override { return true; }
    MStatus finalize() override {
        MArgList line;
        line.addArg(commandString());
        line.addArg(MString("-d"));
        line.addArg(delta);
        return doFinalize(line);
    }
    int delta = 1;
};

// The test context: logs every call; a left release with Ctrl commits a tool command adding `amount`, one
// with Ctrl+Shift makes a tool command and leaves it unfinalized. The base class handles what it passes on.
class RecordContext : public MPxSelectionContext {
public:
    void toolOnSetup(MEvent& event) override {
        short x, y;
        event.getPosition(x, y);
        MStatus st;
        event.mouseButton(&st);
        calls().push_back("setup " + std::to_string(x) + " " + std::to_string(y) + (st ? " button" : ""));
        setTitleString("Record Tool");
        setImage("recordTool.bmp", kImage1);
        setCursor(MCursor::editCursor);
    }
    void toolOffCleanup() override { calls().push_back("cleanup"); }
    MStatus doPress(MEvent& e) override {
        log("press", e);
        return passToBase ? MPxSelectionContext::doPress(e) : MS::kSuccess;
    }
    MStatus doDrag(MEvent& e) override {
        log("drag", e);
        return passToBase ? MPxSelectionContext::doDrag(e) : MS::kSuccess;
    }
    MStatus doHold(MEvent& e) override {
        log("hold", e);
        return passToBase ? MPxSelectionContext::doHold(e) : MS::kSuccess;
    }
    MStatus doRelease(MEvent& e) override {
        if (e.mouseButton() == MEvent::kLeftMouse && e.isModifierControl()) {
            calls().push_back("commit");
            auto* cmd = static_cast<CountToolCmd*>(newToolCommand());
            if (!cmd) return MS::kFailure;
            lastToolCommandString = cmd->commandString().str();
            if (e.isModifierShift()) return MS::kSuccess;  // left unfinalized
            cmd->delta = amount;
            cmd->redoIt();
            return cmd->finalize();
        }
        log("release", e);
        return passToBase ? MPxSelectionContext::doRelease(e) : MS::kSuccess;
    }
    void completeAction() override { calls().push_back("complete"); }
    void deleteAction() override { calls().push_back("delete"); }
    void abortAction() override { calls().push_back("abort"); }

    // What the base selection class reports during a gesture.
    bool selecting() { return isSelecting(); }
    MPoint start() { return startPoint(); }

    int amount = 1;
    bool passToBase = false;
    std::string lastToolCommandString;

private:
    void log(const char* what, MEvent& e) {
        short x, y;
        e.getPosition(x, y);
        std::string line = std::string(what) + " " + std::to_string(x) + " " + std::to_string(y);
        line += e.mouseButton() == MEvent::kLeftMouse     ? " left"
                : e.mouseButton() == MEvent::kMiddleMouse ? " middle"
                                                          : " ?";
        if (e.isModifierShift()) line += " shift";
        if (e.isModifierControl()) line += " ctrl";
        if (e.isModifierNone()) line += " none";
        calls().push_back(line);
    }
};

// kxtRecordContext [-lb label] [-amt int] [-base bool]: makes RecordContext objects; -q -lb / -q -amt.
class RecordContextCmd : public MPxContextCommand {
public:
    static void* creator() { return new RecordContextCmd; }
    MPxContext* makeObj() override { return context = new RecordContext; }
    MStatus appendSyntax() override {
        MSyntax s = syntax();
        s.addFlag("lb", "label", MSyntax::kString);
        s.addFlag("amt", "amount", MSyntax::kLong);
        s.addFlag("bs", "base", MSyntax::kBoolean);
        return MS::kSuccess;
    }
    MStatus doEditFlags() override {
        MArgParser p = parser();
        if (p.isFlagSet("lb")) p.getFlagArgument("lb", 0, label);
        if (p.isFlagSet("amt")) p.getFlagArgument("amt", 0, context->amount);
        if (p.isFlagSet("bs")) p.getFlagArgument("bs", 0, context->passToBase);
        if (label == "fail") return MS::kFailure;
        return MS::kSuccess;
    }
    MStatus doQueryFlags() override {
        MArgParser p = parser();
        if (p.isFlagSet("lb")) setResult(label);
        if (p.isFlagSet("amt")) setResult(context->amount);
        return MS::kSuccess;
    }
    RecordContext* context = nullptr;
    MString label;
};

class ToolsTest : public ::testing::Test {
protected:
    void SetUp() override {
        kxh::output().setEcho(false);
        kxh::output().clear();
        kxh::Scene::current().reset();
        kxh::session().reset();
        calls().clear();
        counter() = 0;
    }
    void TearDown() override {
        if (kxh::PluginHost::instance().find("kxtTools")) {
            std::string error;
            kxh::PluginHost::instance().unload("kxtTools", error);
        }
        kxh::session().reset();
    }

    // Registers the test plug-in's context command (and its tool command).
    static void registerTestTools() {
        kxh::PluginHost::Scope scope("kxtTools");
        MObject obj;
        MFnPlugin plugin(obj, "Kestrix Tests", "1.0", "Any");
        ASSERT_TRUE(plugin.registerContextCommand("kxtRecordContext", RecordContextCmd::creator,
                                                  "kxtCountToolCmd", CountToolCmd::creator,
                                                  CountToolCmd::newSyntax));
    }
    static RecordContext* context(const std::string& name) {
        kxh::ContextRecord* rec = kxh::tools::findContext(name);
        return rec ? dynamic_cast<RecordContext*>(rec->context.get()) : nullptr;
    }

    static kxh::mel::Value mel(const std::string& text) { return kxtest::melOk(text); }
    static std::string melError(const std::string& text) { return kxtest::melFails(text); }
    static kxh::mel::UndoQueue& undoQueue() { return kxh::session().interpreter().undoQueue(); }
};

}  // namespace kxt
