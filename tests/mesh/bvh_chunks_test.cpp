// The chunked BVH: a point edit re-commits only the chunks whose triangles moved, and queries after it see
// the moved surface everywhere (also where a moved patch spans several chunks); closest points agree with an
// exhaustive search.
#include <gtest/gtest.h>

#include <random>

#include "bvh_test_util.h"

using namespace kxh;
using namespace bvhtest;

namespace {

MeshRay down(double x, double z) {
    MeshRay r;
    r.origin = {x, 50, z};
    r.direction = {0, -1, 0};
    return r;
}

// The nearest hit must be the exhaustive search's nearest crossing (same t; a tie between two triangles on
// a shared edge may name either).
void expectNearestHit(const Mesh& m, const MeshRay& ray) {
    const std::vector<RefHit> ref = bruteHits(m, ray);
    MeshRayHit h;
    const bool hit = meshClosestHit(m, ray, h);
    if (ref.empty()) {
        // A ray exactly on an edge may be found by Embree's watertight test and missed by the strict one.
        if (hit) {
            EXPECT_TRUE(std::fabs(h.b1) < 1e-9 || std::fabs(h.b2) < 1e-9 ||
                        std::fabs(1 - h.b1 - h.b2) < 1e-9);
        }
        return;
    }
    ASSERT_TRUE(hit) << "ray at " << ray.origin.x << ", " << ray.origin.z;
    EXPECT_NEAR(h.t, ref[0].t, 1e-9 * (1 + std::fabs(ref[0].t)));
    expectConsistent(m, h, ray);
}

}  // namespace

TEST(BvhChunks, APointEditRecommitsOnlyTheChunksItTouches) {
    Mesh m = wavyGrid(120, 0.3);  // 28,800 triangles
    meshBvhPrepare(m);
    const int chunks = meshBvhChunks(m);
    ASSERT_GT(chunks, 4);

    // Three vertices near one corner.
    const MeshBvhCounters c0 = meshBvhCounters();
    for (int v : {0, 1, 121}) m.points[size_t(v)].y += 2;
    m.pointsChanged();
    meshBvhPrepare(m);
    const MeshBvhCounters c1 = meshBvhCounters();
    EXPECT_EQ(c1.refits, c0.refits + 1);
    EXPECT_EQ(c1.builds, c0.builds);
    EXPECT_GE(c1.chunkCommits - c0.chunkCommits, 1);
    EXPECT_LE(c1.chunkCommits - c0.chunkCommits, 2);
    // The corner quad's triangles now rise toward the moved corner.
    expectNearestHit(m, down(0.1, -0.1));
    MeshRayHit h;
    ASSERT_TRUE(meshClosestHit(m, down(0.05, -0.05), h));
    EXPECT_GT(h.point.y, 1.5);

    // Every vertex moved: every chunk again.
    for (V3& p : m.points) p.y -= 1;
    m.pointsChanged();
    meshBvhPrepare(m);
    EXPECT_EQ(meshBvhCounters().chunkCommits - c1.chunkCommits, chunks);
}

TEST(BvhChunks, MovedStripsAcrossChunkBoundariesAreHitWhereTheyMoved) {
    Mesh m = wavyGrid(120, 0.3);
    meshBvhPrepare(m);
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(0, 120);
    for (int round = 0; round < 4; ++round) {
        // A row and a column of vertices across the whole grid cross every band of chunks; lift them by a
        // different height each round, then cast at random spots along them and anywhere.
        const int row = 10 + 25 * round, col = 100 - 20 * round;
        for (int i = 0; i <= 120; ++i) {
            m.points[size_t(i + row * 121)].y += 1.0 + round;
            m.points[size_t(col + i * 121)].y -= 0.5 + round;
        }
        m.pointsChanged();
        for (int k = 0; k < 50; ++k) {
            const double along = u(rng);
            expectNearestHit(m, down(along, -(row + u(rng) / 120.0 - 0.5)));
            expectNearestHit(m, down(col + u(rng) / 120.0 - 0.5, -along));
            expectNearestHit(m, down(u(rng), -u(rng)));
        }
        // Exactly at a moved vertex the hit is its new height.
        MeshRayHit h;
        ASSERT_TRUE(meshClosestHit(m, down(60, -row), h));
        EXPECT_NEAR(h.point.y, m.points[size_t(60 + row * 121)].y, 1e-9);
    }
}

