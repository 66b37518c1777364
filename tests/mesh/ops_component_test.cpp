// Component edits of the kernel: deleting faces, vertices and edges, collapsing, cutting and connecting
// edges; counts, the shape of the faces they leave, and the corner data they carry or interpolate.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "mesh/MeshPrimitives.h"
#include "mesh/MeshTopology.h"
#include "mesh/ops/BevelEdges.h"
#include "mesh/ops/ComponentOps.h"
#include "mesh/ops/ExtrudeFaces.h"
#include "support/mesh_checks.h"

using namespace kxh;

namespace {

using kxtest::expectValid;
using kxtest::faceOf;

// A grid of n x n unit quads facing +Y: vertex (row r, column c) is r * (n + 1) + c.
Mesh grid(int n) {
    return plane(n, n, n, n);
}
int vid(int n, int r, int c) {
    return r * (n + 1) + c;
}
int edge(const Mesh& m, int a, int b) {
    const int e = m.topology().findEdge(a, b);
    EXPECT_GE(e, 0) << a << "-" << b;
    return e;
}
std::vector<int> faceSizes(const Mesh& m) {
    std::vector<int> s;
    for (int f = 0; f < m.numFaces(); ++f) s.push_back(m.faceSize(f));
    std::sort(s.begin(), s.end());
    return s;
}
bool hasPoint(const Mesh& m, const V3& p) {
    return std::any_of(m.points.begin(), m.points.end(), [&](const V3& q) {
        return std::abs(q.x - p.x) < 1e-12 && std::abs(q.y - p.y) < 1e-12 && std::abs(q.z - p.z) < 1e-12;
    });
}

}  // namespace

TEST(ComponentOps, DeletingFacesAndVerticesDropsWhatIsLeftWithoutAFace) {
    Mesh m = grid(2);
    const V3 corner = m.points[0];
    ops::EditResult r = ops::deleteFaces(m, {0, 99});
    expectValid(m);
    EXPECT_EQ(r.changes, 1);
    EXPECT_EQ(m.numFaces(), 3);
    EXPECT_EQ(m.numVertices(), 8);  // the outer corner of the face went with it
    EXPECT_FALSE(hasPoint(m, corner));
    EXPECT_EQ(r.vertexMap[0], -1);
    EXPECT_EQ(r.vertexMap[1], 0);
    // UVs stay on their corners: the UV of each corner still matches its position on the grid.
    const UvSet& uv = m.uvSets[0];
    for (int fv = 0; fv < m.numFaceVertices(); ++fv) {
        const V3& p = m.points[size_t(m.faceVerts[fv])];
        EXPECT_NEAR(uv.u[size_t(uv.faceVertUv[fv])], (p.x + 1) / 2, 1e-6);
    }

    Mesh centre = grid(2);
    EXPECT_EQ(ops::deleteVertices(centre, {vid(2, 1, 1)}).changes, 4);
    EXPECT_EQ(centre.numFaces(), 0);
    EXPECT_EQ(centre.numVertices(), 0);
    Mesh none = grid(2);
    EXPECT_FALSE(ops::deleteFaces(none, {-1, 4}).changed());
    EXPECT_EQ(none.numFaces(), 4);
}

TEST(ComponentOps, DeletingAnEdgeJoinsItsFacesAndCleansTheEnds) {
    Mesh plain = grid(2);
    const int e = edge(plain, vid(2, 0, 1), vid(2, 1, 1));  // from the border to the centre
    EXPECT_EQ(ops::deleteEdges(plain, {e}, false).changes, 1);
    expectValid(plain);
    EXPECT_EQ(plain.numFaces(), 3);
    EXPECT_EQ(plain.numVertices(), 9);
    EXPECT_EQ(faceSizes(plain), (std::vector<int>{4, 4, 6}));

    // Cleaning removes the border end, left with two edges; the centre keeps three.
    Mesh clean = grid(2);
    ops::EditResult r = ops::deleteEdges(clean, {e}, true);
    expectValid(clean);
    EXPECT_EQ(clean.numVertices(), 8);
    EXPECT_EQ(faceSizes(clean), (std::vector<int>{4, 4, 5}));
    EXPECT_EQ(r.vertexMap[size_t(vid(2, 0, 1))], -1);

    // A border edge has one face: nothing to join.
    Mesh border = grid(2);
    EXPECT_FALSE(ops::deleteEdges(border, {edge(border, 0, 1)}, true).changed());
    EXPECT_EQ(border.numFaces(), 4);
}

