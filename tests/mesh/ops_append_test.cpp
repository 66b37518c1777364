// Building faces: one-face meshes and appending a face from existing vertices and new points, keeping the
// mesh a consistently wound manifold.
#include <gtest/gtest.h>

#include "mesh/Mesh.h"
#include "mesh/MeshPrimitives.h"
#include "mesh/MeshTopology.h"
#include "mesh/MeshValidate.h"
#include "mesh/ops/AppendFace.h"

using namespace kxh;
using ops::FaceCorner;

namespace {

std::vector<int> faceOf(const Mesh& m, int f) {
    return std::vector<int>(m.faceVerts.begin() + m.faceOffsets[f], m.faceVerts.begin() + m.faceOffsets[f + 1]);
}

void expectValid(const Mesh& m) {
    auto faults = validateMesh(m);
    EXPECT_TRUE(faults.empty()) << faults[0];
}

// Unit squares in the XY plane, counter-clockwise seen from +Z, one per x offset.
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

// The stored arrays, for checking that a refused append changed nothing.
struct Snapshot {
    std::vector<V3> points;
    std::vector<int> offsets, verts;
    explicit Snapshot(const Mesh& m) : points(m.points), offsets(m.faceOffsets), verts(m.faceVerts) {}
    bool same(const Mesh& m) const {
        if (points.size() != m.points.size() || offsets != m.faceOffsets || verts != m.faceVerts) return false;
        for (size_t i = 0; i < points.size(); ++i)
            if (points[i].x != m.points[i].x || points[i].y != m.points[i].y || points[i].z != m.points[i].z)
                return false;
        return true;
    }
};

}  // namespace

TEST(OpsCreateFacet, OneFaceThroughThePointsWithAnEmptyMap1) {
    Mesh m = ops::createFacetMesh({V3{0, 0, 0}, V3{2, 0, 0}, V3{2, 1, 0}, V3{0, 1, 0}});
    expectValid(m);
    EXPECT_EQ(m.numVertices(), 4);
    EXPECT_EQ(m.numFaces(), 1);
    EXPECT_EQ(faceOf(m, 0), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(m.points[2].x, 2);
    ASSERT_EQ(m.uvSets.size(), 1u);
    EXPECT_EQ(m.uvSets[0].name, "map1");
    EXPECT_TRUE(m.uvSets[0].u.empty());
    EXPECT_EQ(m.uvSets[0].faceVertUv, (std::vector<int>(4, -1)));
}

TEST(OpsCreateFacet, SubdivisionCutsEverySideEvenly) {
    Mesh m = ops::createFacetMesh({V3{0, 0, 0}, V3{3, 0, 0}, V3{0, 3, 0}}, 3);
    expectValid(m);
    ASSERT_EQ(m.numVertices(), 9);
    EXPECT_EQ(m.faceSize(0), 9);
    EXPECT_DOUBLE_EQ(m.points[1].x, 1);  // first side: 0, 1, 2, then corner 1 at x = 3
    EXPECT_DOUBLE_EQ(m.points[2].x, 2);
    EXPECT_DOUBLE_EQ(m.points[4].x, 2);  // second side walks back toward (0, 3)
    EXPECT_DOUBLE_EQ(m.points[4].y, 1);
    EXPECT_DOUBLE_EQ(m.points[8].y, 1);  // closing side back down to the first corner
}

TEST(OpsAppendFace, InterleavedCornersShareTheNeighboursEdge) {
    Mesh m = squares({0});
    // Right of the square: runs its shared side 2 -> 1, against the square's 1 -> 2.
    auto r = ops::appendFace(m, {FaceCorner::existing(2), FaceCorner::existing(1), FaceCorner::at(V3{2, 0, 0}),
                                 FaceCorner::at(V3{2, 1, 0})});
    ASSERT_TRUE(r.ok) << r.error;
    expectValid(m);
    EXPECT_FALSE(r.reversed);
    EXPECT_EQ(r.face, 1);
    EXPECT_EQ(r.firstNewVertex, 4);
    EXPECT_EQ(faceOf(m, 1), (std::vector<int>{2, 1, 4, 5}));
    EXPECT_EQ(m.points[5].x, 2);
    EXPECT_EQ(m.points[5].y, 1);
    const MeshTopology& t = m.topology();
    EXPECT_EQ(t.edgeFaces(t.findEdge(1, 2)).size(), 2);
    EXPECT_EQ(m.numEdges(), 7);
}

TEST(OpsAppendFace, AFaceAgainstItsNeighboursIsReversedOrRefused) {
    Mesh m = squares({0});
    const std::vector<FaceCorner> corners{FaceCorner::existing(1), FaceCorner::existing(2),
                                          FaceCorner::at(V3{2, 1, 0}), FaceCorner::at(V3{2, 0, 0})};
    Mesh strict = m;
    Snapshot before(strict);
    auto refused = ops::appendFace(strict, corners, /*allowReverse=*/false);
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.error.find("opposes"), std::string::npos) << refused.error;
    EXPECT_TRUE(before.same(strict));

    auto r = ops::appendFace(m, corners);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(r.reversed);
    expectValid(m);
    // First corner kept first, the rest reversed; new points still numbered in the order given.
    EXPECT_EQ(faceOf(m, 1), (std::vector<int>{1, 5, 4, 2}));
    EXPECT_EQ(m.points[4].y, 1);
}

