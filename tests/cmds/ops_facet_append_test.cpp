// polyCreateFacet and polyAppendVertex: new one-face meshes, faces appended from interleaved points and
// vertex ids, shared edges staying manifold, refusals that leave the scene alone, and undo/redo.
#include <maya/MDistance.h>

#include "ops_fixture.h"

using Strings = std::vector<std::string>;

namespace {
const char* kUnitSquare = "polyCreateFacet -p 0 0 0 -p 1 0 0 -p 1 1 0 -p 0 1 0";
}

class PolyCreateFacetTest : public OpsCmdTest {};

TEST_F(PolyCreateFacetTest, MakesATransformAndShapeWithOneFaceAndSelectsIt) {
    EXPECT_EQ(melStrings(kUnitSquare), (Strings{"polySurface1"}));
    EXPECT_EQ(selection(), (Strings{"polySurface1"}));
    EXPECT_EQ(userNodes("ls -type mesh"), (Strings{"polySurfaceShape1"}));
    EXPECT_EQ(melStrings("listRelatives -p polySurfaceShape1"), (Strings{"polySurface1"}));
    auto m = meshOf("polySurface1");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->numVertices(), 4);
    EXPECT_EQ(m->numFaces(), 1);
    EXPECT_EQ(m->points[2].x, 1);
    EXPECT_EQ(m->points[2].y, 1);

    // The next one takes the next free names; -n names the transform and its shape follows it.
    EXPECT_EQ(melStrings("polyCreateFacet -ch 1 -s 1 -tx 0 -p 0 0 0 -p 1 0 0 -p 0 1 0"),
              (Strings{"polySurface2"}));
    EXPECT_EQ(melStrings("polyCreateFacet -n quad -p 0 0 0 -p 1 0 0 -p 0 1 0"), (Strings{"quad"}));
    EXPECT_TRUE(scene().find("quadShape"));
    EXPECT_EQ(selection(), (Strings{"quad"}));
}

TEST_F(PolyCreateFacetTest, PointsAreReadInTheUiUnitAndSidesCanBeSubdivided) {
    MDistance::setUIUnit(MDistance::kMillimeters);
    mel("polyCreateFacet -s 2 -p 0 0 0 -p 20 0 0 -p 0 20 0");
    auto m = meshOf("polySurface1");
    ASSERT_TRUE(m);
    ASSERT_EQ(m->numVertices(), 6);
    EXPECT_DOUBLE_EQ(m->points[1].x, 1);  // midpoint of the first side, in centimetres
    EXPECT_DOUBLE_EQ(m->points[2].x, 2);
}

TEST_F(PolyCreateFacetTest, RefusalsChangeNothing) {
    mel("polyCube");
    EXPECT_NE(melError("polyCreateFacet -p 0 0 0 -p 1 0 0").find("at least three points"), std::string::npos);
    EXPECT_NE(melError("polyCreateFacet -s 0 -p 0 0 0 -p 1 0 0 -p 0 1 0").find("subdivision"),
              std::string::npos);
    EXPECT_NE(melError("polyCreateFacet -tx 1 -p 0 0 0 -p 1 0 0 -p 0 1 0").find("texture"),
              std::string::npos);
    EXPECT_NE(melError("polyCreateFacet -p 0 0 -p 1 0 0 -p 0 1 0").find("float"), std::string::npos);
}

TEST_F(PolyCreateFacetTest, UndoRemovesItAndRedoBringsItBackUnderTheSameName) {
    mel("polyCube; select pCube1");
    expectOneUndoStep(kUnitSquare);
    EXPECT_EQ(selection(), (Strings{"polySurface1"}));
    ASSERT_TRUE(undo());
    EXPECT_FALSE(scene().find("polySurface1"));
    EXPECT_EQ(selection(), (Strings{"pCube1"}));
    ASSERT_TRUE(redo());
    EXPECT_TRUE(scene().find("|polySurface1|polySurfaceShape1"));
}

class PolyAppendVertexTest : public OpsCmdTest {
protected:
    void SetUp() override {
        OpsCmdTest::SetUp();
        mel(kUnitSquare);  // counter-clockwise seen from +Z: 0 (0,0) 1 (1,0) 2 (1,1) 3 (0,1)
    }
};

