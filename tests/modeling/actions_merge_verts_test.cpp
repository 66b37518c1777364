// kxMergeVerts from MEL: the selected vertices go onto the target (and with mirror, those across the plane
// onto the target's mirror), undo and redo restore exactly, and wrong selections or flags give their
// messages and change nothing.
//
// The grid "g" (polyPlane -w 4 -h 4 -sx 2 -sy 2) has its vertex 3r + c at x = 2c - 2, z = 2 - 2r.
#include "actions_fixture.h"

class MergeVertsTest : public ActionsTest {
protected:
    void prepare() override {
        ActionsTest::prepare();
        mel("polyPlane -w 4 -h 4 -sx 2 -sy 2 -ch 0 -n g; select -cl");
        start = worldPoints("g");
    }
    // Runs a kxMergeVerts line that must fail: its error, with the scene and undo queue unchanged.
    std::string refused(const std::string& line) {
        const std::string before = dump();
        const size_t steps = undoSteps();
        kxh::output().clear();
        auto st = run(line);
        EXPECT_FALSE(st.ok) << line;
        EXPECT_EQ(dump(), before) << line;
        EXPECT_EQ(undoSteps(), steps) << line;
        std::vector<std::string> errors = lines(kxh::OutputKind::Error);
        return errors.empty() ? std::string() : errors[0];
    }
    std::vector<MPoint> start;
};

TEST_F(MergeVertsTest, TwoVerticesGoOntoTheTargetAndUndoRedoRestoreExactly) {
    mel("select -r g.vtx[0] g.vtx[4]");
    mel("kxMergeVerts -mr 0 -id 4 -mId -1 -ax 0");
    std::vector<MPoint> merged = worldPoints("g");
    EXPECT_EQ(merged[0], start[4]);
    EXPECT_EQ(merged[4], start[4]);
    // Only the selected vertices move; the topology is the weld's business.
    merged[0] = start[0];
    EXPECT_EQ(merged, start);
    EXPECT_EQ(counts("g"), (std::array<long, 3>{9, 12, 4}));

    const std::vector<MPoint> after = worldPoints("g");
    mel("undo");
    EXPECT_EQ(worldPoints("g"), start);
    mel("redo");
    EXPECT_EQ(worldPoints("g"), after);
}

TEST_F(MergeVertsTest, WithMirrorEachSideGoesToItsOwnTargetAndThePlaneCountsAsPositive) {
    settings().mirrorWorldSpace = 0;
    // The target 5 lies at x = 2, its mirror 3 at x = -2; 4 lies on the plane x = 0 and so goes to the
    // target's side; 0 (x = -2) goes to the mirror target, 2 (x = 2) to the target.
    mel("select -r g.vtx[0] g.vtx[2:5]");
    mel("kxMergeVerts -mr 1 -id 5 -mId 3 -ax 0");
    const std::vector<MPoint> p = worldPoints("g");
    EXPECT_EQ(p[4], start[5]);
    EXPECT_EQ(p[2], start[5]);
    EXPECT_EQ(p[0], start[3]);
    EXPECT_EQ(p[3], start[3]);
    EXPECT_EQ(p[1], start[1]);

    // A target on the negative side sends the plane's vertices to its mirror instead.
    mel("undo; select -r g.vtx[0] g.vtx[2:5]");
    mel("kxMergeVerts -mr 1 -id 3 -mId 5 -ax 0");
    EXPECT_EQ(worldPoints("g")[4], start[5]);
}

