// Cameras: the startup cameras of a new scene, MFnCamera's placement and lens, and the transform edits
// (with their dirty-plug callbacks) that moving a camera makes.
#include <maya/MFnDagNode.h>
#include <maya/MMessage.h>
#include <maya/MNodeMessage.h>
#include <maya/MPlug.h>

#include <cmath>
#include <set>

#include "view_fixture.h"

namespace {

constexpr double kDeg = M_PI / 180.0;

MFnCamera cameraNamed(const char* name) {
    MSelectionList list;
    EXPECT_TRUE(list.add(name));
    MDagPath path;
    list.getDagPath(0, path);
    EXPECT_TRUE(path.isValid()) << name;
    return MFnCamera(path);
}

TEST_F(ViewTest, ANewSceneHasTheStartupCameras) {
    EXPECT_EQ(melStrings("ls -type camera"),
              (std::vector<std::string>{"perspShape", "topShape", "frontShape", "sideShape"}));
    MFnCamera persp = cameraNamed("persp");
    expectNear(persp.eyePoint(MSpace::kWorld), MPoint(28, 21, 28), 1e-9);
    // It looks at the origin, which is its centre of interest.
    expectNear(persp.centerOfInterestPoint(MSpace::kWorld), MPoint(0, 0, 0), 1e-6);
    EXPECT_FALSE(persp.isOrtho());
    EXPECT_NEAR(persp.horizontalFieldOfView() / kDeg, 54.4322, 1e-3);
    EXPECT_NEAR(persp.aspectRatio(), 1.5, 1e-5);
    EXPECT_NEAR(persp.nearClippingPlane(), 0.1, 1e-12);
    // World up stays up on the screen.
    EXPECT_NEAR(persp.rightDirection(MSpace::kWorld).y, 0, 1e-9);
    EXPECT_GT(persp.upDirection(MSpace::kWorld).y, 0);

    struct Ortho {
        const char* name;
        MVector dir, up;
    } orthos[] = {{"top", MVector(0, -1, 0), MVector(0, 0, -1)},
                  {"front", MVector(0, 0, -1), MVector(0, 1, 0)},
                  {"side", MVector(-1, 0, 0), MVector(0, 1, 0)}};
    for (const Ortho& o : orthos) {
        MFnCamera cam = cameraNamed(o.name);
        EXPECT_TRUE(cam.isOrtho()) << o.name;
        EXPECT_NEAR(cam.orthoWidth(), 30, 1e-12);
        expectNear(cam.viewDirection(MSpace::kWorld), o.dir, 1e-12, o.name);
        expectNear(cam.upDirection(MSpace::kWorld), o.up, 1e-12, o.name);
        EXPECT_NEAR(cam.eyePoint(MSpace::kWorld).distanceTo(MPoint()), 100.1, 1e-9);
    }
    // The focused panel looks through persp; the others through their own camera.
    EXPECT_EQ(mel("lookThru -q").asString(), "persp");
    EXPECT_EQ(mel("lookThru -q modelPanel1").asString(), "top");
    EXPECT_EQ(M3dView::numberOf3dViews(), 4u);
}

TEST_F(ViewTest, ANewFileRestoresTheStartupCameras) {
    mel("viewPlace -eye 1 2 3 -la 0 0 0");
    mel("camera -n myCam");
    mel("lookThru myCam");
    mel("file -f -new");
    EXPECT_EQ(melStrings("ls -type camera").size(), 4u);
    EXPECT_EQ(mel("lookThru -q").asString(), "persp");
    expectNear(activeCamera().eyePoint(MSpace::kWorld), MPoint(28, 21, 28), 1e-9);
    // A moved startup camera is put back by a session reset too.
    mel("viewPlace -eye 1 2 3 -la 0 0 0");
    kxh::session().reset();
    expectNear(activeCamera().eyePoint(MSpace::kWorld), MPoint(28, 21, 28), 1e-9);
}

TEST_F(ViewTest, SetKeepsWhatItIsGivenAndTheCentreOfInterestOnlyMovesTheTumblePoint) {
    MFnCamera cam = activeCamera();
    const MVector dir = MVector(-1, -0.5, -2).normal();
    ASSERT_TRUE(cam.set(MPoint(5, 6, 7), dir, MVector(0, 1, 0), 40 * kDeg, 1.25));
    expectNear(cam.eyePoint(MSpace::kWorld), MPoint(5, 6, 7), 1e-9);
    expectNear(cam.viewDirection(MSpace::kWorld), dir, 1e-12);
    EXPECT_NEAR(cam.upDirection(MSpace::kWorld) * dir, 0, 1e-12);
    EXPECT_NEAR(cam.rightDirection(MSpace::kWorld).y, 0, 1e-12);
    EXPECT_NEAR(cam.horizontalFieldOfView(), 40 * kDeg, 1e-12);
    EXPECT_NEAR(cam.aspectRatio(), 1.25, 1e-12);
    // Setting the camera from its own values changes nothing (as framing does before it moves the
    // centre of interest).
    const MVector up = cam.upDirection(MSpace::kWorld);
    ASSERT_TRUE(cam.set(cam.eyePoint(MSpace::kWorld), cam.viewDirection(MSpace::kWorld), up,
                        cam.horizontalFieldOfView(), cam.aspectRatio()));
    ASSERT_TRUE(cam.setCenterOfInterest(12.5));
    expectNear(cam.eyePoint(MSpace::kWorld), MPoint(5, 6, 7), 1e-9);
    expectNear(cam.viewDirection(MSpace::kWorld), dir, 1e-12);
    expectNear(cam.upDirection(MSpace::kWorld), up, 1e-12);
    EXPECT_DOUBLE_EQ(cam.centerOfInterest(), 12.5);
    expectNear(cam.centerOfInterestPoint(MSpace::kWorld), MPoint(5, 6, 7) + dir * 12.5, 1e-9);
    EXPECT_FALSE(cam.setCenterOfInterest(0));
    // Straight down needs another up vector; parallel ones are refused.
    EXPECT_FALSE(cam.set(MPoint(), MVector(0, -1, 0), MVector(0, 2, 0), 0.5, 1));
    EXPECT_TRUE(cam.set(MPoint(), MVector(0, -1, 0), MVector(0, 0, -1), 0.5, 1));
    expectNear(cam.viewDirection(MSpace::kWorld), MVector(0, -1, 0), 1e-12);
}

TEST_F(ViewTest, EyeAndAimEditsKeepTheirAnchor) {
    MFnCamera cam = activeCamera();
    // A new eye keeps looking at the centre of interest.
    ASSERT_TRUE(cam.setEyePoint(MPoint(0, 10, 0.0001), MSpace::kWorld));
    expectNear(cam.centerOfInterestPoint(MSpace::kWorld), MPoint(0, 0, 0), 1e-6);
    EXPECT_NEAR(cam.centerOfInterest(), 10, 1e-6);
    // Aiming at a point keeps the eye and measures the new distance.
    ASSERT_TRUE(cam.setCenterOfInterestPoint(MPoint(3, 10, -4), MSpace::kWorld));
    expectNear(cam.eyePoint(MSpace::kWorld), MPoint(0, 10, 0.0001), 1e-9);
    EXPECT_NEAR(cam.centerOfInterest(), 5, 1e-3);
    expectNear(cam.viewDirection(MSpace::kWorld), MVector(0.6, 0, -0.8), 1e-4);
    // A direction in the camera's own space: turning to its right keeps the eye.
    const MVector right = cam.rightDirection(MSpace::kWorld);
    ASSERT_TRUE(cam.setViewDirection(MVector(1, 0, 0)));
    expectNear(cam.viewDirection(MSpace::kWorld), right, 1e-9);
    expectNear(cam.eyePoint(MSpace::kWorld), MPoint(0, 10, 0.0001), 1e-9);
    // Object space is the camera's own frame.
    expectNear(cam.eyePoint(), MPoint(0, 0, 0), 0);
    expectNear(cam.viewDirection(), MVector(0, 0, -1), 0);
}

TEST_F(ViewTest, CamerasUnderAMovedParentStillLandWhereAsked) {
    EXPECT_EQ(melStrings("camera -n shot"), (std::vector<std::string>{"shot", "shotShape"}));
    mel("createNode transform -n rig; setAttr rig.translate 10 -3 2; setAttr rig.rotate 20 30 -15; "
        "setAttr rig.scale 2 2 2; parent shot rig");
    MFnCamera cam = cameraNamed("shot");
    const MVector dir = MVector(1, -1, -3).normal();
    ASSERT_TRUE(
        cam.set(MPoint(-4, 8, 1), dir, MVector(0, 1, 0), cam.horizontalFieldOfView(), cam.aspectRatio()));
    expectNear(cam.eyePoint(MSpace::kWorld), MPoint(-4, 8, 1), 1e-9);
    expectNear(cam.viewDirection(MSpace::kWorld), dir, 1e-12);
    EXPECT_NEAR(cam.rightDirection(MSpace::kWorld).y, 0, 1e-12);
    // The MEL command places it the same way, in the UI unit.
    mel("currentUnit -l mm; camera -e -p 10 20 30 shot");
    expectNear(cam.eyePoint(MSpace::kWorld), MPoint(1, 2, 3), 1e-9);
    const std::vector<double> p = melFloats("camera -q -p shot");
    ASSERT_EQ(p.size(), 3u);
    EXPECT_NEAR(p[0], 10, 1e-9);
    EXPECT_NEAR(p[2], 30, 1e-9);
}

TEST_F(ViewTest, LensAndProjectionSwitches) {
    MFnCamera cam = activeCamera();
    ASSERT_TRUE(cam.setHorizontalFieldOfView(90 * kDeg));
    EXPECT_NEAR(cam.focalLength(), 0.5 * 1.41732 * 25.4, 1e-9);
    ASSERT_TRUE(cam.setVerticalFieldOfView(30 * kDeg));
    EXPECT_NEAR(cam.verticalFieldOfView(), 30 * kDeg, 1e-12);
    double h, v;
    ASSERT_TRUE(cam.getPortFieldOfView(400, 200, h, v));
    EXPECT_NEAR(h, cam.horizontalFieldOfView(), 1e-12);
    EXPECT_NEAR(std::tan(v / 2), std::tan(h / 2) / 2, 1e-12);
    // Going orthographic at a distance shows there what the perspective showed.
    ASSERT_TRUE(cam.setIsOrtho(true, 20));
    EXPECT_TRUE(cam.isOrtho());
    EXPECT_NEAR(cam.orthoWidth(), 2 * 20 * std::tan(h / 2), 1e-9);
    ASSERT_TRUE(cam.setIsOrtho(false, 20));
    EXPECT_NEAR(cam.horizontalFieldOfView(), h, 1e-12);
    EXPECT_FALSE(cam.setNearClippingPlane(cam.farClippingPlane() + 1));
    EXPECT_TRUE(cam.setNearFarClippingPlanes(1, 50));
    EXPECT_DOUBLE_EQ(cam.farClippingPlane(), 50);
    EXPECT_FALSE(cam.setNearFarClippingPlanes(5, 5));
}

TEST_F(ViewTest, FunctionSetsAttachToCamerasOnly) {
    MSelectionList list;
    list.add("persp");
    MDagPath path;
    list.getDagPath(0, path);
    MStatus st;
    MFnCamera cam(path, &st);
    ASSERT_TRUE(st);
    EXPECT_EQ(cam.name(), MString("perspShape"));  // a transform's path reaches its shape
    mel("polyCube");
    list.clear();
    list.add("pCube1");
    list.getDagPath(0, path);
    MFnCamera notCam(path, &st);
    EXPECT_FALSE(st);
    EXPECT_FALSE(notCam.setCenterOfInterest(3));
    // A camera made through the function set gets a transform of its own.
    MFnCamera made;
    MObject xf = made.create(&st);
    ASSERT_TRUE(st);
    EXPECT_EQ(MFnDagNode(xf).name(), MString("camera1"));
    EXPECT_EQ(made.name(), MString("cameraShape1"));
    EXPECT_TRUE(made.hasObj(MFn::kCamera));
}

struct DirtyLog {
    std::set<std::string> plugs;
    int calls = 0;
};

void onDirty(MObject&, MPlug& plug, void* data) {
    auto* log = static_cast<DirtyLog*>(data);
    log->plugs.insert(plug.partialName(false, false, false, false, false, true).asChar());
    ++log->calls;
}

TEST_F(ViewTest, CameraMovesReachTheTransformsDirtyPlugCallbacks) {
    MDagPath path;
    ASSERT_TRUE(view().getCamera(path));
    MObject xf = path.transform();
    DirtyLog log;
    MCallbackId id = MNodeMessage::addNodeDirtyPlugCallback(xf, onDirty, &log);
    MFnCamera cam(path);
    ASSERT_TRUE(cam.set(MPoint(1, 2, 3), MVector(0, 0, -1), MVector(0, 1, 0), cam.horizontalFieldOfView(),
                        cam.aspectRatio()));
    EXPECT_GT(log.calls, 0);
    EXPECT_TRUE(log.plugs.count("translate")) << log.calls;
    EXPECT_TRUE(log.plugs.count("rotate"));
    // A lens change is the shape's business, not the transform's.
    log = DirtyLog();
    cam.setCenterOfInterest(3);
    EXPECT_EQ(log.calls, 0);
    // MEL moves fire them as well; a removed callback never fires again.
    mel("viewPlace -eye 0 5 20 -la 0 0 0");
    EXPECT_GT(log.calls, 0);
    MMessage::removeCallback(id);
    log = DirtyLog();
    mel("viewPlace -eye 0 6 20 -la 0 0 0");
    EXPECT_EQ(log.calls, 0);
}

}  // namespace
