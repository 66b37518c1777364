// Inserting a node into a mesh's construction history and taking it out again: meshes with and without
// history, with and without point tweaks, in centimetres and in metres. The node used is a pass-through
// mesh node, so the mesh must look the same at every step.
#include <maya/MDGModifier.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MPointArray.h>
#include <maya/MPxNode.h>
#include <maya/MTypeId.h>

#include "geometry/modifierHistory.h"
#include "geometry_fixture.h"
#include "graph/api/PluginNodes.h"

namespace {

// outMesh = inMesh.
class PassMeshNode : public MPxNode {
public:
    static MObject inMesh, outMesh;
    static void* creator() { return new PassMeshNode; }
    static MStatus initialize() {
        MFnTypedAttribute t;
        inMesh = t.create("inMesh", "im", MFnData::kMesh);
        outMesh = t.create("outMesh", "om", MFnData::kMesh);
        t.setWritable(false);
        t.setStorable(false);
        addAttribute(inMesh);
        addAttribute(outMesh);
        attributeAffects(inMesh, outMesh);
        return MS::kSuccess;
    }
    MStatus compute(const MPlug& plug, MDataBlock& data) override {
        if (plug != outMesh) return MS::kUnknownParameter;
        data.outputValue(outMesh).set(data.inputValue(inMesh).asMesh());
        data.setClean(plug);
        return MS::kSuccess;
    }
};
MObject PassMeshNode::inMesh, PassMeshNode::outMesh;

class HistoryTest : public GeometryTest {
protected:
    void SetUp() override {
        GeometryTest::SetUp();
        static bool registered = false;
        if (!registered) {
            registered = true;
            ASSERT_TRUE(kxh::registerPluginNodeType("kxTestPassMesh", MTypeId(0x7e5a0101),
                                                    PassMeshNode::creator, PassMeshNode::initialize,
                                                    MPxNode::kDependNode, nullptr));
        }
    }

    // The caller's side of an insertion: the modifier node and (when asked) a polyTweak, made by one
    // graph modifier that the test undoes at the end.
    void createNodes(bool withTweak) {
        node_ = creator_.createNode("kxTestPassMesh");
        tweak_ = withTweak ? creator_.createNode("polyTweak") : MObject::kNullObj;
        ASSERT_TRUE(creator_.doIt());
    }

    static MPointArray points(const MDagPath& mesh) {
        MPointArray p;
        MFnMesh(mesh).getPoints(p, MSpace::kObject);
        return p;
    }
    static void expectSamePoints(const MPointArray& a, const MPointArray& b, const char* when) {
        ASSERT_EQ(a.length(), b.length()) << when;
        for (unsigned i = 0; i < a.length(); ++i)
            EXPECT_LT(a[i].distanceTo(b[i]), 1e-5) << when << " vertex " << i;
    }
    // The node feeding a plug ("" when nothing does).
    static std::string sourceNode(const MPlug& plug) {
        MPlugArray src;
        if (!plug.connectedTo(src, true, false) || src.length() == 0) return "";
        return MFnDependencyNode(src[0].node()).name().asChar();
    }
    static MPlug plugOf(const MObject& node, const char* name) {
        return MFnDependencyNode(node).findPlug(name);
    }
    std::vector<std::string> ls(const std::string& flags) { return melStrings("ls " + flags); }
    static bool contains(const std::vector<std::string>& names, const std::string& name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    }

