#include <gtest/gtest.h>

#include <cmath>

#include "mesh/MeshGeometry.h"
#include "mesh/MeshMath.h"
#include "mesh/MeshPrimitives.h"
#include "mesh/MeshTopology.h"
#include "mesh/MeshValidate.h"

using namespace kxh;

namespace {

// Signed area of face f in UV space (positive = counter-clockwise, the same winding as the face).
double uvArea(const Mesh& m, int f) {
    const UvSet& s = m.uvSets[0];
    double a = 0;
    const int b = m.faceOffsets[f], n = m.faceSize(f);
    for (int k = 0; k < n; ++k) {
        const int i = s.faceVertUv[b + k], j = s.faceVertUv[b + (k + 1) % n];
        a += double(s.u[i]) * s.v[j] - double(s.u[j]) * s.v[i];
    }
    return a / 2;
}

// Closed or open, every primitive: valid, map1 on every corner, UV faces not flipped.
void expectWellFormed(const Mesh& m) {
    EXPECT_TRUE(validateMesh(m).empty()) << ::testing::PrintToString(validateMesh(m));
    ASSERT_EQ(m.uvSets.size(), 1u);
    EXPECT_EQ(m.uvSets[0].name, "map1");
    for (int f = 0; f < m.numFaces(); ++f) EXPECT_GT(uvArea(m, f), 0) << "face " << f;
    for (float u : m.uvSets[0].u) EXPECT_TRUE(u >= 0 && u <= 1);
    for (float v : m.uvSets[0].v) EXPECT_TRUE(v >= 0 && v <= 1);
}

// A closed solid around the origin: Euler characteristic 2, no boundary, normals pointing away.
void expectClosedOutward(const Mesh& m) {
    const MeshTopology& t = m.topology();
    EXPECT_EQ(m.numVertices() - m.numEdges() + m.numFaces(), 2);
    for (int e = 0; e < t.numEdges(); ++e) EXPECT_FALSE(t.edgeOnBoundary(e));
    for (int f = 0; f < m.numFaces(); ++f)
        EXPECT_GT(dot(m.geometry().faceNormal(f), m.geometry().faceCentre(f)), 0) << "face " << f;
}

}  // namespace

TEST(MeshPrimitives, DefaultCubeMatchesHostLayout) {
    const Mesh c = cube();
    EXPECT_EQ(c.numVertices(), 8);
    EXPECT_EQ(c.numFaces(), 6);
    EXPECT_EQ(c.numEdges(), 12);
    EXPECT_EQ(c.uvSets[0].u.size(), 14u);
    const std::vector<V3> corners = {{-.5, -.5, .5}, {.5, -.5, .5}, {-.5, .5, .5},   {.5, .5, .5},
                                     {-.5, .5, -.5}, {.5, .5, -.5}, {-.5, -.5, -.5}, {.5, -.5, -.5}};
    for (int v = 0; v < 8; ++v) EXPECT_EQ(c.points[v], corners[v]) << v;
    EXPECT_EQ(c.faceVerts,
              (std::vector<int>{0, 1, 3, 2, 2, 3, 5, 4, 4, 5, 7, 6, 6, 7, 1, 0, 1, 7, 5, 3, 6, 0, 2, 4}));
    EXPECT_EQ(c.uvSets[0].faceVertUv,
              (std::vector<int>{0, 1, 3, 2, 2, 3, 5, 4, 4, 5, 7, 6, 6, 7, 9, 8, 1, 10, 11, 3, 12, 0, 2, 13}));
    EXPECT_FLOAT_EQ(c.uvSets[0].u[10], 0.875f);
    EXPECT_FLOAT_EQ(c.uvSets[0].u[12], 0.125f);
    EXPECT_FLOAT_EQ(c.uvSets[0].v[8], 1.0f);
    expectWellFormed(c);
    expectClosedOutward(c);
}

