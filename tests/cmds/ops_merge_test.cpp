// polyMergeVertex: what it welds (selected or named vertices, edges, faces, whole objects), with -d and
// -am, world-space distances, the selection afterwards, refusals, and undo/redo.
#include "ops_fixture.h"

using Strings = std::vector<std::string>;

class PolyMergeVertexTest : public OpsCmdTest {
protected:
    void SetUp() override {
        OpsCmdTest::SetUp();
        // A 2 x 2 grid of unit quads: vertices in rows of three along +X, 9 in all.
        mel("polyPlane -w 2 -h 2 -sx 2 -sy 2 -ch 0 -n grid; select -cl");
    }
};

TEST_F(PolyMergeVertexTest, AlwaysMergeTwoWeldsTwoSelectedVerticesWhateverTheirDistance) {
    mel("select grid.vtx[3] grid.vtx[4]");
    mel("polyMergeVertex  -d .0001 -am 1 -ch 0");
    auto m = meshOf("grid");
    EXPECT_EQ(m->numVertices(), 8);
    EXPECT_EQ(m->numFaces(), 4);
    EXPECT_DOUBLE_EQ(m->points[3].x, -0.5);            // the mean of the two
    EXPECT_EQ(m->points[4].x, 1);                      // former vertex 5 moved down to 4
    EXPECT_EQ(selection(), (Strings{"grid.vtx[3]"}));  // the selection is the welded vertex

    // Without -am the distance decides: nothing in reach, nothing changes and nothing is recorded.
    mel("select grid.vtx[0] grid.vtx[1]");
    const size_t steps = undoSteps();
    mel("polyMergeVertex -d 0.5");
    EXPECT_EQ(meshOf("grid")->numVertices(), 8);
    EXPECT_EQ(undoSteps(), steps);
    // -am needs exactly two vertices.
    mel("select grid.vtx[0:2]; polyMergeVertex -d 0.5 -am 1");
    EXPECT_EQ(meshOf("grid")->numVertices(), 8);
}

TEST_F(PolyMergeVertexTest, EdgesFacesAndWholeObjectsStandForTheirVertices) {
    mel("polyCube -ch 0 -n box");
    // Every cube corner on the +X side moved onto its partner on the -X side.
    mel("move -r -1 0 0 box.vtx[1] box.vtx[3] box.vtx[5] box.vtx[7]");
    mel("select box.f[0]; polyMergeVertex");  // front face: its four corners, two pairs coincide
    auto m = meshOf("box");
    EXPECT_EQ(m->numVertices(), 6);
    mel("select box; polyMergeVertex");
    m = meshOf("box");
    EXPECT_EQ(m->numVertices(), 4);
    EXPECT_EQ(selection(), (Strings{"box"}));
    mel("polyCube -ch 0 -n box2");
    mel("polyMergeVertex box2.e[0]");  // an edge's two ends are 1 apart: nothing
    EXPECT_EQ(meshOf("box2")->numVertices(), 8);
}

TEST_F(PolyMergeVertexTest, DistancesAreMeasuredInWorldSpaceUnlessAsked) {
    // Scaled down ten times, the grid's unit spacing measures 0.1 in the world.
    mel("setAttr grid.scale 0.1 0.1 0.1");
    mel("polyMergeVertex -d 0.2 -ws 0 grid");
    EXPECT_EQ(meshOf("grid")->numVertices(), 9);
    mel("polyMergeVertex -d 0.11 grid.vtx[0:1]");
    auto m = meshOf("grid");
    EXPECT_EQ(m->numVertices(), 8);
    EXPECT_DOUBLE_EQ(m->points[0].x, -0.5);  // positions stay in object space
}

TEST_F(PolyMergeVertexTest, SelectedComponentsFollowTheirElements) {
    const int before = meshOf("grid")->topology().findEdge(7, 8);
    mel("select grid.vtx[4:5] grid.e[" + std::to_string(before) + "] grid.f[3] grid.map[2]");
    mel("polyMergeVertex -am 1 grid.vtx[0] grid.vtx[1]");
    // Vertex ids above 1 move down by one, so edge 7-8 is now 6-7; face 3 stays 3; UVs stay.
    const int after = meshOf("grid")->topology().findEdge(6, 7);
    ASSERT_GE(after, 0);
    EXPECT_EQ(selection(), (Strings{"grid.vtx[3:4]", "grid.e[" + std::to_string(after) + "]", "grid.f[3]",
                                    "grid.map[2]"}));
}

TEST_F(PolyMergeVertexTest, RefusalsChangeNothing) {
    EXPECT_NE(melError("polyMergeVertex -d 1").find("No polygon object"), std::string::npos);
    EXPECT_NE(melError("polyMergeVertex -d 1 persp").find("not a polygon mesh"), std::string::npos);
    EXPECT_NE(melError("polyMergeVertex -d 1 nothing").find("No object matches name"), std::string::npos);
    EXPECT_NE(melError("polyMergeVertex -d -1 grid").find("negative"), std::string::npos);
    EXPECT_NE(melError("polyMergeVertex -d grid").find("float"), std::string::npos);
}

TEST_F(PolyMergeVertexTest, UndoAndRedoReplayExactly) {
    mel("select grid.vtx[3:4]");
    expectOneUndoStep("polyMergeVertex -am 1 -ch 0");
    EXPECT_EQ(selection(), (Strings{"grid.vtx[3]"}));
    ASSERT_TRUE(undo());
    EXPECT_EQ(selection(), (Strings{"grid.vtx[3:4]"}));
    ASSERT_TRUE(redo());
    expectOneUndoStep("polyMergeVertex -d 10 grid");
}

TEST_F(PolyMergeVertexTest, AMeshWithHistoryIsBakedFirst) {
    mel("polyCube -n hist");  // with its polyCube creator
    mel("select hist.vtx[0:1]");
    expectOneUndoStep("polyMergeVertex -am 1");
    EXPECT_EQ(meshOf("hist")->numVertices(), 7);
    EXPECT_FALSE(scene().find("polyCube1"));
}
