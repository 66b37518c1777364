// Every undoable scene command is one step: undo brings back the exact scene dump from before it, redo
// the exact dump from after it (names of recreated nodes included), and a failing command leaves nothing
// on the queue.
#include "scene_fixture.h"

namespace {

struct UndoCase {
    const char* name;
    const char* setup;  // run before the measured command (after a cube and a sphere exist)
    const char* command;
};

const UndoCase kCases[] = {
    {"polyCube", "", "polyCube"},
    {"polyCubeNoHistory", "", "polyCube -ch 0 -n box -w 2"},
    {"polyPlane", "", "polyPlane -sx 2 -sy 3"},
    {"polySphere", "", "polySphere -r 2 -sa 6 -sh 4"},
    {"selectComponents", "select pCube1", "select pCube1.vtx[0:2] pSphere1.f[3]"},
    {"selectToggle", "select pCube1.e[0:4]", "select -tgl pCube1.e[2:6]"},
    {"hilite", "", "hilite pCube1"},
    {"deleteTransform", "select pCube1.vtx[1]", "delete pCube1"},
    {"deleteShapeTakesTransform", "", "delete pCubeShape1"},
    {"deleteCreator", "", "delete polyCube1"},
    {"deleteHistoryOfTweakedMesh", "setAttr pCubeShape1.pnts[2] 0 1 0", "delete -ch pCube1"},
    {"renameFree", "", "rename pCube1 box"},
    {"renameTaken", "", "rename pCube1 pSphere1"},
    {"createNodeTransform", "", "createNode transform -n grp -p pCube1"},
    {"createNodeShape", "", "createNode mesh"},
    {"setAttrScalar", "", "setAttr pCube1.translateX 3"},
    {"setAttrCompound", "", "setAttr pCube1.rotate 10 20 30"},
    {"setAttrPnts", "", "setAttr pCubeShape1.pnts[3] 1 2 3"},
    {"setAttrCreator", "", "setAttr polyCube1.subdivisionsWidth 3"},
    {"setAttrTyped", "addAttr -ln note -dt \"string\" pCube1",
     "setAttr -type \"string\" pCube1.note \"hello\""},
    {"setAttrIntArray", "addAttr -ln ids -dt Int32Array pCube1",
     "setAttr pCube1.ids -type Int32Array 3 4 5 6"},
    {"connectAttr", "", "connectAttr pCube1.translateX pSphere1.translateY"},
    {"connectAttrForce", "connectAttr pCube1.tx pSphere1.tx", "connectAttr -f pCube1.ty pSphere1.tx"},
    {"disconnectAttr", "", "disconnectAttr polyCube1.output pCubeShape1.inMesh"},
    {"addAttrDouble", "", "addAttr -ln weight -at double -min 0 -max 1 -dv 0.5 pCube1"},
    {"addAttrMessageMulti", "", "addAttr -ln links -at message -m pCubeShape1"},
    {"addAttrCompoundLast",
     "addAttr -ln pos -at double3 pCube1; addAttr -ln posX -at double -p pos pCube1; "
     "addAttr -ln posY -at double -p pos pCube1",
     "addAttr -ln posZ -at double -p pos pCube1"},
    {"deleteAttr", "addAttr -ln foo -at long pCube1; setAttr pCube1.foo 4", "deleteAttr pCube1.foo"},
    {"parentKeepsWorld", "setAttr pSphere1.tx 5; setAttr pSphere1.ry 45", "parent pCube1 pSphere1"},
    {"parentToWorld", "setAttr pSphere1.tx 5; parent pCube1 pSphere1", "parent -w pCube1"},
    {"duplicate", "setAttr pCubeShape1.pnts[0] 0 0 1; setAttr pCube1.tz 2", "duplicate pCube1"},
    {"setsCreate", "select pSphere1", "sets -n mySet pCube1"},
    {"setsForceElement", "sets -n mySet -em", "sets -e -fe mySet pSphere1 pCube1"},
    {"setsRemove", "sets -n mySet pCube1 pSphere1", "sets -rm mySet pCube1"},
    {"xform", "", "xform -ws -t 1 2 3 pCube1"},
    {"moveObject", "", "move -r 0 1 0 pCube1"},
    {"moveComponents", "", "move -r 1 0 0 pCube1.vtx[0:3] pSphere1.f[0]"},
    {"importFile", "", "file -import \"/usr/share/assimp/models/OBJ/box.obj\""},
};

class SceneUndoTest : public SceneCmdTest, public ::testing::WithParamInterface<UndoCase> {};

TEST_P(SceneUndoTest, UndoAndRedoRestoreExactScene) {
    const UndoCase& c = GetParam();
    mel("polyCube; polySphere -sa 8 -sh 6; select -cl");
    if (*c.setup) mel(c.setup);
    auto& queue = kxh::session().interpreter().undoQueue();
    const size_t steps = queue.size();
    const std::string before = dump();
    mel(c.command);
    const std::string after = dump();
    ASSERT_NE(before, after) << c.command << " changed nothing";
    EXPECT_EQ(queue.size(), steps + 1) << c.command << " is not exactly one undo step";
    ASSERT_TRUE(undo());
    checkScene(std::string("undo of ") + c.command);
    EXPECT_EQ(before, dump()) << "undo of " << c.command;
    ASSERT_TRUE(redo());
    checkScene(std::string("redo of ") + c.command);
    EXPECT_EQ(after, dump()) << "redo of " << c.command;
    ASSERT_TRUE(undo());
    EXPECT_EQ(before, dump()) << "second undo of " << c.command;
}

INSTANTIATE_TEST_SUITE_P(Commands, SceneUndoTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<UndoCase>& info) {
                             return std::string(info.param.name);
                         });

