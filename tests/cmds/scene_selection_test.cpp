// Selecting objects and components by name, and listing them back as the host does.
#include "scene_fixture.h"

using Strings = std::vector<std::string>;

class SceneSelectTest : public SceneCmdTest {
protected:
    void SetUp() override {
        SceneCmdTest::SetUp();
        mel("polyCube");
        mel("polyPlane");
        mel("select -cl");
    }
};

TEST_F(SceneSelectTest, ComponentRangesMergeAndFlatten) {
    mel("select pCube1.vtx[0:3]");
    EXPECT_EQ(selection(), (Strings{"pCube1.vtx[0:3]"}));
    mel("select -add pCube1.vtx[5] pCube1.vtx[4]");
    EXPECT_EQ(selection(), (Strings{"pCube1.vtx[0:5]"}));
    mel("select -d pCube1.vtx[2]");
    EXPECT_EQ(selection(), (Strings{"pCube1.vtx[0:1]", "pCube1.vtx[3:5]"}));
    EXPECT_EQ(melStrings("ls -sl -fl"),
              (Strings{"pCube1.vtx[0]", "pCube1.vtx[1]", "pCube1.vtx[3]", "pCube1.vtx[4]", "pCube1.vtx[5]"}));
    mel("select -tgl pCube1.vtx[1:2]");
    EXPECT_EQ(selection(), (Strings{"pCube1.vtx[0]", "pCube1.vtx[2:5]"}));
    EXPECT_EQ(melStrings("ls -sl -l"),
              (Strings{"|pCube1|pCubeShape1.vtx[0]", "|pCube1|pCubeShape1.vtx[2:5]"}));
}

TEST_F(SceneSelectTest, ComponentKindsPathsAndWildcards) {
    mel("select pCube1.f[*]");
    EXPECT_EQ(selection(), (Strings{"pCube1.f[0:5]"}));
    mel("select |pCube1.e[2] pCubeShape1.map[7:3]");  // full path and a reversed range
    EXPECT_EQ(selection(), (Strings{"pCube1.e[2]", "pCube1.map[3:7]"}));
    mel("select pCube1.vtx[6:100]");  // clamped to the vertex count
    EXPECT_EQ(selection(), (Strings{"pCube1.vtx[6:7]"}));
    mel("select \"pC*1\" pPlane1");
    EXPECT_EQ(selection(), (Strings{"pCube1", "pCubeShape1", "pPlane1"}));
    mel("select -add pCube1.vtx[1]");
    EXPECT_EQ(melStrings("ls -sl -o"), (Strings{"pCube1", "pCubeShape1", "pPlane1"}));
}

TEST_F(SceneSelectTest, ObjectAdjustmentsAndClearing) {
    mel("select pCube1");
    mel("select -add pPlane1");
    EXPECT_EQ(selection(), (Strings{"pCube1", "pPlane1"}));
    mel("select -tgl pCube1");
    EXPECT_EQ(selection(), (Strings{"pPlane1"}));
    mel("select -af pCube1");
    EXPECT_EQ(selection(), (Strings{"pCube1", "pPlane1"}));
    mel("select -d pPlane1");
    EXPECT_EQ(selection(), (Strings{"pCube1"}));
    mel("select -d");  // nothing named: clears
    EXPECT_TRUE(selection().empty());
    mel("select pCube1 pPlane1");
    mel("select -cl");
    EXPECT_TRUE(selection().empty());
}

TEST_F(SceneSelectTest, FailuresLeaveSelectionUnchanged) {
    mel("select pCube1.vtx[1]");
    EXPECT_NE(melError("select foo").find("No object matches name: foo"), std::string::npos);
    EXPECT_NE(melError("select pCube1 foo").find("No object matches name: foo"), std::string::npos);
    EXPECT_NE(melError("select pCube1.vtx[x]").find("No object matches name"), std::string::npos);
    EXPECT_NE(melError("select pCube1.vtx[50]").find("No object matches name"), std::string::npos);
    EXPECT_NE(melError("select -x pCube1").find("Invalid flag"), std::string::npos);
    melError("select pCube1 \"");  // malformed statement: nothing runs
    EXPECT_EQ(selection(), (Strings{"pCube1.vtx[1]"}));
}

TEST_F(SceneSelectTest, LsFilters) {
    EXPECT_EQ(userNodes("ls -type transform"), (Strings{"pCube1", "pPlane1"}));
    EXPECT_EQ(userNodes("ls -type mesh -type polyCube"),
              (Strings{"pCubeShape1", "polyCube1", "pPlaneShape1"}));
    EXPECT_EQ(userNodes("ls -tr -l"), (Strings{"|pCube1", "|pPlane1"}));
    EXPECT_EQ(userNodes("ls -s"), (Strings{"pCubeShape1", "pPlaneShape1"}));
    EXPECT_EQ(userNodes("ls -dag"), (Strings{"pCube1", "pCubeShape1", "pPlane1", "pPlaneShape1"}));
    EXPECT_EQ(melStrings("ls \"pC*\""), (Strings{"pCube1", "pCubeShape1"}));
    EXPECT_EQ(melStrings("ls \"poly*\""), (Strings{"polyCube1", "polyPlane1"}));
    EXPECT_EQ(melStrings("ls pCube1.vtx[2:3] -fl"), (Strings{"pCube1.vtx[2]", "pCube1.vtx[3]"}));
    mel("setAttr pCubeShape1.intermediateObject 1");
    EXPECT_EQ(userNodes("ls -s -ni"), (Strings{"pPlaneShape1"}));
    mel("select pCube1");
    EXPECT_EQ(melStrings("ls -sl -dag -s"), (Strings{"pCubeShape1"}));
    EXPECT_TRUE(melStrings("ls -sl -type mesh").empty());
}

TEST_F(SceneSelectTest, ExistenceAndTypes) {
    EXPECT_EQ(melInt("objExists pCube1"), 1);
    EXPECT_EQ(melInt("objExists nothing"), 0);
    EXPECT_EQ(melInt("objExists pCube1.translateX"), 1);
    EXPECT_EQ(melInt("objExists pCube1.noSuchAttr"), 0);
    EXPECT_EQ(melInt("objExists pCube1.vtx[7]"), 1);
    EXPECT_EQ(melInt("objExists pCube1.vtx[8]"), 0);
    EXPECT_EQ(melString("nodeType pCube1"), "transform");
    EXPECT_EQ(melString("nodeType pCube1.vtx[0]"), "mesh");
    EXPECT_EQ(melString("objectType polyCube1"), "polyCube");
    EXPECT_EQ(melInt("objectType -isa shape pCubeShape1"), 1);
    EXPECT_NE(melError("nodeType nothing").find("No object matches name: nothing"), std::string::npos);
}
