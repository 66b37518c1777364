// Arrays, bounding boxes, colours, units and API kinds.
#include <gtest/gtest.h>
#include <maya/MAngle.h>
#include <maya/MBoundingBox.h>
#include <maya/MCallbackIdArray.h>
#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MDistance.h>
#include <maya/MDoubleArray.h>
#include <maya/MFn.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MPointArray.h>
#include <maya/MQuaternion.h>
#include <maya/MStringArray.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>
#include <maya/MVectorArray.h>

#include <cmath>
#include <sstream>
#include <vector>

namespace {

std::vector<int> values(const MIntArray& a) {
    std::vector<int> out;
    for (unsigned i = 0; i < a.length(); ++i) out.push_back(a[i]);
    return out;
}

}  // namespace

TEST(Arrays, InsertRemoveSetAndBounds) {
    MIntArray a;
    a.append(1);
    a.append(3);
    EXPECT_TRUE(a.insert(0, 0));
    EXPECT_TRUE(a.insert(2, 2));
    EXPECT_TRUE(a.insert(4, 4));  // at length(): appends
    EXPECT_EQ(values(a), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_FALSE(a.insert(9, 6));
    EXPECT_TRUE(a.remove(0));
    EXPECT_TRUE(a.remove(3));
    EXPECT_FALSE(a.remove(3));
    EXPECT_EQ(values(a), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(a.set(7, 1));
    EXPECT_FALSE(a.set(7, 3));
    a[2] = 8;
    EXPECT_EQ(values(a), (std::vector<int>{1, 7, 8}));
    a.setLength(5);
    EXPECT_EQ(values(a), (std::vector<int>{1, 7, 8, 0, 0}));
    a.setLength(1);
    EXPECT_EQ(values(a), (std::vector<int>{1}));
    MIntArray b;
    b.copy(a);
    b.append(2);
    EXPECT_EQ(a.length(), 1u);  // copies are independent
    int sum = 0;
    for (int v : b) sum += v;
    EXPECT_EQ(sum, 3);
    b.clear();
    EXPECT_EQ(b.length(), 0u);
    std::ostringstream os;
    os << MIntArray(3, 5);
    EXPECT_EQ(os.str(), "[5, 5, 5]");
}

TEST(Arrays, ConstructionAndElementForms) {
    const double raw[] = {0.5, 1.5, 2.5};
    MDoubleArray d(raw, 3);
    double back[3];
    d.get(back);
    EXPECT_EQ(back[2], 2.5);
    // Growing a point array fills with the origin (w = 1).
    MPointArray pts;
    pts.setLength(2);
    EXPECT_EQ(pts[1], MPoint(0, 0, 0, 1));
    pts.append(1, 2);
    pts.append(MVector(4, 5, 6));
    EXPECT_EQ(pts[2], MPoint(1, 2, 0, 1));
    EXPECT_EQ(pts[3], MPoint(4, 5, 6, 1));
    EXPECT_TRUE(pts.set(0, 9.0, 8.0, 7.0));
    EXPECT_EQ(pts[0], MPoint(9, 8, 7));
    double flat[4][4];
    pts.get(flat);
    EXPECT_EQ(flat[3][2], 6.0);
    MPointArray fromRaw(flat, 4);
    EXPECT_EQ(fromRaw[3], pts[3]);
    const double vraw[2][3] = {{1, 0, 0}, {0, 1, 0}};
    MVectorArray vecs(vraw, 2);
    EXPECT_EQ(vecs[1], MVector::yAxis);
    MColorArray colors(2, MColor(1, 0, 0));
    colors.append(0, 1, 0, 0.5f);
    EXPECT_EQ(colors[2], MColor(0, 1, 0, 0.5f));
    MStringArray names;
    names.append("a");
    names.insert("b", 0);
    EXPECT_STREQ(names[0].asChar(), "b");
    MCallbackIdArray ids;
    ids.append(MCallbackId(42));
    EXPECT_EQ(ids[0], 42u);
}

TEST(BoundingBox, EmptyExpandContainsIntersects) {
    MBoundingBox box;
    EXPECT_FALSE(box.contains(MPoint::origin));
    EXPECT_EQ(box.width(), 0.0);
    box.expand(MPoint(1, 2, 3));
    EXPECT_TRUE(box.contains(MPoint(1, 2, 3)));
    EXPECT_EQ(box.width(), 0.0);
    box.expand(MPoint(-1, 4, 3));
    EXPECT_EQ(box.min(), MPoint(-1, 2, 3));
    EXPECT_EQ(box.max(), MPoint(1, 4, 3));
    EXPECT_EQ(box.center(), MPoint(0, 3, 3));
    EXPECT_TRUE(box.contains(MPoint(1, 4, 3)));  // faces are inside
    EXPECT_FALSE(box.contains(MPoint(1.0001, 3, 3)));

    MBoundingBox corners(MPoint(2, 0, 5), MPoint(0, 3, -5));  // corners in any order
    EXPECT_EQ(corners.min(), MPoint(0, 0, -5));
    EXPECT_EQ(corners.depth(), 10.0);
    EXPECT_TRUE(corners.intersects(box));
    MBoundingBox far(MPoint(10, 10, 10), MPoint(11, 11, 11));
    EXPECT_FALSE(far.intersects(corners));
    EXPECT_TRUE(far.intersects(MBoundingBox(MPoint(0, 0, 0), MPoint(9.5, 9.5, 9.5)), 0.5));
    MBoundingBox merged;
    merged.expand(far);
    merged.expand(MBoundingBox());  // an empty box adds nothing
    merged.expand(corners);
    EXPECT_EQ(merged.min(), MPoint(0, 0, -5));
    EXPECT_EQ(merged.max(), MPoint(11, 11, 11));
    merged.clear();
    EXPECT_FALSE(merged.contains(MPoint(1, 1, 1)));
}

TEST(BoundingBox, TransformUsingBoundsTheTransformedCorners) {
    MBoundingBox unit(MPoint(-1, -1, -1), MPoint(1, 1, 1));
    MMatrix m = MQuaternion(M_PI / 4, MVector::zAxis).asMatrix();
    m[3][0] = 10;
    unit.transformUsing(m);
    EXPECT_NEAR(unit.width(), 2 * std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(unit.depth(), 2.0, 1e-12);
    EXPECT_TRUE(unit.center().isEquivalent(MPoint(10, 0, 0), 1e-12));
}

TEST(Units, DistanceConversions) {
    MDistance d(2.54, MDistance::kCentimeters);
    EXPECT_NEAR(d.asInches(), 1.0, 1e-15);
    EXPECT_NEAR(MDistance(1.0, MDistance::kMiles).asKilometers(), 1.609344, 1e-12);
    EXPECT_NEAR(MDistance(3.0, MDistance::kFeet).as(MDistance::kYards), 1.0, 1e-15);
    EXPECT_NEAR(MDistance(1500.0, MDistance::kMillimeters).asMeters(), 1.5, 1e-15);
    EXPECT_EQ(MDistance::internalUnit(), MDistance::kCentimeters);
    MStatus st;
    EXPECT_EQ(d.as(MDistance::kInvalid, &st), 0.0);
    EXPECT_EQ(st, MS::kInvalidParameter);
    // setUnit reinterprets the value, it does not convert it.
    d.setUnit(MDistance::kMeters);
    EXPECT_DOUBLE_EQ(d.asCentimeters(), 254.0);

    ASSERT_EQ(MDistance::uiUnit(), MDistance::kCentimeters);
    EXPECT_TRUE(MDistance::setUIUnit(MDistance::kMeters));
    EXPECT_DOUBLE_EQ(MDistance(250.0).asUnits(), 2.5);
    EXPECT_DOUBLE_EQ(MDistance::internalToUI(50.0), 0.5);
    EXPECT_DOUBLE_EQ(MDistance::uiToInternal(0.5), 50.0);
    EXPECT_FALSE(MDistance::setUIUnit(MDistance::kLast));
    EXPECT_EQ(MDistance::uiUnit(), MDistance::kMeters);
    MDistance::setUIUnit(MDistance::kCentimeters);
}

TEST(Units, AngleConversions) {
    EXPECT_NEAR(MAngle(M_PI).asDegrees(), 180.0, 1e-12);
    EXPECT_NEAR(MAngle(1.0, MAngle::kDegrees).asAngMinutes(), 60.0, 1e-12);
    EXPECT_NEAR(MAngle(1.0, MAngle::kAngMinutes).asAngSeconds(), 60.0, 1e-12);
    EXPECT_EQ(MAngle::internalUnit(), MAngle::kRadians);
    EXPECT_EQ(MAngle::uiUnit(), MAngle::kDegrees);
    EXPECT_NEAR(MAngle::uiToInternal(90.0), M_PI / 2, 1e-15);
    EXPECT_NEAR(MAngle(M_PI / 2).asUnits(), 90.0, 1e-12);
}

TEST(Colors, ModelsConvert) {
    MColor red(MColor::kHSV, 0.0f, 1.0f, 1.0f);
    EXPECT_TRUE(red.isEquivalent(MColor(1, 0, 0)));
    EXPECT_TRUE(MColor(MColor::kHSV, 240.0f, 0.5f, 0.8f).isEquivalent(MColor(0.4f, 0.4f, 0.8f)));
    float h, s, v;
    MColor(0.4f, 0.4f, 0.8f).get(MColor::kHSV, h, s, v);
    EXPECT_NEAR(h, 240.0f, 1e-4);
    EXPECT_NEAR(s, 0.5f, 1e-6);
    EXPECT_TRUE(MColor(MColor::kCMY, 0.0f, 1.0f, 1.0f, 0.5f).isEquivalent(MColor(1, 0, 0, 0.5f)));
    EXPECT_EQ(MColor(1, 1, 1) * 0.5f, MColor(0.5f, 0.5f, 0.5f, 0.5f));
}

TEST(Kinds, NumbersNamesAndAncestry) {
    // The published numbers the plug-in's code and data may rely on.
    EXPECT_EQ(int(MFn::kMesh), 296);
    EXPECT_EQ(int(MFn::kMeshVertComponent), 547);
    EXPECT_EQ(int(MFn::kPolyTweakUV), 701);
    EXPECT_EQ(int(MFn::kMeshMapComponent), 808);
    EXPECT_STREQ(kxh::apiTypeName(MFn::kPolyTweakUV), "kPolyTweakUV");
    EXPECT_STREQ(kxh::apiTypeName(MFn::kMeshEdgeComponent), "kMeshEdgeComponent");
    EXPECT_STREQ(kxh::apiTypeName(MFn::Type(3)), "kInvalid");
    EXPECT_TRUE(kxh::apiTypeIsA(MFn::kMesh, MFn::kDagNode));
    EXPECT_TRUE(kxh::apiTypeIsA(MFn::kMesh, MFn::kMesh));
    EXPECT_TRUE(kxh::apiTypeIsA(MFn::kPluginLocatorNode, MFn::kLocator));
    EXPECT_TRUE(kxh::apiTypeIsA(MFn::kTransform, MFn::kDependencyNode));
    EXPECT_FALSE(kxh::apiTypeIsA(MFn::kTransform, MFn::kShape));
    EXPECT_TRUE(kxh::apiTypeIsA(MFn::kMeshVertComponent, MFn::kComponent));
    EXPECT_FALSE(kxh::apiTypeIsA(MFn::kMeshData, MFn::kDependencyNode));
    EXPECT_TRUE(kxh::apiTypeIsA(MFn::kIntArrayData, MFn::kData));
    EXPECT_FALSE(kxh::apiTypeIsA(MFn::kInvalid, MFn::kBase));
    // Every kind's ancestry ends at kBase (or is kInvalid itself).
    for (int n = 1; n < MFn::kLast; ++n) {
        auto t = MFn::Type(n);
        if (std::string(kxh::apiTypeName(t)) == "kInvalid") continue;
        EXPECT_TRUE(kxh::apiTypeIsA(t, MFn::kBase)) << kxh::apiTypeName(t);
    }
}

TEST(Kinds, TypeIdsAndVersion) {
    EXPECT_EQ(MTypeId(1126285).id(), 1126285u);
    EXPECT_EQ(MTypeId(0x112F, 0x8D), MTypeId(0x112F8D));
    EXPECT_NE(MTypeId(1), MTypeId(2));
    EXPECT_EQ(MAYA_API_VERSION, 201104);
    EXPECT_EQ(int(MSpace::kObject), int(MSpace::kPreTransform));
}