// A failing command rolls back what it did before failing and adds no undo step.
TEST_F(SceneCmdTest, FailingCommandsLeaveNoTrace) {
    mel("polyCube; polySphere; select pCube1");
    auto& queue = kxh::session().interpreter().undoQueue();
    const size_t steps = queue.size();
    // The first object is reparented before the second one fails.
    melError("parent pCube1 pSphere1 polyCube1");
    melError("duplicate pCube1 nothing");
    melError("delete pCube1 nothing");
    melError("setAttr pCube1.tx");
    melError("setAttr pCube1.t 1 2");
    melError("setAttr pCube1.nothing 1");
    melError("connectAttr pCube1.tx");
    melError("polyCube -sx 0");
    melError("polyCube -bogus 1");
    melError("rename nothing other");
    melError("addAttr -ln tx -at double pCube1");
    melError("createNode noSuchType");
    EXPECT_EQ(queue.size(), steps);
}

// Redo of a creating command brings the node back under its name even when that name is free again
// only because the creation was undone.
TEST_F(SceneCmdTest, RedoRecreatesUnderSameNames) {
    std::vector<std::string> made = melStrings("polyCube");
    ASSERT_EQ(made, (std::vector<std::string>{"pCube1", "polyCube1"}));
    ASSERT_TRUE(undo());
    EXPECT_EQ(melInt("objExists pCube1"), 0);
    ASSERT_TRUE(redo());
    EXPECT_EQ(melString("nodeType pCubeShape1"), "mesh");
    EXPECT_EQ(melStrings("listConnections -p 1 pCubeShape1.inMesh"),
              (std::vector<std::string>{"polyCube1.output"}));
    EXPECT_EQ(melInt("polyEvaluate -v pCube1"), 8);
}

// Undoing a creation takes the node out of the active and hilite lists even when it entered them outside
// any command (as an API call does), the way deleting it would.
TEST_F(SceneCmdTest, UndoneCreationLeavesTheSelections) {
    mel("polyCube -n keep");
    mel("createNode transform -n made -ss");
    kxh::NodePtr made = scene().find("made");
    ASSERT_TRUE(made);
    kxh::SelectionList list;
    list.add(made);
    scene().setActiveSelection(list, kxh::ListAdjust::Add);  // not recorded: no command is running
    scene().setHiliteList(list);
    ASSERT_EQ(selection(), (std::vector<std::string>{"keep", "made"}));
    ASSERT_TRUE(undo());
    checkScene("undo of createNode");
    EXPECT_EQ(selection(), (std::vector<std::string>{"keep"}));
    EXPECT_TRUE(scene().hiliteList().empty());
    ASSERT_TRUE(redo());
    EXPECT_TRUE(scene().find("made"));
    EXPECT_EQ(selection(), (std::vector<std::string>{"keep"}));
}

}  // namespace