TEST(BvhChunks, PolygonsRetriangulatedByAPointEditAreCastAgainstTheirNewTriangles) {
    Mesh m = wavyGrid(80, 0.0);
    meshBvhPrepare(m);
    // Pull corner 1 of every other quad of a band past the quad's diagonal from corner 0: the quad turns
    // concave there, and the kernel no longer fans it from corner 0.
    for (int i = 10; i < 70; i += 2) {
        const int v = i + 1 + 40 * 81;  // corner (i+1, 40) of quad (i, 40)
        m.points[size_t(v)].x -= 0.7;
        m.points[size_t(v)].z -= 0.7;
    }
    const MeshBvhCounters c0 = meshBvhCounters();
    m.pointsChanged();
    meshBvhPrepare(m);
    EXPECT_EQ(meshBvhCounters().builds, c0.builds + 1);  // some chunk's triangles changed
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> u(0, 1);
    for (int k = 0; k < 400; ++k) expectNearestHit(m, down(10 + 60 * u(rng), -39.5 - 2 * u(rng)));
}

TEST(BvhChunks, ClosestPointsAgreeWithAnExhaustiveSearchAfterEdits) {
    Mesh m = wavyGrid(40, 1.2);
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(-1, 1);
    MeshAffine scale;  // a non-uniform scale and a shear, for queries measured in another space
    scale.m[0][0] = 2;
    scale.m[1][1] = 0.5;
    scale.m[1][0] = 0.3;
    scale.m[3][0] = 5;
    for (int round = 0; round < 3; ++round) {
        for (int k = 0; k < 60; ++k) {
            const size_t v = size_t((k * 37 + round * 101) % m.numVertices());
            m.points[v] = m.points[v] + V3{0.3 * u(rng), 2 * u(rng), 0.3 * u(rng)};
        }
        m.pointsChanged();
        for (int q = 0; q < 60; ++q) {
            const V3 p{20 + 25 * u(rng), 3 * u(rng), -20 + 25 * u(rng)};
            for (const MeshAffine* xf :
                 {static_cast<const MeshAffine*>(nullptr), static_cast<const MeshAffine*>(&scale)}) {
                const V3 query = xf ? xf->apply(p) : p;
                MeshSurfacePoint s;
                ASSERT_TRUE(meshClosestPoint(m, query, xf, s));
                const RefPoint ref = brutePoint(m, query, xf);
                EXPECT_NEAR(length(s.point - query), ref.distance, 1e-9 * (1 + ref.distance));
                if (ref.secondFaceDistance > ref.distance * (1 + 1e-9) + 1e-12) {
                    EXPECT_EQ(s.face, ref.face);
                }
                EXPECT_LT(length(surfacePoint(m, s, xf) - s.point), 1e-9 * (1 + length(query)));
            }
        }
    }
    // Concave polygons, each split into several triangles.
    Mesh stars = starField();
    for (int q = 0; q < 200; ++q) {
        const V3 p{1.5 + 3 * u(rng), 1.2 + 3 * u(rng), 3 * u(rng)};
        MeshSurfacePoint s;
        ASSERT_TRUE(meshClosestPoint(stars, p, nullptr, s));
        EXPECT_NEAR(length(s.point - p), brutePoint(stars, p, nullptr).distance, 1e-9);
    }
}