TEST_F(PolyAppendVertexTest, InterleavedPointsAndIdsGiveTheCornerOrder) {
    // Right of the square, on the selected object: corners v1, new, new, v2 in command-line order.
    EXPECT_EQ(melString("polyAppendVertex -v 1 -p 2 0 0 -p 2 1 0 -v 2"), "polySurfaceShape1");
    auto m = meshOf("polySurface1");
    ASSERT_EQ(m->numFaces(), 2);
    EXPECT_EQ(faceOf(*m, 1), (std::vector<int>{1, 4, 5, 2}));
    EXPECT_EQ(m->points[4].x, 2);
    EXPECT_EQ(m->points[4].y, 0);
    EXPECT_EQ(m->points[5].y, 1);
    EXPECT_EQ(m->numEdges(), 7);  // the shared side is one edge with two faces
    const kxh::MeshTopology& t = m->topology();
    EXPECT_EQ(t.edgeFaces(t.findEdge(1, 2)).size(), 2);

    // -a stands for -v with one number and -p with three, still in order; the object by full path.
    mel("select -d; polyAppendVertex -a 2 -a 0.5 2 0 -a 3 |polySurface1|polySurfaceShape1");
    m = meshOf("polySurface1");
    ASSERT_EQ(m->numFaces(), 3);
    EXPECT_EQ(faceOf(*m, 2), (std::vector<int>{2, 6, 3}));
    EXPECT_EQ(m->points[6].y, 2);
}

TEST_F(PolyAppendVertexTest, TheShapeTheTransformOrTheSelectionNameTheMesh) {
    mel("polyAppendVertex -v 1 -v 0 -p 0.5 -1 0 polySurfaceShape1");
    mel("polyAppendVertex -v 3 -v 2 -p 0.5 2 0 polySurface1");
    mel("select polySurface1.vtx[0]; polyAppendVertex -v 0 -v 3 -p -1 0.5 0");  // a component names its mesh
    auto m = meshOf("polySurface1");
    EXPECT_EQ(m->numFaces(), 4);
    EXPECT_EQ(m->numVertices(), 7);
    EXPECT_EQ(selection(), (Strings{"polySurface1.vtx[0]"}));
    // Points are in the shape's object space: a moved transform does not move them.
    mel("setAttr polySurface1.tx 10; polyAppendVertex -v 2 -v 1 -p 2 0.5 0 polySurface1");
    EXPECT_EQ(meshOf("polySurface1")->points[7].x, 2);
}

TEST_F(PolyAppendVertexTest, RefusalsChangeNothing) {
    mel("polyAppendVertex -v 2 -v 1 -p 2 0 0 -p 2 1 0");  // second square: side 1-2 now has two faces
    mel("polyCube -n other; select -cl");
    auto expectError = [&](const std::string& cmd, const std::string& part) {
        std::string err = melError(cmd);
        EXPECT_NE(err.find(part), std::string::npos) << cmd << " -> " << err;
    };
    expectError("polyAppendVertex -v 0 -v 1 -v 9 polySurface1", "polyAppendVertex: Vertex 9 does not exist");
    expectError("polyAppendVertex -v 1 -v 2 -p 1 0.5 1 polySurface1", "non-manifold");
    expectError("polyAppendVertex -v 0 -v 1 -p 0 -1 0", "No polygon object");
    expectError("polyAppendVertex -v 0 -v 1 -p 0 -1 0 nothingHere", "No object matches name: nothingHere");
    expectError("polyAppendVertex -v 0 -v 1 -p 0 -1 0 persp", "not a polygon mesh");
    expectError("polyAppendVertex -v 0 -v 1 -p 0 -1 0 polySurface1 other", "Only one polygon object");
    expectError("polyAppendVertex -v 0 -h -v 1 -p 0 -1 0 polySurface1", "holes");
    expectError("polyAppendVertex -v 0 -v 1 -p 0 -1 polySurface1", "float");
    mel("select polySurface1 other");
    expectError("polyAppendVertex -v 0 -v 1 -p 0 -1 0", "Only one polygon object");
}

TEST_F(PolyAppendVertexTest, UndoAndRedoReplayExactly) {
    mel("select -cl");
    expectOneUndoStep("polyAppendVertex -v 2 -p 2 1 0 -p 2 0 0 -v 1 polySurface1");
    expectOneUndoStep("polyAppendVertex -p 5 5 0 -p 6 5 0 -p 6 6 0 polySurface1");  // a separate face
    EXPECT_EQ(meshOf("polySurface1")->numFaces(), 3);
}
