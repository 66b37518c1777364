// Ray casts and closest points through the mesh's BVH agree with an exhaustive search over the
// triangulation, on meshes of several kinds (quads, triangles, concave polygons) and under transforms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "bvh_test_util.h"
#include "mesh/MeshPrimitives.h"

using namespace kxh;
using namespace bvhtest;

namespace {

struct Case {
    const char* name;
    Mesh mesh;
};

std::vector<Case> meshes() {
    std::vector<Case> out;
    out.push_back({"wavy grid", wavyGrid(24, 0.35)});
    out.push_back({"sphere", sphere(2.0, 17, 11)});
    out.push_back({"box", cube(1.5, 0.7, 2.2, 3, 2, 4)});
    out.push_back({"stars", starField()});
    return out;
}

// A random ray from a shell around the mesh's bounds toward a random point inside them.
MeshRay randomRay(std::mt19937& rng, const Mesh& m) {
    V3 lo = m.points[0], hi = lo;
    for (const V3& p : m.points) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    std::uniform_real_distribution<double> u(0, 1);
    auto inside = [&] {
        return V3{lo.x + u(rng) * (hi.x - lo.x), lo.y + u(rng) * (hi.y - lo.y),
                  lo.z + u(rng) * (hi.z - lo.z)};
    };
    const V3 c = (lo + hi) * 0.5;
    const double r = length(hi - lo) + 1;
    V3 dir{u(rng) - 0.5, u(rng) - 0.5, u(rng) - 0.5};
    MeshRay ray;
    ray.origin = c + normalized(dir) * r;
    // Unnormalised on purpose: t counts in direction lengths.
    ray.direction = (inside() - ray.origin) * (0.25 + 3 * u(rng));
    return ray;
}

}  // namespace

TEST(BvhQuery, ClosestAnyAndAllHitsMatchExhaustiveSearch) {
    std::mt19937 rng(7);
    for (Case& c : meshes()) {
        SCOPED_TRACE(c.name);
        int hitsSeen = 0;
        for (int i = 0; i < 400; ++i) {
            MeshRay ray = randomRay(rng, c.mesh);
            ray.bothDirections = i % 3 == 0;
            if (i % 5 == 0) ray.origin = ray.origin + ray.direction * 0.6;  // start inside the bounds
            const std::vector<RefHit> ref = bruteHits(c.mesh, ray);
            MeshRayHit hit;
            const bool found = meshClosestHit(c.mesh, ray, hit);
            ASSERT_EQ(found, !ref.empty()) << "ray " << i;
            MeshRayHit any;
            EXPECT_EQ(meshAnyHit(c.mesh, ray, any), found);
            std::vector<MeshRayHit> all = meshAllHits(c.mesh, ray, true);
            ASSERT_EQ(all.size(), ref.size()) << "ray " << i;
            for (size_t k = 0; k < all.size(); ++k) {
                EXPECT_NEAR(all[k].t, ref[k].t, 1e-9 * (1 + std::fabs(ref[k].t)));
                if (k > 0) {
                    EXPECT_LE(all[k - 1].t, all[k].t);
                }
                expectConsistent(c.mesh, all[k], ray);
            }
            if (!found) continue;
            ++hitsSeen;
            const RefHit nearest = *std::min_element(
                ref.begin(), ref.end(),
                [](const RefHit& a, const RefHit& b) { return std::fabs(a.t) < std::fabs(b.t); });
            EXPECT_NEAR(std::fabs(hit.t), std::fabs(nearest.t), 1e-9 * (1 + std::fabs(nearest.t)));
            expectConsistent(c.mesh, hit, ray);
            expectConsistent(c.mesh, any, ray);
        }
        EXPECT_GT(hitsSeen, 100);
    }
}

TEST(BvhQuery, ClosestPointMatchesExhaustiveSearch) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(-4, 4);
    for (Case& c : meshes()) {
        SCOPED_TRACE(c.name);
        for (int i = 0; i < 300; ++i) {
            const V3 p{u(rng), u(rng), u(rng)};
            MeshSurfacePoint got;
            ASSERT_TRUE(meshClosestPoint(c.mesh, p, nullptr, got));
            const RefPoint ref = brutePoint(c.mesh, p, nullptr);
            EXPECT_NEAR(length(got.point - p), ref.distance, 1e-9 * (1 + ref.distance)) << "point " << i;
            // The barycentrics rebuild the point on the reported triangle.
            EXPECT_LT(length(surfacePoint(c.mesh, got, nullptr) - got.point), 1e-9);
            if (ref.distance < ref.secondFaceDistance - 1e-7) {
                EXPECT_EQ(got.face, ref.face) << "point " << i;
            }
        }
    }
}

