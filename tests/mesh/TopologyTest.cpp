#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "mesh/Mesh.h"
#include "mesh/MeshBvh.h"
#include "mesh/MeshGeometry.h"
#include "mesh/MeshMath.h"
#include "mesh/MeshPrimitives.h"
#include "mesh/MeshTopology.h"
#include "mesh/MeshValidate.h"

using namespace kxh;

namespace {

std::vector<int> ids(IdRange r) {
    return r.toVector();
}

V3 edgeDirFrom(const Mesh& m, int e, int v) {
    const MeshTopology& t = m.topology();
    const int other = t.edgeVertex(e, 0) == v ? t.edgeVertex(e, 1) : t.edgeVertex(e, 0);
    return m.points[other] - m.points[v];
}

// Every vertex's edges turn counter-clockwise about its normal, and face i of the fan lies between edge i
// and edge i+1 (wrapping for interior vertices).
void expectFansRotational(const Mesh& m) {
    const MeshTopology& t = m.topology();
    for (int v = 0; v < m.numVertices(); ++v) {
        const IdRange edges = t.vertexEdges(v), faces = t.vertexFaces(v);
        const bool boundary = t.vertexOnBoundary(v);
        ASSERT_EQ(edges.size(), faces.size() + (boundary ? 1 : 0)) << "vertex " << v;
        const V3 n = m.vertexNormal(v, true);
        for (int i = 0; i < faces.size(); ++i) {
            const int e0 = edges[i], e1 = edges[(i + 1) % edges.size()];
            const IdRange fe = t.faceEdges(faces[i]);
            EXPECT_TRUE(fe.contains(e0) && fe.contains(e1)) << "vertex " << v << " face " << faces[i];
            EXPECT_GT(dot(cross(edgeDirFrom(m, e0, v), edgeDirFrom(m, e1, v)), n), 0) << "vertex " << v;
        }
        if (boundary) {
            EXPECT_TRUE(t.edgeOnBoundary(edges[0])) << "vertex " << v;
            EXPECT_TRUE(t.edgeOnBoundary(edges[edges.size() - 1])) << "vertex " << v;
        }
    }
}

// Walks an edge loop: at each far vertex of valence 4, take the edge two places further in its fan.
std::vector<int> walkLoop(const Mesh& m, int startEdge, int towardVertex, int maxSteps) {
    const MeshTopology& t = m.topology();
    std::vector<int> loop{startEdge};
    int e = startEdge, v = towardVertex;
    for (int step = 0; step < maxSteps; ++step) {
        const IdRange edges = t.vertexEdges(v);
        if (edges.size() != 4 || t.vertexOnBoundary(v)) break;
        int i = 0;
        while (edges[i] != e) ++i;
        e = edges[(i + 2) % 4];
        if (e == startEdge) break;
        loop.push_back(e);
        v = t.edgeVertex(e, 0) == v ? t.edgeVertex(e, 1) : t.edgeVertex(e, 0);
    }
    return loop;
}

}  // namespace

