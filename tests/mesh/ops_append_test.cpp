// Building faces: one-face meshes, and faces appended over existing vertices and new points that must keep
// the mesh a consistently wound manifold.
#include <gtest/gtest.h>

#include "mesh/Mesh.h"
#include "mesh/MeshPrimitives.h"
#include "mesh/MeshTopology.h"
#include "mesh/MeshValidate.h"
#include "mesh/ops/AppendFace.h"
#include "support/mesh_checks.h"

using namespace kxh;
using ops::FaceCorner;

namespace {

using kxtest::expectValid;
using kxtest::faceOf;

// Unit squares in the XY plane, counter-clockwise seen from +Z, at the given x offsets.
Mesh squares(std::vector<double> xs) {
    Mesh m;
    for (double x : xs) {
        const int b = m.numVertices();
        m.points.insert(m.points.end(), {V3{x, 0, 0}, V3{x + 1, 0, 0}, V3{x + 1, 1, 0}, V3{x, 1, 0}});
        m.addFace({b, b + 1, b + 2, b + 3});
    }
    m.pointsChanged();
    return m;
}

}  // namespace

TEST(OpsCreateFacet, OneFaceWithAnEmptyMap1AndEvenlyCutSides) {
    Mesh m = ops::createFacetMesh({V3{0, 0, 0}, V3{3, 0, 0}, V3{0, 3, 0}});
    expectValid(m);
    EXPECT_EQ(faceOf(m, 0), (std::vector<int>{0, 1, 2}));
    ASSERT_EQ(m.uvSets.size(), 1u);
    EXPECT_EQ(m.uvSets[0].name, "map1");
    EXPECT_EQ(m.uvSets[0].faceVertUv, (std::vector<int>(3, -1)));

    Mesh cut = ops::createFacetMesh({V3{0, 0, 0}, V3{3, 0, 0}, V3{0, 3, 0}}, 3);
    expectValid(cut);
    ASSERT_EQ(cut.faceSize(0), 9);
    EXPECT_DOUBLE_EQ(cut.points[2].x, 2);  // first side: 0, then 1 and 2 before corner 1 at x = 3
    EXPECT_DOUBLE_EQ(cut.points[4].y, 1);  // second side walks toward (0, 3)
    EXPECT_DOUBLE_EQ(cut.points[8].y, 1);  // the closing side back down to the first corner
}

TEST(OpsAppendFace, BridgingTwoFacesNeedsAgreementWithBoth) {
    // Squares at x 0..1 and 2..3; the bridge joins the first's right side (1-2) to the second's left (7-4).
    Mesh m = squares({0, 2});
    const Mesh before = m;
    auto mixed = ops::appendFace(m, {FaceCorner::existing(1), FaceCorner::existing(7),
                                     FaceCorner::existing(4), FaceCorner::existing(2)});
    EXPECT_FALSE(mixed.ok);
    EXPECT_NE(mixed.error.find("agrees with some"), std::string::npos) << mixed.error;
    EXPECT_EQ(m.faceVerts, before.faceVerts);

    auto r = ops::appendFace(m, {FaceCorner::existing(1), FaceCorner::existing(4), FaceCorner::existing(7),
                                 FaceCorner::existing(2)});
    ASSERT_TRUE(r.ok) << r.error;
    expectValid(m);
    EXPECT_FALSE(r.reversed);
    EXPECT_EQ(r.firstNewVertex, -1);
    EXPECT_EQ(m.numEdges(), 10);  // two sides shared, two new

    // Both squares run their sides the other way round from this face: it is reversed, first corner kept,
    // and its new point numbered after the existing vertices.
    Mesh same = squares({0, 2});
    auto rev =
        ops::appendFace(same, {FaceCorner::existing(2), FaceCorner::existing(7), FaceCorner::existing(4),
                               FaceCorner::at(V3{1.5, 0, 0}), FaceCorner::existing(1)});
    ASSERT_TRUE(rev.ok) << rev.error;
    EXPECT_TRUE(rev.reversed);
    expectValid(same);
    EXPECT_EQ(faceOf(same, 2), (std::vector<int>{2, 1, 8, 4, 7}));
    Mesh strict = squares({0, 2});
    EXPECT_FALSE(ops::appendFace(strict,
                                 {FaceCorner::existing(1), FaceCorner::existing(2), FaceCorner::at(V3{})},
                                 /*allowReverse=*/false)
                     .ok);
}

TEST(OpsAppendFace, RefusedFacesLeaveTheMeshUnchanged) {
    // A strip of two squares: edge 1-2 has two faces.
    Mesh strip;
    strip.points = {V3{0, 0, 0}, V3{1, 0, 0}, V3{1, 1, 0}, V3{0, 1, 0}, V3{2, 0, 0}, V3{2, 1, 0}};
    strip.addFace({0, 1, 2, 3});
    strip.addFace({1, 4, 5, 2});
    strip.pointsChanged();
    struct Case {
        std::vector<FaceCorner> corners;
        const char* message;
    };
    const std::vector<Case> cases = {
        {{FaceCorner::existing(0), FaceCorner::existing(1)}, "at least three"},
        {{FaceCorner::existing(0), FaceCorner::existing(1), FaceCorner::existing(6)}, "does not exist"},
        {{FaceCorner::existing(-1), FaceCorner::existing(0), FaceCorner::existing(1)}, "does not exist"},
        {{FaceCorner::existing(0), FaceCorner::existing(1), FaceCorner::existing(0)}, "used twice"},
        {{FaceCorner::existing(2), FaceCorner::existing(1), FaceCorner::at(V3{1, 0, 1})}, "non-manifold"},
        {{FaceCorner::existing(0), FaceCorner::existing(3), FaceCorner::at(V3{0, 0, 1.0 / 0.0})}, "finite"},
    };
    for (const auto& c : cases) {
        Mesh work = strip;
        auto r = ops::appendFace(work, c.corners);
        EXPECT_FALSE(r.ok) << c.message;
        EXPECT_NE(r.error.find(c.message), std::string::npos) << r.error;
        EXPECT_EQ(work.faceVerts, strip.faceVerts) << c.message;
        EXPECT_EQ(work.points.size(), strip.points.size()) << c.message;
    }
}

TEST(OpsAppendFace, MappedMeshesGetAnUnmappedFace) {
    Mesh m = plane(2, 2, 2, 2);  // UVs on every corner
    const MeshTopology& t = m.topology();
    const int e = t.findEdge(6, 7);  // on the border: append against its face's run
    auto r = ops::appendFace(m, {FaceCorner::existing(t.edgeVertex(e, 1)),
                                 FaceCorner::existing(t.edgeVertex(e, 0)), FaceCorner::at(V3{0, 0, -2})});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_FALSE(r.reversed);
    expectValid(m);
    for (int fv = m.faceOffsets[r.face]; fv < m.faceOffsets[r.face + 1]; ++fv)
        EXPECT_EQ(m.uvSets[0].faceVertUv[fv], -1);
}
