// The modeling tool's point gestures and middle button as the context runs them, driven by injected events
// on the front-facing grid with nothing selected: the grab (exact undo and redo, mirror, sliding on the
// mesh itself), the smooth stroke, the radius drag with its circle, the hover feedback, and the
// middle-button actions on a selection.
#include <maya/MFnDagNode.h>

#include <algorithm>
#include <cmath>

#include "context_fixture.h"

namespace {

MPoint reflectX(const MPoint& p) {
    return MPoint(-p.x, p.y, p.z);
}

TEST_F(ContextTest, ACtrlDragGrabsTheRegionAsOneStepThatUndoesAndRedoesExactly) {
    settings().brushRadius = 5;
    const MDagPath grid = startOnGrid("vertex");
    const std::vector<MPoint> before = points(grid);
    const int centre = vertexAt(grid, MPoint(0, 0)), outside = vertexAt(grid, MPoint(6, 0));
    const size_t steps = undoSteps();

    gesture("-ct", 0, 0, {{px(0) + 10, py(0) + 5}, {px(0) + 20, py(0) + 10}});
    const std::vector<MPoint> after = points(grid);
    // The picked vertex follows 60 % (the default intensity) of the cursor; beyond the radius nothing moves.
    EXPECT_NEAR(after[size_t(centre)].x, 0.6 * 20 / kPixelsPerUnit, 1e-9);
    EXPECT_NEAR(after[size_t(centre)].y, 0.6 * 10 / kPixelsPerUnit, 1e-9);
    EXPECT_EQ(after[size_t(outside)], before[size_t(outside)]);
    EXPECT_EQ(selectionLength(), 0u);
    EXPECT_EQ(undoSteps(), steps + 1);
    // The feedback is emptied when the gesture ends.
    EXPECT_EQ(locatorPoints("parr").length(), 0u);

    ASSERT_TRUE(undo());
    EXPECT_EQ(points(grid), before);
    mel("redo");
    EXPECT_EQ(points(grid), after);
    EXPECT_TRUE(errors().empty());
}

TEST_F(ContextTest, TheGrabShowsTheRegionWhileDraggingAndAMirroredGrabKeepsBothSidesExact) {
    settings().brushRadius = 5;  // the two regions overlap across the plane
    settings().mirror = true;
    settings().mirrorAxis = 0;
    settings().mirrorWorldSpace = 1;
    const MDagPath grid = startOnGrid("vertex");
    const std::vector<MPoint> before = points(grid);
    mel("kxhPress -ct" + at(2, 2) + "; kxhDrag -ct" + pixels(px(2) + 15, py(2) + 25));
    EXPECT_GT(locatorPoints("parr").length(), 4u);
    mel("kxhDrag -ct" + pixels(px(2) + 30, py(2) + 35) + "; kxhRelease -ct");

    const std::vector<MPoint> after = points(grid);
    int moved = 0;
    for (size_t i = 0; i < before.size(); ++i) {
        const auto twin = std::find(before.begin(), before.end(), reflectX(before[i]));
        ASSERT_NE(twin, before.end());
        // Compared against the twin's new position, reflected back.
        const MPoint mirrored = reflectX(after[size_t(twin - before.begin())]);
        EXPECT_NEAR(after[i].distanceTo(mirrored), 0.0, 1e-9) << i;
        moved += after[i] != before[i];
    }
    EXPECT_GT(moved, 10);
    ASSERT_TRUE(undo());
    EXPECT_EQ(points(grid), before);
}

TEST_F(ContextTest, InObjectSpaceTheMirrorPlaneMovesWithTheMesh) {
    settings().brushRadius = 3;
    settings().mirror = true;
    settings().mirrorAxis = 0;
    settings().mirrorWorldSpace = 0;
    const MDagPath grid = startOnGrid("vertex");
    mel("move -r 3 0 0 grid; select -cl");
    const std::vector<MPoint> before = points(grid);
    gesture("-ct", 5, 2, {{px(5) + 10, py(2) + 10}, {px(5) + 25, py(2) + 15}});
    const std::vector<MPoint> after = points(grid);
    auto acrossPlane = [](const MPoint& p) { return MPoint(6.0 - p.x, p.y, p.z); };  // the plane x = 3
    const size_t picked = size_t(std::find(before.begin(), before.end(), MPoint(5, 2)) - before.begin());
    const size_t twin = size_t(std::find(before.begin(), before.end(), MPoint(1, 2)) - before.begin());
    ASSERT_LT(twin, before.size());
    EXPECT_NE(after[picked], before[picked]);
    EXPECT_NEAR(after[twin].distanceTo(acrossPlane(after[picked])), 0.0, 1e-9);
}

TEST_F(ContextTest, PinnedVerticesStayWhileTheRegionAroundThemMoves) {
    settings().brushRadius = 5;
    const MDagPath grid = startOnGrid("vertex");
    const int pinned = vertexAt(grid, MPoint(2, 0)), free = vertexAt(grid, MPoint(0, 2));
    // The pins as the pin command leaves them: ids on the shape, connected to a display node.
    mel("addAttr -ln kxPinnedVertexArray -sn kxparr -dt Int32Array gridShape;"
        "setAttr gridShape.kxparr -type Int32Array 1 " +
        std::to_string(pinned) +
        ";"
        "createNode transform -n pinDisplay; addAttr -ln pinIds -dt Int32Array pinDisplay;"
        "connectAttr gridShape.kxparr pinDisplay.pinIds; select -cl");
    const std::vector<MPoint> before = points(grid);
    gesture("-ct", 0, 0, {{px(0) + 15, py(0) + 15}, {px(0) + 30, py(0) + 20}});
    EXPECT_EQ(points(grid)[size_t(pinned)], before[size_t(pinned)]);
    EXPECT_NE(points(grid)[size_t(free)], before[size_t(free)]);
    gesture("-sh", -1, -1, {{px(1), py(1)}, {px(3), py(1)}});
    EXPECT_EQ(points(grid)[size_t(pinned)], before[size_t(pinned)]);
}

TEST_F(ContextTest, SlidingOnItselfUsesAHiddenCopyThatGoesWithTheGesture) {
    settings().brushRadius = 3;
    settings().slideSoftSelect = true;
    settings().slideOnItself = true;
    const MDagPath grid = startOnGrid("vertex");
    const size_t steps = undoSteps();
    const size_t centre = size_t(vertexAt(grid, MPoint(0, 0)));
    gesture("-ct", 0, 0, {{px(1), py(1)}, {px(2), py(1)}});
    EXPECT_EQ(undoSteps(), steps + 1);  // the copy comes and goes outside the undo queue
    // The moved points stay on the grid's plane and no copy is left behind.
    for (const MPoint& p : points(grid)) EXPECT_NEAR(p.z, 0.0, 1e-6);
    EXPECT_GT(points(grid)[centre].x, 0.1);
    EXPECT_EQ(melStrings("ls -type mesh").size(), 1u);
    EXPECT_FALSE(settings().slideObject.isValid());
}

TEST_F(ContextTest, AShiftDragSmoothsABumpAndUndoesInOneStep) {
    settings().brushRadius = 5;
    const MDagPath grid = startOnGrid("vertex");
    const int peak = vertexAt(grid, MPoint(0, 0));
    mel("move -r 0 0 3 grid.vtx[" + std::to_string(peak) + "]; select -cl");
    const std::vector<MPoint> bumped = points(grid);
    gesture("-sh", -1, -1, {{px(-0.5), py(-0.5)}, {px(0.5), py(0.5)}, {px(1), py(1)}});
    const double z = points(grid)[size_t(peak)].z;
    EXPECT_LT(z, 3.0);
    EXPECT_GT(z, 0.0);
    EXPECT_EQ(selectionLength(), 0u);
    ASSERT_TRUE(undo());
    EXPECT_EQ(points(grid), bumped);
}

TEST_F(ContextTest, AMiddleDragWithNothingSelectedSetsTheRadiusAndDrawsItsCircle) {
    settings().brushRadius = 2;
    startOnGrid("vertex");
    mel("kxhPress -b middle" + at(0, 0) + "; kxhDrag" + pixels(px(0) + 20, py(0)) + "; kxhDrag" +
        pixels(px(0) + 40, py(0)));
    EXPECT_EQ(locatorPoints("rparr").length(), 61u);
    mel("kxhRelease");
    EXPECT_NEAR(settings().brushRadius, 2 + 40 / kPixelsPerUnit, 1e-6);
    // Dragging left by more than the radius stops at 0; no undo step, nothing selected.
    const size_t steps = undoSteps();
    gesture("-b middle", 0, 0, {{px(0) - 40, py(0)}, {px(0) - 200, py(0)}});
    EXPECT_EQ(settings().brushRadius, 0.0);
    EXPECT_EQ(undoSteps(), steps);
    EXPECT_EQ(selectionLength(), 0u);
}

TEST_F(ContextTest, HoverShowsTheComponentAndTheCircleOnlyWhileNothingIsSelected) {
    settings().brushRadius = 2;
    const MDagPath grid = startOnGrid("edge");
    hover(3.9, 1);
    EXPECT_EQ(locatorPoints("cparr").length(), 0u);  // nothing before the first press
    click(13, 13);
    hover(3.9, 1);
    const MPointArray edge = locatorPoints("cparr");
    ASSERT_EQ(edge.length(), 2u);
    EXPECT_NEAR(edge[0].x, 4.0, 1e-9);
    EXPECT_NEAR(edge[1].x, 4.0, 1e-9);
    const MPointArray circle = locatorPoints("rparr");
    ASSERT_EQ(circle.length(), 61u);
    EXPECT_NEAR(circle[0].distanceTo(circle[60]), 0.0, 0.05);
    // Round the cursor's point of the grid with the brush radius, as seen on screen.
    for (unsigned i = 0; i < circle.length(); ++i)
        EXPECT_NEAR(std::hypot(circle[i].x - 3.9, circle[i].y - 1.0), 2.0, 0.1) << i;

    // A camera move empties what was drawn for the old view until the next hover tick.
    mel("viewPlace -eye 0 0 90 -la 0 0 0 -o");
    EXPECT_EQ(locatorPoints("rparr").length(), 0u);
    EXPECT_EQ(locatorPoints("cparr").length(), 0u);
    mel("viewPlace -eye 0 0 100 -la 0 0 0 -o");

    hover(13, 5);  // the background
    EXPECT_EQ(locatorPoints("rparr").length(), 0u);
    mel("select -r grid.e[3]");
    hover(3.9, 1);
    EXPECT_EQ(locatorPoints("rparr").length(), 0u);
    EXPECT_EQ(locatorPoints("cparr").length(), 2u);
}

TEST_F(ContextTest, MiddleReleasesRunTheActionsOnTheSelection) {
    startOnGrid("facet");
    click(1, 1);
    ASSERT_EQ(selectionLength(), 1u);
    // A plain middle click deletes the selected face; the selection is emptied.
    click(5, 5, "-b middle");
    EXPECT_EQ(mel("polyEvaluate -f grid").asInt(), 99);
    EXPECT_EQ(selectionLength(), 0u);
    ASSERT_TRUE(undo());
    EXPECT_EQ(mel("polyEvaluate -f grid").asInt(), 100);

    // Shift+middle merges the selected vertices onto the one picked last, in one undo step.
    mel("selectType -vertex 1; select -cl");
    click(2, 2);
    click(4, 2, "-sh");
    click(8, 8, "-sh -b middle");
    EXPECT_EQ(mel("polyEvaluate -v grid").asInt(), 120);
    EXPECT_NE(vertexAt(kxtest::shapeOf("grid"), MPoint(4, 2)), -1);
    EXPECT_EQ(vertexAt(kxtest::shapeOf("grid"), MPoint(2, 2)), -1);
    ASSERT_TRUE(undo());
    EXPECT_EQ(mel("polyEvaluate -v grid").asInt(), 121);
    EXPECT_NE(vertexAt(kxtest::shapeOf("grid"), MPoint(2, 2)), -1);

    // Shift+Ctrl+middle drags a live extrusion of the selected face; it undoes in one step.
    mel("selectType -facet 1; select -cl");
    click(5, 5);
    const std::string before = kxh::dumpScene(scene());
    gesture("-sh -ct -b middle", 5, 5, {{px(5) + 20, py(5)}, {px(5) + 40, py(5)}});
    EXPECT_EQ(mel("polyEvaluate -f grid").asInt(), 104);
    std::vector<MPoint> p = points(kxtest::shapeOf("grid"));
    EXPECT_GT(
        std::max_element(p.begin(), p.end(), [](const MPoint& a, const MPoint& b) { return a.z < b.z; })->z,
        1.0);
    ASSERT_TRUE(undo());
    EXPECT_EQ(mel("polyEvaluate -f grid").asInt(), 100);
    EXPECT_TRUE(errors().empty());
}

}  // namespace
