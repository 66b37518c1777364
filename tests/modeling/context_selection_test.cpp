// The modeling tool's left button on a selection, driven by injected events on a grid of 2-unit quads
// facing the front view: picking with replace, add and remove, paint selection, the dead zone, rings and
// loops by a click on an edge, parts of a loop or ring by a Shift+Ctrl drag, and each gesture as one undo
// step. Also the edge choices that drag makes, called directly.
#include <maya/M3dView.h>
#include <maya/MFnCamera.h>
#include <maya/MFnSingleIndexedComponent.h>

#include "context_fixture.h"
#include "geometry/componentWalkers.h"
#include "modeling/modelingContext.h"

namespace {

// Centres of the vertical edges of the grid's row y in [0, 2], and of its column x = 0.
std::vector<MPoint> rowOfVerticalEdges() {
    std::vector<MPoint> c;
    for (int x = -10; x <= 10; x += 2) c.push_back(MPoint(x, 1));
    return c;
}
std::vector<MPoint> columnOfVerticalEdges(int fromY, int toY) {
    std::vector<MPoint> c;
    for (int y = fromY; y <= toY; y += 2) c.push_back(MPoint(0, y));
    return c;
}

TEST_F(ContextTest, ClicksReplaceAddAndRemoveAndAMissClearsEachAsOneUndoStep) {
    const MDagPath grid = startOnGrid("vertex");
    const int a = vertexAt(grid, MPoint(0, 0)), b = vertexAt(grid, MPoint(4, 2));
    const size_t steps = undoSteps();
    click(0.2, -0.1);
    EXPECT_EQ(selectedVertices(), std::set<int>({a}));
    click(4, 2, "-sh");
    EXPECT_EQ(selectedVertices(), std::set<int>({a, b}));
    click(13, 5, "-sh");  // beside the grid: only a plain click clears
    EXPECT_EQ(selectedVertices(), std::set<int>({a, b}));
    click(0, 0, "-ct");
    EXPECT_EQ(selectedVertices(), std::set<int>({b}));
    click(13, 13);  // beside the grid
    EXPECT_EQ(selectionLength(), 0u);
    EXPECT_EQ(undoSteps(), steps + 4);

    ASSERT_TRUE(undo());
    EXPECT_EQ(selectedVertices(), std::set<int>({b}));
    ASSERT_TRUE(undo());
    EXPECT_EQ(selectedVertices(), std::set<int>({a, b}));
    mel("redo; redo");
    EXPECT_EQ(selectionLength(), 0u);
    EXPECT_TRUE(errors().empty());
}

TEST_F(ContextTest, ADragPaintsTheComponentsItPassesAndCtrlDragUnpaintsThem) {
    const MDagPath grid = startOnGrid("vertex");
    std::vector<std::pair<int, int>> path;
    for (int x = 0; x <= 6; ++x) path.push_back({px(x), py(0)});
    gesture("", 0, 0, path);
    std::set<int> row;
    for (int x = 0; x <= 6; x += 2) row.insert(vertexAt(grid, MPoint(x, 0)));
    EXPECT_EQ(selectedVertices(), row);
    gesture("-ct", 2, 0, {{px(3), py(0)}, {px(4), py(0)}});
    EXPECT_EQ(selectedVertices(),
              std::set<int>({vertexAt(grid, MPoint(0, 0)), vertexAt(grid, MPoint(6, 0))}));
}

TEST_F(ContextTest, AClickOnAnEdgeSelectsItsRingAndTheDeadZoneDecidesWhatIsAClick) {
    const MDagPath grid = startOnGrid("edge");
    const std::set<int> ring = edgesCentredAt(grid, rowOfVerticalEdges());
    ASSERT_EQ(ring.size(), 11u);
    const std::set<int> picked = edgesCentredAt(grid, {MPoint(0, 1)});

    // 2 pixels in both directions is still a click; 3 in either direction is a drag (no ring).
    gesture("", 0, 1, {{px(0) + 2, py(1) + 2}});
    EXPECT_EQ(selectedEdges(), ring);
    gesture("", 0, 1, {{px(0) + 3, py(1)}});
    EXPECT_EQ(selectedEdges(), picked);
    gesture("", 0, 1, {{px(0), py(1) - 3}});
    EXPECT_EQ(selectedEdges(), picked);

    // Ctrl-click on an edge of the ring takes the whole ring away again.
    gesture("", 0, 1);
    gesture("-ct", 4, 1);
    EXPECT_TRUE(selectedEdges().empty());
}

TEST_F(ContextTest, RingsAndLoopsOfAClickFollowTheMirrorToo) {
    settings().mirror = true;
    settings().mirrorAxis = 0;
    settings().mirrorWorldSpace = 1;
    const MDagPath grid = startOnGrid("edge");
    // The loop of the vertical edge at x = 4 and of its mirror at x = -4.
    click(4, 1, "-sh -ct");
    std::vector<MPoint> columns;
    for (int y = -9; y <= 9; y += 2) {
        columns.push_back(MPoint(4, y));
        columns.push_back(MPoint(-4, y));
    }
    EXPECT_EQ(selectedEdges(), edgesCentredAt(grid, columns));
}

TEST_F(ContextTest, AShiftCtrlDragAlongAnEdgeTakesPartOfItsLoopAndAcrossItPartOfItsRing) {
    const MDagPath grid = startOnGrid("edge");
    // 45 degrees from the edge's screen direction (|e . d| = 0.71): the loop up to the edge nearest the
    // cursor at (4, 5), i.e. the edges centred at y = 1, 3, 5.
    gesture("-sh -ct", 0, 1, {{px(2), py(3)}, {px(4), py(5)}});
    EXPECT_EQ(selectedEdges(), edgesCentredAt(grid, columnOfVerticalEdges(1, 5)));

    // 70 degrees (|e . d| = 0.34): the ring up to the edge nearest the cursor, the one at x = 6.
    mel("select -cl");
    const double angle = 70.0 * M_PI / 180.0;
    const double cx = 6.0 * std::sin(angle), cy = 1.0 + 6.0 * std::cos(angle);
    gesture("-sh -ct", 0, 1, {{px(cx / 2), py(1 + (cy - 1) / 2)}, {px(cx), py(cy)}});
    EXPECT_EQ(selectedEdges(),
              edgesCentredAt(grid, {MPoint(0, 1), MPoint(2, 1), MPoint(4, 1), MPoint(6, 1)}));

    // What was selected at the press stays; the path is added to it.
    mel("select -r grid.e[0]");
    gesture("-sh -ct", 0, 1, {{px(2), py(3)}, {px(4), py(5)}});
    std::set<int> expected = edgesCentredAt(grid, columnOfVerticalEdges(1, 5));
    expected.insert(0);
    EXPECT_EQ(selectedEdges(), expected);
}

TEST_F(ContextTest, ALeftPressOnAComponentReaimsTheCameraWithoutMovingIt) {
    startOnGrid("vertex");
    mel("viewPlace -eye 0 -20 60 -la 0 0 0 -p");
    MDagPath cameraPath;
    M3dView view = M3dView::active3dView();
    ASSERT_TRUE(view.getCamera(cameraPath));
    MFnCamera camera(cameraPath);
    const MPoint eye = camera.eyePoint(MSpace::kWorld);
    short x = 0, y = 0;
    view.worldToView(MPoint(4, 2, 0), x, y);
    mel("kxhPress" + pixels(x, y) + "; kxhRelease");
    EXPECT_EQ(camera.eyePoint(MSpace::kWorld), eye);
    EXPECT_NEAR(camera.centerOfInterest(), eye.distanceTo(MPoint(4, 2, 0)), 1e-6);
}

// --- The edge choices of the drag, called directly ---------------------------------------------------------

TEST_F(ContextTest, EdgeChoicesPickTheNearestOnScreenAndTheMirrorInWorld) {
    const MDagPath grid = startOnGrid("edge");
    MSelectionList row;
    MFnSingleIndexedComponent fn;
    MObject component = fn.create(MFn::kMeshEdgeComponent);
    for (int id : edgesCentredAt(grid, rowOfVerticalEdges())) fn.addElement(id);
    row.add(grid, component);
    M3dView view = M3dView::active3dView();
    const int at6 = *edgesCentredAt(grid, {MPoint(6, 1)}).begin();
    const int atMinus6 = *edgesCentredAt(grid, {MPoint(-6, 1)}).begin();
    EXPECT_EQ(closestEdgeInView(short(px(5.6)), short(py(3)), view, row), at6);
    EXPECT_EQ(closestEdgeCenterInWorld(row, at6, 0, true), atMinus6);
    // Moved off the origin, the grid's own plane is the mirror plane in object space, not in world space.
    mel("move -r 3 0 0 grid");
    const int movedAt6 = *edgesCentredAt(grid, {MPoint(9, 1)}).begin();
    EXPECT_EQ(closestEdgeCenterInWorld(row, movedAt6, 0, false),
              *edgesCentredAt(grid, {MPoint(-3, 1)}).begin());
    EXPECT_EQ(closestEdgeCenterInWorld(row, movedAt6, 0, true),
              *edgesCentredAt(grid, {MPoint(-7, 1)}).begin());
}

TEST_F(ContextTest, RingPathsTakeTheShorterWayAndStopWhereTheRingStops) {
    // The band of 8 side quads of a box has two ways round; a plane's ring has one.
    mel("polyCube -w 4 -h 2 -d 4 -sx 2 -sy 1 -sz 2 -n box");
    const MDagPath tube = kxtest::shapeOf("box");
    MSelectionList list;
    list.add(tube);
    // The vertical edges of the band: one per side vertex pair.
    std::vector<int> vertical;
    for (MItMeshEdge it(tube); !it.isDone(); it.next())
        if (std::fabs(it.point(0, MSpace::kWorld).y - it.point(1, MSpace::kWorld).y) > 1.5)
            vertical.push_back(it.index());
    ASSERT_EQ(vertical.size(), 8u);
    // From one vertical edge, the one opposite on the box is 4 steps either way; a neighbour is 1 step.
    auto pathLength = [&](int a, int b) {
        MSelectionList path = edgeRingPathBetweenEdges(list, a, b);
        return edgeIdsOfSelectionItem(path).length();
    };
    std::vector<unsigned> lengths;
    for (int b : vertical) lengths.push_back(pathLength(vertical[0], b));
    std::sort(lengths.begin(), lengths.end());
    EXPECT_EQ(lengths, (std::vector<unsigned>{1, 2, 2, 3, 3, 4, 4, 5}));

    // An edge the ring cannot reach gives the start edge alone.
    const MDagPath grid = startOnGrid("edge");
    MSelectionList gridList;
    gridList.add(grid);
    const int a = *edgesCentredAt(grid, {MPoint(0, 1)}).begin();
    const int across = *edgesCentredAt(grid, {MPoint(1, 0)}).begin();
    EXPECT_EQ(edgeIdsOfSelectionItem(edgeRingPathBetweenEdges(gridList, a, across)).length(), 1u);
}

}  // namespace