TEST(MeshTopology, EdgeNumberingFollowsFirstAppearance) {
    // 3x3 quad grid: rows of 4 vertices.
    const Mesh m = plane(3, 3, 3, 3);
    const MeshTopology& t = m.topology();
    EXPECT_EQ(m.numEdges(), 24);
    EXPECT_EQ(ids(t.faceEdges(0)), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(ids(t.faceEdges(1)), (std::vector<int>{4, 5, 6, 1}));  // shares edge 1 (1-5) with face 0
    EXPECT_EQ(ids(t.faceEdges(3)), (std::vector<int>{2, 10, 11, 12}));
    // index(0) is the corner of the creating face: edge 1 runs 1 -> 5 as in face 0.
    EXPECT_EQ(t.edgeVertex(1, 0), 1);
    EXPECT_EQ(t.edgeVertex(1, 1), 5);
    EXPECT_EQ(ids(t.edgeFaces(1)), (std::vector<int>{0, 1}));
    EXPECT_EQ(t.findEdge(5, 1), 1);
    EXPECT_EQ(t.findEdge(0, 5), -1);
    for (int f = 0; f < m.numFaces(); ++f)
        for (int k = 0; k < m.faceSize(f); ++k) {
            const int e = t.faceEdges(f)[k];
            const int a = m.faceVerts[m.faceOffsets[f] + k];
            const int b = m.faceVerts[m.faceOffsets[f] + (k + 1) % m.faceSize(f)];
            EXPECT_EQ(t.findEdge(a, b), e);
        }
}

TEST(MeshTopology, QuadGridFansLoopsAndBoundaries) {
    const Mesh m = plane(4, 4, 4, 4);
    const MeshTopology& t = m.topology();
    expectFansRotational(m);

    // Corner vertex: two boundary edges, one face; side vertex: three edges, two faces.
    EXPECT_EQ(t.vertexEdges(0).size(), 2);
    EXPECT_EQ(ids(t.vertexFaces(0)), (std::vector<int>{0}));
    EXPECT_EQ(t.vertexEdges(1).size(), 3);
    EXPECT_FALSE(t.edgeOnBoundary(t.vertexEdges(1)[1]));
    EXPECT_TRUE(t.vertexOnBoundary(1));
    EXPECT_FALSE(t.vertexOnBoundary(6));

    int boundaryEdges = 0;
    for (int e = 0; e < t.numEdges(); ++e) boundaryEdges += t.edgeOnBoundary(e);
    EXPECT_EQ(boundaryEdges, 16);
    EXPECT_TRUE(t.faceOnBoundary(0));
    EXPECT_FALSE(t.faceOnBoundary(5));
    EXPECT_EQ(t.faceNeighbours(5).size(), 4);
    EXPECT_EQ(ids(t.faceNeighbours(0)), (std::vector<int>{1, 4}));

    // Neighbours follow the edges.
    for (int i = 0; i < t.vertexEdges(6).size(); ++i)
        EXPECT_EQ(t.findEdge(6, t.vertexNeighbours(6)[i]), t.vertexEdges(6)[i]);

    // The loop through the middle row (vertices 10..14) stays on that row and stops at the border.
    const std::vector<int> loop = walkLoop(m, t.findEdge(10, 11), 11, 100);
    ASSERT_EQ(loop.size(), 4u);
    for (int e : loop) {
        EXPECT_EQ(m.points[t.edgeVertex(e, 0)].z, 0.0);
        EXPECT_EQ(m.points[t.edgeVertex(e, 1)].z, 0.0);
    }
}

TEST(MeshTopology, CubeAndSphereFans) {
    const Mesh c = cube();
    expectFansRotational(c);
    for (int v = 0; v < 8; ++v) EXPECT_EQ(c.topology().vertexEdges(v).size(), 3);
    for (int e = 0; e < c.numEdges(); ++e) EXPECT_EQ(c.topology().edgeFaces(e).size(), 2);

    const Mesh subdivided = cube(2, 2, 2, 3, 3, 3);
    expectFansRotational(subdivided);
    // A loop around the subdivided cube (up the front, over the top, down the back, along the bottom)
    // closes after 12 edges; vertex 1 is on the bottom front edge, 5 above it.
    const MeshTopology& st = subdivided.topology();
    const std::vector<int> around = walkLoop(subdivided, st.findEdge(1, 5), 5, 100);
    EXPECT_EQ(around.size(), 12u);
    for (int e : around) EXPECT_DOUBLE_EQ(subdivided.points[st.edgeVertex(e, 0)].x, -1.0 / 3);

    const Mesh s = sphere();
    expectFansRotational(s);
    const MeshTopology& t = s.topology();
    // Poles: a fan of 20 triangles; the ring loops around the sphere close after 20 edges.
    EXPECT_EQ(t.vertexEdges(380).size(), 20);
    EXPECT_EQ(t.vertexFaces(381).size(), 20);
    const int ringEdge = t.findEdge(100, 101);
    EXPECT_EQ(walkLoop(s, ringEdge, 101, 100).size(), 20u);
    // A meridian walked up from ring 1 runs through every ring and stops at the top pole (valence 20).
    const int meridian = t.findEdge(20, 40);
    const std::vector<int> up = walkLoop(s, meridian, 40, 100);
    ASSERT_EQ(up.size(), 18u);
    EXPECT_TRUE(t.edgeVertex(up.back(), 0) == 381 || t.edgeVertex(up.back(), 1) == 381);
}

TEST(MeshTopology, NonManifoldIsKeptAndOrdered) {
    // Three triangles on one edge (0-1), and a bowtie: triangles 0-1-2 and 0-3-4 meet only at vertex 0.
    Mesh fin;
    fin.points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}};
    fin.addFace({0, 1, 2});
    fin.addFace({1, 0, 3});
    fin.addFace({0, 1, 4});
    EXPECT_EQ(ids(fin.topology().edgeFaces(0)), (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(fin.topology().edgeOnBoundary(0));
    EXPECT_EQ(fin.topology().vertexFaces(0).size(), 3);

    Mesh bowtie;
    bowtie.points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {-1, 0, 0}, {-1, -1, 0}};
    bowtie.addFace({0, 1, 2});
    bowtie.addFace({0, 3, 4});
    const MeshTopology& t = bowtie.topology();
    // Two fans, one after the other, each starting at its boundary edge.
    EXPECT_EQ(ids(t.vertexFaces(0)), (std::vector<int>{0, 1}));
    EXPECT_EQ(t.vertexEdges(0).size(), 4);
    EXPECT_EQ(t.vertexEdges(0)[0], t.findEdge(0, 1));
    EXPECT_EQ(t.vertexEdges(0)[1], t.findEdge(2, 0));
    EXPECT_EQ(t.vertexEdges(0)[2], t.findEdge(0, 3));
    EXPECT_TRUE(validateMesh(bowtie).empty());
}