    MDGModifier creator_;
    MObject node_, tweak_;
};

TEST_F(HistoryTest, HistoryAndTweakQueries) {
    mel("polyCube -n box");
    MDagPath box = shapeOf("box");
    EXPECT_TRUE(hasInputMeshConnection(box.node()));
    EXPECT_FALSE(hasPointTweaks(box.node()));
    // Elements that exist but hold zeros are no tweaks.
    mel("setAttr boxShape.pnts[2] 0 0 0; setAttr boxShape.pnts[5] 0 0 0");
    EXPECT_FALSE(hasPointTweaks(box.node()));
    mel("setAttr boxShape.pnts[5] 0 0 0.25");
    EXPECT_TRUE(hasPointTweaks(box.node()));
    mel("delete -ch box");
    EXPECT_FALSE(hasInputMeshConnection(box.node()));
}

TEST_F(HistoryTest, AMeshWithHistoryGetsTheNodeAfterItsUpstreamAndItsTweaksInThePolyTweak) {
    for (bool withTweaks : {false, true}) {
        SCOPED_TRACE(withTweaks ? "with tweaks" : "without tweaks");
        kxh::Scene::current().reset();
        kxh::session().reset();
        mel("polyCube -n box");
        if (withTweaks) mel("setAttr boxShape.pnts[1] 0 1 0; setAttr boxShape.pnts[6] 0.5 0 0");
        MDagPath box = shapeOf("box");
        ASSERT_EQ(hasPointTweaks(box.node()), withTweaks);
        MPointArray before = points(box);
        MDGModifier creator;
        node_ = creator.createNode("kxTestPassMesh");
        tweak_ = withTweaks ? creator.createNode("polyTweak") : MObject::kNullObj;
        ASSERT_TRUE(creator.doIt());
        ASSERT_TRUE(insertModifierNode(box, node_, tweak_, true, withTweaks));
        checkScene("insert");
        // polyCube1 -> (polyTweak ->) node -> shape; the shape keeps no tweaks of its own.
        const std::string nodeName = MFnDependencyNode(node_).name().asChar();
        EXPECT_EQ(sourceNode(plugOf(box.node(), "inMesh")), nodeName);
        if (withTweaks) {
            const std::string tweakName = MFnDependencyNode(tweak_).name().asChar();
            EXPECT_EQ(sourceNode(plugOf(tweak_, "inputPolymesh")), "polyCube1");
            EXPECT_EQ(sourceNode(plugOf(node_, "inMesh")), tweakName);
            EXPECT_EQ(mel("getAttr " + tweakName + ".tweak[1]").asFloatArray(),
                      (std::vector<double>{0, 1, 0}));
        } else {
            EXPECT_EQ(sourceNode(plugOf(node_, "inMesh")), "polyCube1");
        }
        EXPECT_FALSE(hasPointTweaks(box.node()));
        expectSamePoints(points(box), before, "inserted");
        // Upstream edits still reach the mesh through the node.
        mel("setAttr polyCube1.width 4");
        EXPECT_NEAR(points(box)[0].x, -2.0, 1e-6);
        before = points(box);

        ASSERT_TRUE(removeModifierNode(box, node_, tweak_, true, withTweaks));
        checkScene("remove");
        EXPECT_TRUE(node_.isNull());
        EXPECT_TRUE(tweak_.isNull());
        EXPECT_EQ(sourceNode(plugOf(box.node(), "inMesh")), "polyCube1");
        EXPECT_FALSE(contains(ls("-type kxTestPassMesh"), nodeName));
        EXPECT_EQ(hasPointTweaks(box.node()), withTweaks);
        if (withTweaks) {
            EXPECT_EQ(mel("getAttr boxShape.pnts[6]").asFloatArray(), (std::vector<double>{0.5, 0, 0}));
        }
        expectSamePoints(points(box), before, "removed");
    }
}

TEST_F(HistoryTest, AMeshWithoutHistoryGetsAnOrigShapeThatRemovalBakesAway) {
    for (const char* unit : {"cm", "m"}) {
        SCOPED_TRACE(unit);
        kxh::Scene::current().reset();
        kxh::session().reset();
        mel(std::string("currentUnit -l ") + unit);
        mel("polyCube -n box; delete -ch box");
        mel(std::string("setAttr boxShape.pnts[1] 0 ") + (std::string(unit) == "m" ? "0.01" : "1") + " 0");
        MDagPath box = shapeOf("box");
        ASSERT_FALSE(hasInputMeshConnection(box.node()));
        ASSERT_TRUE(hasPointTweaks(box.node()));
        MPointArray before = points(box);
        EXPECT_NEAR(before[1].y, 0.5, 1e-6);  // -0.5 lifted by the 1 cm tweak, in either unit

        MDGModifier creator;
        MObject node = creator.createNode("kxTestPassMesh");
        MObject tweak = creator.createNode("polyTweak");
        ASSERT_TRUE(creator.doIt());
        ASSERT_TRUE(insertModifierNode(box, node, tweak, false, true));
        checkScene("insert");

        // The copy sits under the mesh's transform as an intermediate object named "...Orig".
        std::vector<std::string> shapes = ls("-type mesh");
        ASSERT_EQ(shapes.size(), 2u);
        std::string orig = shapes[0] == "boxShape" ? shapes[1] : shapes[0];
        EXPECT_EQ(orig.substr(orig.size() - 4), "Orig");
        EXPECT_EQ(mel("getAttr " + orig + ".intermediateObject").asInt(), 1);
        EXPECT_EQ(melStrings("listRelatives -p " + orig), std::vector<std::string>{"box"});
        std::string tweakName = MFnDependencyNode(tweak).name().asChar();
        EXPECT_EQ(sourceNode(plugOf(tweak, "inputPolymesh")), orig);
        EXPECT_FALSE(hasPointTweaks(box.node()));
        // Counted once: the copy carries the untweaked points, the polyTweak the tweak.
        expectSamePoints(points(box), before, "inserted");
        EXPECT_TRUE(kxh::output().of(kxh::OutputKind::Error).empty());

        ASSERT_TRUE(removeModifierNode(box, node, tweak, false, true));
        checkScene("remove");
        EXPECT_EQ(ls("-type mesh"), std::vector<std::string>{"boxShape"});
        EXPECT_FALSE(hasInputMeshConnection(box.node()));
        expectSamePoints(points(box), before, "removed");

        // Undoing the creation takes the polyTweak (and the already deleted node) away.
        ASSERT_TRUE(creator.undoIt());
        checkScene("undo");
        EXPECT_TRUE(ls("-type polyTweak").empty());
        EXPECT_TRUE(ls("-type kxTestPassMesh").empty());
        expectSamePoints(points(box), before, "after undo");
    }
}

TEST_F(HistoryTest, AFailedInsertionIsReportedAndLeavesTheMeshAsItWas) {
    mel("polyCube -n box; setAttr boxShape.pnts[1] 0 1 0");
    MDagPath box = shapeOf("box");
    const MPointArray before = points(box);
    ASSERT_EQ(before.length(), 8u);
    const std::string feeder = sourceNode(plugOf(box.node(), "inMesh"));
    ASSERT_FALSE(feeder.empty());
    createNodes(false);
    // No tweak node to take the tweaks: the insertion fails after the shape was cut from its input.
    EXPECT_FALSE(insertModifierNode(box, node_, tweak_, true, true));
    EXPECT_TRUE(kxh::output().contains(kxh::OutputKind::Error, "error setting tweaks on node"));
    checkScene("failed insertion");
    EXPECT_EQ(sourceNode(plugOf(box.node(), "inMesh")), feeder);
    EXPECT_TRUE(hasPointTweaks(box.node()));
    expectSamePoints(points(box), before, "after the failure");
    EXPECT_TRUE(sourceNode(plugOf(node_, "inMesh")).empty());
}

}  // namespace