namespace {

TEST_F(ContextTest, SetUpMakesTheLocatorAndTurnsLocalTumblingOnAndLeavingTakesBothBack) {
    mel("tumbleCtx -e -localTumble 0 tumbleContext");
    const std::string context = mel("modelingContext").asString();
    mel("setToolTo " + context);
    EXPECT_EQ(mel("contextInfo -t " + context).asString(), "Advanced Modeling Tool");
    EXPECT_EQ(mel("contextInfo -i1 " + context).asString(), "advancedModelingToolContext.bmp");
    EXPECT_EQ(mel("ls -type drawLocator").asStringArray().size(), 1u);
    EXPECT_EQ(mel("tumbleCtx -q -localTumble tumbleContext").asInt(), 1);
    mel("setToolTo selectSuperContext");
    EXPECT_EQ(mel("tumbleCtx -q -localTumble tumbleContext").asInt(), 0);
    EXPECT_TRUE(mel("ls -type drawLocator").asStringArray().empty());
    // Local tumbling that was already on stays on.
    mel("tumbleCtx -e -localTumble 1 tumbleContext; setToolTo " + context + "; setToolTo selectSuperContext");
    EXPECT_EQ(mel("tumbleCtx -q -localTumble tumbleContext").asInt(), 1);
}

TEST_F(ContextTest, WithMultiComponentTheFirstHitDecidesTheKindThatIsPicked) {
    settings().multiComponent = true;
    const MDagPath grid = startOnGrid("edge");
    // By a corner with nothing selected: a vertex; a Shift-click on a face's centre then adds a vertex too.
    click(2.1, 1.9);
    EXPECT_EQ(selectedVertices(), std::set<int>({vertexAt(grid, MPoint(2, 2))}));
    click(5, 5, "-sh");
    EXPECT_EQ(selectedVertices().size(), 2u);
    EXPECT_TRUE(selected(MFn::kMeshPolygonComponent).empty());
    // Starting again on a face's centre picks faces; a change of the selection mask does not change that.
    mel("select -cl; selectType -vertex 1");
    click(1, 1);
    EXPECT_EQ(selected(MFn::kMeshPolygonComponent).size(), 1u);
    click(4.1, 4.1, "-sh");  // by a corner
    EXPECT_EQ(selected(MFn::kMeshPolygonComponent).size(), 2u);
    EXPECT_TRUE(selectedVertices().empty());
}

}  // namespace
