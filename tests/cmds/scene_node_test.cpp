// Node commands: primitives and their names, renaming, creation, deletion, parenting, duplication,
// relatives, transforms and sets.
#include <cmath>

#include "scene_fixture.h"

using Strings = std::vector<std::string>;
using Doubles = std::vector<double>;

namespace {
void expectNear(const Doubles& got, const Doubles& want, double tol = 1e-9) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], tol) << "component " << i;
}
}  // namespace

TEST_F(SceneCmdTest, PrimitivesDefaultCountsAndNames) {
    EXPECT_EQ(melStrings("polyCube"), (Strings{"pCube1", "polyCube1"}));
    EXPECT_EQ(melStrings("polyCube"), (Strings{"pCube2", "polyCube2"}));
    EXPECT_EQ(melStrings("ls -sl"), (Strings{"pCube2"}));
    EXPECT_EQ(melStrings("listRelatives -s pCube2"), (Strings{"pCubeShape2"}));
    EXPECT_EQ((mel("polyEvaluate -v -e -f -uv pCube1").asIntArray()), (std::vector<long>{8, 12, 6, 14}));
    EXPECT_EQ(melStrings("polyPlane"), (Strings{"pPlane1", "polyPlane1"}));
    EXPECT_EQ((mel("polyEvaluate -v -f pPlane1").asIntArray()), (std::vector<long>{121, 100}));
    EXPECT_EQ(melStrings("polySphere"), (Strings{"pSphere1", "polySphere1"}));
    EXPECT_EQ((mel("polyEvaluate -v -e -f pSphere1").asIntArray()), (std::vector<long>{382, 780, 400}));
    EXPECT_EQ(melStrings("polyCube -n box -sx 2"), (Strings{"box", "polyCube3"}));
    EXPECT_EQ(melStrings("listRelatives -s box"), (Strings{"boxShape"}));
    EXPECT_EQ(melInt("polyEvaluate -f box"), 10);
    // Without history the shape holds its own geometry and no creator exists.
    EXPECT_EQ(melStrings("polyCube -ch 0 -w 3"), (Strings{"pCube3"}));
    EXPECT_TRUE(melStrings("listHistory -pdo 1 pCube3").empty());
    EXPECT_EQ(melInt("polyEvaluate -v pCube3"), 8);
    EXPECT_EQ(melInt("polyEvaluate -vc"), 0);
    mel("select pCube1.vtx[2:4] pCube1.f[1]");
    EXPECT_EQ((mel("polyEvaluate -vc -fc").asIntArray()), (std::vector<long>{3, 1}));
}

TEST_F(SceneCmdTest, RenameAndCreateNode) {
    mel("polyCube; polySphere");
    EXPECT_EQ(melString("rename pCube1 box"), "box");
    EXPECT_EQ(melStrings("listRelatives -s box"), (Strings{"boxShape"}));
    EXPECT_EQ(melString("rename box pSphere1"), "pSphere2");  // taken: the numbered variant
    EXPECT_EQ(melString("rename pSphere2 \"|free\""), "free");
    mel("select free");
    EXPECT_EQ(melString("rename other"), "other");  // the selected object
    EXPECT_NE(melError("rename other \"1bad\"").find("not valid"), std::string::npos);
    EXPECT_EQ(melString("createNode transform -n grp"), "grp");
    EXPECT_EQ(melString("createNode transform -n leaf -p grp"), "leaf");
    EXPECT_EQ(melStrings("listRelatives -f -c grp"), (Strings{"|grp|leaf"}));
    std::string shape = melString("createNode mesh");
    EXPECT_EQ(melString("nodeType " + shape), "mesh");
    EXPECT_EQ(melStrings("listRelatives -p " + shape).size(), 1u);  // got a transform of its own
    EXPECT_EQ(selection(), (Strings{shape}));
}

TEST_F(SceneCmdTest, DeleteShapeTakesItsEmptyTransform) {
    mel("polyCube; polyCube");
    mel("delete pCubeShape1");
    EXPECT_EQ(melInt("objExists pCube1"), 0);
    mel("select pCube2");
    mel("delete");  // the selection
    EXPECT_EQ(melInt("objExists pCube2"), 0);
    EXPECT_EQ(melInt("objExists polyCube2"), 1);  // creators stay as the host leaves them
    melError("delete");                           // nothing selected
}