// A rotated, non-uniformly scaled and moved mesh: distances are measured after the transform, which can
// make another point the closest one than in object space.
TEST(BvhQuery, ClosestPointUnderAnAffineMap) {
    const Mesh m = sphere(1.0, 16, 9);
    MeshAffine xf;
    const double a = 0.7, ca = std::cos(a), sa = std::sin(a);
    // Scale (3, 0.5, 1), then a rotation about Z, then a move (row-vector form: p * S * R + T).
    const double s[3] = {3, 0.5, 1};
    const double r[3][3] = {{ca, sa, 0}, {-sa, ca, 0}, {0, 0, 1}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) xf.m[i][j] = s[i] * r[i][j];
    xf.m[3][0] = 5;
    xf.m[3][1] = -2;
    xf.m[3][2] = 1;
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> u(-5, 5);
    int differs = 0;
    for (int i = 0; i < 300; ++i) {
        const V3 p = V3{5, -2, 1} + V3{u(rng), u(rng), u(rng)};
        MeshSurfacePoint got;
        ASSERT_TRUE(meshClosestPoint(m, p, &xf, got));
        const RefPoint ref = brutePoint(m, p, &xf);
        EXPECT_NEAR(length(got.point - p), ref.distance, 1e-9 * (1 + ref.distance)) << "point " << i;
        EXPECT_LT(length(surfacePoint(m, got, &xf) - got.point), 1e-9);
        // How often the object-space answer would have been another face: the map matters.
        if (ref.distance < ref.secondFaceDistance - 1e-7 && brutePoint(m, p, nullptr).face != ref.face)
            ++differs;
    }
    EXPECT_GT(differs, 0);
    // A singular map (everything flattened onto a plane) still answers.
    MeshAffine flat;
    flat.m[1][1] = 0;
    MeshSurfacePoint got;
    ASSERT_TRUE(meshClosestPoint(m, V3{0.2, 3, 0.1}, &flat, got));
    EXPECT_NEAR(got.point.y, 0, 1e-12);
    EXPECT_NEAR(length(got.point - V3{0.2, 0, 0.1}), 0, 1e-9);
}

TEST(BvhQuery, ParameterRangeAndDirections) {
    const Mesh m = stackedQuads();  // z = 0 and z = 1
    MeshRay ray;
    ray.origin = {0.3, 0.4, 0.25};
    ray.direction = {0, 0, 0.5};  // t counts half units
    MeshRayHit h;
    ASSERT_TRUE(meshClosestHit(m, ray, h));
    EXPECT_EQ(h.face, 1);
    EXPECT_NEAR(h.t, 1.5, 1e-12);
    EXPECT_NEAR(h.point.z, 1.0, 1e-12);
    ray.maxParam = 1.4;  // stops short of z = 1
    EXPECT_FALSE(meshClosestHit(m, ray, h));
    ray.bothDirections = true;  // now face 0 behind the origin, at t = -0.5
    ASSERT_TRUE(meshClosestHit(m, ray, h));
    EXPECT_EQ(h.face, 0);
    EXPECT_NEAR(h.t, -0.5, 1e-12);
    ray.maxParam = 10;
    std::vector<MeshRayHit> all = meshAllHits(m, ray, true);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_NEAR(all[0].t, -0.5, 1e-12);
    EXPECT_NEAR(all[1].t, 1.5, 1e-12);
    // Both directions: the nearer side wins, whichever it is.
    ray.origin.z = 0.9;
    ASSERT_TRUE(meshClosestHit(m, ray, h));
    EXPECT_EQ(h.face, 1);
    EXPECT_NEAR(h.t, 0.2, 1e-12);
    // A ray starting on a face finds it at t = 0, once even when both directions are cast.
    ray.origin.z = 1.0;
    all = meshAllHits(m, ray, true);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].face, 1);
    EXPECT_NEAR(all[1].t, 0, 1e-12);
    // Through the diagonal the two triangles of each quad share: one crossing per face.
    MeshRay diagonal;
    diagonal.origin = {0.5, 0.5, -1};
    diagonal.direction = {0, 0, 1};
    all = meshAllHits(m, diagonal, true);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].face, 0);
    EXPECT_EQ(all[1].face, 1);
    // Rejected rays: no direction, a negative range, a non-finite origin.
    ray.direction = {0, 0, 0};
    EXPECT_FALSE(meshClosestHit(m, ray, h));
    ray.direction = {0, 0, 1};
    ray.maxParam = -1;
    EXPECT_FALSE(meshClosestHit(m, ray, h));
    ray.maxParam = 10;
    ray.origin.x = NAN;
    EXPECT_FALSE(meshClosestHit(m, ray, h));
    EXPECT_TRUE(meshAllHits(m, ray, false).empty());
}

