// World <-> port conversions of M3dView for perspective and orthographic cameras.
#include <maya/MFnDagNode.h>
#include <maya/MMatrix.h>

#include <climits>
#include <cmath>
#include <string>

#include "view_fixture.h"

namespace {

struct Placement {
    MPoint eye, lookAt;
    bool ortho;
    int width, height;
};

const Placement kPlacements[] = {
    {MPoint(28, 21, 28), MPoint(0, 0, 0), false, 640, 480},
    {MPoint(0, 0, 15), MPoint(0, 0, 0), false, 800, 600},
    {MPoint(-7, 30, 2), MPoint(1, -2, 3), false, 333, 917},
    {MPoint(5, -4, -12), MPoint(0, 1, 0), false, 1, 1},
    {MPoint(0, 100, 0.001), MPoint(0, 0, 0), true, 640, 480},
    {MPoint(3, 4, 50), MPoint(3, 4, 0), true, 1024, 300},
    {MPoint(-20, 10, -20), MPoint(2, 0, 1), true, 257, 255},
};

class ProjectionTest : public ViewTest, public ::testing::WithParamInterface<Placement> {};

// Every port position's ray runs from the near to the far clipping plane and projects back onto the
// position it came from, at any depth along it.
TEST_P(ProjectionTest, RaysAndProjectionsAreInverse) {
    const Placement& p = GetParam();
    mel("kxhViewSize " + std::to_string(p.width) + " " + std::to_string(p.height));
    place(p.eye, p.lookAt, p.ortho);
    M3dView v = view();
    MFnCamera cam = activeCamera();
    ASSERT_EQ(cam.isOrtho(), p.ortho);
    const MPoint eye = cam.eyePoint(MSpace::kWorld);
    const MVector dir = cam.viewDirection(MSpace::kWorld);
    const double n = cam.nearClippingPlane(), f = cam.farClippingPlane();
    const short xs[] = {0, short(p.width / 3), short(p.width / 2), short(p.width - 1), short(p.width)};
    const short ys[] = {0, short(p.height / 4), short(p.height / 2), short(p.height)};
    for (short x : xs) {
        for (short y : ys) {
            MPoint nearPt, farPt;
            ASSERT_TRUE(v.viewToWorld(x, y, nearPt, farPt));
            EXPECT_NEAR((nearPt - eye) * dir, n, 1e-9 * f) << x << "," << y;
            EXPECT_NEAR((farPt - eye) * dir, f, 1e-6 * f) << x << "," << y;
            for (double t : {0.0, 0.001, 0.3, 1.0}) {
                short px = -1, py = -1;
                EXPECT_TRUE(v.worldToView(nearPt + (farPt - nearPt) * t, px, py))
                    << x << "," << y << " t=" << t;
                EXPECT_EQ(px, x) << "t=" << t;
                EXPECT_EQ(py, y) << "t=" << t;
            }
            MPoint origin;
            MVector ray;
            ASSERT_TRUE(v.viewToWorld(x, y, origin, ray));
            expectNear(origin, nearPt, 1e-9);
            EXPECT_NEAR(ray.length(), 1.0, 1e-12);
            expectNear(ray, (farPt - nearPt).normal(), 1e-12);
        }
    }
    // The middle of the port looks straight down the view direction.
    MPoint nearPt, farPt;
    v.viewToWorld(short(p.width / 2), short(p.height / 2), nearPt, farPt);
    if (p.width % 2 == 0 && p.height % 2 == 0) expectNear((farPt - nearPt).normal(), dir, 1e-12);
    if (p.ortho) {
        MPoint a, b, c, d;
        v.viewToWorld(0, 0, a, b);
        v.viewToWorld(short(p.width), 0, c, d);
        EXPECT_NEAR(a.distanceTo(c), cam.orthoWidth(), 1e-9);  // the ortho width spans the port
        expectNear((b - a).normal(), dir, 1e-12);              // parallel rays
    }
}

INSTANTIATE_TEST_SUITE_P(Placements, ProjectionTest, ::testing::ValuesIn(kPlacements));

TEST_F(ViewTest, PointsAtOrBehindTheEyeDoNotProject) {
    for (bool ortho : {false, true}) {
        place(MPoint(0, 0, 10), MPoint(0, 0, 0), ortho);
        short x = 0, y = 0;
        MStatus st;
        EXPECT_TRUE(view().worldToView(MPoint(0, 0, 9.99), x, y, &st));
        EXPECT_FALSE(view().worldToView(MPoint(0, 0, 10), x, y, &st)) << "on the eye plane";
        EXPECT_TRUE(st);
        EXPECT_FALSE(view().worldToView(MPoint(1, 1, 11), x, y, &st)) << "behind";
        EXPECT_FALSE(view().worldToView(MPoint(0, 0, 1e6), x, y));
        // Not projectable at all: a point at infinity.
        EXPECT_FALSE(view().worldToView(MPoint(0, 0, 1, 0), x, y, &st));
        EXPECT_FALSE(st);
    }
}

TEST_F(ViewTest, ProjectionsClampToTheRangeOfAShort) {
    place(MPoint(0, 0, 10), MPoint(0, 0, 0));
    short x = 0, y = 0;
    // Far off to the side but in front: visible in no pixel, still projectable, clamped.
    EXPECT_TRUE(view().worldToView(MPoint(1e7, -1e7, 0), x, y));
    EXPECT_EQ(x, SHRT_MAX);
    EXPECT_EQ(y, SHRT_MIN);
    // Just in front of the eye plane the divide blows up but the answer stays clamped.
    EXPECT_TRUE(view().worldToView(MPoint(-1, 1, 10 - 1e-9), x, y));
    EXPECT_EQ(x, SHRT_MIN);
    EXPECT_EQ(y, SHRT_MAX);
    // Points outside the port but close by keep their exact coordinates.
    MPoint n, f;
    view().viewToWorld(-50, 700, n, f);
    EXPECT_TRUE(view().worldToView(n, x, y));
    EXPECT_EQ(x, -50);
    EXPECT_EQ(y, 700);
}

TEST_F(ViewTest, ThePortFollowsTheCameraAndItsSize) {
    place(MPoint(0, 0, 10), MPoint(0, 0, 0));
    short x, y;
    ASSERT_TRUE(view().worldToView(MPoint(0, 0, 0), x, y));
    EXPECT_EQ(x, 320);
    EXPECT_EQ(y, 240);
    // The horizontal field of view spans the width: a point on the edge of it lands on the port's edge.
    const double half = std::tan(0.5 * activeCamera().horizontalFieldOfView()) * 10;
    ASSERT_TRUE(view().worldToView(MPoint(half, 0, 0), x, y));
    EXPECT_EQ(x, 640);
    mel("kxhViewSize 200 100");
    EXPECT_EQ(view().portWidth(), 200);
    EXPECT_EQ(view().portHeight(), 100);
    ASSERT_TRUE(view().worldToView(MPoint(half, 0, 0), x, y));
    EXPECT_EQ(x, 200);
    EXPECT_EQ(y, 50);
    // Up on the screen is the camera's up.
    ASSERT_TRUE(view().worldToView(MPoint(0, 1, 0), x, y));
    EXPECT_GT(y, 50);
    // Turning the camera through the API moves the projection at once.
    MFnCamera cam = activeCamera();
    ASSERT_TRUE(cam.set(MPoint(0, 0, 10), MVector(1, 0, -1), MVector(0, 1, 0), cam.horizontalFieldOfView(),
                        cam.aspectRatio()));
    EXPECT_TRUE(view().worldToView(MPoint(10, 0, 0), x, y));
    EXPECT_EQ(x, 100);
    EXPECT_FALSE(view().worldToView(MPoint(-10, 0, 0), x, y));
}

// Conversions made one after another answer for the camera and port of the moment: moving or turning the
// camera's transform, moving its parent, changing the lens and resizing the port each move the projection
// between two calls.
TEST_F(ViewTest, ConversionsFollowEveryCameraAndPortChange) {
    place(MPoint(0, 0, 10), MPoint(0, 0, 0));
    MDagPath path;
    ASSERT_TRUE(view().getCamera(path));
    const std::string xf = MFnDagNode(path.transform()).name().asChar();
    const std::string shape = MFnDagNode(path).name().asChar();
    // The port's middle looks at `at` from `eye`, whose ray starts on the near plane towards `at`.
    auto expectCentredOn = [&](const MPoint& at, const MPoint& eye, int width, int height, const char* what) {
        short x, y;
        for (int repeat = 0; repeat < 2; ++repeat) {
            ASSERT_TRUE(view().worldToView(at, x, y)) << what;
            EXPECT_EQ(x, width / 2) << what;
            EXPECT_EQ(y, height / 2) << what;
            MPoint nearPt, farPt;
            ASSERT_TRUE(view().viewToWorld(short(width / 2), short(height / 2), nearPt, farPt)) << what;
            const MVector toAt = (at - eye).normal();
            expectNear(nearPt, eye + toAt * activeCamera().nearClippingPlane(), 1e-9, what);
        }
    };
    expectCentredOn(MPoint(0, 0, 0), MPoint(0, 0, 10), 640, 480, "placed");
    mel("setAttr " + xf + ".translateX 3");
    expectCentredOn(MPoint(3, 0, 0), MPoint(3, 0, 10), 640, 480, "moved");
    mel("setAttr " + xf + ".rotateY 90");  // now looking down -X
    expectCentredOn(MPoint(-2, 0, 10), MPoint(3, 0, 10), 640, 480, "turned");
    mel("createNode transform -n camRig; parent " + xf + " camRig; setAttr camRig.translateY 4");
    expectCentredOn(MPoint(-2, 4, 10), MPoint(3, 4, 10), 640, 480, "parent moved");
    mel("kxhViewSize 200 100");
    expectCentredOn(MPoint(-2, 4, 10), MPoint(3, 4, 10), 200, 100, "port resized");
    // The lens: a point on the edge of the field of view lands on the port's edge, before and after a zoom.
    short x, y;
    for (double focal : {35.0, 70.0}) {
        mel("setAttr " + shape + ".focalLength " + std::to_string(focal));
        const double half = std::tan(0.5 * activeCamera().horizontalFieldOfView()) * 5;
        ASSERT_TRUE(view().worldToView(MPoint(-2, 4, 10 - half), x, y));
        EXPECT_EQ(x, 200) << "focal length " << focal;
        EXPECT_EQ(y, 50) << "focal length " << focal;
    }
    // Another camera: the front view looks at the origin down -Z, whatever the moved persp saw.
    MSelectionList list;
    MDagPath front;
    ASSERT_TRUE(list.add("front") && list.getDagPath(0, front));
    M3dView v = view();
    ASSERT_TRUE(v.setCamera(front));
    ASSERT_TRUE(view().worldToView(MPoint(0, 0, 0), x, y));
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 50);
}

