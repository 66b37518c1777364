#pragma once
// Meshes and exhaustive reference searches for the BVH tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "mesh/Mesh.h"
#include "mesh/MeshBvh.h"
#include "mesh/MeshGeometry.h"
#include "mesh/MeshMath.h"

namespace bvhtest {

using namespace kxh;

// An n by n grid of unit quads in XZ (vertex (i, j) at (i, y, -j)), displaced in y by a wave.
inline Mesh wavyGrid(int n, double amplitude) {
    Mesh m;
    for (int j = 0; j <= n; ++j)
        for (int i = 0; i <= n; ++i)
            m.points.push_back({double(i), amplitude * std::sin(0.7 * i) * std::cos(0.45 * j), -double(j)});
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const int v = i + j * (n + 1);
            m.addFace({v, v + 1, v + n + 2, v + n + 1});
        }
    return m;
}

// Two unit quads facing +Z, at z = 0 (face 0) and z = 1 (face 1).
inline Mesh stackedQuads() {
    Mesh m;
    for (double z : {0.0, 1.0}) {
        const int b = m.numVertices();
        for (V3 p : {V3{0, 0, z}, V3{1, 0, z}, V3{1, 1, z}, V3{0, 1, z}}) m.points.push_back(p);
        m.addFace({b, b + 1, b + 2, b + 3});
    }
    return m;
}

// Concave polygons: five-pointed stars (ten corners) tilted at several heights, and L-shaped hexagons,
// overlapping so that rays cross several of them.
inline Mesh starField() {
    Mesh m;
    for (int k = 0; k < 9; ++k) {
        const double cx = (k % 3) * 1.3, cy = (k / 3) * 1.1, cz = 0.4 * k - 1.6;
        const double tilt = 0.15 * (k - 4);
        const int b = m.numVertices();
        std::vector<int> face;
        for (int c = 0; c < 10; ++c) {
            const double a = c * M_PI / 5 + 0.1 * k, r = c % 2 ? 0.45 : 1.1;
            const double x = r * std::cos(a), y = r * std::sin(a);
            m.points.push_back({cx + x, cy + y * std::cos(tilt), cz + y * std::sin(tilt) + 0.05 * x});
            face.push_back(b + c);
        }
        m.addFace(face);
    }
    for (int k = 0; k < 4; ++k) {
        const double z = 0.7 * k - 1.0, o = 0.5 * k;
        const int b = m.numVertices();
        for (V3 p : {V3{0, 0, z}, V3{2, 0, z}, V3{2, 1, z}, V3{1, 1, z}, V3{1, 2.5, z}, V3{0, 2.5, z}})
            m.points.push_back(p + V3{o, o * 0.5, 0.1 * p.x});
        m.addFace({b, b + 1, b + 2, b + 3, b + 4, b + 5});
    }
    return m;
}

struct RefHit {
    double t;
    int face, triangle;
};

inline std::array<V3, 3> trianglePoints(const Mesh& m, int face, int triangle, const MeshAffine* xf) {
    const auto vs = m.geometry().triangleVertices(face, triangle);
    std::array<V3, 3> p;
    for (int c = 0; c < 3; ++c)
        p[size_t(c)] = xf ? xf->apply(m.points[size_t(vs[size_t(c)])]) : m.points[size_t(vs[size_t(c)])];
    return p;
}

// Every crossing of the ray with a triangle strictly inside it, sorted by t.
inline std::vector<RefHit> bruteHits(const Mesh& m, const MeshRay& ray) {
    std::vector<RefHit> out;
    const MeshGeometry& g = m.geometry();
    for (int f = 0; f < m.numFaces(); ++f)
        for (int k = 0; k < g.faceTriangleCount(f); ++k) {
            const auto p = trianglePoints(m, f, k, nullptr);
            const V3 e1 = p[1] - p[0], e2 = p[2] - p[0], d = ray.direction;
            const V3 q = cross(d, e2);
            const double det = dot(e1, q);
            if (det == 0) continue;
            const V3 s = ray.origin - p[0];
            const V3 r = cross(s, e1);
            const double u = dot(s, q) / det, v = dot(d, r) / det, t = dot(e2, r) / det;
            if (u < 0 || v < 0 || u + v > 1) continue;
            if (t > ray.maxParam || (t < 0 && (!ray.bothDirections || -t > ray.maxParam))) continue;
            out.push_back({t, f, k});
        }
    std::sort(out.begin(), out.end(), [](const RefHit& a, const RefHit& b) { return a.t < b.t; });
    return out;
}

