// Attribute commands: values of every kind in and out, units, tweaks moving points, connections and
// their errors, dynamic attributes.
#include "scene_fixture.h"

using Strings = std::vector<std::string>;
using Doubles = std::vector<double>;

class SceneAttrTest : public SceneCmdTest {
protected:
    void SetUp() override {
        SceneCmdTest::SetUp();
        mel("polyCube; polySphere; select -cl");
    }
    kxh::V3 point(const std::string& shape, int id) {
        kxh::MeshPtr m = scene().shapeMesh(*scene().find(shape));
        return m->points.at(size_t(id));
    }
};

TEST_F(SceneAttrTest, PntsTweakMovesPointAndHistoryBakes) {
    const kxh::V3 p = point("pCubeShape1", 3);
    mel("setAttr pCubeShape1.pnts[3] 0 2 0");
    EXPECT_DOUBLE_EQ(point("pCubeShape1", 3).y, p.y + 2);
    EXPECT_EQ(melFloats("getAttr pCubeShape1.pnts[3]"), (Doubles{0, 2, 0}));
    mel("setAttr pCube1.pnts[3] 0 1 0");  // a transform passes the attribute on to its shape
    EXPECT_DOUBLE_EQ(point("pCubeShape1", 3).y, p.y + 1);
    EXPECT_EQ(melStrings("listHistory -pdo 1 pCube1"), (Strings{"polyCube1"}));

    mel("delete -ch pCube1");
    EXPECT_TRUE(melStrings("listHistory -pdo 1 pCube1").empty());
    EXPECT_EQ(melInt("objExists polyCube1"), 0);
    EXPECT_DOUBLE_EQ(point("pCubeShape1", 3).y, p.y + 1);  // the tweak is now the shape's own geometry
    EXPECT_EQ(melInt("getAttr -size pCubeShape1.pnts"), 0);
    // Changing the baked shape's creator settings is no longer possible: the node is gone.
    melError("setAttr polyCube1.width 3");
}

TEST_F(SceneAttrTest, ScalarsCompoundsAndTypes) {
    mel("setAttr pCube1.translate 1 2 3");
    EXPECT_EQ(melFloats("getAttr pCube1.translate"), (Doubles{1, 2, 3}));
    EXPECT_EQ(mel("getAttr pCube1.tx").asFloat(), 1);
    EXPECT_EQ(melString("getAttr -type pCube1.translate"), "double3");
    mel("setAttr pCube1.visibility off");
    EXPECT_EQ(melInt("getAttr pCube1.v"), 0);
    mel("setAttr pCube1.visibility true");
    EXPECT_EQ(melInt("getAttr pCube1.v"), 1);
    EXPECT_EQ(melString("getAttr -type pCube1.v"), "bool");
    mel("setAttr pCube1.rotateOrder zxy");  // enum by field name
    EXPECT_EQ(melInt("getAttr pCube1.rotateOrder"), 2);
    EXPECT_EQ(melString("getAttr -as pCube1.rotateOrder"), "zxy");
    EXPECT_EQ(melInt("getAttr polyCube1.subdivisionsWidth"), 1);
    mel("setAttr polyCube1.subdivisionsWidth 3");
    EXPECT_EQ(melInt("polyEvaluate -f pCube1"), 14);  // three columns on four sides, one on two
    EXPECT_NE(melError("setAttr pCube1.translate 1 2").find("Error while parsing arguments"),
              std::string::npos);
    EXPECT_NE(melError("setAttr pCube1.nothing 1").find("No object matches name: pCube1.nothing"),
              std::string::npos);
    EXPECT_NE(melError("getAttr nothing.tx").find("No object matches name"), std::string::npos);
}

TEST_F(SceneAttrTest, DistancesFollowTheUiUnit) {
    mel("currentUnit -l mm");
    EXPECT_EQ(melString("currentUnit -q -l"), "mm");
    mel("setAttr pCube1.tx 10");  // 10 mm
    mel("currentUnit -l cm");
    EXPECT_DOUBLE_EQ(mel("getAttr pCube1.tx").asFloat(), 1.0);
    mel("currentUnit -l in");
    EXPECT_DOUBLE_EQ(mel("getAttr pCube1.tx").asFloat(), 1.0 / 2.54);
    EXPECT_EQ(melString("currentUnit -q -l"), "in");
    mel("currentUnit -l m; polyCube -w 2 -ch 0 -n big");
    EXPECT_DOUBLE_EQ(point("bigShape", 1).x - point("bigShape", 0).x, 200.0);  // 2 m in centimetres
    melError("currentUnit -l parsec");
    EXPECT_EQ(melString("currentUnit -q -l"), "m");
    mel("currentUnit -l cm");
    // Angles: the UI unit is degrees, rotate is stored in radians.
    mel("setAttr pCube1.rx 90");
    EXPECT_NEAR(scene().find("pCube1")->findPlug("rotateX").asDouble(), 3.14159265358979 / 2, 1e-12);
}