TEST(MeshPrimitives, SubdividedCubes) {
    for (auto [sx, sy, sz] : {std::array<int, 3>{2, 3, 4}, {1, 1, 3}, {5, 1, 1}, {3, 3, 3}}) {
        SCOPED_TRACE(::testing::Message() << sx << "x" << sy << "x" << sz);
        const Mesh c = cube(2, 3, 4, sx, sy, sz);
        EXPECT_EQ(c.numVertices(), (sx + 1) * (sy + 1) * (sz + 1) - (sx - 1) * (sy - 1) * (sz - 1));
        EXPECT_EQ(c.numFaces(), 2 * (sx * sy + sy * sz + sx * sz));
        EXPECT_EQ(int(c.uvSets[0].u.size()), (sx + 1) * (2 * sy + 2 * sz + 1) + 2 * sz * (sy + 1));
        EXPECT_EQ(c.points[0], (V3{-1, -1.5, 2}));
        EXPECT_EQ(c.geometry().bboxMax(), (V3{1, 1.5, 2}));
        expectWellFormed(c);
        expectClosedOutward(c);
        // Every vertex lies on the box surface.
        for (const V3& p : c.points)
            EXPECT_TRUE(std::fabs(p.x) == 1 || std::fabs(p.y) == 1.5 || std::fabs(p.z) == 2);
    }
}

TEST(MeshPrimitives, Plane) {
    const Mesh p = plane();
    EXPECT_EQ(p.numVertices(), 121);
    EXPECT_EQ(p.numFaces(), 100);
    EXPECT_EQ(p.numEdges(), 220);
    EXPECT_EQ(p.uvSets[0].u.size(), 121u);
    EXPECT_EQ(p.points[0], (V3{-0.5, 0, 0.5}));
    EXPECT_DOUBLE_EQ(p.points[1].x, -0.4);  // rows run along +X
    EXPECT_DOUBLE_EQ(p.points[11].z, 0.4);  // the next row lies toward -Z
    EXPECT_EQ(p.points[120], (V3{0.5, 0, -0.5}));
    EXPECT_EQ(p.geometry().faceNormal(0), (V3{0, 1, 0}));
    expectWellFormed(p);

    const Mesh tall = plane(2, 4, 1, 2);
    EXPECT_EQ(tall.numVertices(), 6);
    EXPECT_EQ(tall.points[5], (V3{1, 0, -2}));

    // Facing +Z: the +Y plane turned a quarter about X, so the rows run toward +Y.
    const Mesh front = plane(2, 4, 2, 2, V3{0, 0, 1});
    EXPECT_NEAR(front.points[0].x, -1, 1e-12);
    EXPECT_NEAR(front.points[0].y, -2, 1e-12);
    EXPECT_NEAR(front.points[0].z, 0, 1e-12);
    EXPECT_GT(front.points[3].y, front.points[0].y);

    for (V3 axis : {V3{0, 0, 1}, V3{1, 0, 0}, V3{0, -1, 0}, V3{1, 1, 0}}) {
        const Mesh a = plane(1, 1, 2, 2, axis);
        const V3 n = a.geometry().faceNormal(0), want = normalized(axis);
        EXPECT_NEAR(n.x, want.x, 1e-12);
        EXPECT_NEAR(n.y, want.y, 1e-12);
        EXPECT_NEAR(n.z, want.z, 1e-12);
        expectWellFormed(a);
    }
}

TEST(MeshPrimitives, Sphere) {
    const Mesh s = sphere();
    EXPECT_EQ(s.numVertices(), 382);
    EXPECT_EQ(s.numFaces(), 400);
    EXPECT_EQ(s.numEdges(), 780);
    EXPECT_EQ(s.uvSets[0].u.size(), 439u);
    EXPECT_EQ(s.points[380], (V3{0, -1, 0}));
    EXPECT_EQ(s.points[381], (V3{0, 1, 0}));
    for (const V3& p : s.points) EXPECT_NEAR(length(p), 1.0, 1e-12);
    EXPECT_NEAR(s.points[0].y, -std::cos(3.14159265358979 / 20), 1e-12);  // ring 0 sits next to the bottom
    for (int f = 0; f < 360; ++f) EXPECT_EQ(s.faceSize(f), 4);
    for (int f = 360; f < 400; ++f) EXPECT_EQ(s.faceSize(f), 3);
    expectWellFormed(s);
    expectClosedOutward(s);

    for (auto [sa, sh] : {std::pair<int, int>{3, 2}, {8, 3}, {5, 7}}) {
        const Mesh small = sphere(2, sa, sh);
        EXPECT_EQ(small.numVertices(), sa * (sh - 1) + 2);
        EXPECT_EQ(small.numFaces(), sa * sh);
        expectWellFormed(small);
        expectClosedOutward(small);
    }
}
