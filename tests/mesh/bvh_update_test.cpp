// The BVH's life with its mesh: refit when points move, rebuilt when faces change, shared by copies
// without ever answering for data it does not describe.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "bvh_test_util.h"

using namespace kxh;
using namespace bvhtest;

namespace {

MeshRay down(double x, double z) {
    MeshRay r;
    r.origin = {x, 10, z};
    r.direction = {0, -1, 0};
    return r;
}

double hitHeight(const Mesh& m, double x, double z) {
    MeshRayHit h;
    return meshClosestHit(m, down(x, z), h) ? h.point.y : NAN;
}

void lift(Mesh& m, double dy) {
    for (V3& p : m.points) p.y += dy;
    m.pointsChanged();
}

}  // namespace

TEST(BvhUpdate, PointEditsRefitAndTopologyEditsRebuild) {
    Mesh m = wavyGrid(20, 0.0);
    EXPECT_DOUBLE_EQ(hitHeight(m, 3.3, -4.6), 0.0);
    MeshBvhCounters c0 = meshBvhCounters();
    lift(m, 2.5);
    EXPECT_DOUBLE_EQ(hitHeight(m, 3.3, -4.6), 2.5);
    MeshBvhCounters c1 = meshBvhCounters();
    EXPECT_EQ(c1.builds, c0.builds);
    EXPECT_EQ(c1.refits, c0.refits + 1);
    // Queries without edits in between reuse it as it is.
    EXPECT_DOUBLE_EQ(hitHeight(m, 7.5, -1.5), 2.5);
    MeshSurfacePoint p;
    ASSERT_TRUE(meshClosestPoint(m, V3{5.5, 9, -5.5}, nullptr, p));
    EXPECT_NEAR(p.point.y, 2.5, 1e-12);
    EXPECT_EQ(meshBvhCounters().refits, c1.refits);
    EXPECT_EQ(meshBvhCounters().builds, c1.builds);
    // A point "change" that leaves every point where it was costs no refit.
    m.pointsChanged();
    EXPECT_DOUBLE_EQ(hitHeight(m, 3.3, -4.6), 2.5);
    EXPECT_EQ(meshBvhCounters().refits, c1.refits);
    EXPECT_EQ(meshBvhCounters().unchanged, c1.unchanged + 1);

    // A new face: a fresh build that finds it.
    const int b = m.numVertices();
    for (V3 q : {V3{30, 0, 0}, V3{31, 0, 0}, V3{31, 0, -1}}) m.points.push_back(q);
    m.addFace({b, b + 1, b + 2});
    MeshRayHit h;
    ASSERT_TRUE(meshClosestHit(m, down(30.8, -0.1), h));
    EXPECT_EQ(h.face, m.numFaces() - 1);
    EXPECT_EQ(meshBvhCounters().builds, c1.builds + 1);
    // Faces removed: their hits go with them.
    m.faceOffsets.pop_back();
    m.faceVerts.resize(size_t(m.faceOffsets.back()));
    m.topologyChanged();
    EXPECT_FALSE(meshClosestHit(m, down(30.8, -0.1), h));
    EXPECT_DOUBLE_EQ(hitHeight(m, 3.3, -4.6), 2.5);
}

