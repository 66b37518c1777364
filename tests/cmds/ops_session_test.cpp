// A quad-drawing session as the retopology tool drives it: command strings built the way the tool builds
// them (empty statements and omitted objects included), the first quad welded to its mirror image,
// later quads appended over border vertices with their mirrored twins, and undo/redo through it all.
#include "ops_fixture.h"

using Strings = std::vector<std::string>;

namespace {

// The first quad just right of the mirror plane x = 0 and its mirror image (corners mirrored, reversed),
// then a weld at the merge distance, all on the new (selected) object.
const char* kFirstQuadMirrored =
    "polyCreateFacet -p 0.004 0 0 -p 1 0 0 -p 1 1 0 -p 0.004 1 0 ; "
    "polyAppendVertex -p -0.004 1 0 -p -1 1 0 -p -1 0 0 -p -0.004 0 0 ; "
    "polyMergeVertex -d 0.01 ; select -d;";

// A quad above the first one over its top border (vertices 3 and 2) and two new points, then its mirror
// twin over the mirrored border (vertices 4 and 3), in corner order reversed.
const char* kSecondQuadMirrored =
    "polyAppendVertex -v 3 -v 2 -p 1 2 0 -p 0.2 2 0 |polySurface1|polySurfaceShape1; "
    "polyAppendVertex -p -0.2 2 0 -p -1 2 0 -v 4 -v 3 |polySurface1|polySurfaceShape1; ";

}  // namespace

class QuadDrawSessionTest : public OpsCmdTest {
protected:
    // Faces sharing the edge a-b (every mesh is also validated after each command).
    int facesOn(const kxh::Mesh& m, int a, int b) {
        const int e = m.topology().findEdge(a, b);
        return e < 0 ? 0 : m.topology().edgeFaces(e).size();
    }
};

TEST_F(QuadDrawSessionTest, FirstQuadIsWeldedToItsMirrorAlongThePlane) {
    mel(kFirstQuadMirrored);
    EXPECT_EQ(userNodes("ls -type \"transform\""), (Strings{"polySurface1"}));
    EXPECT_TRUE(selection().empty());
    auto m = meshOf("|polySurface1|polySurfaceShape1");
    ASSERT_TRUE(m);
    ASSERT_EQ(m->numVertices(), 6);
    ASSERT_EQ(m->numFaces(), 2);
    EXPECT_EQ(faceOf(*m, 0), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(faceOf(*m, 1), (std::vector<int>{3, 4, 5, 0}));
    // The seam vertices sit on the mirror plane, halfway between the two they were made from.
    EXPECT_NEAR(m->points[0].x, 0, 1e-12);
    EXPECT_NEAR(m->points[3].x, 0, 1e-12);
    EXPECT_EQ(m->points[4].x, -1);
    EXPECT_EQ(m->numEdges(), 7);
    EXPECT_EQ(facesOn(*m, 0, 3), 2);
}

TEST_F(QuadDrawSessionTest, WithoutMirrorTheEmptyStatementsDoNothing) {
    mel("polyCreateFacet -p 0 0 0 -p 1 0 0 -p 1 1 0 -p 0 1 0 ; ; select -d;");
    EXPECT_TRUE(selection().empty());
    auto m = meshOf("polySurface1");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->numFaces(), 1);
}

TEST_F(QuadDrawSessionTest, LaterQuadsReuseBorderVerticesOnBothSides) {
    mel(kFirstQuadMirrored);
    mel("hilite polySurface1");
    mel(kSecondQuadMirrored);
    auto m = meshOf("polySurface1");
    ASSERT_EQ(m->numVertices(), 10);
    ASSERT_EQ(m->numFaces(), 4);
    EXPECT_EQ(faceOf(*m, 2), (std::vector<int>{3, 2, 6, 7}));
    EXPECT_EQ(faceOf(*m, 3), (std::vector<int>{8, 9, 4, 3}));
    EXPECT_EQ(facesOn(*m, 2, 3), 2);
    EXPECT_EQ(facesOn(*m, 3, 4), 2);
    EXPECT_EQ(m->points[9].x, -1);
    EXPECT_EQ(m->points[9].y, 2);

    // A third row closing the gap between the two upper quads over vertices 8, 3 and 7.
    mel("polyAppendVertex -v 8 -v 3 -v 7 -p 0 2.5 0 |polySurface1|polySurfaceShape1; ");
    m = meshOf("polySurface1");
    EXPECT_EQ(m->numFaces(), 5);
    EXPECT_EQ(facesOn(*m, 3, 7) + facesOn(*m, 3, 8), 4);
}

TEST_F(QuadDrawSessionTest, UndoWalksBackToTheEmptySceneAndRedoForward) {
    const std::string empty = dump();
    const size_t start = undoSteps();
    mel(kFirstQuadMirrored);
    mel(kSecondQuadMirrored);
    const std::string end = dump();
    const size_t steps = undoSteps() - start;
    EXPECT_GE(steps, 5u);  // one per command that changed something
    for (size_t i = 0; i < steps; ++i) {
        ASSERT_TRUE(undo());
        checkScene("undo " + std::to_string(i));
    }
    EXPECT_EQ(empty, dump());
    EXPECT_FALSE(scene().find("polySurface1"));
    for (size_t i = 0; i < steps; ++i) {
        ASSERT_TRUE(redo());
        checkScene("redo " + std::to_string(i));
    }
    EXPECT_EQ(end, dump());
    EXPECT_TRUE(scene().find("|polySurface1|polySurfaceShape1"));
}