TEST_F(SceneCmdTest, ParentKeepsWorldPositionUnlessRelative) {
    mel("polyCube; polyCube; setAttr pCube2.translate 5 0 0; setAttr pCube2.rotateY 90; setAttr pCube2.scale "
        "2 2 2");
    mel("setAttr pCube1.translate 1 2 3");
    EXPECT_EQ(melStrings("parent pCube1 pCube2"), (Strings{"pCube1"}));
    EXPECT_EQ(melStrings("listRelatives -p pCube1"), (Strings{"pCube2"}));
    expectNear(melFloats("xform -q -ws -t pCube1"), {1, 2, 3});
    expectNear(melFloats("xform -q -ws -s pCube1"), {1, 1, 1});
    EXPECT_EQ(melStrings("ls -l pCube1"), (Strings{"|pCube2|pCube1"}));
    mel("parent -w pCube1");
    expectNear(melFloats("getAttr pCube1.translate"), {1, 2, 3});
    mel("parent -r pCube1 pCube2");
    expectNear(melFloats("getAttr pCube1.translate"), {1, 2, 3});
    expectNear(melFloats("xform -q -ws -t pCube1"), {5 + 3 * 2, 4, -1 * 2});
    EXPECT_NE(melError("parent pCube2 pCube1").find("under itself"), std::string::npos);
}

TEST_F(SceneCmdTest, DuplicateCopiesCurrentGeometryWithoutHistory) {
    mel("polyCube; setAttr pCubeShape1.pnts[0] 0 0 1; setAttr pCube1.tx 4");
    EXPECT_EQ(melStrings("duplicate pCube1"), (Strings{"pCube2"}));
    EXPECT_EQ(selection(), (Strings{"pCube2"}));
    EXPECT_EQ(melStrings("listRelatives -s pCube2"), (Strings{"pCubeShape2"}));
    EXPECT_TRUE(melStrings("listHistory -pdo 1 pCube2").empty());
    EXPECT_EQ(mel("getAttr pCube2.tx").asFloat(), 4);
    kxh::MeshPtr a = scene().shapeMesh(*scene().find("pCubeShape1"));
    kxh::MeshPtr b = scene().shapeMesh(*scene().find("pCubeShape2"));
    EXPECT_TRUE(kxh::meshesEqual(*a, *b));
    mel("setAttr polyCube1.width 5");  // the original's history does not reach the copy
    EXPECT_DOUBLE_EQ(scene().shapeMesh(*scene().find("pCubeShape2"))->points[1].x, 0.5);
    EXPECT_EQ(melStrings("duplicate -n twin pCube1"), (Strings{"twin"}));
}

TEST_F(SceneCmdTest, XformAndMove) {
    mel("polyCube; polyCube; parent pCube1 pCube2; setAttr pCube2.tx 10");
    mel("xform -ws -t 1 1 1 pCube1");
    expectNear(melFloats("getAttr pCube1.translate"), {-9, 1, 1});
    mel("xform -r -t 1 0 0 pCube1");
    expectNear(melFloats("xform -q -t pCube1"), {-8, 1, 1});
    mel("xform -ro 0 90 0 pCube1");
    expectNear(melFloats("xform -q -ro pCube1"), {0, 90, 0});
    mel("move -r 0 0 2 pCube1");
    expectNear(melFloats("xform -q -ws -t pCube1"), {2, 1, 3});
    mel("move 7 7 7 pCube2");
    expectNear(melFloats("getAttr pCube2.translate"), {7, 7, 7});
    mel("move -y 0 pCube2");
    expectNear(melFloats("getAttr pCube2.translate"), {7, 0, 7});
    // Components move their mesh points, in world space by default.
    mel("polyCube -n free; setAttr free.scale 2 2 2");
    const kxh::V3 before = scene().shapeMesh(*scene().find("freeShape"))->points[0];
    mel("move -r 0 1 0 free.vtx[0] free.e[0]");
    const kxh::V3 after = scene().shapeMesh(*scene().find("freeShape"))->points[0];
    EXPECT_NEAR(after.y - before.y, 0.5, 1e-12);           // one world unit is half an object unit
    EXPECT_EQ(melInt("getAttr -size freeShape.pnts"), 2);  // the shape has history: points go to tweaks
    melError("move -r 1 free.vtx[0]");

    // pointPosition reads a vertex back in world space (default) or object space, in the UI unit.
    expectNear(melFloats("pointPosition free.vtx[0]"), {-1, 0, 1});
    expectNear(melFloats("pointPosition -l free.vtx[0]"), {-0.5, 0, 0.5});
    mel("currentUnit -l mm");
    expectNear(melFloats("pointPosition free.vtx[0]"), {-10, 0, 10});
    mel("currentUnit -l cm");
    melError("pointPosition free");
    melError("pointPosition nothingHere.vtx[0]");
}