TEST_F(SceneAttrTest, TypedDataRoundTrips) {
    mel("addAttr -ln note -dt \"string\" pCube1");
    mel("setAttr -type \"string\" pCube1.note \"two words\"");
    EXPECT_EQ(melString("getAttr pCube1.note"), "two words");
    mel("addAttr -ln ids -dt Int32Array pCubeShape1");
    mel("setAttr pCubeShape1.ids -type Int32Array 3 7 8 9");
    EXPECT_EQ(mel("getAttr pCubeShape1.ids").asIntArray(), (std::vector<long>{7, 8, 9}));
    EXPECT_EQ(melString("getAttr -type pCubeShape1.ids"), "Int32Array");
    mel("addAttr -ln ws -dt doubleArray pCube1; setAttr pCube1.ws -type doubleArray 2 0.5 1.5");
    EXPECT_EQ(melFloats("getAttr pCube1.ws"), (Doubles{0.5, 1.5}));
    mel("addAttr -ln pts -dt pointArray pCube1; setAttr pCube1.pts -type pointArray 1 1 2 3 1");
    EXPECT_EQ(melFloats("getAttr pCube1.pts"), (Doubles{1, 2, 3, 1}));
    mel("addAttr -ln names -dt stringArray pCube1; setAttr pCube1.names -type stringArray 2 a b");
    EXPECT_EQ(melStrings("getAttr pCube1.names"), (Strings{"a", "b"}));
    mel("addAttr -ln mtx -dt matrix pCube1");
    mel("setAttr pCube1.mtx -type \"matrix\" 1 0 0 0 0 1 0 0 0 0 1 0 5 6 7 1");
    EXPECT_EQ(melFloats("getAttr pCube1.mtx")[12], 5);
    melError("setAttr pCube1.mtx -type \"matrix\" 1 0 0");
    melError("setAttr pCube1.ws -type doubleArray 3 1 2");  // count and values disagree
    melError("setAttr pCube1.ws -type doubleArray 2 1");
}

TEST_F(SceneAttrTest, DynamicAttributes) {
    mel("addAttr -ln weight -sn wt -at double -min 0 -max 1 -dv 0.25 -k 1 pCube1");
    EXPECT_DOUBLE_EQ(mel("getAttr pCube1.wt").asFloat(), 0.25);
    mel("setAttr pCube1.weight 4");
    EXPECT_DOUBLE_EQ(mel("getAttr pCube1.weight").asFloat(), 1.0);  // clamped to -max
    EXPECT_EQ(melInt("attributeQuery -n pCube1 -ex weight"), 1);
    EXPECT_EQ(melInt("attributeQuery -n pCube1 -ex wt"), 1);
    EXPECT_EQ(melInt("attributeQuery -n pCube1 -ex nothing"), 0);
    EXPECT_NE(melError("addAttr -ln weight -at long pCube1").find("already"), std::string::npos);
    mel("addAttr -ln mode -at enum -en \"off:on:auto\" pCube1");
    mel("setAttr pCube1.mode auto");
    EXPECT_EQ(melInt("getAttr pCube1.mode"), 2);
    mel("addAttr -ln pos -at double3 pCube1");
    EXPECT_EQ(melInt("attributeQuery -n pCube1 -ex pos"), 0);  // usable once its children are there
    mel("addAttr -ln posX -at double -p pos pCube1; addAttr -ln posY -at double -p pos pCube1");
    mel("addAttr -ln posZ -at double -p pos pCube1");
    mel("setAttr pCube1.pos 1 2 3");
    EXPECT_EQ(melFloats("getAttr pCube1.pos"), (Doubles{1, 2, 3}));
    EXPECT_EQ(melString("getAttr -type pCube1.pos"), "double3");
    mel("addAttr -ln links -at message -m pCube1");
    EXPECT_EQ(melInt("attributeQuery -n pCube1 -m links"), 1);
    EXPECT_EQ(userNodes("listAttr -ud pCube1"),
              (Strings{"weight", "mode", "pos", "posX", "posY", "posZ", "links"}));
    mel("deleteAttr pCube1.mode");
    EXPECT_EQ(melInt("attributeQuery -n pCube1 -ex mode"), 0);
    melError("deleteAttr pCube1.translate");  // static attributes stay
}

TEST_F(SceneAttrTest, Connections) {
    mel("connectAttr pCube1.tx pSphere1.ty");
    mel("setAttr pCube1.tx 4");
    EXPECT_EQ(mel("getAttr pSphere1.ty").asFloat(), 4);
    EXPECT_NE(melError("connectAttr pCube1.tx pSphere1.ty").find("already connected"), std::string::npos);
    EXPECT_NE(melError("connectAttr pCube1.tz pSphere1.ty").find("already has an incoming connection"),
              std::string::npos);
    EXPECT_NE(melError("setAttr pSphere1.ty 1").find("connected"), std::string::npos);
    melError("connectAttr pCube1.translate pSphere1.visibility");  // compound into a scalar
    melError("connectAttr pCubeShape1.outMesh pSphere1.tx");       // mesh into a number
    melError("connectAttr pCube1.tx nothing.tx");
    mel("connectAttr -f pCube1.tz pSphere1.ty");
    EXPECT_EQ(melStrings("listConnections -s 1 -d 0 -p 1 pSphere1.ty"), (Strings{"pCube1.translateZ"}));
    EXPECT_EQ(melStrings("listConnections -c 1 -p 1 -s 0 pCube1"),
              (Strings{"pCube1.translateZ", "pSphere1.translateY"}));
    mel("disconnectAttr pCube1.tz pSphere1.ty");
    melError("disconnectAttr pCube1.tz pSphere1.ty");
    EXPECT_TRUE(melStrings("listConnections -s 0 pCube1").empty());
    EXPECT_EQ(melStrings("listConnections -d 0 pCubeShape1"), (Strings{"polyCube1"}));
}