TEST(ComponentOps, DeletingEdgesNeverMakesAFaceWithAHole) {
    // The eight edges between the faces around the centre of a 3 x 3 grid: joining all eight faces would
    // make a ring around the centre face. Taken in order, the first six joins make one face of seven;
    // the last face touches it on both its sides, so neither of its edges can go.
    Mesh m = grid(3);
    std::vector<int> spokes;
    for (auto [a, b] : std::vector<std::pair<int, int>>{
             {1, 5}, {2, 6}, {4, 5}, {6, 7}, {8, 9}, {10, 11}, {9, 13}, {10, 14}})
        spokes.push_back(edge(m, a, b));
    ops::EditResult r = ops::deleteEdges(m, spokes, false);
    expectValid(m);
    EXPECT_EQ(r.changes, 6);
    EXPECT_EQ(m.numFaces(), 3);
    EXPECT_EQ(faceSizes(m), (std::vector<int>{4, 4, 16}));

    // Deleting the four sides of the centre face joins it with its four neighbours into one face; its
    // corners, left with two edges, are cleaned away, which turns the four corner faces into triangles.
    Mesh ring = grid(3);
    std::vector<int> sides{edge(ring, 5, 6), edge(ring, 6, 10), edge(ring, 10, 9), edge(ring, 9, 5)};
    EXPECT_EQ(ops::deleteEdges(ring, sides, true).changes, 4);
    expectValid(ring);
    EXPECT_EQ(ring.numVertices(), 12);
    EXPECT_EQ(faceSizes(ring), (std::vector<int>{3, 3, 3, 3, 8}));
}

TEST(ComponentOps, CollapsingEdgesMergesEachConnectedGroupAtItsMean) {
    Mesh m = grid(2);
    // The middle row's two edges form one group: three vertices become one at the centre.
    ops::MergeResult r = ops::collapseEdges(m, {edge(m, 3, 4), edge(m, 4, 5)});
    expectValid(m);
    EXPECT_EQ(m.numVertices(), 7);
    EXPECT_EQ(faceSizes(m), (std::vector<int>{3, 3, 3, 3}));
    const V3& c = m.points[size_t(r.vertexMap[4])];
    EXPECT_NEAR(c.x, 0, 1e-12);
    EXPECT_NEAR(c.z, 0, 1e-12);

    // Two separate edges collapse separately; the face edges of a quad collapse it to a point.
    Mesh two = grid(2);
    ops::collapseEdges(two, {edge(two, 0, 1), edge(two, 7, 8)});
    expectValid(two);
    EXPECT_EQ(two.numVertices(), 7);
    Mesh quad = grid(1);
    ops::collapseEdges(quad, ops::edgesOfFaces(quad, {0}));
    EXPECT_EQ(quad.numFaces(), 0);
}