TEST_F(MergeVertsTest, SidesAreToldInObjectSpaceUnlessTheMirrorIsInWorldSpace) {
    // Moved 10 to the left, every vertex lies at negative world x, but the object's own plane is its x = 0.
    mel("move -r -10 0 0 g");
    start = worldPoints("g");
    mel("select -r g.vtx[0] g.vtx[3] g.vtx[5]");
    settings().mirrorWorldSpace = 0;
    mel("kxMergeVerts -mr 1 -id 5 -mId 3 -ax 0");
    EXPECT_EQ(worldPoints("g")[0], start[3]);
    mel("undo");

    settings().mirrorWorldSpace = 1;
    mel("select -r g.vtx[0] g.vtx[3] g.vtx[5]");
    mel("kxMergeVerts -mr 1 -id 5 -mId 3 -ax 0");
    // All on the target's (negative) side: all go to the target.
    EXPECT_EQ(worldPoints("g")[0], start[5]);
    EXPECT_EQ(worldPoints("g")[3], start[5]);
    // Redo replays the space the command ran with, whatever the tool's setting is by then.
    mel("undo");
    settings().mirrorWorldSpace = 0;
    mel("redo");
    EXPECT_EQ(worldPoints("g")[0], start[5]);
}

TEST_F(MergeVertsTest, OnATurnedAndScaledObjectUndoGivesBackTheVeryPoints) {
    mel("setAttr g.rotate 30 40 50; setAttr g.scale 1.3 0.7 2.1; setAttr g.translate 0.3 -7 11");
    kxh::MeshPtr original = meshOf("g");
    const std::vector<kxh::V3> objectPoints = original->points;
    mel("select -r g.vtx[0:8]");
    mel("kxMergeVerts -mr 1 -id 8 -mId 6 -ax 0");
    mel("undo");
    ASSERT_EQ(meshOf("g")->points.size(), objectPoints.size());
    for (size_t i = 0; i < objectPoints.size(); ++i) {
        EXPECT_EQ(meshOf("g")->points[i].x, objectPoints[i].x) << i;
        EXPECT_EQ(meshOf("g")->points[i].y, objectPoints[i].y) << i;
        EXPECT_EQ(meshOf("g")->points[i].z, objectPoints[i].z) << i;
    }
}

TEST_F(MergeVertsTest, SelectionsThatCannotBeMergedGiveTheirMessagesAndChangeNothing) {
    mel("polyPlane -ch 0 -n other");
    mel("select -r g.vtx[0:1] other.vtx[0]");
    EXPECT_EQ(refused("kxMergeVerts -mr 0 -id 0"),
              "mergeVert command does not work with multiple objects selected.");
    mel("select -cl");
    EXPECT_EQ(refused("kxMergeVerts -mr 0 -id 0"),
              "mergeVert command does not work with multiple objects selected.");

    mel("select -r g.vtx[0:1]");
    EXPECT_EQ(refused("kxMergeVerts -mr 1 -id 0 -mId 2 -ax 0"),
              "mergeVert command failed: Selected Verts cannot be merged");
    mel("select -r g.vtx[0]");
    EXPECT_EQ(refused("kxMergeVerts -mr 0 -id 0"),
              "mergeVert command failed: Selected Verts cannot be merged");
    // Faces are not vertices.
    mel("select -r g.f[0:1]");
    EXPECT_EQ(refused("kxMergeVerts -mr 0 -id 0"),
              "mergeVert command failed: Selected Verts cannot be merged");
}

TEST_F(MergeVertsTest, BadFlagsAndIdsOffTheMeshAreRefused) {
    mel("select -r g.vtx[0:2]");
    EXPECT_EQ(refused("kxMergeVerts -bad 1"), "Invalid flag: -bad");
    EXPECT_EQ(refused("kxMergeVerts -id"), "Flag '-id' must be passed an int argument.");
    EXPECT_NE(refused("kxMergeVerts -id seven"), "");
    EXPECT_EQ(refused("kxMergeVerts -id 9"),
              "mergeVert command failed: the target vertex 9 is not a vertex of gShape");
    EXPECT_EQ(refused("kxMergeVerts -mr 1 -id 0 -mId -1"),
              "mergeVert command failed: the mirror vertex -1 is not a vertex of gShape");
    EXPECT_EQ(refused("kxMergeVerts -mr 1 -id 0 -mId 2 -ax 3"),
              "mergeVert command failed: the axis must be 0 (X), 1 (Y) or 2 (Z)");
    EXPECT_EQ(worldPoints("g"), start);
}