inline V3 closestOnSegment(const V3& p, const V3& a, const V3& b) {
    const V3 ab = b - a;
    const double l2 = dot(ab, ab);
    const double s = l2 > 0 ? std::clamp(dot(p - a, ab) / l2, 0.0, 1.0) : 0.0;
    return a + ab * s;
}

// Distance from p to a triangle, computed independently of the kernel: the plane projection when it falls
// inside, else the nearest of the three edges.
inline double triangleDistance(const V3& p, const std::array<V3, 3>& t) {
    const V3 n = cross(t[1] - t[0], t[2] - t[0]);
    const double nn = dot(n, n);
    if (nn > 0) {
        const V3 q = p - n * (dot(p - t[0], n) / nn);
        const double a = dot(cross(t[1] - t[0], q - t[0]), n), b = dot(cross(t[2] - t[1], q - t[1]), n),
                     c = dot(cross(t[0] - t[2], q - t[2]), n);
        if (a >= 0 && b >= 0 && c >= 0) return length(p - q);
    }
    double best = HUGE_VAL;
    for (int e = 0; e < 3; ++e)
        best = std::min(best, length(p - closestOnSegment(p, t[size_t(e)], t[size_t((e + 1) % 3)])));
    return best;
}

struct RefPoint {
    double distance = HUGE_VAL;
    int face = -1;
    double secondFaceDistance = HUGE_VAL;  // nearest distance to any other face
};

inline RefPoint brutePoint(const Mesh& m, const V3& p, const MeshAffine* xf) {
    std::vector<double> perFace(size_t(m.numFaces()), HUGE_VAL);
    const MeshGeometry& g = m.geometry();
    for (int f = 0; f < m.numFaces(); ++f)
        for (int k = 0; k < g.faceTriangleCount(f); ++k)
            perFace[size_t(f)] =
                std::min(perFace[size_t(f)], triangleDistance(p, trianglePoints(m, f, k, xf)));
    RefPoint r;
    for (int f = 0; f < m.numFaces(); ++f)
        if (perFace[size_t(f)] < r.distance) {
            r.distance = perFace[size_t(f)];
            r.face = f;
        }
    for (int f = 0; f < m.numFaces(); ++f)
        if (f != r.face) r.secondFaceDistance = std::min(r.secondFaceDistance, perFace[size_t(f)]);
    return r;
}

// The point the barycentrics of `s` give on its triangle (in the space xf maps to).
inline V3 surfacePoint(const Mesh& m, const MeshSurfacePoint& s, const MeshAffine* xf) {
    const auto p = trianglePoints(m, s.face, s.triangle, xf);
    return p[0] * s.b1 + p[1] * s.b2 + p[2] * (1 - s.b1 - s.b2);
}

// A hit lies on the ray at its t and on its triangle at its barycentrics, inside the triangle.
inline void expectConsistent(const Mesh& m, const MeshRayHit& h, const MeshRay& ray) {
    ASSERT_GE(h.face, 0);
    ASSERT_LT(h.face, m.numFaces());
    ASSERT_GE(h.triangle, 0);
    ASSERT_LT(h.triangle, m.geometry().faceTriangleCount(h.face));
    const double scale = 1 + length(ray.origin) + std::fabs(h.t) * length(ray.direction);
    EXPECT_LT(length(ray.origin + ray.direction * h.t - h.point), 1e-9 * scale);
    EXPECT_LT(length(surfacePoint(m, h, nullptr) - h.point), 1e-9 * scale);
    EXPECT_GE(h.b1, -1e-6);
    EXPECT_GE(h.b2, -1e-6);
    EXPECT_LE(h.b1 + h.b2, 1 + 1e-6);
}

}  // namespace bvhtest