// Restrictions to listed faces or (face, triangle) pairs, both as a short list tested directly and as a
// long one that goes through the BVH with a filter.
TEST(BvhQuery, FaceAndTriangleRestrictions) {
    const Mesh m = wavyGrid(30, 0.0);  // flat: every vertical ray crosses exactly one face
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> u(0.01, 0.99);
    for (int listSize : {1, 5, 200, 700}) {
        SCOPED_TRACE(listSize);
        std::vector<int> faces(size_t(m.numFaces()));
        for (int f = 0; f < m.numFaces(); ++f) faces[size_t(f)] = f;
        std::shuffle(faces.begin(), faces.end(), rng);
        faces.resize(size_t(listSize));
        std::vector<bool> listed(size_t(m.numFaces()));
        for (int f : faces) listed[size_t(f)] = true;
        int in = 0, out = 0;
        for (int i = 0; i < 300; ++i) {
            MeshRay ray;
            ray.origin = {u(rng) * 30, 2, -u(rng) * 30};
            if (i % 2) {  // half the rays aim at a listed face
                const int f = faces[size_t(i) % faces.size()];
                ray.origin = {f % 30 + u(rng), 2, -(f / 30 + u(rng))};
            }
            ray.direction = {0, -1, 0};
            MeshRayHit free, restricted;
            ASSERT_TRUE(meshClosestHit(m, ray, free));
            ray.faces = &faces;
            const bool found = meshClosestHit(m, ray, restricted);
            EXPECT_EQ(found, bool(listed[size_t(free.face)]));
            if (found) {
                EXPECT_EQ(restricted.face, free.face);
                EXPECT_EQ(restricted.triangle, free.triangle);
                ++in;
            } else {
                ++out;
            }
            EXPECT_EQ(meshAllHits(m, ray, false).size(), found ? 1u : 0u);
            // Only the other triangle of the hit face: a miss.
            std::vector<int> one{free.face}, other{1 - free.triangle};
            ray.faces = &one;
            ray.triangles = &other;
            EXPECT_FALSE(meshClosestHit(m, ray, restricted));
            other[0] = free.triangle;
            EXPECT_TRUE(meshClosestHit(m, ray, restricted));
        }
        EXPECT_GT(in, 0);
        if (listSize < 700) {
            EXPECT_GT(out, 0);
        }
    }
    // A long (face, triangle) list through the filter: every second triangle of every face.
    std::vector<int> faces, tris;
    for (int f = 0; f < m.numFaces(); ++f) {
        faces.push_back(f);
        tris.push_back(f % 2);
    }
    int hits = 0;
    for (int i = 0; i < 200; ++i) {
        MeshRay ray;
        ray.origin = {u(rng) * 30, 2, -u(rng) * 30};
        ray.direction = {0, -1, 0};
        MeshRayHit free, restricted;
        ASSERT_TRUE(meshClosestHit(m, ray, free));
        ray.faces = &faces;
        ray.triangles = &tris;
        const bool found = meshClosestHit(m, ray, restricted);
        EXPECT_EQ(found, free.triangle == free.face % 2);
        hits += found;
    }
    EXPECT_GT(hits, 50);
}

TEST(BvhQuery, MeshesWithoutTriangles) {
    Mesh empty;
    MeshRay ray;
    ray.direction = {0, 0, 1};
    MeshRayHit h;
    EXPECT_FALSE(meshClosestHit(empty, ray, h));
    MeshSurfacePoint p;
    EXPECT_FALSE(meshClosestPoint(empty, V3{}, nullptr, p));
    Mesh pointsOnly;
    pointsOnly.points = {{0, 0, 0}, {1, 0, 0}};
    EXPECT_FALSE(meshClosestPoint(pointsOnly, V3{}, nullptr, p));
    EXPECT_TRUE(meshAllHits(pointsOnly, ray, true).empty());
}
