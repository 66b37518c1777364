// A plug-in style node registered through the registration hook: static attributes, lazy compute through
// the data block, output arrays, and a locator-kind type that lives under a transform.
#include <maya/MArrayDataBuilder.h>
#include <maya/MArrayDataHandle.h>
#include <maya/MDGModifier.h>
#include <maya/MDagModifier.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MIntArray.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>
#include <maya/MTypeId.h>

#include "api_test_util.h"
#include "graph/api/PluginNodes.h"

using kxh::apitest::ApiTest;

namespace {

// scaled = input * factor; doubled[i] = 2 * ids[i] (an output array built with a builder); label copies the
// number of ids as text.
class ScaleNode : public MPxNode {
public:
    static MObject input, factor, scaled, ids, doubled, label;
    static int computes;
    static int constructed;
    static void* creator() { return new ScaleNode; }
    static MStatus initialize() {
        MFnNumericAttribute n;
        input = n.create("input", "in", MFnNumericData::kDouble, 1.0);
        factor = n.create("factor", "f", MFnNumericData::kFloat, 2.0);
        scaled = n.create("scaled", "sc", MFnNumericData::kDouble);
        n.setWritable(false);
        n.setStorable(false);
        doubled = n.create("doubled", "db", MFnNumericData::kInt);
        n.setArray(true);
        n.setUsesArrayDataBuilder(true);
        MFnTypedAttribute t;
        ids = t.create("ids", "ids", MFnData::kIntArray);
        label = t.create("label", "lb", MFnData::kString);
        for (MObject* a : {&input, &factor, &scaled, &ids, &doubled, &label})
            CHECK_MSTATUS_AND_RETURN_IT(addAttribute(*a));
        attributeAffects(input, scaled);
        attributeAffects(factor, scaled);
        attributeAffects(ids, doubled);
        attributeAffects(ids, label);
        return MS::kSuccess;
    }
    void postConstructor() override { ++constructed; }
    MStatus compute(const MPlug& plug, MDataBlock& data) override {
        if (plug == scaled) {
            ++computes;
            double v = data.inputValue(input).asDouble() * data.inputValue(factor).asFloat();
            data.outputValue(scaled).asDouble() = v;  // written through the reference
            data.setClean(plug);
            return MS::kSuccess;
        }
        if (plug == doubled || plug == label) {
            MObject idsObj = data.inputValue(ids).data();
            MIntArray in;
            if (!idsObj.isNull()) MFnIntArrayData(idsObj).copyTo(in);
            MArrayDataHandle out = data.outputArrayValue(doubled);
            MArrayDataBuilder b = out.builder();
            for (unsigned i = 0; i < in.length(); ++i) b.addElement(i).set(2 * in[i]);
            out.set(b);
            out.setAllClean();
            MString text;
            text += static_cast<int>(in.length());
            data.outputValue(label).set(text);
            data.setClean(label);
            return MS::kSuccess;
        }
        return MS::kUnknownParameter;
    }
};
MObject ScaleNode::input, ScaleNode::factor, ScaleNode::scaled, ScaleNode::ids, ScaleNode::doubled,
    ScaleNode::label;
int ScaleNode::computes = 0;
int ScaleNode::constructed = 0;

class MarkerLocator : public MPxNode {
public:
    static void* creator() { return new MarkerLocator; }
    static MStatus initialize() { return MS::kSuccess; }
};

const MTypeId kScaleId(0x7e5a0001), kMarkerId(0x7e5a0002);

void registerTypes() {
    static bool done = false;
    if (done) return;
    done = true;
    ASSERT_TRUE(kxh::registerPluginNodeType("apiTestScale", kScaleId, ScaleNode::creator,
                                            ScaleNode::initialize, MPxNode::kDependNode, nullptr));
    MString cls("drawdb/geometry/apiTestMarker");
    ASSERT_TRUE(kxh::registerPluginNodeType("apiTestMarker", kMarkerId, MarkerLocator::creator,
                                            MarkerLocator::initialize, MPxNode::kLocatorNode, &cls));
}

class PxNodeTest : public ApiTest {
protected:
    void SetUp() override {
        ApiTest::SetUp();
        registerTypes();
    }
};

TEST_F(PxNodeTest, RegistrationRefusesTakenNamesAndIdsAndStaticCallsOutsideInitialize) {
    EXPECT_FALSE(kxh::registerPluginNodeType("apiTestScale", MTypeId(0x7e5a00ff), ScaleNode::creator, nullptr,
                                             MPxNode::kDependNode, nullptr));
    EXPECT_FALSE(kxh::registerPluginNodeType("apiTestOther", kScaleId, ScaleNode::creator, nullptr,
                                             MPxNode::kDependNode, nullptr));
    MFnNumericAttribute n;
    MObject loose = n.create("loose", "lo", MFnNumericData::kInt);
    EXPECT_FALSE(MPxNode::addAttribute(loose));
    // A failing initialize registers nothing.
    EXPECT_FALSE(kxh::registerPluginNodeType(
        "apiTestBroken", MTypeId(0x7e5a00fe), ScaleNode::creator, [] { return MStatus(MS::kFailure); },
        MPxNode::kDependNode, nullptr));
    MFnDependencyNode fn;
    MStatus st;
    fn.create("apiTestBroken", &st);
    EXPECT_FALSE(st);
}

TEST_F(PxNodeTest, ComputeRunsLazilyAndOnlyWhenInputsChange) {
    MDGModifier mod;
    MObject obj = mod.createNode(kScaleId);
    ASSERT_FALSE(obj.isNull());
    ASSERT_TRUE(mod.doIt());
    MFnDependencyNode fn(obj);
    EXPECT_EQ(fn.typeName(), MString("apiTestScale"));
    EXPECT_EQ(fn.typeId(), kScaleId);
    EXPECT_TRUE(obj.hasFn(MFn::kPluginDependNode));
    ScaleNode* px = dynamic_cast<ScaleNode*>(fn.userNode());
    ASSERT_NE(px, nullptr);
    EXPECT_TRUE(px->thisMObject() == obj);
    EXPECT_EQ(px->name(), fn.name());

    int before = ScaleNode::computes;
    EXPECT_DOUBLE_EQ(fn.findPlug("scaled").asDouble(), 2.0);
    EXPECT_EQ(ScaleNode::computes, before + 1);
    EXPECT_DOUBLE_EQ(fn.findPlug("scaled").asDouble(), 2.0);
    EXPECT_EQ(ScaleNode::computes, before + 1);  // clean: no second compute

    fn.findPlug("input").setDouble(5);
    EXPECT_EQ(ScaleNode::computes, before + 1);  // setting an input does not compute
    EXPECT_DOUBLE_EQ(fn.findPlug("scaled").asDouble(), 10.0);
    EXPECT_EQ(ScaleNode::computes, before + 2);

    // The node's inherited state attribute is there too.
    EXPECT_FALSE(MPxNode::state.isNull());
    EXPECT_TRUE(MFnDependencyNode(obj).findPlug(MPxNode::state).asShort() == 0);
}

TEST_F(PxNodeTest, OutputArraysAndStringsFromTheDataBlock) {
    MDGModifier mod;
    MObject obj = mod.createNode("apiTestScale");
    ASSERT_TRUE(mod.doIt());
    MFnDependencyNode fn(obj);
    MIntArray in;
    for (int v : {1, 5, 7}) in.append(v);
    MObject data = MFnIntArrayData().create(in);
    ASSERT_TRUE(fn.findPlug("ids").setValue(data));
    EXPECT_EQ(fn.findPlug("label").asString(), MString("3"));
    MPlug out = fn.findPlug("doubled");
    ASSERT_EQ(out.numElements(), 3u);
    EXPECT_EQ(out.elementByLogicalIndex(2).asInt(), 14);
}

TEST_F(PxNodeTest, LocatorKindLivesUnderATransformAndConstructsOnce) {
    int before = ScaleNode::constructed;
    MDagModifier mod;
    MObject xform = mod.createNode(kMarkerId, MObject::kNullObj);
    ASSERT_TRUE(mod.doIt());
    EXPECT_EQ(xform.apiType(), MFn::kTransform);
    MObject shape = MFnDagNode(xform).child(0);
    EXPECT_TRUE(shape.hasFn(MFn::kPluginLocatorNode));
    EXPECT_TRUE(shape.hasFn(MFn::kLocator));
    EXPECT_EQ(MFnDependencyNode::classification("apiTestMarker"), MString("drawdb/geometry/apiTestMarker"));
    EXPECT_EQ(ScaleNode::constructed, before);  // other type's postConstructor untouched

    MDGModifier scale;
    scale.createNode(kScaleId);
    scale.doIt();
    EXPECT_EQ(ScaleNode::constructed, before + 1);
}

}  // namespace
