// polyBevel: the history node it inserts, live re-evaluation of offset and segments, undoable setAttr,
// the merge at offset 0, baking with delete -ch, and refusals.
#include "ops_fixture.h"

using Strings = std::vector<std::string>;

namespace {

// The flags of the modeling context's bevel.
const std::string kBevel =
    "polyBevel -offset 0.0 -offsetAsFraction 0 -autoFit 1 -segments 1 -worldSpace 1 -uvAssignment 0 "
    "-fillNgons 1 "
    "-mergeVertices 1 -mergeVertexTolerance 0.0001 -smoothingAngle 30 -miteringAngle 180 -angleTolerance 180 "
    "-ch 1";

}  // namespace

class BevelCmdTest : public OpsCmdTest {
protected:
    void prepare() override { mel("polyCube -ch 0 -n box; select -cl"); }
    std::vector<int> counts() {
        auto m = meshOf("box");
        return {m->numVertices(), m->numEdges(), m->numFaces()};
    }
};

TEST_F(BevelCmdTest, ALiveNodeWhosePlugsReshapeTheMesh) {
    mel("select box.e[0:3]");  // the front face's four sides
    EXPECT_EQ(melStrings(kBevel), (Strings{"polyBevel1"}));
    EXPECT_EQ(counts(), (std::vector<int>{8, 12, 6}));  // offset 0: the copies weld back
    EXPECT_EQ(selection(), Strings{});

    // Plugs set while dragging re-evaluate at once and record nothing.
    const size_t steps = undoSteps();
    kxh::NodePtr node = scene().find("polyBevel1");
    ASSERT_TRUE(scene().setValue(node->findPlug("offset"), kxh::Value(0.1)));
    EXPECT_EQ(counts(), (std::vector<int>{12, 20, 10}));  // each side a strip
    ASSERT_TRUE(scene().setValue(node->findPlug("segments"), kxh::Value(2)));
    EXPECT_EQ(counts(), (std::vector<int>{16, 28, 14}));
    EXPECT_EQ(undoSteps(), steps);
    checkScene("live offset and segments");

    // The release's setAttr pair, inside one undo chunk, is one undoable step in the user's unit.
    mel("currentUnit -l mm");
    expectOneUndoStep(
        "undoInfo -ock; setAttr polyBevel1.offset 2; setAttr polyBevel1.segments 1; undoInfo -cck");
    EXPECT_DOUBLE_EQ(scene().evaluate(node->findPlug("offset")).asDouble(), 0.2);
    EXPECT_EQ(counts(), (std::vector<int>{12, 20, 10}));
}

TEST_F(BevelCmdTest, OneUndoStepBakedByDeleteHistory) {
    mel("select box.e[0]");
    // The ends of a single cube edge: the end faces take both copies and the row between them.
    expectOneUndoStep("polyBevel -o 0.1 -sg 2");
    EXPECT_EQ(counts(), (std::vector<int>{12, 18, 8}));
    expectOneUndoStep("delete -ch box");
    EXPECT_FALSE(scene().find("polyBevel1"));
    EXPECT_EQ(counts(), (std::vector<int>{12, 18, 8}));
    EXPECT_EQ(melStrings("polyBevel -ch 0 -o 0.05 box.e[3]"), Strings{});
    EXPECT_GT(counts()[2], 8);
}

TEST_F(BevelCmdTest, RefusalsChangeNothing) {
    auto error = [this](const std::string& text) {
        std::string e = melError(text);
        return e.substr(e.find(": ") + 2);
    };
    EXPECT_EQ(error(kBevel), "polyBevel: No edges given or selected.");
    mel("select box.f[0]");
    EXPECT_EQ(error(kBevel), "polyBevel: No edges given or selected.");
    EXPECT_EQ(error("polyBevel -sg 0 box.e[0]"), "polyBevel: The segments must be between 1 and 1000.");
    EXPECT_EQ(error("polyBevel box.e[12]"), "No object matches name: box.e[12]");
}

namespace {

bool hasPoint(const kxh::Mesh& m, const kxh::V3& p, double tolerance = 1e-12) {
    for (const kxh::V3& q : m.points)
        if (std::abs(q.x - p.x) < tolerance && std::abs(q.y - p.y) < tolerance &&
            std::abs(q.z - p.z) < tolerance)
            return true;
    return false;
}

}  // namespace

TEST_F(BevelCmdTest, AWorldSpaceOffsetIsMeasuredInTheWorldAndFollowsTheTransform) {
    // Scaled twice, a world offset of 0.2 is 0.1 on the cube itself: the corner's copies lie 0.1 along
    // its edges. Without -ws the offset is the object's own.
    mel("setAttr box.scale 2 2 2");
    mel("polyBevel -ws 1 -o 0.2 box.e[0]");
    EXPECT_TRUE(hasPoint(*meshOf("box"), {-0.5, -0.4, 0.5}));
    EXPECT_TRUE(hasPoint(*meshOf("box"), {-0.5, -0.5, 0.4}));
    // The node reads the shape's world matrix: scaling the object again re-measures the offset.
    mel("setAttr box.scale 4 4 4");
    EXPECT_TRUE(hasPoint(*meshOf("box"), {-0.5, -0.45, 0.5}));
    mel("undo; undo; polyBevel -ws 0 -o 0.2 box.e[0]");
    EXPECT_TRUE(hasPoint(*meshOf("box"), {-0.5, -0.3, 0.5}));
}

