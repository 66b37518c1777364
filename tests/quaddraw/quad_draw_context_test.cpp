// The QuadDraw Tool's event map and hover preview, driven by injected events: where clicks drop points,
// picking up, moving and deleting points with Ctrl, the preview and when it is withheld, the camera left
// where it was, a stray node under the locator's name; and the preview's own functions (corner order, the
// four distinct nearest candidates, camera-facing border points).
#include <maya/M3dView.h>
#include <maya/MFnCamera.h>
#include <maya/MVector.h>

#include "geometry/viewPicking.h"
#include "quaddraw/quadDrawPreview.h"
#include "quaddraw_fixture.h"

namespace {

using kxtest::pointArray;

// --- The preview's functions ---------------------------------------------------------------------------

TEST(QuadPreview, AnyOrderOfASquareComesOutCounterClockwiseFromTheFirstPoint) {
    const MPoint a(0, 0), b(10, 0), c(10, 10), d(0, 10);  // counter-clockwise with y up
    const std::vector<std::vector<MPoint>> orders = {{a, c, b, d}, {a, b, c, d}, {a, d, c, b}, {a, c, d, b}};
    for (const auto& order : orders) {
        // World points carry the screen point in z so the output can be traced back.
        MPointArray world;
        for (const MPoint& p : order) world.append(MPoint(p.x, p.y, p.x * 100 + p.y));
        const MPointArray out = orderQuadCorners(pointArray(order), world);
        ASSERT_EQ(out.length(), 4u);
        EXPECT_EQ(out[0].z, a.x * 100 + a.y);
        EXPECT_EQ(out[1].z, b.x * 100 + b.y);
        EXPECT_EQ(out[2].z, c.x * 100 + c.y);
        EXPECT_EQ(out[3].z, d.x * 100 + d.y);
    }
    // A skewed quad keeps its first corner and goes round the same way.
    const std::vector<MPoint> skewed = {MPoint(3, 8), MPoint(0, 0), MPoint(12, 11), MPoint(9, 1)};
    const MPointArray out = orderQuadCorners(pointArray(skewed), pointArray(skewed));
    EXPECT_EQ(out[0], skewed[0]);
    EXPECT_EQ(out[1], skewed[1]);
    EXPECT_EQ(out[2], skewed[3]);
    EXPECT_EQ(out[3], skewed[2]);
}

TEST(QuadPreview, NearestCandidatesAreDistinctPointsAndABorderVertexBeatsALoosePointOnIt) {
    // Screen and world alike (world = screen / 100), so the merge distance 0.01 is one pixel.
    auto world = [](const MPointArray& screen) {
        MPointArray out;
        for (unsigned i = 0; i < screen.length(); ++i)
            out.append(MPoint(screen[i].x / 100, screen[i].y / 100));
        return out;
    };
    const std::vector<bool> all(8, true);
    MPointArray screen = pointArray({MPoint(50, 0), MPoint(10, 0), MPoint(0, 30), MPoint(20, 0),
                                     MPoint(0, 40), MPoint(-10, 0), MPoint(300000, 0)});
    // Nearest first; a tie keeps the earlier point ahead; nothing at kFarPixels or beyond.
    EXPECT_EQ(nearestDistinctCandidates(screen, all, world(screen), 7, 0, 0, 0.01),
              (std::vector<int>{1, 5, 3, 2}));
    screen = pointArray({MPoint(5, 0), MPoint(-5, 0), MPoint(300000, 0)});
    EXPECT_EQ(nearestDistinctCandidates(screen, all, world(screen), 3, 0, 0, 0.01), (std::vector<int>{0, 1}));

    // Loose points 0..2, border vertices 3..5. Loose point 1 lies on border vertex 4 (half a pixel away):
    // the border vertex takes its place. Border vertices 3 and 5 are seam twins: the nearer one counts.
    screen = pointArray({MPoint(1, 0), MPoint(0, 8), MPoint(0, 30), MPoint(-9, 0), MPoint(0, 8.5),
                         MPoint(-9.5, 0), MPoint(50, 50)});
    EXPECT_EQ(nearestDistinctCandidates(screen, all, world(screen), 3, 0, 0, 0.01),
              (std::vector<int>{0, 4, 3, 2}));
    // A candidate that does not project is never taken.
    std::vector<bool> projected(7, true);
    projected[0] = false;
    EXPECT_EQ(nearestDistinctCandidates(screen, projected, world(screen), 3, 0, 0, 0.01),
              (std::vector<int>{4, 3, 2, 6}));
}

TEST(QuadPreview, OnlyCameraFacingBorderPointsAreCandidatesWhenBackfacesAreIgnored) {
    const MPointArray positions = pointArray({MPoint(0, 0, 5), MPoint(1, 0, -5), MPoint(2, 0, 0)});
    MVectorArray normals;
    normals.append(MVector(0, 0, 1));   // towards the camera
    normals.append(MVector(0, 0, -1));  // away
    normals.append(MVector(1, 0, 0));   // edge-on counts as facing
    const MVector ray(0, 0, -1);
    MPointArray visible = visibleBorderPoints(positions, normals, ray, true);
    ASSERT_EQ(visible.length(), 2u);
    EXPECT_EQ(visible[0], positions[0]);
    EXPECT_EQ(visible[1], positions[2]);
    EXPECT_EQ(visibleBorderPoints(positions, normals, ray, false).length(), 3u);
    normals.remove(2);  // out of step: none is trusted
    EXPECT_EQ(visibleBorderPoints(positions, normals, ray, true).length(), 0u);
}

// --- Scripted sessions ---------------------------------------------------------------------------------

// (Without a slide surface clicks keep the depth of their neighbour: see the camera test below.)
TEST_F(QuadDrawTest, ClicksDropPointsOnTheSlideSurface) {
    slideOnSphere();
    startTool();
    clickSquare(1, 1, 3, 4);
    const MPointArray points = loosePoints();
    ASSERT_EQ(points.length(), 4u);
    for (unsigned i = 0; i < points.length(); ++i) {
        EXPECT_NEAR(MVector(points[i]).length(), 10.0, 0.15) << i;  // on the faceted sphere
        EXPECT_GT(points[i].z, 0) << i;
    }
    EXPECT_TRUE(lines(kxh::OutputKind::Error).empty());
}

TEST_F(QuadDrawTest, ClicksNeverMoveTheCameraPerspectiveOrOrthographic) {
    mel("viewPlace -eye 10 20 60 -la 0 0 0 -p");
    MDagPath cameraPath;
    M3dView view = M3dView::active3dView();
    ASSERT_TRUE(view.getCamera(cameraPath));
    MFnCamera camera(cameraPath);
    const MPoint eye = camera.eyePoint(MSpace::kWorld);
    const MVector direction = camera.viewDirection(MSpace::kWorld);
    startTool();
    mel("kxhPress 300 200; kxhRelease; kxhPress 420 300; kxhRelease");
    // A hundred more clicks, each framed for tumbling: the eye stays exactly where it was.
    for (int i = 0; i < 100; ++i)
        mel("kxhPress " + std::to_string(200 + i) + " " + std::to_string(150 + i) + "; kxhRelease");
    EXPECT_EQ(camera.eyePoint(MSpace::kWorld), eye);
    EXPECT_EQ(camera.viewDirection(MSpace::kWorld), direction);
    // The points kept the depth of their neighbour and sit under the cursor.
    const MPointArray points = loosePoints();
    ASSERT_EQ(points.length(), 102u);
    const double depth = viewRayDepthRatio(view, points[0]);
    EXPECT_NEAR(viewRayDepthRatio(view, points[1]), depth, 1e-9);
    short x = 0, y = 0;
    view.worldToView(points[1], x, y);
    EXPECT_EQ(x, 420);
    EXPECT_EQ(y, 300);
    // The last click is the tumble pivot.
    EXPECT_NEAR(camera.centerOfInterest(), points[101].distanceTo(eye), 1e-9);

    // Orthographic: clicking off-centre does not pan the camera.
    mel("setToolTo selectSuperContext; viewPlace -eye 0 0 100 -la 0 0 0 -o");
    const MPoint orthoEye = camera.eyePoint(MSpace::kWorld);
    startTool();
    click(5, 3);
    click(-6, -2);
    EXPECT_EQ(camera.eyePoint(MSpace::kWorld), orthoEye);
}

TEST_F(QuadDrawTest, CtrlMovesTheNearestPointWithinTwentyPixelsAndShiftCtrlDeletesIt) {
    startTool();
    click(0, 0);
    click(3, 0);
    click(6, 0);
    const MPointArray before = loosePoints();
    kxh::mel::UndoQueue& queue = kxh::session().interpreter().undoQueue();
    const size_t steps = queue.size();

    // Ctrl-press 30 pixels from every point: nothing is picked, the drag and release change nothing.
    mel("kxhPress -ct " + std::to_string(px(0) + 30) + " " + std::to_string(py(0)) + "; kxhDrag -ct" +
        at(1, 2) + "; kxhRelease -ct;");
    EXPECT_EQ(list(loosePoints()), list(before));
    // Ctrl-click without a drag on a point leaves it exactly where it was, in its place, with no undo step.
    mel("kxhPress -ct " + std::to_string(px(3) + 5) + " " + std::to_string(py(0)) + "; kxhRelease -ct;");
    EXPECT_EQ(list(loosePoints()), list(before));
    EXPECT_EQ(queue.size(), steps);

    // Ctrl-drag from 10 pixels away moves that point, which keeps its place in the list.
    mel("kxhPress -ct " + std::to_string(px(3) + 10) + " " + std::to_string(py(0)) + "; kxhDrag -ct" +
        at(3, 2) + "; kxhRelease -ct;");
    MPointArray points = loosePoints();
    ASSERT_EQ(points.length(), 3u);
    EXPECT_EQ(points[0], before[0]);
    EXPECT_NEAR(points[1].y, 2.0, 0.05);
    EXPECT_EQ(points[2], before[2]);
    mel("undo");
    EXPECT_EQ(list(loosePoints()), list(before));
    mel("redo");

    // Shift-Ctrl-click deletes the nearest point; nothing is added at release.
    mel("kxhPress -sh -ct" + at(0.2, 0.1) + "; kxhRelease -sh -ct;");
    points = loosePoints();
    ASSERT_EQ(points.length(), 2u);
    EXPECT_NEAR(points[0].y, 2.0, 0.05);
}

TEST_F(QuadDrawTest, HoverPreviewsTheQuadOnlyOverAHilitedMeshAndNeverADuplicate) {
    slideOnSphere();
    startTool();
    clickSquare(0, 0, 2, 2);
    // Nothing hilited: hovering shows nothing, a Shift press computes the preview.
    hover(1, 1);
    EXPECT_EQ(preview().length(), 0u);
    mel("kxhPress -sh" + at(1, 1) + ";");
    EXPECT_EQ(preview().length(), 4u);
    mel("kxhRelease -sh;");
    EXPECT_EQ(preview().length(), 0u);  // cleared at the end of every action
    ASSERT_TRUE(target().isValid());

    // Over the new face the four candidates are its own corners: no preview.
    hover(1, 1);
    EXPECT_EQ(preview().length(), 0u);
    // One point to the right: the nearest four are three corners of the face and the point, which would
    // lie over the face again: no preview either.
    click(2.6, 1.2);
    hover(2.2, 1.1);
    EXPECT_EQ(preview().length(), 0u);
    // A second point, and the first moved beside it: the hover previews the quad between the two points
    // and the border.
    click(4, 2);
    mel("kxhPress -ct" + at(2.6, 1.2) + "; kxhDrag -ct" + at(4, 0) + "; kxhRelease -ct");
    hover(3, 1);
    const MPointArray quad = preview();
    ASSERT_EQ(quad.length(), 4u);
    int onMesh = 0;
    for (unsigned i = 0; i < 4; ++i) onMesh += hasVertexNear(target(), quad[i], 1e-12) ? 1 : 0;
    EXPECT_EQ(onMesh, 2);
}

TEST_F(QuadDrawTest, TheHoverFollowsTheTargetWhenItChanges) {
    slideOnSphere();
    startTool();
    clickSquare(0, 0, 2, 2);
    shiftClick(1, 1);
    click(4, 0);
    click(4, 2);
    hover(3, 1);
    ASSERT_EQ(preview().length(), 4u);
    // Moving a border vertex of the target: the next hover uses its new position.
    MDagPath mesh = target();
    MPointArray points;
    MFnMesh(mesh).getPoints(points, MSpace::kWorld);
    int corner = -1;
    for (unsigned i = 0; i < points.length(); ++i)
        if (points[i].x > 1.5 && points[i].y < 0.5) corner = int(i);
    ASSERT_GE(corner, 0);
    MDagPath transform = mesh;
    transform.pop();
    mel("move -r 0 -0.5 0 " + std::string(transform.partialPathName().asChar()) + ".vtx[" +
        std::to_string(corner) + "]");
    MPoint moved;
    MFnMesh(mesh).getPoint(corner, moved, MSpace::kWorld);
    hover(3, 1);
    const MPointArray quad = preview();
    ASSERT_EQ(quad.length(), 4u);
    bool usesMoved = false;
    for (unsigned i = 0; i < 4; ++i) usesMoved = usesMoved || quad[i] == moved;
    EXPECT_TRUE(usesMoved);
}

TEST_F(QuadDrawTest, FewerThanFourCandidatesShowNoPreviewAndBuildNothing) {
    slideOnSphere();
    startTool();
    click(0, 0);
    click(2, 0);
    click(2, 2);
    mel("kxhPress -sh" + at(1, 1) + ";");
    EXPECT_EQ(preview().length(), 0u);
    run("kxhRelease -sh;");  // the face command runs without corners and fails
    EXPECT_EQ(mel("ls -type mesh").asStringArray(), std::vector<std::string>{"referenceShape"});
    EXPECT_EQ(loosePoints().length(), 3u);
}

TEST_F(QuadDrawTest, LeavingAndReenteringTheToolKeepsThePointsOnOneLocator) {
    startTool();
    click(0, 0);
    click(1, 1);
    const MPointArray before = loosePoints();
    mel("setToolTo selectSuperContext");
    EXPECT_EQ(list(loosePoints()), list(before));
    startTool();
    EXPECT_EQ(list(loosePoints()), list(before));
    EXPECT_EQ(mel("ls -type quadDrawLocator").asStringArray().size(), 1u);
    // Local tumbling was switched on for the tool and back off after it.
    EXPECT_EQ(mel("tumbleCtx -q -localTumble tumbleContext").asInt(), 1);
    mel("setToolTo selectSuperContext");
    EXPECT_EQ(mel("tumbleCtx -q -localTumble tumbleContext").asInt(), 0);
}

TEST_F(QuadDrawTest, AStrayNodeUnderTheLocatorsNameIsReportedAndLeftAlone) {
    mel("polyCube -n kxModelingToolsDrawQuadLocator");
    startTool();
    const auto errors = lines(kxh::OutputKind::Error);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("kxModelingToolsDrawQuadLocator"), std::string::npos) << errors[0];
    // Clicks do nothing: no locator beside it, no points anywhere, the cube untouched.
    clickSquare(0, 0, 2, 2);
    shiftClick(1, 1);
    EXPECT_TRUE(mel("ls -type quadDrawLocator").asStringArray().empty());
    EXPECT_EQ(mel("objExists kxModelingToolsDrawQuadLocator1").asInt(), 0);
    EXPECT_EQ(mel("polyEvaluate -f kxModelingToolsDrawQuadLocator").asInt(), 6);
    EXPECT_EQ(mel("ls -type mesh").asStringArray().size(), 1u);
    // Once the name is free the tool works again.
    mel("setToolTo selectSuperContext; rename kxModelingToolsDrawQuadLocator box");
    startTool();
    click(0, 0);
    EXPECT_EQ(loosePoints().length(), 1u);
}

}  // namespace