TEST_F(SceneCmdTest, SetsAndMembership) {
    mel("polyCube; polySphere; select pCube1");
    EXPECT_EQ(melString("sets -n mySet"), "mySet");  // the selection
    EXPECT_EQ(melStrings("sets -q mySet"), (Strings{"pCube1"}));
    mel("sets -e -fe mySet pSphere1");
    mel("sets -add mySet pSphereShape1.vtx[3]");  // a component stands for its shape
    EXPECT_EQ(melStrings("sets -q mySet"), (Strings{"pCube1", "pSphere1", "pSphereShape1"}));
    EXPECT_EQ(melInt("sets -in mySet pSphere1"), 1);
    mel("sets -rm mySet pCube1");
    EXPECT_EQ(melInt("sets -in mySet pCube1"), 0);
    mel("select mySet");  // a set selects its members
    EXPECT_EQ(selection(), (Strings{"pSphere1", "pSphereShape1"}));
    mel("select -ne mySet");
    EXPECT_EQ(selection(), (Strings{"mySet"}));
    EXPECT_EQ(melString("sets -em -n empty"), "empty");
    EXPECT_TRUE(melStrings("sets -q empty").empty());
    EXPECT_NE(melError("sets -e -fe nothing pCube1").find("No object matches name: nothing"),
              std::string::npos);
    melError("sets -e -fe pCube1 pSphere1");  // not a set
}

TEST_F(SceneCmdTest, RelativesAndHistoryListing) {
    mel("polyCube; createNode transform -n grp; parent pCube1 grp");
    EXPECT_EQ(melStrings("listRelatives -ad grp"), (Strings{"pCubeShape1", "pCube1"}));
    EXPECT_EQ(melStrings("listRelatives -ad -type mesh grp"), (Strings{"pCubeShape1"}));
    EXPECT_EQ(melStrings("listRelatives -c -f grp"), (Strings{"|grp|pCube1"}));
    mel("setAttr pCubeShape1.intermediateObject 1");
    EXPECT_TRUE(melStrings("listRelatives -s -ni pCube1").empty());
    mel("setAttr pCubeShape1.intermediateObject 0");
    EXPECT_EQ(melStrings("listHistory pCube1"), (Strings{"pCubeShape1", "polyCube1"}));
    EXPECT_EQ(melStrings("listHistory -pdo 1 pCubeShape1"), (Strings{"polyCube1"}));
}

TEST_F(SceneCmdTest, SysFileMakesFoldersAndRemovesFiles) {
    const std::string dir = ::testing::TempDir() + "kx_sysfile/a/b";
    EXPECT_EQ(melInt("sysFile -md \"" + dir + "\""), 1);
    EXPECT_EQ(melInt("sysFile -md \"" + dir + "\""), 1);  // an existing folder is fine
    mel("polyCube -n box; select -r box; file -f -typ \"OBJexport\" -es \"" + dir + "/box.obj\"");
    EXPECT_EQ(melInt("sysFile -ren \"" + dir + "/crate.obj\" \"" + dir + "/box.obj\""), 1);
    EXPECT_EQ(melInt("sysFile -del \"" + dir + "/crate.obj\""), 1);
    EXPECT_EQ(melInt("sysFile -del \"" + dir + "/crate.obj\""), 0);  // already gone
    melError("sysFile \"" + dir + "\"");                             // no action named
}
