// The radius gesture (the new radius and the circle drawn for it) and the tablet reader, which is inert
// on a machine without the tablet interface library.
#include <maya/M3dView.h>

#include "brushes/tablet.h"
#include "geometry/viewPicking.h"
#include "gestures_fixture.h"

namespace {

TEST_F(GesturesTest, RadiusDragGrowsToTheRightAndStopsAtZero) {
    EXPECT_DOUBLE_EQ(radiusFromDrag(0.5, 0.25, true), 0.75);
    EXPECT_DOUBLE_EQ(radiusFromDrag(0.5, 0.25, false), 0.25);
    EXPECT_EQ(radiusFromDrag(0.5, 0.8, false), 0.0);
    EXPECT_EQ(radiusFromDrag(0.0, 3.0, false), 0.0);
}

TEST_F(GesturesTest, RadiusCircleFacesTheViewAndCloses) {
    place(MPoint(0, 0, 40), MPoint(0, 0, 0));
    M3dView v = view();
    const short cx = short(v.portWidth() / 2), cy = short(v.portHeight() / 2);
    const MPoint centre(0, 0, 0);
    const double radius = 3.0;
    const MPointArray circle = radiusCircle(v, cx, cy, centre, radius, 1.0f);
    ASSERT_EQ(circle.length(), 61u);

    // Seen from the press, the circle is round: every point lies on screen where the circle of that radius
    // about the centre does (within the whole pixels it passes through).
    short ox, oy, rx, ry;
    v.worldToView(centre, ox, oy);
    v.worldToView(centre + MVector(radius, 0, 0), rx, ry);
    const double screenRadius = std::hypot(double(rx - ox), double(ry - oy));
    double extent = 0;
    for (unsigned i = 0; i < circle.length(); ++i) {
        short x, y;
        ASSERT_TRUE(v.worldToView(circle[i], x, y));
        EXPECT_NEAR(std::hypot(double(x - ox), double(y - oy)), screenRadius, 1.5) << i;
        extent = std::max(extent, circle[i].distanceTo(circle[0]));
    }
    // Drawn just in front of the near plane, and closed: the last point falls back onto the first.
    MPoint nearPoint, farPoint;
    v.viewToWorld(cx, cy, nearPoint, farPoint);
    EXPECT_LT(circle[0].distanceTo(nearPoint), circle[0].distanceTo(centre));
    EXPECT_GT(extent, 0.0);
    EXPECT_LT(circle[60].distanceTo(circle[0]), 0.02 * extent);

    // Pressed off the view's axis, the circle still faces the ray through the press.
    const short px = short(cx + 120), py = short(cy - 60);
    const MPoint offCentre = screenToWorldAtDepth(v, px, py, centre);
    const MPointArray off = radiusCircle(v, px, py, offCentre, radius, 1.0f);
    ASSERT_EQ(off.length(), 61u);
    v.worldToView(offCentre, ox, oy);
    double least = 1e9, most = 0;
    for (unsigned i = 0; i < off.length(); ++i) {
        short x, y;
        v.worldToView(off[i], x, y);
        const double d = std::hypot(double(x - ox), double(y - oy));
        least = std::min(least, d);
        most = std::max(most, d);
    }
    EXPECT_GT(least, 0.8 * most);
}

TEST(TabletTest, WithoutTheInterfaceLibraryNothingIsRead) {
    EXPECT_EQ(tabletLibraryState(), 1);
    PenSample sample;
    sample.pressure = 0.7f;
    EXPECT_FALSE(readPenSample(sample));
    EXPECT_FALSE(readPenSample(sample, 0));
    EXPECT_EQ(sample.pressure, 0.7f);
}

TEST(TabletTest, PacketsAreScaledByTheirAxes) {
    TabletScale scale;
    scale.pressure = tabletAxisFactor(1023);
    scale.tangent = tabletAxisFactor(0);  // an axis the device lacks
    scale.invExtentX = tabletAxisFactor(20000);
    scale.invExtentY = tabletAxisFactor(15000);
    TabletPacket packet{};
    packet.normalPressure = 1023;
    packet.tangentPressure = 300;
    packet.x = 5000;
    packet.y = 15000;
    packet.cursor = 2;
    packet.buttons = 5;
    PenSample sample = penSampleFromPacket(packet, scale, 1, 77);
    EXPECT_FLOAT_EQ(sample.pressure, 1.0f);
    EXPECT_EQ(sample.tangentPressure, 0.0f);
    EXPECT_FLOAT_EQ(sample.x, 0.25f);
    EXPECT_FLOAT_EQ(sample.y, 1.0f);
    EXPECT_EQ(sample.cursorIndex, 2);
    EXPECT_EQ(sample.buttons, 5u);
    EXPECT_EQ(sample.contextIndex, 1);
    EXPECT_EQ(sample.physicalCursorId, 77);
    EXPECT_EQ(sample.flags & 1u, 0u);

    scale.pressure = tabletAxisFactor(1024);
    packet.normalPressure = 512;
    EXPECT_FLOAT_EQ(penSampleFromPacket(packet, scale, 0, 0).pressure, 0.5f);
    // Pressure is read unsigned: a large raw value is not taken for a negative one.
    scale.pressure = tabletAxisFactor(4294967295L);
    packet.normalPressure = 4294967295u;
    EXPECT_NEAR(penSampleFromPacket(packet, scale, 0, 0).pressure, 1.0f, 1e-6);
}

}  // namespace
