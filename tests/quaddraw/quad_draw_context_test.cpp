// The QuadDraw Tool's event map and hover preview, driven by injected events on a sphere: where clicks drop
// points, picking up, moving and deleting points with Ctrl, the preview and when it is withheld, and the
// ordering of the four corners.
#include <maya/M3dView.h>
#include <maya/MIntArray.h>
#include <maya/MVector.h>

#include "geometry/viewPicking.h"
#include "quaddraw/quadDrawContext.h"
#include "quaddraw_fixture.h"

namespace {

MPointArray pointArray(const std::vector<MPoint>& points) {
    MPointArray out;
    for (const MPoint& p : points) out.append(p);
    return out;
}

// --- Pure helpers --------------------------------------------------------------------------------------

TEST(QuadCorners, AnyOrderOfASquareComesOutCounterClockwiseFromTheFirstPoint) {
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

TEST(QuadCorners, NearestFourTakeSlotsOnlyWhenStrictlyNearer) {
    const MPointArray screen = pointArray({MPoint(50, 0), MPoint(10, 0), MPoint(0, 30), MPoint(20, 0),
                                           MPoint(0, 40), MPoint(-10, 0), MPoint(20000, 0)});
    EXPECT_EQ(nearestFourIndices(screen, 0, 0), (std::vector<int>{1, 5, 3, 2}));
    // A tie keeps the earlier point ahead.
    EXPECT_EQ(nearestFourIndices(pointArray({MPoint(5, 0), MPoint(-5, 0)}), 0, 0), (std::vector<int>{0, 1}));
    // Points 10000 pixels away or more never take a slot.
    EXPECT_EQ(nearestFourIndices(pointArray({MPoint(10000, 0), MPoint(1, 1)}), 0, 0), (std::vector<int>{1}));
}

TEST(QuadCorners, CornersCountOnAFaceOnlyWhenExactlyEqual) {
    const MPointArray face = pointArray({MPoint(0, 0, 0), MPoint(1, 0, 0), MPoint(1, 1, 0), MPoint(0, 1, 0)});
    EXPECT_EQ(countCornersOnFace(face, face), 4);
    EXPECT_EQ(countCornersOnFace(
                  pointArray({MPoint(0, 0, 0), MPoint(1, 0, 1e-12), MPoint(5, 5, 5), MPoint(0, 1, 0)}), face),
              2);
}

// --- Scripted sessions ---------------------------------------------------------------------------------

TEST_F(QuadDrawTest, ClicksDropPointsOnTheSlideSurfaceOrAtTheDepthOfTheirNeighbours) {
    startTool();
    // No slide surface: the first point floats in front of the near plane, the next ones share its depth.
    click(0, 0);
    click(2, 1);
    MPointArray points = loosePoints();
    ASSERT_EQ(points.length(), 2u);
    EXPECT_NEAR(points[1].z, points[0].z, 1e-9);
    EXPECT_NEAR(points[1].x, 2.0, 0.05);
    EXPECT_NEAR(points[1].y, 1.0, 0.05);

    // On the sphere: each click lands on its front surface.
    mel("setToolTo selectSuperContext; delete kxModelingToolsDrawQuadLocator");
    slideOnSphere();
    startTool();
    clickSquare(1, 1, 3, 4);
    points = loosePoints();
    ASSERT_EQ(points.length(), 4u);
    for (unsigned i = 0; i < points.length(); ++i) {
        EXPECT_NEAR(MVector(points[i]).length(), 10.0, 0.15) << i;  // on the faceted sphere
        EXPECT_GT(points[i].z, 0) << i;
    }
    EXPECT_TRUE(lines(kxh::OutputKind::Error).empty());
}

TEST_F(QuadDrawTest, InAPerspectiveViewPointsKeepTheDepthOfTheirNeighbour) {
    mel("viewPlace -eye 10 20 60 -la 0 0 0 -p");
    startTool();
    mel("kxhPress 300 200; kxhRelease; kxhPress 420 300; kxhRelease; kxhPress 100 100; kxhRelease;");
    const MPointArray points = loosePoints();
    ASSERT_EQ(points.length(), 3u);
    M3dView view = M3dView::active3dView();
    const double depth = viewRayDepthRatio(view, points[0]);
    // Framing each point for tumbling nudges the camera by a fraction of a pixel, hence the tolerance.
    EXPECT_NEAR(viewRayDepthRatio(view, points[1]), depth, 1e-6);
    EXPECT_NEAR(viewRayDepthRatio(view, points[2]), depth, 1e-6);
    short x = 0, y = 0;
    view.worldToView(points[1], x, y);
    EXPECT_EQ(x, 420);
    EXPECT_EQ(y, 300);
}

TEST_F(QuadDrawTest, CtrlMovesTheNearestPointWithinTwentyPixelsAndShiftCtrlDeletesIt) {
    startTool();
    click(0, 0);
    click(3, 0);
    const MPointArray before = loosePoints();

    // Ctrl-press 30 pixels from every point: nothing is picked, the drag and release change nothing.
    mel("kxhPress -ct " + std::to_string(px(0) + 30) + " " + std::to_string(py(0)) + "; kxhDrag -ct" +
        at(1, 2) + "; kxhRelease -ct;");
    EXPECT_EQ(list(loosePoints()), list(before));
    mel("undo");  // the second click is the last undoable step
    EXPECT_EQ(loosePoints().length(), 1u);
    mel("redo");

    // Ctrl-drag from 10 pixels away moves that point.
    mel("kxhPress -ct " + std::to_string(px(3) + 10) + " " + std::to_string(py(0)) + "; kxhDrag -ct" +
        at(3, 2) + "; kxhRelease -ct;");
    MPointArray points = loosePoints();
    ASSERT_EQ(points.length(), 2u);
    EXPECT_EQ(points[0], before[0]);
    EXPECT_NEAR(points[1].y, 2.0, 0.05);
    mel("undo");
    EXPECT_EQ(list(loosePoints()), list(before));
    mel("redo");

    // Shift-Ctrl-click deletes the nearest point; nothing is added at release.
    mel("kxhPress -sh -ct" + at(0.2, 0.1) + "; kxhRelease -sh -ct;");
    points = loosePoints();
    ASSERT_EQ(points.length(), 1u);
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
    // Two new points to the right: the hover previews the quad between them and the border.
    click(4, 0);
    click(4, 2);
    hover(3, 1);
    const MPointArray quad = preview();
    ASSERT_EQ(quad.length(), 4u);
    int onMesh = 0;
    for (unsigned i = 0; i < 4; ++i) onMesh += hasVertexNear(target(), quad[i], 1e-12) ? 1 : 0;
    EXPECT_EQ(onMesh, 2);
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

TEST_F(QuadDrawTest, BackFacingBorderVerticesAreNoCandidatesUnlessAsked) {
    quadDrawContext context;
    context.view = M3dView::active3dView();
    context.cursorX = short(px(0));
    context.cursorY = short(py(0));
    context.borderPositions = pointArray({MPoint(0, 0, 5), MPoint(1, 0, -5), MPoint(2, 0, 0)});
    context.borderNormals.append(MVector(0, 0, 1));   // towards the camera
    context.borderNormals.append(MVector(0, 0, -1));  // away
    context.borderNormals.append(MVector(1, 0, 0));   // edge-on counts as facing
    settings().ignoreQuadDrawBackface = true;
    MPointArray visible = context.visibleBorderPoints();
    ASSERT_EQ(visible.length(), 2u);
    EXPECT_EQ(visible[0], context.borderPositions[0]);
    EXPECT_EQ(visible[1], context.borderPositions[2]);
    settings().ignoreQuadDrawBackface = false;
    EXPECT_EQ(context.visibleBorderPoints().length(), 3u);
    // Positions and normals out of step: none is trusted.
    settings().ignoreQuadDrawBackface = true;
    context.borderNormals.remove(2);
    EXPECT_EQ(context.visibleBorderPoints().length(), 0u);
}

TEST_F(QuadDrawTest, AQuadOnThreeCornersOfTheFaceUnderTheCursorOrOfABorderFaceIsADuplicate) {
    mel("polyPlane -w 3 -h 3 -sx 3 -sy 3 -n grid; polyPlane -w 1 -h 1 -sx 1 -sy 1 -n other");
    quadDrawContext context;
    MSelectionList list;
    list.add("grid");
    MDagPath grid;
    list.getDagPath(0, grid);  // the transform, as the hilite list names it
    context.readTarget(grid);
    ASSERT_EQ(context.borderFaces.length(), 8u);
    auto facePoints = [&](int face) {
        MIntArray ids;
        MFnMesh(grid).getPolygonVertices(face, ids);
        MPointArray points;
        for (unsigned k = 0; k < ids.length(); ++k) points.append(context.targetPoints[unsigned(ids[k])]);
        return points;
    };
    // The middle face is no border face: only the face under the cursor can reject it.
    MPointArray quad = facePoints(4);
    EXPECT_FALSE(context.quadDuplicatesBorderFace(quad));
    context.overFace = true;
    context.faceHit.meshPath = grid;
    context.faceHit.meshPath.extendToShape();
    context.faceHit.componentType = rayIntersectionData::kFace;
    context.faceHit.componentId = 4;
    EXPECT_TRUE(context.quadDuplicatesHitFace(quad));
    quad[3] = MPoint(9, 9, 9);  // three corners still match
    EXPECT_TRUE(context.quadDuplicatesHitFace(quad));
    quad[2] = MPoint(8, 8, 8);
    EXPECT_FALSE(context.quadDuplicatesHitFace(quad));
    // Not over the face, or over another mesh: no rejection.
    quad = facePoints(4);
    list.clear();
    list.add("other");
    list.getDagPath(0, context.faceHit.meshPath);
    EXPECT_FALSE(context.quadDuplicatesHitFace(quad));
    context.faceHit.meshPath = grid;
    context.overFace = false;
    EXPECT_FALSE(context.quadDuplicatesHitFace(quad));
    // A corner face with three matching corners is a border duplicate.
    quad = facePoints(0);
    quad[0] = MPoint(7, 7, 7);
    EXPECT_TRUE(context.quadDuplicatesBorderFace(quad));
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

}  // namespace