TEST(GeometryCarryOver, NormalsTrianglesAndBoundsFollowAPointEditWhereItMoved) {
    Mesh m = wavyGrid(30, 0.8);
    m.lockedNormals.push_back({5, V3{0, 0, 1}});
    const MeshGeometry& g0 = m.geometry();
    g0.vertexNormals(true);
    g0.vertexNormals(false);
    g0.numTriangles();
    g0.bboxMin();
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int round = 0; round < 6; ++round) {
        // A few vertices inside, one on the border every other round (the bounds change), one quad folded
        // concave (its triangles change), and in the last round a locked normal added.
        for (int k = 0; k < 12; ++k) {
            const size_t v = size_t(200 + 37 * k + round * 13) % size_t(m.numVertices());
            m.points[v] = m.points[v] + V3{0.2 * u(rng), u(rng), 0.2 * u(rng)};
        }
        if (round % 2) m.points[0].y += 5;
        m.points[size_t(40 + round)].x -= 0.9;
        m.points[size_t(40 + round)].z -= 0.9;
        if (round == 5) m.lockedNormals.push_back({300, V3{1, 0, 0}});
        m.pointsChanged();
        ASSERT_NE(m.cachedGeometry(), nullptr);  // carried over, not dropped
        const Mesh fresh = m;                    // a copy builds everything from nothing
        const MeshGeometry& g = m.geometry();
        const MeshGeometry& f = fresh.geometry();
        for (int w = 0; w < 2; ++w) {
            const std::vector<V3>& a = g.vertexNormals(w == 1);
            const std::vector<V3>& b = f.vertexNormals(w == 1);
            ASSERT_EQ(a.size(), b.size());
            for (size_t v = 0; v < a.size(); ++v)
                ASSERT_EQ(a[v], b[v]) << "round " << round << " vertex " << v;
        }
        EXPECT_EQ(g.bboxMin(), f.bboxMin());
        EXPECT_EQ(g.bboxMax(), f.bboxMax());
        for (int face = 0; face < m.numFaces(); ++face) {
            ASSERT_EQ(g.faceNormal(face), f.faceNormal(face));
            for (int t = 0; t < g.faceTriangleCount(face); ++t)
                ASSERT_EQ(g.triangleVertices(face, t), f.triangleVertices(face, t));
        }
        EXPECT_TRUE(g.agreesWith(f));
    }
}

TEST(BvhChunks, MoveHintsNarrowTheSyncAndAreDroppedWhenEditsWentUntold) {
    Mesh m = wavyGrid(60, 0.0);
    meshBvhPrepare(m);
    auto id = [](int i, int j) { return i + j * 61; };
    auto move = [](Mesh& mesh, const std::vector<int>& ids, double dy, bool tell) {
        const std::uint64_t from = mesh.pointsVersion();
        for (int v : ids) mesh.points[size_t(v)].y += dy;
        mesh.pointsChanged();
        if (tell) meshPointsMoved(mesh, from, ids);
    };
    // The height of the surface straight below an interior vertex (i, j).
    auto heightAt = [](const Mesh& mesh, int i, int j) {
        MeshRayHit h;
        return meshClosestHit(mesh, down(i, -j), h) ? h.point.y : NAN;
    };
    // Two told edits in a row add up.
    move(m, {id(10, 10), id(11, 10)}, 1, true);
    move(m, {id(50, 50)}, 2, true);
    EXPECT_NEAR(heightAt(m, 10, 10), 1, 1e-12);
    EXPECT_NEAR(heightAt(m, 11, 10), 1, 1e-12);
    EXPECT_NEAR(heightAt(m, 50, 50), 2, 1e-12);
    // A told edit after an untold one: the sync compares everything and finds both.
    move(m, {id(30, 30)}, 3, false);
    move(m, {id(5, 40)}, 4, true);
    EXPECT_NEAR(heightAt(m, 30, 30), 3, 1e-12);
    EXPECT_NEAR(heightAt(m, 5, 40), 4, 1e-12);
    // A copy edited from the same points as a told original: neither trusts the other's hint.
    Mesh copy = m;
    move(m, {id(20, 20)}, 5, true);
    move(copy, {id(40, 20)}, -6, true);
    EXPECT_NEAR(heightAt(copy, 40, 20), -6, 1e-12);
    EXPECT_NEAR(heightAt(m, 20, 20), 5, 1e-12);
    EXPECT_NEAR(heightAt(copy, 20, 20), 0, 1e-12);
    EXPECT_NEAR(heightAt(m, 40, 20), 0, 1e-12);
}