TEST(MeshTopology, CopiesShareTopologyUntilEdited) {
    Mesh a = cube();
    const MeshTopology* topo = &a.topology();
    a.geometry();
    Mesh b = a;
    EXPECT_EQ(b.cachedTopology(), topo);
    EXPECT_EQ(b.cachedGeometry(), nullptr);  // the geometry refers to its own mesh's points
    b.points[0].x = -5;
    b.pointsChanged();
    EXPECT_EQ(b.cachedTopology(), topo);
    b.addFace({0, 1, 7});
    EXPECT_NE(b.cachedTopology(), topo);
    EXPECT_EQ(a.cachedTopology(), topo);
    EXPECT_EQ(a.numEdges(), 12);
    EXPECT_EQ(b.numEdges(), 13);
    EXPECT_EQ(b.uvSets[0].faceVertUv.size(), b.faceVerts.size());

    Mesh moved = std::move(a);
    EXPECT_EQ(moved.cachedTopology(), topo);
    EXPECT_EQ(moved.cachedGeometry(), nullptr);
    EXPECT_TRUE(validateMesh(moved).empty());
}

TEST(MeshGeometry, NormalsCentresBounds) {
    Mesh c = cube(2, 4, 6);
    const MeshGeometry& g = c.geometry();
    EXPECT_EQ(g.faceNormal(0), (V3{0, 0, 1}));
    EXPECT_EQ(g.faceNormal(4), (V3{1, 0, 0}));
    EXPECT_DOUBLE_EQ(g.faceArea(0), 8.0);
    EXPECT_EQ(g.faceCentre(1), (V3{0, 2, 0}));
    EXPECT_EQ(g.bboxMin(), (V3{-1, -2, -3}));
    EXPECT_EQ(g.bboxMax(), (V3{1, 2, 3}));

    // A corner of a unit cube: all three faces meet at right angles with equal areas.
    const Mesh u = cube();
    const double k = 1 / std::sqrt(3.0);
    for (bool aw : {false, true}) {
        const V3 n = u.vertexNormal(3, aw);
        EXPECT_NEAR(n.x, k, 1e-12);
        EXPECT_NEAR(n.y, k, 1e-12);
        EXPECT_NEAR(n.z, k, 1e-12);
    }

    // On a flattened box the weightings differ: area favours the large faces.
    const Mesh flat = cube(10, 1, 10);
    const V3 area = flat.vertexNormal(3, false), angle = flat.vertexNormal(3, true);
    EXPECT_GT(area.y, angle.y);
    EXPECT_NEAR(angle.y, k, 1e-12);  // angles at a box corner are all right angles

    // One vertex computed on its own equals the bulk array, bit for bit.
    const Mesh s = sphere(2, 7, 5);
    std::vector<V3> single;
    for (int v = 0; v < s.numVertices(); ++v) single.push_back(s.vertexNormal(v, true));
    const std::vector<V3>& bulk = s.geometry().vertexNormals(true);
    for (int v = 0; v < s.numVertices(); ++v) EXPECT_EQ(single[v], bulk[v]);
}

