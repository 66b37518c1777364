// Tool contexts end to end: context commands made through MFnPlugin, the current tool and its switches,
// events reaching the context, tool commands on the undo queue, the base selection context, and what
// deregistering a context command takes with it.
#include <maya/M3dView.h>
#include <maya/MGlobal.h>
#include <maya/MPoint.h>
#include <maya/MSelectionList.h>

#include "cmds/tools/ToolsApi.h"
#include "tools_fixture.h"

namespace kxt {
namespace {

using Lines = std::vector<std::string>;

TEST_F(ToolsTest, ContextCommandCreatesNamedContextsAndRoutesQueryAndEditToTheirCommand) {
    registerTestTools();
    EXPECT_EQ(mel("kxtRecordContext").asString(), "kxtRecordContext1");
    EXPECT_EQ(mel("kxtRecordContext -lb first").asString(), "kxtRecordContext2");
    EXPECT_EQ(mel("kxtRecordContext -amt 7 myRecorder").asString(), "myRecorder");
    EXPECT_NE(melError("kxtRecordContext myRecorder").find("not unique"), std::string::npos);

    // Creation flags went to doEditFlags of the command that made the context; queries reach the same one.
    EXPECT_EQ(mel("kxtRecordContext -q -lb kxtRecordContext2").asString(), "first");
    EXPECT_EQ(mel("kxtRecordContext -q -amt myRecorder").asInt(), 7);
    mel("kxtRecordContext -e -lb second -amt 3 kxtRecordContext2");
    EXPECT_EQ(mel("kxtRecordContext -q -lb kxtRecordContext2").asString(), "second");
    EXPECT_EQ(context("kxtRecordContext2")->amount, 3);
    EXPECT_EQ(mel("kxtRecordContext -q -lb kxtRecordContext1").asString(), "");

    // The host's own flags.
    EXPECT_EQ(mel("kxtRecordContext -ex myRecorder").asInt(), 1);
    EXPECT_EQ(mel("kxtRecordContext -q -ex nothingHere").asInt(), 0);
    EXPECT_EQ(mel("kxtRecordContext -ex selectSuperContext").asInt(), 0);  // not one of its contexts
    mel("kxtRecordContext -e -i2 \"alt.png\" myRecorder");
    EXPECT_EQ(mel("kxtRecordContext -q -i2 myRecorder").asString(), "alt.png");
    EXPECT_EQ(mel("contextInfo -i2 myRecorder").asString(), "alt.png");

    // Mistakes are refused.
    melError("kxtRecordContext -q -lb");
    melError("kxtRecordContext -e -lb x noSuchContext");
    melError("kxtRecordContext -zz 1");
    EXPECT_TRUE(kxh::output().contains(kxh::OutputKind::Error, "Invalid flag"));
    // A failing doEditFlags at creation leaves no context behind.
    melError("kxtRecordContext -lb fail broken");
    EXPECT_EQ(mel("contextInfo -ex broken").asInt(), 0);
}

TEST_F(ToolsTest, SetToolToSwitchesWithCleanupThenSetupAndContextInfoDescribesTools) {
    registerTestTools();
    EXPECT_EQ(mel("currentCtx").asString(), "selectSuperContext");
    EXPECT_EQ(mel("contextInfo -t selectSuperContext").asString(), "Select Tool");
    EXPECT_EQ(mel("contextInfo -ex tumbleContext").asInt(), 1);
    mel("kxtRecordContext a; kxtRecordContext b");
    mel("kxhViewCursor 30 40");

    mel("setToolTo a");
    EXPECT_EQ(mel("currentCtx").asString(), "a");
    EXPECT_EQ(calls(), (Lines{"setup 30 40"}));  // the cursor's place, no button
    EXPECT_EQ(mel("contextInfo -t `currentCtx`").asString(), "Record Tool");
    EXPECT_EQ(mel("contextInfo -c a").asString(), "kxtRecordContext");
    EXPECT_EQ(mel("contextInfo -i1 a").asString(), "recordTool.bmp");
    EXPECT_EQ(kxh::cursorName(kxh::ContextAccess::cursor(*context("a"))), "editCursor");

    mel("setToolTo a");  // already the tool: nothing happens
    EXPECT_EQ(calls().size(), 1u);
    mel("setToolTo b");
    EXPECT_EQ(calls(), (Lines{"setup 30 40", "cleanup", "setup 30 40"}));
    mel("setToolTo selectSuperContext");
    EXPECT_EQ(calls().back(), "cleanup");
    EXPECT_NE(melError("setToolTo nowhere").find("does not exist"), std::string::npos);
    EXPECT_EQ(mel("currentCtx").asString(), "selectSuperContext");
    EXPECT_EQ(mel("contextInfo -ex nowhere").asInt(), 0);
    melError("contextInfo -t nowhere");
}

TEST_F(ToolsTest, EventsReachTheCurrentToolInOrderWithPositionsButtonsAndModifiers) {
    registerTestTools();
    mel("setToolTo `kxtRecordContext`");
    calls().clear();
    mel("kxhPress 100 50");
    mel("kxhDrag 103 52");
    mel("kxhDrag -sh 110 60");
    mel("kxhHold");
    mel("kxhRelease -sh -ct 111 61");
    mel("kxhPress -b middle -ct 5 6");
    mel("kxhRelease");
    EXPECT_EQ(calls(),
              (Lines{"press 100 50 left none", "drag 103 52 left none", "drag 110 60 left shift",
                     "hold 110 60 left none", "commit", "press 5 6 middle ctrl", "release 5 6 middle none"}));
    // The cursor follows the events (port position, origin at the bottom left).
    EXPECT_EQ(mel("kxhViewCursor -q").asIntArray(), (std::vector<long>{5, 6}));

    // Keys reach the actions.
    calls().clear();
    mel("kxhToolKey complete; kxhToolKey delete; kxhToolKey abort");
    EXPECT_EQ(calls(), (Lines{"complete", "delete", "abort"}));

    // The right button belongs to the host: the context sees nothing, but the cursor moves.
    calls().clear();
    mel("kxhPress -b right 200 210; kxhDrag 201 211; kxhRelease");
    EXPECT_TRUE(calls().empty());
    EXPECT_EQ(mel("kxhViewCursor -q").asIntArray(), (std::vector<long>{201, 211}));

    // A drag, hold or release needs a pressed button, and a press needs the previous one released.
    melError("kxhDrag 1 1");
    melError("kxhRelease");
    mel("kxhPress 1 1");
    EXPECT_NE(melError("kxhPress 2 2").find("already pressed"), std::string::npos);
    mel("kxhRelease");
    melError("kxhPress -b top 1 1");
    melError("kxhPress");
}

TEST_F(ToolsTest, EventsInAnotherPanelFocusItFirst) {
    registerTestTools();
    mel("setToolTo `kxtRecordContext`");
    calls().clear();
    mel("kxhPress -p modelPanel1 7 8; kxhRelease");
    EXPECT_EQ(calls(), (Lines{"press 7 8 left none", "release 7 8 left none"}));
    EXPECT_EQ(mel("kxhViewCursor -q -p modelPanel1").asIntArray(), (std::vector<long>{7, 8}));
    EXPECT_EQ(mel("paneLayout -q -pane1 viewPanes").asString(), "modelPanel1");
    melError("kxhPress -p noPanel 1 1");
}

TEST_F(ToolsTest, FinalizedToolCommandIsOneUndoStepThatUndoAndRedoReverse) {
    registerTestTools();
    mel("kxtRecordContext -amt 5 adder; setToolTo adder");
    undoQueue().clear();
    const int alive = toolCommandsAlive();

    std::string error;
    kxh::tools::MouseEvent e;
    e.x = 10;
    e.y = 10;
    ASSERT_TRUE(kxh::tools::sendMouseEvent(e, error)) << error;
    e.kind = kxh::tools::EventKind::Release;
    e.ctrl = true;
    ASSERT_TRUE(kxh::tools::sendMouseEvent(e, error)) << error;
    EXPECT_EQ(counter(), 5);
    EXPECT_EQ(context("adder")->lastToolCommandString, "kxtCountToolCmd");
    ASSERT_EQ(undoQueue().size(), 1u);
    EXPECT_EQ(undoQueue().undoName(), "kxtCountToolCmd -d 5");
    EXPECT_EQ(toolCommandsAlive(), alive + 1);  // kept by the queue

    mel("undo");
    EXPECT_EQ(counter(), 0);
    mel("redo");
    EXPECT_EQ(counter(), 5);
    // A second gesture is a second step.
    mel("kxhPress 1 1; kxhRelease -ct");
    EXPECT_EQ(counter(), 10);
    EXPECT_EQ(undoQueue().size(), 2u);
    mel("undo; undo");
    EXPECT_EQ(counter(), 0);

    // With the queue off the command is done but not kept, and the host deletes it.
    mel("undoInfo -st off");
    mel("kxhPress 1 1; kxhRelease -ct");
    EXPECT_EQ(counter(), 5);
    mel("kxhPress 1 1; kxhRelease");  // the next event is a safe point to delete it
    EXPECT_EQ(toolCommandsAlive(), alive);
    mel("undoInfo -st on");
}

TEST_F(ToolsTest, UnfinalizedToolCommandsAreDeletedWhenTheToolIsSwitchedOff) {
    registerTestTools();
    mel("setToolTo `kxtRecordContext`");
    const int alive = toolCommandsAlive();
    mel("kxhPress 1 1; kxhRelease -sh -ct");  // newToolCommand without finalize
    EXPECT_EQ(toolCommandsAlive(), alive + 1);
    EXPECT_EQ(undoQueue().size(), 0u);
    mel("setToolTo selectSuperContext");
    EXPECT_EQ(toolCommandsAlive(), alive);
}

TEST_F(ToolsTest, ToolCommandAndFinalizeRulesWithoutAContext) {
    registerTestTools();
    // The tool command is a MEL command of its own, undoable like any plug-in command.
    undoQueue().clear();
    mel("kxtCountToolCmd -d 4");
    EXPECT_EQ(counter(), 4);
    mel("undo");
    EXPECT_EQ(counter(), 0);

    // finalize works once; a cancelled command cannot be finalized.
    auto* once = new CountToolCmd;
    once->setCommandString("kxtCountToolCmd");
    EXPECT_TRUE(once->finalize());
    EXPECT_FALSE(once->finalize());
    auto* cancelled = new CountToolCmd;
    EXPECT_TRUE(cancelled->cancel());
    EXPECT_FALSE(cancelled->finalize());
    delete cancelled;
}

TEST_F(ToolsTest, BaseSelectionContextSelectsByClickWithTheModifierConventions) {
    mel("polyCube -n boxA; polyCube -n boxB; move -r 4 0 0 boxB");
    mel("viewPlace -eye 2 0 30 -la 2 0 0 -p");
    MSelectionList list;
    // Find the port positions of the two boxes' centres.
    M3dView view = M3dView::active3dView();
    short ax, ay, bx, by;
    ASSERT_TRUE(view.worldToView(MPoint(0, 0, 0.5), ax, ay));
    ASSERT_TRUE(view.worldToView(MPoint(4, 0, 0.5), bx, by));
    auto click = [&](short x, short y, const std::string& mods) {
        mel("kxhPress " + mods + " " + std::to_string(x) + " " + std::to_string(y));
        mel("kxhRelease " + mods);
    };
    auto selected = [&] { return mel("ls -sl").asStringArray(); };
    EXPECT_EQ(mel("currentCtx").asString(), "selectSuperContext");
    click(ax, ay, "");
    EXPECT_EQ(selected(), (std::vector<std::string>{"boxA"}));
    click(bx, by, "-sh -ct");  // add
    EXPECT_EQ(selected(), (std::vector<std::string>{"boxA", "boxB"}));
    click(ax, ay, "-sh");  // toggle
    EXPECT_EQ(selected(), (std::vector<std::string>{"boxB"}));
    click(bx, by, "-ct");  // remove
    EXPECT_TRUE(selected().empty());
    click(bx, by, "");
    click(5, 5, "");  // empty space replaces with nothing
    EXPECT_TRUE(selected().empty());
    // Middle clicks do not select.
    mel("kxhPress -b middle " + std::to_string(ax) + " " + std::to_string(ay) + "; kxhRelease");
    EXPECT_TRUE(selected().empty());

    // A plug-in context that passes its events on gets the same behaviour, and the gesture state.
    registerTestTools();
    mel("setToolTo `kxtRecordContext -bs 1`");
    RecordContext* ctx = context("kxtRecordContext1");
    mel("kxhPress " + std::to_string(ax) + " " + std::to_string(ay));
    EXPECT_TRUE(ctx->selecting());
    EXPECT_EQ(ctx->start().x, ax);
    mel("kxhRelease");
    EXPECT_FALSE(ctx->selecting());
    EXPECT_EQ(selected(), (std::vector<std::string>{"boxA"}));
}

TEST_F(ToolsTest, DeregisteringTheContextCommandTakesItsContextsAndCommandsAway) {
    registerTestTools();
    mel("kxtRecordContext keep; setToolTo keep");
    calls().clear();
    std::string error;
    ASSERT_TRUE(kxh::PluginHost::instance().unload("kxtTools", error)) << error;
    EXPECT_EQ(calls(), (Lines{"cleanup"}));  // the current tool was switched off first
    EXPECT_EQ(mel("currentCtx").asString(), "selectSuperContext");
    EXPECT_EQ(mel("contextInfo -ex keep").asInt(), 0);
    melError("kxtRecordContext");
    melError("kxtCountToolCmd");

    // Registering again works, and a name taken by a command is refused.
    registerTestTools();
    EXPECT_EQ(mel("kxtRecordContext").asString(), "kxtRecordContext1");
    kxh::PluginHost::Scope scope("kxtTools");
    MObject obj;
    MFnPlugin plugin(obj);
    EXPECT_FALSE(plugin.registerContextCommand("ls", RecordContextCmd::creator));
    EXPECT_FALSE(plugin.registerContextCommand("kxtOther", RecordContextCmd::creator, "select",
                                               CountToolCmd::creator));
}

}  // namespace
}  // namespace kxt
