// Plugs and dynamic attributes of every kind: names, values, array elements, connections, data round trips.
#include <maya/MDGModifier.h>
#include <maya/MDagModifier.h>
#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnDoubleArrayData.h>
#include <maya/MFnEnumAttribute.h>
#include <maya/MFnGenericAttribute.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnMatrixAttribute.h>
#include <maya/MFnMatrixData.h>
#include <maya/MFnMessageAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPointArrayData.h>
#include <maya/MFnStringData.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MPointArray.h>

#include "api_test_util.h"

using kxh::apitest::ApiTest;

namespace {

class PlugTest : public ApiTest {
protected:
    MObject node;
    void SetUp() override {
        ApiTest::SetUp();
        MDagModifier mod;
        node = mod.createNode("transform");
        mod.renameNode(node, "holder");
        ASSERT_TRUE(mod.doIt());
    }
};

TEST_F(PlugTest, NumericAttributesRoundTripWithTheirTypes) {
    MFnDependencyNode fn(node);
    MFnNumericAttribute nAttr;
    MObject d = nAttr.create("weight", "w", MFnNumericData::kDouble, 0.25);
    nAttr.setMin(0.0);
    nAttr.setMax(1.0);
    MObject i = nAttr.create("count", "cnt", MFnNumericData::kInt, 7);
    MObject b = nAttr.create("enabled", "en", MFnNumericData::kBoolean, 1);
    for (MObject* a : {&d, &i, &b}) ASSERT_TRUE(fn.addAttribute(*a));

    EXPECT_TRUE(fn.hasAttribute("weight"));
    EXPECT_TRUE(fn.hasAttribute("cnt"));
    EXPECT_DOUBLE_EQ(fn.findPlug("weight").asDouble(), 0.25);  // default before any set
    EXPECT_EQ(fn.findPlug("count").asInt(), 7);
    EXPECT_TRUE(fn.findPlug("en").asBool());

    MPlug ip = fn.findPlug("count");
    ASSERT_TRUE(ip.setValue(3.9));  // an int attribute keeps the integer part
    EXPECT_EQ(ip.asInt(), 3);
    MPlug bp = fn.findPlug("enabled");
    bp.setBool(false);
    EXPECT_FALSE(bp.asBool());
    EXPECT_FALSE(fn.findPlug("count").setString("x"));  // text into a number fails

    MFnNumericAttribute back(fn.attribute("weight"));
    double mn = -1, mx = -1;
    EXPECT_TRUE(back.getMin(mn));
    EXPECT_TRUE(back.getMax(mx));
    EXPECT_DOUBLE_EQ(mn, 0.0);
    EXPECT_DOUBLE_EQ(mx, 1.0);
    EXPECT_EQ(back.unitType(), MFnNumericData::kDouble);

    // A missing attribute gives a null plug and a failed status.
    MStatus st;
    MPlug none = fn.findPlug("nothing", &st);
    EXPECT_FALSE(st);
    EXPECT_TRUE(none.isNull());
}

TEST_F(PlugTest, CompoundsPointsAndEnumsReadAsTheirParts) {
    MFnDependencyNode fn(node);
    MFnNumericAttribute nAttr;
    MObject pos = nAttr.createPoint("spot", "spo");
    EXPECT_FALSE(fn.addAttribute(nAttr.createPoint("other", "sp")));  // "sp" is scalePivot's
    ASSERT_TRUE(fn.addAttribute(pos));
    MPlug p = fn.findPlug("spot");
    EXPECT_TRUE(p.isCompound());
    ASSERT_EQ(p.numChildren(), 3u);
    EXPECT_EQ(p.child(1).name(), MString("holder.spotY"));
    p.child(2).setFloat(2.5f);
    EXPECT_FLOAT_EQ(fn.findPlug("spotZ").asFloat(), 2.5f);
    EXPECT_TRUE(p.child(2).parent() == p);

    MFnEnumAttribute eAttr;
    MObject mode = eAttr.create("mode", "md", 1);
    eAttr.addField("off", 0);
    eAttr.addField("on", 1);
    eAttr.addField("auto", 5);
    EXPECT_FALSE(eAttr.addField("on", 2));  // names are unique
    ASSERT_TRUE(fn.addAttribute(mode));
    MFnEnumAttribute back(fn.attribute("md"));
    EXPECT_EQ(back.fieldIndex("auto"), 5);
    EXPECT_EQ(back.fieldName(0), MString("off"));
    short mx = 0;
    back.getMax(mx);
    EXPECT_EQ(mx, 5);
    EXPECT_EQ(fn.findPlug("mode").asShort(), 1);
}

TEST_F(PlugTest, ArrayElementsComeIntoBeingOnDemandAndNameThemselves) {
    MFnDependencyNode fn(node);
    MFnCompoundAttribute cAttr;
    MFnNumericAttribute nAttr;
    MObject cx = nAttr.create("offX", "ox", MFnNumericData::kDouble);
    MObject cy = nAttr.create("offY", "oy", MFnNumericData::kDouble);
    MObject offs = cAttr.create("offsets", "ofs");
    cAttr.addChild(cx);
    cAttr.addChild(cy);
    cAttr.setArray(true);
    ASSERT_TRUE(fn.addAttribute(offs));

    MPlug arr = fn.findPlug("offsets");
    EXPECT_TRUE(arr.isArray());
    EXPECT_EQ(arr.numElements(), 0u);
    MPlug e3 = arr.elementByLogicalIndex(3);
    EXPECT_TRUE(e3.isElement());
    EXPECT_EQ(e3.logicalIndex(), 3u);
    EXPECT_EQ(arr.numElements(), 1u);  // asking for the element made it
    EXPECT_EQ(e3.child(1).name(), MString("holder.offsets[3].offY"));
    EXPECT_EQ(e3.child(1).partialName(), MString("ofs[3].oy"));
    EXPECT_EQ(e3.child(1).partialName(true, false, false, false, false, true),
              MString("holder.offsets[3].offY"));

    arr.elementByLogicalIndex(7).child(0).setDouble(1.5);
    arr.elementByLogicalIndex(1).child(0).setDouble(-2);
    ASSERT_EQ(arr.numElements(), 3u);
    // Physical order is the sorted logical order.
    EXPECT_EQ(arr.elementByPhysicalIndex(0).logicalIndex(), 1u);
    EXPECT_EQ(arr.elementByPhysicalIndex(2).logicalIndex(), 7u);
    EXPECT_DOUBLE_EQ(arr.elementByPhysicalIndex(2).child(0).asDouble(), 1.5);
    MStatus st;
    arr.elementByPhysicalIndex(3, &st);
    EXPECT_FALSE(st);
    MIntArray existing;
    arr.getExistingArrayAttributeIndices(existing);
    ASSERT_EQ(existing.length(), 3u);
    EXPECT_EQ(existing[1], 3);
}

TEST_F(PlugTest, TypedGenericMatrixAndMessageDataRoundTrip) {
    MFnDependencyNode fn(node);
    MFnTypedAttribute tAttr;
    MObject label = tAttr.create("label", "lb", MFnData::kString);
    MObject ids = tAttr.create("ids", "ids", MFnData::kIntArray);
    MFnGenericAttribute gAttr;
    MObject pins = gAttr.create("kxPinnedVertexArray", "kxparr");
    gAttr.addDataAccept(MFnData::kIntArray);
    gAttr.addDataAccept(MFnData::kPointArray);
    gAttr.setKeyable(false);
    gAttr.setStorable(true);
    gAttr.setCached(false);
    MFnMatrixAttribute mAttr;
    MObject xf = mAttr.create("xf", "xf");
    MFnMessageAttribute msgAttr;
    MObject link = msgAttr.create("link", "lk");
    for (MObject* a : {&label, &ids, &pins, &xf, &link}) ASSERT_TRUE(fn.addAttribute(*a));
    EXPECT_FALSE(fn.addAttribute(label));  // already on a node

    MPlug lp = fn.findPlug("label");
    ASSERT_TRUE(lp.setValue(MString("hello")));
    EXPECT_EQ(lp.asString(), MString("hello"));
    MObject sdata;
    ASSERT_TRUE(lp.getValue(sdata));
    EXPECT_EQ(MFnStringData(sdata).string(), MString("hello"));

    // A never-set data plug reads as a null object.
    MObject empty;
    ASSERT_TRUE(fn.findPlug("kxparr").getValue(empty));
    EXPECT_TRUE(empty.isNull());

    MIntArray in;
    in.append(4);
    in.append(9);
    MFnIntArrayData iData;
    MObject io = iData.create(in);
    ASSERT_TRUE(fn.findPlug("kxparr").setValue(io));
    MObject got;
    fn.findPlug("kxparr").getValue(got);
    EXPECT_EQ(got.apiType(), MFn::kIntArrayData);
    MIntArray out;
    MFnIntArrayData(got).copyTo(out);
    ASSERT_EQ(out.length(), 2u);
    EXPECT_EQ(out[1], 9);

    // Changing the data object read back does not change the plug until it is set again.
    MFnIntArrayData change(got);
    change.set(42, 0);
    MObject again;
    fn.findPlug("kxparr").getValue(again);
    EXPECT_EQ(MFnIntArrayData(again)[0], 4);
    ASSERT_TRUE(fn.findPlug("kxparr").setValue(got));
    fn.findPlug("kxparr").getValue(again);
    EXPECT_EQ(MFnIntArrayData(again)[0], 42);

    // Data of a kind the attribute does not accept is refused.
    MFnDoubleArrayData dData;
    MObject dObj = dData.create();
    EXPECT_FALSE(fn.findPlug("ids").setValue(dObj));
    MPointArray pts;
    pts.append(MPoint(1, 2, 3));
    MObject pObj = MFnPointArrayData().create(pts);
    EXPECT_TRUE(fn.findPlug("kxparr").setValue(pObj));

    MMatrix m;
    m[3][0] = 7;
    MObject mObj = MFnMatrixData().create(m);
    ASSERT_TRUE(fn.findPlug("xf").setValue(mObj));
    MObject mBack = fn.findPlug("xf").asMObject();
    EXPECT_DOUBLE_EQ(MFnMatrixData(mBack).matrix()[3][0], 7);

    // Removing a dynamic attribute takes its plug away.
    ASSERT_TRUE(fn.removeAttribute(fn.attribute("label")));
    EXPECT_FALSE(fn.hasAttribute("label"));
    EXPECT_EQ(fn.attributeClass(fn.attribute("ids")), MFnDependencyNode::kLocalDynamicAttr);
    EXPECT_EQ(fn.attributeClass(fn.attribute("translateX")), MFnDependencyNode::kNormalAttr);
}

TEST_F(PlugTest, ConnectionsReportBothEndsAndCarryValues) {
    MDagModifier mod;
    MObject other = mod.createNode("transform");
    mod.renameNode(other, "other");
    ASSERT_TRUE(mod.doIt());
    MFnDependencyNode a(node), b(other);
    MDGModifier dg;
    dg.connect(node, a.attribute("translateX"), other, b.attribute("rotateY"));
    dg.connect(a.findPlug("message"), b.findPlug("visibility"));
    ASSERT_TRUE(dg.doIt());

    MPlugArray srcs;
    EXPECT_TRUE(b.findPlug("rotateY").connectedTo(srcs, true, false));
    ASSERT_EQ(srcs.length(), 1u);
    EXPECT_EQ(srcs[0].name(), MString("holder.translateX"));
    MPlugArray dsts;
    EXPECT_TRUE(a.findPlug("translateX").connectedTo(dsts, false, true));
    EXPECT_EQ(dsts.length(), 1u);
    EXPECT_FALSE(a.findPlug("translateX").connectedTo(dsts, true, false));

    a.findPlug("translateX").setDouble(0.75);
    EXPECT_DOUBLE_EQ(b.findPlug("rotateY").asDouble(), 0.75);
    EXPECT_FALSE(b.findPlug("rotateY").setDouble(1));  // a connected destination is not settable

    MPlugArray all;
    b.getConnections(all);
    EXPECT_EQ(all.length(), 2u);

    dg.undoIt();
    EXPECT_FALSE(b.findPlug("rotateY").isConnected());
}

}  // namespace