// Drawing and ray casting need triangles, face normals, bulk vertex normals and bounds, none of which needs
// adjacency: a dense reference that is only drawn and cast never builds its topology. The bulk normals (one
// pass over the faces) still equal the ones computed vertex by vertex over the topology, bit for bit, with
// poles of high valence, a concave face, a locked normal and a vertex without faces.
TEST(MeshGeometry, DrawingAndCastingBuildNoTopologyAndBulkNormalsMatchSingleOnes) {
    Mesh m = sphere(2, 24, 7);
    const int lone = m.numVertices();
    m.points.push_back({5, 5, 5});
    const int b = m.numVertices();
    m.points.insert(m.points.end(), {{3, 0, 0}, {5, 0, 0}, {5, 1, 0.3}, {4, 1, 0}, {4, 2, -0.2}, {3, 2, 0}});
    m.addFace({b, b + 1, b + 2, b + 3, b + 4, b + 5});
    m.lockedNormals.push_back({7, V3{0, 1, 0}});
    m.pointsChanged();

    const MeshGeometry& g = m.geometry();
    EXPECT_EQ(g.numTriangles(), 24 * 2 + 24 * 5 * 2 + 4);
    const std::vector<V3> area = g.vertexNormals(false), angle = g.vertexNormals(true);
    EXPECT_NE(g.faceNormal(3), V3{});
    EXPECT_EQ(g.bboxMax(), (V3{5, 5, 5}));
    meshBvhPrepare(m);
    EXPECT_EQ(m.cachedTopology(), nullptr);

    // A copy has no geometry yet: its normals one at a time walk the vertex fans.
    const Mesh single = m;
    for (int v = 0; v < m.numVertices(); ++v) {
        ASSERT_EQ(single.vertexNormal(v, false), area[size_t(v)]) << "vertex " << v;
        ASSERT_EQ(single.vertexNormal(v, true), angle[size_t(v)]) << "vertex " << v;
    }
    EXPECT_NE(single.cachedTopology(), nullptr);
    EXPECT_EQ(area[7], (V3{0, 1, 0}));
    EXPECT_EQ(angle[size_t(lone)], V3{});
    // The poles' normals point along the axis; a concave face's corner follows its plane.
    const int top = int(std::max_element(m.points.begin(), m.points.begin() + lone,
                                         [](const V3& p, const V3& q) { return p.y < q.y; }) -
                        m.points.begin());
    EXPECT_NEAR(area[size_t(top)].y, 1.0, 1e-12);
    EXPECT_GT(std::fabs(angle[size_t(b + 3)].z), 0.5);
}

TEST(MeshGeometry, LockedNormalsAndInvalidation) {
    Mesh c = cube();
    const V3 before = c.vertexNormal(0, false);
    c.lockedNormals.push_back({0, V3{0, 0, 1}});
    c.pointsChanged();
    EXPECT_EQ(c.vertexNormal(0, false), (V3{0, 0, 1}));
    EXPECT_EQ(c.geometry().vertexNormals(true)[0], (V3{0, 0, 1}));
    c.lockedNormals.clear();
    c.points[2].y += 1;
    c.pointsChanged();
    EXPECT_NE(c.vertexNormal(0, false), before);
    EXPECT_EQ(c.geometry().bboxMax().y, 1.5);
}

TEST(MeshGeometry, Triangulation) {
    Mesh m = plane(1, 1, 1, 1);
    EXPECT_EQ(m.geometry().faceTriangleCount(0), 2);
    EXPECT_EQ(m.geometry().triangleCorners(0, 0), (std::array<int, 3>{0, 1, 2}));
    EXPECT_EQ(m.geometry().triangleCorners(0, 1), (std::array<int, 3>{0, 2, 3}));

    // A concave L-shaped hexagon (reflex corner at vertex 3), and a pentagon after it.
    Mesh l;
    l.points = {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}};
    l.addFace({0, 1, 2, 3, 4, 5});
    l.points.push_back({3, 0, 0});
    l.addFace({1, 6, 2});
    const MeshGeometry& g = l.geometry();
    EXPECT_FALSE(g.faceIsConvex(0));
    ASSERT_EQ(g.faceTriangleCount(0), 4);
    EXPECT_EQ(g.faceTriangleStart(1), 4);
    EXPECT_EQ(g.numTriangles(), 5);
    double area = 0;
    for (int t = 0; t < 4; ++t) {
        const auto v = g.triangleVertices(0, t);
        const V3 n = cross(l.points[v[1]] - l.points[v[0]], l.points[v[2]] - l.points[v[0]]);
        EXPECT_GT(n.z, 0) << "triangle " << t << " keeps the face winding";
        area += 0.5 * n.z;
    }
    EXPECT_DOUBLE_EQ(area, 3.0);
    EXPECT_DOUBLE_EQ(g.faceArea(0), 3.0);
}