TEST_F(BevelCmdTest, SmoothingAngleAutoFitAndFillNgonsShapeTheNewFaces) {
    // The strip of one cube edge meets its faces at 45 degrees and the end faces at 90: with a smoothing
    // angle of 30 all four of its edges are hard, with 60 only the two ends; without the flag none.
    mel("polyBevel -o 0.1 -sa 30 box.e[0]");
    EXPECT_EQ(meshOf("box")->hardEdges.size(), 4u);
    mel("setAttr polyBevel1.smoothingAngle 60");
    EXPECT_EQ(meshOf("box")->hardEdges.size(), 2u);
    mel("undo; undo; polyBevel -o 0.1 box.e[0]");
    EXPECT_TRUE(meshOf("box")->hardEdges.empty());

    // Two segments: the row between a corner's copies bends toward the old corner with autoFit.
    mel("undo; polyBevel -o 0.1 -sg 2 -af 1 box.e[0]");
    EXPECT_TRUE(hasPoint(*meshOf("box"), {-0.5, -0.475, 0.475}));
    mel("setAttr polyBevel1.autoFit 0");
    EXPECT_TRUE(hasPoint(*meshOf("box"), {-0.5, -0.45, 0.45}));

    // The three edges at a corner with two segments leave a six-sided hole: one hexagon, or three quads
    // around a new centre with fillNgons.
    mel("undo; undo; select -cl");
    auto t = [&](int a, int b) { return std::to_string(meshOf("box")->topology().findEdge(a, b)); };
    const std::string corner = "box.e[" + t(0, 1) + "] box.e[" + t(0, 2) + "] box.e[" + t(0, 6) + "]";
    mel("polyBevel -o 0.1 -sg 2 -fn 0 " + corner);
    const std::vector<int> hexagon = counts();
    mel("setAttr polyBevel1.fillNgons 1");
    EXPECT_EQ(counts(), (std::vector<int>{hexagon[0] + 1, hexagon[1] + 3, hexagon[2] + 2}));
    // The new faces (after the cube's six) are all quads.
    auto m = meshOf("box");
    for (int f = 6; f < m->numFaces(); ++f) EXPECT_EQ(m->faceSize(f), 4) << f;
}

TEST_F(BevelCmdTest, ALiveOffsetChangeGivesExactlyTheMeshANewBevelGives) {
    // The node keeps its bevel and moves only the new vertices when the offset changes; the result must
    // not differ by a bit from bevelling anew: rounded rows, a fill cut into quads, a world-space offset on
    // a scaled and turned object.
    for (const char* name : {"live", "fresh"}) {
        mel(std::string("polyCube -ch 0 -n ") + name);
        mel(std::string("setAttr ") + name + ".scale 2 3 1; setAttr " + name + ".rotateY 30");
    }
    auto t = [&](int a, int b) { return std::to_string(meshOf("live")->topology().findEdge(a, b)); };
    const std::string corner[3] = {t(0, 1), t(0, 2), t(0, 6)};
    auto on = [&](const std::string& o) {
        return o + ".e[" + corner[0] + "] " + o + ".e[" + corner[1] + "] " + o + ".e[" + corner[2] + "]";
    };
    const std::string flags = "polyBevel -sg 3 -af 1 -fn 1 -ws 1 -mv 1 -mvt 0.0001 -sa 30 ";
    mel(flags + "-o 0.05 " + on("live"));
    kxh::NodePtr node = scene().find("polyBevel1");
    for (double offset : {0.07, 0.12}) {
        ASSERT_TRUE(scene().setValue(node->findPlug("offset"), kxh::Value(offset)));
        meshOf("live");
    }
    mel(flags + "-ch 0 -o 0.12 " + on("fresh"));
    auto live = meshOf("live"), fresh = meshOf("fresh");
    EXPECT_EQ(live->faceVerts, fresh->faceVerts);
    EXPECT_EQ(live->hardEdges, fresh->hardEdges);
    ASSERT_EQ(live->points.size(), fresh->points.size());
    for (size_t i = 0; i < live->points.size(); ++i) {
        EXPECT_EQ(live->points[i].x, fresh->points[i].x) << i;
        EXPECT_EQ(live->points[i].y, fresh->points[i].y) << i;
        EXPECT_EQ(live->points[i].z, fresh->points[i].z) << i;
    }
    // Back to 0 the new vertices weld again: the cube comes back.
    ASSERT_TRUE(scene().setValue(node->findPlug("offset"), kxh::Value(0.0)));
    EXPECT_EQ(meshOf("live")->numVertices(), 8);
    EXPECT_EQ(meshOf("live")->numFaces(), 6);
}