TEST(ComponentOps, SubdividingAnEdgeCutsItInEqualPartsForBothFaces) {
    Mesh one = grid(1);
    const int e = edge(one, 0, 1);
    const V3 a = one.points[size_t(one.topology().edgeVertex(e, 0))];
    const V3 b = one.points[size_t(one.topology().edgeVertex(e, 1))];
    EXPECT_EQ(ops::subdivideEdges(one, {e, e}, 2).changes, 1);
    expectValid(one);
    ASSERT_EQ(one.numVertices(), 6);
    EXPECT_NEAR(one.points[4].x, a.x + (b.x - a.x) / 3, 1e-12);
    EXPECT_NEAR(one.points[5].x, a.x + 2 * (b.x - a.x) / 3, 1e-12);
    // The new corners get interpolated UVs (two new ones), in order along the face.
    const UvSet& uv = one.uvSets[0];
    EXPECT_EQ(uv.u.size(), 6u);
    for (int fv = 0; fv < one.numFaceVertices(); ++fv)
        EXPECT_NEAR(uv.u[size_t(uv.faceVertUv[fv])], one.points[size_t(one.faceVerts[fv])].x + 0.5, 1e-6);

    Mesh inner = grid(2);
    ops::subdivideEdges(inner, {edge(inner, 1, 4)}, 1);
    expectValid(inner);
    EXPECT_EQ(inner.numVertices(), 10);
    EXPECT_EQ(faceSizes(inner), (std::vector<int>{4, 4, 5, 5}));
}

TEST(ComponentOps, ConnectingSplitsFacesAlongChordsBetweenTheirPoints) {
    // An edge ring across a 2 x 1 strip: both quads are cut in two through the three midpoints.
    Mesh strip = plane(2, 1, 2, 1);
    ops::EditResult r =
        ops::connectComponents(strip, {}, {edge(strip, 0, 3), edge(strip, 1, 4), edge(strip, 2, 5)});
    expectValid(strip);
    EXPECT_EQ(strip.numVertices(), 9);
    EXPECT_EQ(faceSizes(strip), (std::vector<int>{4, 4, 4, 4}));
    EXPECT_EQ(r.changes, 5);  // three edges cut, two faces split

    // Two opposite corners of a quad: a diagonal.
    Mesh diag = grid(1);
    ops::connectComponents(diag, {0, 3}, {});
    expectValid(diag);
    EXPECT_EQ(diag.numVertices(), 4);
    EXPECT_EQ(faceSizes(diag), (std::vector<int>{3, 3}));
    // Neighbouring corners already share a side: nothing to cut.
    Mesh side = grid(1);
    EXPECT_FALSE(ops::connectComponents(side, {0, 1}, {}).changed());

    // All four sides of a quad: a diamond through the midpoints and four corner triangles.
    Mesh four = grid(1);
    ops::connectComponents(four, {}, ops::edgesOfFaces(four, {0}));
    expectValid(four);
    EXPECT_EQ(faceSizes(four), (std::vector<int>{3, 3, 3, 3, 4}));

    // An edge given with both its ends: the midpoint goes in, but no chord joins the ends again.
    Mesh again = grid(2);
    ops::connectComponents(again, {4, 7, 0}, {edge(again, 4, 7), edge(again, 1, 2)});
    expectValid(again);
    EXPECT_EQ(again.topology().findEdge(4, 7), -1);

    // Edges with no face in common: each is cut at its middle and no face is split.
    Mesh apart = grid(2);
    ops::connectComponents(apart, {}, {edge(apart, 0, 1), edge(apart, 7, 8)});
    expectValid(apart);
    EXPECT_EQ(faceSizes(apart), (std::vector<int>{4, 4, 5, 5}));
}