TEST(OpsAppendFace, BridgingTwoFacesNeedsAgreementWithBoth) {
    // Squares at x 0..1 and 2..3; the bridge joins the first's right side to the second's left side.
    Mesh m = squares({0, 2});
    Mesh mixed = m;
    Snapshot before(mixed);
    auto bad = ops::appendFace(mixed, {FaceCorner::existing(1), FaceCorner::existing(7), FaceCorner::existing(4),
                                       FaceCorner::existing(2)});
    EXPECT_FALSE(bad.ok);
    EXPECT_NE(bad.error.find("agrees with some"), std::string::npos) << bad.error;
    EXPECT_TRUE(before.same(mixed));

    auto r = ops::appendFace(m, {FaceCorner::existing(1), FaceCorner::existing(4), FaceCorner::existing(7),
                                 FaceCorner::existing(2)});
    ASSERT_TRUE(r.ok) << r.error;
    expectValid(m);
    EXPECT_EQ(r.firstNewVertex, -1);
    EXPECT_EQ(m.numVertices(), 8);
    for (int v = 0; v < 8; ++v) EXPECT_TRUE(m.topology().vertexOnBoundary(v));
}

TEST(OpsAppendFace, RefusedCornersLeaveTheMeshUnchanged) {
    // A strip of two squares: edge 1-2 has two faces.
    Mesh strip;
    strip.points = {V3{0, 0, 0}, V3{1, 0, 0}, V3{1, 1, 0}, V3{0, 1, 0}, V3{2, 0, 0}, V3{2, 1, 0}};
    strip.addFace({0, 1, 2, 3});
    strip.addFace({1, 4, 5, 2});
    strip.pointsChanged();
    struct Case {
        const char* what;
        std::vector<FaceCorner> corners;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"two corners", {FaceCorner::existing(0), FaceCorner::existing(1)}, "at least three"},
        {"id past the end", {FaceCorner::existing(0), FaceCorner::existing(1), FaceCorner::existing(6)}, "does not exist"},
        {"negative id", {FaceCorner::existing(-1), FaceCorner::existing(0), FaceCorner::existing(1)}, "does not exist"},
        {"vertex twice", {FaceCorner::existing(0), FaceCorner::existing(1), FaceCorner::existing(0)}, "used twice"},
        {"third face on an edge", {FaceCorner::existing(2), FaceCorner::existing(1), FaceCorner::at(V3{1, 0, 1})},
         "non-manifold"},
        {"not finite", {FaceCorner::existing(0), FaceCorner::existing(3), FaceCorner::at(V3{0, 0, 1.0 / 0.0})},
         "finite"},
    };
    for (const auto& c : cases) {
        Mesh work = strip;
        Snapshot before(work);
        auto r = ops::appendFace(work, c.corners);
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_NE(r.error.find(c.message), std::string::npos) << c.what << ": " << r.error;
        EXPECT_TRUE(before.same(work)) << c.what;
        expectValid(work);
    }
}

TEST(OpsAppendFace, MappedMeshesGetAnUnmappedFace) {
    Mesh m = plane(2, 2, 2, 2);  // 9 vertices, UVs on every corner
    const int uvCount = int(m.uvSets[0].u.size());
    // Outside the -Z border row (vertices 6, 7, 8 at z = -1): run it against the grid's winding.
    const MeshTopology& t = m.topology();
    const int e = t.findEdge(6, 7);
    ASSERT_GE(e, 0);
    const int a = t.edgeVertex(e, 1), b = t.edgeVertex(e, 0);  // the reverse of the border face's run
    auto r = ops::appendFace(m, {FaceCorner::existing(a), FaceCorner::existing(b), FaceCorner::at(V3{0, 0, -2})});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_FALSE(r.reversed);
    expectValid(m);
    EXPECT_EQ(int(m.uvSets[0].u.size()), uvCount);
    for (int fv = m.faceOffsets[r.face]; fv < m.faceOffsets[r.face + 1]; ++fv) EXPECT_EQ(m.uvSets[0].faceVertUv[fv], -1);
    EXPECT_NE(m.uvSets[0].faceVertUv[0], -1);
}