// A copy-on-write edit: the copy takes the BVH over with a refit; the original, asked again, refits it back.
// Neither ever sees the other's points.
TEST(BvhUpdate, CopiesShareWithoutMixingPoints) {
    Mesh original = wavyGrid(16, 0.0);
    EXPECT_DOUBLE_EQ(hitHeight(original, 2.2, -2.2), 0.0);
    const MeshBvhCounters c0 = meshBvhCounters();

    Mesh edited = original;  // what the graph does before an edit
    EXPECT_DOUBLE_EQ(hitHeight(edited, 2.2, -2.2), 0.0);
    EXPECT_EQ(meshBvhCounters().builds, c0.builds);  // same data: shared as is
    lift(edited, 1.0);
    EXPECT_DOUBLE_EQ(hitHeight(edited, 2.2, -2.2), 1.0);
    EXPECT_EQ(meshBvhCounters().builds, c0.builds);
    EXPECT_EQ(meshBvhCounters().refits, c0.refits + 1);

    // The original (an undo would bring it back) still answers with its own points.
    EXPECT_DOUBLE_EQ(hitHeight(original, 2.2, -2.2), 0.0);
    EXPECT_DOUBLE_EQ(hitHeight(edited, 2.2, -2.2), 1.0);
    MeshSurfacePoint p;
    ASSERT_TRUE(meshClosestPoint(original, V3{4.5, 5, -4.5}, nullptr, p));
    EXPECT_NEAR(p.point.y, 0.0, 1e-12);
    EXPECT_EQ(meshBvhCounters().builds, c0.builds);

    // A copy whose faces change gets its own BVH; the original keeps answering for its faces.
    Mesh rebuilt = original;
    rebuilt.faceOffsets.resize(2);
    rebuilt.faceVerts.resize(4);
    rebuilt.topologyChanged();
    MeshRayHit h;
    EXPECT_FALSE(meshClosestHit(rebuilt, down(5.5, -5.5), h));
    EXPECT_TRUE(meshClosestHit(original, down(5.5, -5.5), h));

    // Moves and assignments carry the data version with the data.
    Mesh moved = std::move(edited);
    EXPECT_DOUBLE_EQ(hitHeight(moved, 2.2, -2.2), 1.0);
    Mesh assigned;
    assigned = moved;
    lift(assigned, 1.0);
    EXPECT_DOUBLE_EQ(hitHeight(assigned, 2.2, -2.2), 2.0);
    EXPECT_DOUBLE_EQ(hitHeight(moved, 2.2, -2.2), 1.0);
}

// Pushing a corner of a quad inward past the diagonal makes it concave, which changes how the kernel
// triangulates it; the BVH follows (hits name the kernel's triangles) and matches the reference.
TEST(BvhUpdate, PointMovesThatRetriangulate) {
    Mesh m;
    m.points = {{0, 0, 0}, {2, 0, 0}, {2, 0, -2}, {0, 0, -2}};
    m.addFace({0, 1, 2, 3});
    MeshRay ray = down(1.6, -0.5);
    MeshRayHit before;
    ASSERT_TRUE(meshClosestHit(m, ray, before));
    const auto trisBefore = m.geometry().triangleVertices(0, 0);
    m.points[3] = {1.4, 0, -0.6};  // a dart: the fan's diagonal 0-2 now runs outside the face
    m.pointsChanged();
    ASSERT_NE(m.geometry().triangleVertices(0, 0), trisBefore);
    for (double x : {0.3, 0.8, 1.5, 1.9})
        for (double z : {-0.2, -0.9, -1.7}) {
            MeshRay r = down(x, z);
            MeshRayHit h;
            const std::vector<RefHit> ref = bruteHits(m, r);
            ASSERT_EQ(meshClosestHit(m, r, h), !ref.empty()) << x << " " << z;
            if (ref.empty()) continue;
            EXPECT_EQ(h.triangle, ref[0].triangle);
            expectConsistent(m, h, r);
        }
}

// Queries from several threads at once on one fresh mesh: one build, every answer right.
TEST(BvhUpdate, ConcurrentQueriesShareOneBuild) {
    Mesh m = wavyGrid(40, 0.0);
    lift(m, 1.5);
    const MeshBvhCounters c0 = meshBvhCounters();
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int k = 0; k < 4; ++k)
        threads.emplace_back([&, k] {
            for (int i = 0; i < 200; ++i)
                if (hitHeight(m, 0.5 + (i + k) % 39, -0.5 - i % 39) != 1.5) ++wrong;
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(meshBvhCounters().builds, c0.builds + 1);
}