TEST_F(ViewTest, MatricesAgreeWithTheProjection) {
    place(MPoint(4, 7, 12), MPoint(0, 1, 0));
    MMatrix mv, proj;
    ASSERT_TRUE(view().modelViewMatrix(mv));
    ASSERT_TRUE(view().projectionMatrix(proj));
    const MPoint p(0.5, -1.25, 2);
    MPoint clip = p * mv * proj;
    short x, y;
    ASSERT_TRUE(view().worldToView(p, x, y));
    EXPECT_NEAR((clip.x / clip.w + 1) * 320, x, 0.5);
    EXPECT_NEAR((clip.y / clip.w + 1) * 240, y, 0.5);
}

TEST_F(ViewTest, ViewsWithoutACameraFail) {
    M3dView none;
    MPoint a, b;
    short x, y;
    EXPECT_FALSE(none.viewToWorld(0, 0, a, b));
    EXPECT_FALSE(none.worldToView(MPoint(), x, y));
    MStatus st;
    EXPECT_EQ(none.portWidth(&st), 0);
    EXPECT_FALSE(st);
    // With every camera gone the active view has nothing to look through.
    kxh::Scene::current().reset();
    EXPECT_FALSE(view().viewToWorld(0, 0, a, b));
    MDagPath cam;
    EXPECT_FALSE(view().getCamera(cam));
}

}  // namespace
