// The smooth step (weights of vertices on both sides, order, push, plane, pins and locks) and the slide
// projection onto a surface, including the hidden copy a mesh slides on when it slides on itself.
#include <maya/MFnDependencyNode.h>
#include <maya/MPlug.h>

#include "gestures_fixture.h"

namespace {

class SmoothTest : public GesturesTest {
protected:
    // The grid's point at an object-space position, as the smooth sees it in `after` (object space back).
    MPoint objectOf(const MPointArray& points, int v) const {
        return points[unsigned(v)] * mesh_.inclusiveMatrixInverse();
    }
    void raise(MPointArray& points, int v, const MPoint& object) const {
        points[unsigned(v)] = world(object);
    }
    MVectorArray noNormals() const { return MVectorArray(before_.length(), MVector::zero); }
};

TEST_F(SmoothTest, AVertexOfBothSidesCountsOnceAndIsPushedAlongItsNormal) {
    grid();
    const GestureMirror mirror = mirrorX();
    const int centre = vertexAtObject(MPoint(0, 0, 0));
    // Radius 0 about a plane vertex: the vertex is its own mirror, in both sets with weight 1.
    const SoftRegion r = region(MPoint(0, 0, 0), 0.0, true);
    ASSERT_EQ(r.overlap[unsigned(centre)], 1);
    MPointArray after = before_;
    raise(after, centre, MPoint(0, 0.4, 0));
    // Its four neighbours lie flat at 0, so strength 0.5 takes it half way down; the push adds 0.1 along
    // the world normal (the grid's object +y).
    MVectorArray normals = noNormals();
    normals[unsigned(centre)] = (MVector(0, 1, 0) * mesh_.inclusiveMatrix()).normal();
    smoothPoints(before_, after, r, neighbours_, normals, 0.5, 0.1, true, mirror, PointLimits());
    const MPoint p = objectOf(after, centre);
    EXPECT_NEAR(p.distanceTo(MPoint(0, 0.3, 0)), 0.0, 1e-9) << p.x << " " << p.y << " " << p.z;
}

TEST_F(SmoothTest, LaterVerticesSeeTheSmoothedEarlierOnes) {
    grid();
    const int a = vertexAtObject(MPoint(1, 0, 1)), b = vertexAtObject(MPoint(2, 0, 1));
    const int first = std::min(a, b), second = std::max(a, b);
    SoftRegion r;
    buildSoftRegion(hitRecord(mesh_, rayIntersectionData::kEdge, edgeBetween(mesh_, a, b), world(MPoint())),
                    rayIntersectionData(), false, 0.0, before_, neighbours_, r);
    ASSERT_EQ(r.ids.length(), 2u);
    MPointArray after = before_;
    raise(after, a, MPoint(1, 1, 1));
    raise(after, b, MPoint(2, 1, 1));
    smoothPoints(before_, after, r, neighbours_, noNormals(), 0.5, 0.0, false, GestureMirror(),
                 PointLimits());
    // The first (lower id) sees its raised partner among 4 neighbours: 1 - (1 - 1/4) / 2; the second sees
    // the first already lowered.
    const double y1 = 1 - (1 - 0.25) * 0.5, y2 = 1 - (1 - y1 / 4) * 0.5;
    EXPECT_NEAR(objectOf(after, first).y, y1, 1e-9);
    EXPECT_NEAR(objectOf(after, second).y, y2, 1e-9);
}

TEST_F(SmoothTest, PlanePinsAndLocksHold) {
    grid();
    const GestureMirror mirror = mirrorX();
    const int centre = vertexAtObject(MPoint(0, 0, 0)), right = vertexAtObject(MPoint(1, 0, 0));
    const SoftRegion r = region(MPoint(0, 0, 0), 0.0, true);
    // A lopsided neighbourhood pulls the plane vertex off the plane unless the keep holds it.
    MPointArray start = before_;
    raise(start, right, MPoint(1.5, 0.2, 0));
    raise(start, centre, MPoint(0, 0.4, 0));
    MPointArray kept = start, loose = start;
    smoothPoints(before_, kept, r, neighbours_, noNormals(), 0.5, 0.0, true, mirror, PointLimits());
    smoothPoints(before_, loose, r, neighbours_, noNormals(), 0.5, 0.0, false, mirror, PointLimits());
    EXPECT_NEAR(mirror.planeCoordinate(kept[unsigned(centre)]), 0.0, 1e-9);
    EXPECT_NEAR(objectOf(kept, centre).y, objectOf(loose, centre).y, 1e-9);
    EXPECT_NEAR(objectOf(loose, centre).x, 0.5 * (1.5 - 1) / 4, 1e-9);  // half way to the mean

    // Over a wide region: a pinned vertex keeps its start, a locked axis its start coordinate.
    const SoftRegion wide = region(MPoint(1, 0, 0), 3.0, true);
    PointLimits limits;
    limits.pinned.assign(before_.length(), 0);
    limits.pinned[size_t(right)] = 1;
    limits.lockZ = true;
    MPointArray after = start;
    for (int step = 0; step < 3; ++step)
        smoothPoints(before_, after, wide, neighbours_, noNormals(), 0.5, 0.0, true, mirror, limits);
    EXPECT_EQ(after[unsigned(right)], before_[unsigned(right)]);
    for (unsigned v = 0; v < after.length(); ++v) EXPECT_EQ(after[v].z, before_[v].z) << v;
    EXPECT_GT(after[unsigned(centre)].distanceTo(start[unsigned(centre)]), 0.1);
}

class SlideTest : public GesturesTest {
protected:
    // The grid one unit above a floor of the same extent, both unplaced.
    void prepareScene() {
        mel("polyPlane -w 30 -h 30 -sx 6 -sy 6 -n floor");
        floor_ = shapeOf("floor");
        grid(false);
        mel("setAttr grid.translateY 1");
        readMesh();
        up_ = MVectorArray(before_.length(), MVector(0, 1, 0));
    }
    double heightAboveFloor(const MPoint& p) {
        MPoint closest;
        MFnMesh(floor_).getClosestPoint(p, closest, MSpace::kWorld);
        return p.distanceTo(closest);
    }
    MDagPath floor_;
    MVectorArray up_;
};

TEST_F(SlideTest, MovedPointsLandOnTheSurface) {
    prepareScene();
    const SoftRegion r = region(MPoint(2, 0, 0), 2.0, false);
    PointLimits limits;
    limits.pinned.assign(before_.length(), 0);
    const int pinned = vertexAtObject(MPoint(3, 0, 0));
    limits.pinned[size_t(pinned)] = 1;
    SlideProjection slide;
    slide.surface = floor_;

    // Along the vertex normal (up): the floor lies behind the points, so both directions are tried.
    MPointArray after = before_;
    grabPoints(before_, after, r, MVector(0.2, 0.5, 0), MVector(), 0.6, false, GestureMirror(), limits);
    slideOntoSurface(slide, before_, after, up_, r, world(MPoint(2, 0, 0)), GestureMirror(), limits);
    for (unsigned i = 0; i < r.ids.length(); ++i) {
        const unsigned v = unsigned(r.ids[i]);
        if (int(v) == pinned) continue;
        EXPECT_NEAR(after[v].y, 0.0, 1e-5) << v;
        EXPECT_NEAR(after[v].x, before_[v].x + 0.2 * 0.6 * r.weights[i], 1e-5) << v;
    }
    EXPECT_EQ(after[unsigned(pinned)], before_[unsigned(pinned)]);
    EXPECT_EQ(after[0], before_[0]);  // outside the region

    // Along the view direction, each side with its own: the mirror side lands on the reflected points.
    const GestureMirror mirror = mirrorX();
    const SoftRegion both = region(MPoint(3, 0, 0), 1.5, true);
    slide.normalDirection = 1;
    slide.viewDirection = MVector(0.3, -1, 0.2).normal();
    slide.mirroredViewDirection = MVector(-0.3, -1, 0.2).normal();
    after = before_;
    slideOntoSurface(slide, before_, after, up_, both, world(MPoint(3, 0, 0)), mirror, PointLimits());
    for (unsigned i = 0; i < both.ids.length(); ++i) {
        const unsigned v = unsigned(both.ids[i]);
        EXPECT_NEAR(heightAboveFloor(after[v]), 0.0, 1e-5) << v;
        EXPECT_NEAR(after[v].x, before_[v].x + 0.3 / 1.0, 1e-5) << v;
        const int m = vertexAt(mesh_, mirror.reflect(before_[v]));
        EXPECT_NEAR(mirror.reflect(after[v]).distanceTo(after[unsigned(m)]), 0.0, 1e-5) << v;
    }
    EXPECT_TRUE(kxh::output().of(kxh::OutputKind::Error).empty());
}

TEST_F(SlideTest, AFailedCastSaysSoAndLeavesItsPoint) {
    prepareScene();
    const SoftRegion r = region(MPoint(2, 0, 0), 1.0, false);
    const unsigned broken = unsigned(vertexAtObject(MPoint(2, 0, 0)));
    MVectorArray normals = up_;
    normals[broken] = MVector::zero;  // no direction to cast along
    SlideProjection slide;
    slide.surface = floor_;
    MPointArray after = before_;
    slideOntoSurface(slide, before_, after, normals, r, before_[broken], GestureMirror(), PointLimits());
    EXPECT_EQ(kxh::output().of(kxh::OutputKind::Error),
              std::vector<std::string>{"intersection test resulted in a param"});
    EXPECT_EQ(after[broken], before_[broken]);
    for (unsigned i = 0; i < r.ids.length(); ++i)
        if (unsigned(r.ids[i]) != broken) EXPECT_NEAR(after[unsigned(r.ids[i])].y, 0.0, 1e-5) << r.ids[i];
}

TEST_F(SlideTest, ASlideCopyIsAHiddenIntermediateMeshOfTheSameSurface) {
    prepareScene();
    MDagPath copy;
    ASSERT_TRUE(makeSlideCopy(mesh_, copy));
    ASSERT_TRUE(copy.isValid());
    EXPECT_FALSE(copy == mesh_);
    bool intermediate = false;
    MFnDependencyNode(copy.node()).findPlug("intermediateObject", true).getValue(intermediate);
    EXPECT_TRUE(intermediate);
    EXPECT_EQ(MFnMesh(copy).numVertices(), int(before_.length()));

    // Points moved off the mesh slide back onto the copy of where it was.
    const SoftRegion r = region(MPoint(0, 0, 0), 2.0, false);
    MPointArray after = before_;
    grabPoints(before_, after, r, MVector(0, 0.7, 0), MVector(), 0.6, false, GestureMirror(), PointLimits());
    SlideProjection slide;
    slide.surface = copy;
    slideOntoSurface(slide, before_, after, up_, r, before_[0], GestureMirror(), PointLimits());
    for (unsigned i = 0; i < r.ids.length(); ++i)
        EXPECT_NEAR(after[unsigned(r.ids[i])].y, 1.0, 1e-5) << r.ids[i];
}

}  // namespace
