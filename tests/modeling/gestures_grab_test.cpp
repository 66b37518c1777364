// The soft region and the grab step: which vertices a region holds and with what weights, how far a grab
// moves them, the mirrored side, the symmetry plane, pins and axis locks.
#include <set>

#include "gestures_fixture.h"

namespace {

TEST_F(GesturesTest, RegionWeightsFallFromTheHitToTheRadius) {
    // Unplaced, so that vertices exactly on the radius stay exactly there.
    grid(false);
    // Radius 0: the picked component's own vertices, whatever the point of the record says.
    SoftRegion r;
    MIntArray corners;
    MFnMesh(mesh_).getPolygonVertices(12, corners);
    buildSoftRegion(hitRecord(mesh_, rayIntersectionData::kFace, 12, MPoint(100, 0, 0)),
                    rayIntersectionData(), false, 0.0, before_, neighbours_, r);
    EXPECT_EQ(std::set<int>(r.ids.begin(), r.ids.end()), std::set<int>(corners.begin(), corners.end()));
    for (unsigned i = 0; i < r.weights.length(); ++i) EXPECT_EQ(r.weights[i], 1.0);
    EXPECT_EQ(r.mirrorIds.length(), 0u);
    EXPECT_EQ(r.overlap.length(), before_.length());

    // Radius 2 about (2, 0, 0): 1 at the hit, 0.5 halfway, 0 on the radius (taken, but it will not move).
    r = region(MPoint(2, 0, 0), 2.0, false);
    EXPECT_EQ(r.ids.length(), 13u);
    EXPECT_DOUBLE_EQ(weightOf(r, vertexAtObject(MPoint(2, 0, 0))), 1.0);
    EXPECT_NEAR(weightOf(r, vertexAtObject(MPoint(3, 0, 0))), 0.5, 1e-9);
    EXPECT_NEAR(weightOf(r, vertexAtObject(MPoint(2, 0, -2))), 0.0, 1e-9);
    EXPECT_EQ(weightOf(r, vertexAtObject(MPoint(5, 0, 0))), -1);

    // With mirror the region about (-2, 0, 0) follows; regions that meet at the plane share its vertices.
    r = region(MPoint(1, 0, 0), 2.0, true);
    std::set<int> mirrored(r.mirrorIds.begin(), r.mirrorIds.end());
    EXPECT_EQ(mirrored.size(), 13u);
    EXPECT_TRUE(mirrored.count(vertexAtObject(MPoint(-3, 0, 0))));
    for (unsigned v = 0; v < r.overlap.length(); ++v) {
        const bool inBoth = weightOf(r, int(v)) >= 0 && mirrored.count(int(v));
        EXPECT_EQ(r.overlap[v], inBoth ? 1 : 0) << v;
    }
    EXPECT_EQ(r.overlap[unsigned(vertexAtObject(MPoint(0, 0, 1)))], 1);
}

TEST_F(GesturesTest, GrabMovesEachVertexByItsWeightTimesTheIntensity) {
    grid();
    const SoftRegion r = region(MPoint(2, 0, 0), 2.0, false);
    MPointArray after = before_;
    const MVector d(0.3, 1.2, -0.4);
    // The default intensity of 60 (percent).
    grabPoints(before_, after, r, d, MVector(), 60 * 0.01, false, GestureMirror(), PointLimits());
    for (unsigned v = 0; v < after.length(); ++v) {
        const double w = weightOf(r, int(v));
        const MVector moved = after[v] - before_[v];
        EXPECT_NEAR((moved - d * (0.6 * (w < 0 ? 0 : w))).length(), 0.0, 1e-12) << v;
    }
    const int hit = vertexAtObject(MPoint(2, 0, 0)), half = vertexAtObject(MPoint(3, 0, 0));
    EXPECT_NEAR((after[unsigned(hit)] - before_[unsigned(hit)]).length(), 0.6 * d.length(), 1e-12);
    EXPECT_NEAR((after[unsigned(half)] - before_[unsigned(half)]).length(), 0.3 * d.length(), 1e-12);
    // A vertex on the radius stays put.
    const int rim = vertexAtObject(MPoint(4, 0, 0));
    EXPECT_EQ(after[unsigned(rim)], before_[unsigned(rim)]);

    // Each step starts again from the gesture's start: the same displacement twice gives the same points.
    MPointArray again = after;
    grabPoints(before_, again, r, d, MVector(), 0.6, false, GestureMirror(), PointLimits());
    for (unsigned v = 0; v < after.length(); ++v) EXPECT_EQ(again[v], after[v]);
}

TEST_F(GesturesTest, MirrorSideOfAGrabIsTheExactReflection) {
    grid();
    const GestureMirror mirror = mirrorX();
    const SoftRegion r = region(MPoint(3, 0, 1), 1.5, true);
    ASSERT_GT(r.ids.length(), 4u);
    const MPoint h = world(MPoint(3, 0, 1));
    const MPoint t = h + MVector(0.7, -0.2, 0.9);
    const MVector dm = mirroredDisplacement(h, t, mirror);
    MPointArray after = before_;
    grabPoints(before_, after, r, t - h, dm, 0.6, true, mirror, PointLimits());
    for (unsigned i = 0; i < r.ids.length(); ++i) {
        const unsigned v = unsigned(r.ids[i]);
        const int m = vertexAt(mesh_, mirror.reflect(before_[v]));
        ASSERT_GE(m, 0);
        EXPECT_NEAR(mirror.reflect(after[v]).distanceTo(after[unsigned(m)]), 0.0, 1e-9) << v;
    }
    // In world space the plane is world x = 0, which is not the placed grid's plane.
    const GestureMirror worldMirror = gestureMirrorFor(mesh_, true, 0, true);
    EXPECT_NEAR(worldMirror.planeCoordinate(MPoint(0, 4, -2)), 0.0, 1e-15);
    EXPECT_GT(std::fabs(worldMirror.planeCoordinate(world(MPoint(0, 0, 3)))), 0.1);
    EXPECT_NEAR(mirror.planeCoordinate(world(MPoint(0, 0, 3))), 0.0, 1e-12);
}

TEST_F(GesturesTest, PlaneVerticesStayOnThePlaneWhenKept) {
    grid();
    const GestureMirror mirror = mirrorX();
    // The hit on the plane: both regions are the same vertices, every plane vertex is in both.
    const SoftRegion r = region(MPoint(0, 0, 0), 2.5, true);
    const MPoint h = world(MPoint(0, 0, 0));
    const MVector d = world(MPoint(0.8, 0.5, 0.3)) - h;  // off the plane in object space
    std::vector<int> plane;
    for (unsigned i = 0; i < r.ids.length(); ++i)
        if (mirror.onPlane(before_[unsigned(r.ids[i])])) plane.push_back(r.ids[i]);
    ASSERT_EQ(plane.size(), 5u);

    MPointArray kept = before_;
    grabPoints(before_, kept, r, d, mirroredDisplacement(h, h + d, mirror), 0.6, true, mirror, PointLimits());
    for (int v : plane) {
        EXPECT_NEAR(mirror.planeCoordinate(kept[unsigned(v)]), 0.0, 1e-9) << v;
        EXPECT_GT(kept[unsigned(v)].distanceTo(before_[unsigned(v)]), 1e-3) << v;  // moved along the plane
    }

    // Axis lock without mirror: the keep alone holds the plane vertices, which leave it without.
    GestureMirror lockOnly = mirror;
    lockOnly.enabled = false;
    MPointArray locked = before_, loose = before_;
    grabPoints(before_, locked, r, d, MVector(), 0.6, true, lockOnly, PointLimits());
    grabPoints(before_, loose, r, d, MVector(), 0.6, false, lockOnly, PointLimits());
    const unsigned centre = unsigned(vertexAtObject(MPoint(0, 0, 0)));
    for (int v : plane) EXPECT_NEAR(mirror.planeCoordinate(locked[unsigned(v)]), 0.0, 1e-9) << v;
    EXPECT_NEAR(mirror.planeCoordinate(loose[centre]), 0.8 * 0.6, 1e-9);
    // Off the plane the keep changes nothing.
    const unsigned off = unsigned(vertexAtObject(MPoint(1, 0, 0)));
    EXPECT_NEAR(locked[off].distanceTo(loose[off]), 0.0, 1e-12);
}

TEST_F(GesturesTest, PinsAndAxisLocksHoldAgainstTheGestureStart) {
    grid();
    const GestureMirror mirror = mirrorX();
    const SoftRegion r = region(MPoint(2, 0, 0), 3.0, true);
    const int pinned = vertexAtObject(MPoint(2, 0, 1)), pinnedMirror = vertexAtObject(MPoint(-3, 0, 0));
    PointLimits limits;
    limits.pinned.assign(before_.length(), 0);
    limits.pinned[size_t(pinned)] = limits.pinned[size_t(pinnedMirror)] = 1;
    limits.lockY = true;
    const MPoint h = world(MPoint(2, 0, 0));
    const MVector d(1.0, 2.0, -1.5);
    MPointArray after = before_;
    // Two steps, so a lock cannot hold against the previous step instead of the start.
    for (double scale : {0.5, 1.0})
        grabPoints(before_, after, r, d * scale, mirroredDisplacement(h, h + d * scale, mirror), 0.6, false,
                   mirror, limits);
    EXPECT_EQ(after[unsigned(pinned)], before_[unsigned(pinned)]);
    EXPECT_EQ(after[unsigned(pinnedMirror)], before_[unsigned(pinnedMirror)]);
    int moved = 0;
    for (unsigned v = 0; v < after.length(); ++v) {
        EXPECT_EQ(after[v].y, before_[v].y) << v;
        moved += after[v].distanceTo(before_[v]) > 1e-6;
    }
    EXPECT_GT(moved, 30);

    // Locks alone keep just their coordinate; a pin keeps all three.
    PointLimits locks;
    locks.lockX = locks.lockZ = true;
    EXPECT_EQ(locks.apply(0, MPoint(1, 2, 3), MPoint(4, 5, 6)), MPoint(4, 2, 6));
    EXPECT_EQ(limits.apply(pinned, MPoint(1, 2, 3), MPoint(4, 5, 6)), MPoint(4, 5, 6));
    EXPECT_FALSE(limits.isPinned(-1));
    EXPECT_FALSE(limits.isPinned(int(before_.length()) + 3));
}

}  // namespace