TEST(ComponentOps, ExtrudingLiftsTheFacesAndJoinsThemWithSideWalls) {
    // One quad facing +Y, lifted by 2 in two rings: 4 copies at the top, 4 in the middle ring.
    Mesh m = grid(1);
    ops::ExtrudeOptions o;
    o.localTranslateZ = 2;
    o.divisions = 2;
    ops::ExtrudeResult r = ops::extrudeFaces(m, {0}, o);
    expectValid(m);
    EXPECT_EQ(r.sideFaces, 8);
    EXPECT_EQ(m.numVertices(), 12);
    EXPECT_EQ(m.numFaces(), 9);
    for (int v : faceOf(m, 0)) EXPECT_DOUBLE_EQ(m.points[size_t(v)].y, 2);
    for (int v = 8; v < 12; ++v) EXPECT_DOUBLE_EQ(m.points[size_t(v)].y, 1);
    // Side corners take the UVs of the corners they rise from, so every face still has UVs throughout.
    for (int id : m.uvSets[0].faceVertUv) EXPECT_GE(id, 0);

    // Inner vertices of a region move in place; its border vertices are copied.
    Mesh g = grid(2);
    ops::extrudeFaces(g, {0, 1, 2, 3}, ops::ExtrudeOptions{1, true, 1});
    expectValid(g);
    EXPECT_EQ(g.numVertices(), 17);  // 8 border copies, the centre moved
    EXPECT_DOUBLE_EQ(g.points[4].y, 1);
    // Every face of a closed box: no border, every vertex moves out along its normal.
    Mesh box = cube();
    ops::extrudeFaces(box, {0, 1, 2, 3, 4, 5}, ops::ExtrudeOptions{1, true, 1});
    expectValid(box);
    EXPECT_EQ(box.numFaces(), 6);
    EXPECT_NEAR(box.points[0].z, 0.5 + 1 / std::sqrt(3.0), 1e-12);
}

TEST(ComponentOps, BevellingCutsEdgesIntoStripsAndFillsTheCorners) {
    // One cube edge: each end has a single bevelled edge and three edges, so no edge lies across from it;
    // each copy slides along its own face's other edge, and the end face takes both copies with the
    // strip's end row between them. The strip has one quad per segment.
    Mesh one = cube();
    ops::BevelOptions o;
    o.offset = 0.1;
    o.segments = 3;
    EXPECT_EQ(ops::bevelEdges(one, {0}, o).edges, 1);
    expectValid(one);
    EXPECT_EQ(one.numVertices(), 8 - 2 + 4 + 4);
    EXPECT_EQ(one.numFaces(), 6 + 3);
    EXPECT_EQ(one.numVertices() - one.numEdges() + one.numFaces(), 2);  // still a closed sphere-like surface
    int sevenCorners = 0;
    for (int f = 0; f < one.numFaces(); ++f) sevenCorners += one.faceSize(f) == 7;
    EXPECT_EQ(sevenCorners, 2);  // the end faces: three corners kept, the row of four in place of the fourth
    // The corner (-0.5, -0.5, 0.5) at the end of edge 0 (to vertex 1 along +X) is gone; its copies lie 0.1
    // along its two other edges: a true chamfer.
    EXPECT_FALSE(hasPoint(one, V3{-0.5, -0.5, 0.5}));
    EXPECT_TRUE(hasPoint(one, V3{-0.5, -0.4, 0.5}));
    EXPECT_TRUE(hasPoint(one, V3{-0.5, -0.5, 0.4}));

    // The three edges at a cube corner: three sectors there, closed by a triangle; every copy lies
    // `offset` from the corner along the cube's edges or inside a face.
    Mesh corner = cube();
    o.segments = 1;
    const MeshTopology& t = corner.topology();
    ops::bevelEdges(corner, {t.findEdge(0, 1), t.findEdge(0, 2), t.findEdge(0, 6)}, o);
    expectValid(corner);
    EXPECT_EQ(corner.numVertices() - corner.numEdges() + corner.numFaces(), 2);
    EXPECT_FALSE(hasPoint(corner, V3{-0.5, -0.5, 0.5}));  // the corner itself is gone
    EXPECT_TRUE(hasPoint(corner, V3{-0.4, -0.4, 0.5}));   // its copy inside the front face

    // Offset 0 with a merge tolerance gives the mesh back; border edges do not bevel.
    Mesh zero = cube();
    o.offset = 0;
    o.mergeTolerance = 1e-4;
    ops::bevelEdges(zero, {0, 1, 2}, o);
    expectValid(zero);
    EXPECT_EQ(zero.numVertices(), 8);
    EXPECT_EQ(zero.numFaces(), 6);
    Mesh open = grid(1);
    EXPECT_EQ(ops::bevelEdges(open, {0}, o).edges, 0);
}
