// The view layer's MEL commands: placing cameras (with undo), looking through cameras, view focus and
// size, refresh counting.
#include "view/Views.h"
#include "view_fixture.h"

namespace {

TEST_F(ViewTest, ViewPlaceMovesTheActiveCameraAndUndoes) {
    MFnCamera cam = activeCamera();
    mel("viewPlace -eye 0 10 10 -la 0 0 0");
    expectNear(cam.eyePoint(MSpace::kWorld), MPoint(0, 10, 10), 1e-9);
    expectNear(cam.viewDirection(MSpace::kWorld), MVector(0, -1, -1).normal(), 1e-12);
    EXPECT_NEAR(cam.centerOfInterest(), std::sqrt(200.0), 1e-9);
    // Only an eye: it keeps looking at the centre of interest.
    mel("viewPlace -eye 10 0 0");
    expectNear(cam.viewDirection(MSpace::kWorld), MVector(-1, 0, 0), 1e-9);
    EXPECT_NEAR(cam.centerOfInterest(), 10, 1e-9);
    // Field of view in degrees, projection switches, an explicit up vector.
    mel("viewPlace -fov 60 -up 0 0 1 -o");
    EXPECT_NEAR(cam.horizontalFieldOfView(), M_PI / 3, 1e-12);
    EXPECT_TRUE(cam.isOrtho());
    expectNear(cam.upDirection(MSpace::kWorld), MVector(0, 0, 1), 1e-12);
    mel("undo");
    EXPECT_FALSE(cam.isOrtho());
    expectNear(cam.upDirection(MSpace::kWorld), MVector(0, 1, 0), 1e-9);
    mel("undo; undo");
    expectNear(cam.eyePoint(MSpace::kWorld), MPoint(28, 21, 28), 1e-9);
    mel("redo");
    expectNear(cam.eyePoint(MSpace::kWorld), MPoint(0, 10, 10), 1e-9);
    // A named camera, and refusals.
    mel("viewPlace -eye 0 0 5 -la 0 0 0 top");
    EXPECT_EQ(melFloats("camera -q -p top"), (std::vector<double>{0, 0, 5}));
    expectNear(cam.eyePoint(MSpace::kWorld), MPoint(0, 10, 10), 1e-9);
    melError("viewPlace -eye 0 0 0 -la 0 0 0");
    melError("viewPlace -vd 0 1 0 -up 0 1 0");
    melError("viewPlace -o -p");
    melError("viewPlace -eye 1 1 1 pCube99");
}

TEST_F(ViewTest, LookThroughAnotherCameraAndBack) {
    mel("lookThru top");
    EXPECT_EQ(mel("lookThru -q").asString(), "top");
    EXPECT_TRUE(activeCamera().isOrtho());
    MDagPath path;
    ASSERT_TRUE(view().getCamera(path));
    EXPECT_EQ(path.fullPathName(), MString("|top|topShape"));
    mel("lookThru perspShape modelPanel4");
    EXPECT_EQ(mel("lookThru -q modelPanel4").asString(), "persp");
    melError("lookThru pCube1");
    melError("lookThru persp noSuchPanel");
    // setCamera through the API, and a deleted camera leaves the panel on its startup camera.
    mel("camera -n shot");
    MSelectionList list;
    list.add("shot");
    list.getDagPath(0, path);
    ASSERT_TRUE(view().setCamera(path));
    EXPECT_EQ(mel("lookThru -q").asString(), "shot");
    mel("delete shot");
    EXPECT_EQ(mel("lookThru -q").asString(), "persp");
    mel("undo");  // the camera comes back but the panel stays where it went
    EXPECT_EQ(mel("lookThru -q").asString(), "persp");
}

TEST_F(ViewTest, FocusSizeAndRefresh) {
    EXPECT_EQ(mel("kxhViewSize -q").asIntArray(), (std::vector<long>{640, 480}));
    mel("kxhViewSize -p modelPanel1 120 90");
    EXPECT_EQ(mel("kxhViewSize -q -p modelPanel1").asIntArray(), (std::vector<long>{120, 90}));
    EXPECT_EQ(view().portWidth(), 640);
    mel("setFocus modelPanel1");
    EXPECT_EQ(view().portWidth(), 120);
    EXPECT_EQ(mel("lookThru -q").asString(), "top");
    melError("setFocus nowhere");
    melError("kxhViewSize 0 10");
    melError("kxhViewSize 10");
    // Refreshes are counted per view.
    kxh::view::View* v = kxh::view::activeView();
    const unsigned before = v->refreshCount;
    M3dView api = view();
    api.refresh();
    api.refresh(true, true);
    mel("refresh -cv");
    EXPECT_EQ(v->refreshCount, before + 3);
    EXPECT_EQ(kxh::view::viewByPanel("modelPanel4")->refreshCount, 1u);  // only the refresh of all views
    // GL brackets must pair up.
    EXPECT_TRUE(api.beginXorDrawing());
    EXPECT_FALSE(api.beginXorDrawing());
    EXPECT_TRUE(api.endXorDrawing());
    EXPECT_FALSE(api.endXorDrawing());
    EXPECT_TRUE(api.beginGL());
    EXPECT_TRUE(api.endGL());
    EXPECT_FALSE(api.endGL());
    // A fresh session puts everything back.
    kxh::session().reset();
    EXPECT_EQ(view().portWidth(), 640);
    EXPECT_EQ(mel("lookThru -q").asString(), "persp");
}

TEST_F(ViewTest, CameraCommandCreatesQueriesAndEdits) {
    EXPECT_EQ(melStrings("camera"), (std::vector<std::string>{"camera1", "cameraShape1"}));
    EXPECT_EQ(melStrings("camera -fl 50 -ncp 1 -o 1 -ow 12"),
              (std::vector<std::string>{"camera2", "cameraShape2"}));
    EXPECT_DOUBLE_EQ(mel("camera -q -fl camera2").asFloat(), 50);
    EXPECT_TRUE(mel("camera -q -o camera2").asBool());
    EXPECT_DOUBLE_EQ(mel("camera -q -ow cameraShape2").asFloat(), 12);
    mel("camera -e -p 1 2 3 -wci 1 2 -7 camera1");
    EXPECT_EQ(melFloats("camera -q -p camera1"), (std::vector<double>{1, 2, 3}));
    EXPECT_DOUBLE_EQ(mel("camera -q -coi camera1").asFloat(), 10);
    const auto wci = melFloats("camera -q -wci camera1");
    ASSERT_EQ(wci.size(), 3u);
    EXPECT_NEAR(wci[2], -7, 1e-9);
    mel("camera -e -hfv 90 camera1");
    EXPECT_NEAR(mel("camera -q -hfv camera1").asFloat(), 90, 1e-9);
    mel("undo");
    EXPECT_NEAR(mel("camera -q -hfv camera1").asFloat(), 54.4322, 1e-3);
    // Without an object the query reads the active view's camera.
    EXPECT_EQ(melFloats("camera -q -p"), (std::vector<double>{28, 21, 28}));
    melError("camera -q -p pCube1");
    mel("undo; undo; undo");
    EXPECT_EQ(melStrings("ls -type camera").size(), 4u);
}

}  // namespace
