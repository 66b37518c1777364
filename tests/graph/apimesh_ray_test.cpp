// MFnMesh ray casts and closest point over the mesh's BVH: agreement with an exhaustive search in world
// space under a rotated, non-uniformly scaled transform; long face lists; point edits, undo and redo
// never leaving stale hits; accelerator bookkeeping as callers see it.
#include <maya/MDagPath.h>
#include <maya/MEulerRotation.h>
#include <maya/MFloatArray.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFnTransform.h>
#include <maya/MVector.h>

#include <cmath>
#include <random>

#include "apimesh_util.h"
#include "graph/core/Scene.h"

using namespace apimesh;

namespace {

// A wavy grid of quads with a few concave hexagons (L shapes) floating above it.
MObject makeTerrain(MFnMesh& fn, int n = 12) {
    MPointArray p;
    MIntArray counts, connects;
    for (int j = 0; j <= n; ++j)
        for (int i = 0; i <= n; ++i) p.append(MPoint(i, 0.6 * std::sin(0.9 * i) * std::cos(0.6 * j), -j));
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const int v = i + j * (n + 1);
            counts.append(4);
            for (int c : {v, v + 1, v + n + 2, v + n + 1}) connects.append(c);
        }
    for (int k = 0; k < 4; ++k) {
        const int b = int(p.length());
        const double o = 2.5 * k, y = 1 + 0.3 * k;
        for (auto xz : {std::pair<double, double>{0, 0}, {4, 0}, {4, -2}, {2, -2}, {2, -5}, {0, -5}})
            p.append(MPoint(o + xz.first, y + 0.05 * xz.first, -o + xz.second));
        counts.append(6);
        for (int c = 0; c < 6; ++c) connects.append(b + c);
    }
    MStatus st;
    MObject t = fn.create(int(p.length()), int(counts.length()), p, counts, connects, MObject::kNullObj, &st);
    EXPECT_TRUE(st);
    return t;
}

MDagPath placed(MObject transform) {
    MFnTransform xf(transform);
    xf.setTranslation(MVector(4, -1, 2), MSpace::kTransform);
    xf.setRotation(MEulerRotation(MVector(0.4, -0.7, 0.25)));
    const double scale[3] = {1.5, 0.6, 2.0};
    xf.setScale(scale);
    MDagPath path;
    MDagPath::getAPathTo(transform, path);
    return path;
}

struct WorldTri {
    MPoint a, b, c;
    int face, tri;
};

// The mesh's triangles in world space, as the function set reports them.
std::vector<WorldTri> worldTriangles(MFnMesh& fn) {
    MPointArray wp;
    fn.getPoints(wp, MSpace::kWorld);
    std::vector<WorldTri> out;
    for (int f = 0; f < fn.numPolygons(); ++f)
        for (int k = 0; k < fn.polygonVertexCount(f) - 2; ++k) {
            int v[3];
            fn.getPolygonTriangleVertices(f, k, v);
            out.push_back({wp[unsigned(v[0])], wp[unsigned(v[1])], wp[unsigned(v[2])], f, k});
        }
    return out;
}

// Every crossing parameter of the ray with the triangles, strictly inside, sorted.
std::vector<std::pair<double, int>> exhaustiveHits(const std::vector<WorldTri>& tris, const MPoint& o,
                                                   const MVector& d) {
    std::vector<std::pair<double, int>> out;
    for (const WorldTri& t : tris) {
        const MVector e1 = t.b - t.a, e2 = t.c - t.a, p = d ^ e2;
        const double det = e1 * p;
        if (det == 0) continue;
        const MVector s = o - t.a, q = s ^ e1;
        const double u = (s * p) / det, v = (d * q) / det, param = (e2 * q) / det;
        if (u < 0 || v < 0 || u + v > 1 || param < 0) continue;
        out.push_back({param, t.face});
    }
    std::sort(out.begin(), out.end());
    return out;
}

double segmentDistance(const MPoint& p, const MPoint& a, const MPoint& b) {
    const MVector ab = b - a;
    const double s = std::max(0.0, std::min(1.0, ((p - a) * ab) / (ab * ab)));
    return (p - (a + ab * s)).length();
}

double triangleDistance(const MPoint& p, const WorldTri& t) {
    const MVector n = (t.b - t.a) ^ (t.c - t.a);
    const MPoint q = p - n * (((p - t.a) * n) / (n * n));
    if ((((t.b - t.a) ^ (q - t.a)) * n) >= 0 && (((t.c - t.b) ^ (q - t.b)) * n) >= 0 &&
        (((t.a - t.c) ^ (q - t.c)) * n) >= 0)
        return (p - q).length();
    return std::min(
        {segmentDistance(p, t.a, t.b), segmentDistance(p, t.b, t.c), segmentDistance(p, t.c, t.a)});
}

bool castDown(MFnMesh& fn, double x, double z, MFloatPoint& hit, MSpace::Space space = MSpace::kObject,
              MMeshIsectAccelParams* accel = nullptr, int* face = nullptr) {
    return fn.closestIntersection(MFloatPoint(float(x), 50, float(z)), MFloatVector(0, -1, 0), nullptr,
                                  nullptr, false, space, 1e6f, false, accel, hit, nullptr, face, nullptr,
                                  nullptr, nullptr);
}

}  // namespace

using MeshRayCast = MeshApiTest;

TEST_F(MeshRayCast, WorldSpaceQueriesMatchAnExhaustiveSearch) {
    MFnMesh fn;
    MDagPath path = placed(makeTerrain(fn));
    MFnMesh world(path);
    const std::vector<WorldTri> tris = worldTriangles(world);
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> u(0, 1);
    MPoint lo = tris[0].a, hi = tris[0].a;
    for (const WorldTri& t : tris)
        for (const MPoint& p : {t.a, t.b, t.c}) {
            lo = MPoint(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z));
            hi = MPoint(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z));
        }
    auto inBox = [&] {
        return MPoint(lo.x + u(rng) * (hi.x - lo.x), lo.y + u(rng) * (hi.y - lo.y),
                      lo.z + u(rng) * (hi.z - lo.z));
    };
    int hits = 0;
    for (int i = 0; i < 300; ++i) {
        // From all around, toward a point inside the mesh's world bounds.
        const MPoint target = inBox();
        const MVector away(u(rng) - 0.5, u(rng) - 0.5, u(rng) - 0.5);
        const MPoint origin = target + away.normal() * 40;
        const MVector d = (target - origin) * (0.5 + u(rng));  // t counts in this length
        const auto ref = exhaustiveHits(tris, origin, d);
        MFloatPoint hit;
        float param = -1;
        int face = -1, tri = -1;
        float b1 = -1, b2 = -1;
        const bool found = world.closestIntersection(
            MFloatPoint(float(origin.x), float(origin.y), float(origin.z)),
            MFloatVector(float(d.x), float(d.y), float(d.z)), nullptr, nullptr, false, MSpace::kWorld, 1e6f,
            false, nullptr, hit, &param, &face, &tri, &b1, &b2);
        ASSERT_EQ(found, !ref.empty()) << "ray " << i;
        MFloatPointArray all;
        MIntArray allFaces;
        world.allIntersections(MFloatPoint(float(origin.x), float(origin.y), float(origin.z)),
                               MFloatVector(float(d.x), float(d.y), float(d.z)), nullptr, nullptr, false,
                               MSpace::kWorld, 1e6f, false, nullptr, true, all, nullptr, &allFaces, nullptr,
                               nullptr, nullptr);
        EXPECT_EQ(all.length(), ref.size()) << "ray " << i;
        if (!found) continue;
        ++hits;
        EXPECT_NEAR(param, ref[0].first, 1e-4 * (1 + ref[0].first));
        if (ref.size() < 2 || ref[1].first - ref[0].first > 1e-3) {
            EXPECT_EQ(face, ref[0].second);
        }
        const MPoint expected = origin + d * ref[0].first;
        EXPECT_LT((MPoint(hit) - expected).length(), 1e-4 * (1 + expected.distanceTo(MPoint())));
        // The barycentrics rebuild the hit on the reported triangle, in world space too.
        for (const WorldTri& t : tris)
            if (t.face == face && t.tri == tri) {
                const MPoint rebuilt =
                    MPoint(MVector(t.a) * b1 + MVector(t.b) * b2 + MVector(t.c) * (1 - b1 - b2));
                EXPECT_LT((rebuilt - MPoint(hit)).length(), 1e-4);
            }
    }
    EXPECT_GT(hits, 100);

    // Closest points are measured in world space, where the scale is not uniform.
    for (int i = 0; i < 200; ++i) {
        const MPoint p = inBox() + MVector(u(rng) - 0.5, u(rng) - 0.5, u(rng) - 0.5) * 6;
        MPoint q;
        int face = -1;
        ASSERT_TRUE(world.getClosestPoint(p, q, MSpace::kWorld, &face));
        double best = HUGE_VAL;
        for (const WorldTri& t : tris) best = std::min(best, triangleDistance(p, t));
        EXPECT_NEAR(p.distanceTo(q), best, 1e-9 * (1 + best)) << "point " << i;
        double onFace = HUGE_VAL;
        for (const WorldTri& t : tris)
            if (t.face == face) onFace = std::min(onFace, triangleDistance(p, t));
        EXPECT_NEAR(onFace, best, 1e-9 * (1 + best));
    }
}

// Face lists long enough to go through the BVH with a filter, and (face, triangle) pairs.
TEST_F(MeshRayCast, LongFaceListsRestrictTheCast) {
    MFnMesh fn;
    makeGrid(fn, 20, 20);  // flat unit quads, face (i, j) = i + 20 j over x in [i, i+1], z in [-j-1, -j]
    MIntArray evenRows, tris;
    for (int f = 0; f < fn.numPolygons(); ++f)
        if ((f / 20) % 2 == 0) {
            evenRows.append(f);
            tris.append(1);
        }
    ASSERT_GT(evenRows.length(), 64u);
    MFloatPoint hit;
    int face = -1, tri = -1;
    for (int j = 0; j < 20; ++j) {
        const MFloatPoint src(7.3f, 5, -(j + 0.2f));  // near the quad's first edge: its triangle 0
        const bool found =
            fn.closestIntersection(src, MFloatVector(0, -1, 0), &evenRows, nullptr, false, MSpace::kObject,
                                   1e6f, false, nullptr, hit, nullptr, &face, &tri, nullptr, nullptr);
        EXPECT_EQ(found, j % 2 == 0) << j;
        if (found) {
            EXPECT_EQ(face, 7 + 20 * j);
        }
        // Only triangle 1 of each listed face: this foot lies in triangle 0.
        EXPECT_FALSE(fn.closestIntersection(src, MFloatVector(0, -1, 0), &evenRows, &tris, false,
                                            MSpace::kObject, 1e6f, false, nullptr, hit, nullptr, &face, &tri,
                                            nullptr, nullptr));
        const MFloatPoint other(7.8f, 5, -(j + 0.9f));
        EXPECT_EQ(
            fn.closestIntersection(other, MFloatVector(0, -1, 0), &evenRows, &tris, false, MSpace::kObject,
                                   1e6f, false, nullptr, hit, nullptr, &face, &tri, nullptr, nullptr),
            j % 2 == 0)
            << j;
    }
}

// Point edits move the hits at once; undo and redo bring back exactly the hits of the restored points.
TEST_F(MeshRayCast, PointEditsUndoAndRedoNeverLeaveStaleHits) {
    MFnMesh fn;
    MObject t = makeGrid(fn, 10, 10);
    MDagPath path;
    MDagPath::getAPathTo(t, path);
    MFnMesh mesh(path);
    MFloatPoint hit;
    int face = -1;
    ASSERT_TRUE(castDown(mesh, 6.4, -6.6, hit, MSpace::kObject, nullptr, &face));
    EXPECT_EQ(face, 66);
    EXPECT_FLOAT_EQ(hit.y, 0.f);

    // Lift the grid and slide it 4.5 along x: the same ray now crosses another face.
    MPointArray pts;
    mesh.getPoints(pts);
    for (unsigned i = 0; i < pts.length(); ++i) pts[i] += MVector(4.5, 2, 0);
    kxh::Scene& scene = kxh::Scene::current();
    scene.beginRecording();
    ASSERT_TRUE(mesh.setPoints(pts));
    std::unique_ptr<kxh::UndoEntry> edit = scene.endRecording("move");
    ASSERT_TRUE(edit);
    auto expectMoved = [&] {
        ASSERT_TRUE(castDown(mesh, 6.4, -6.6, hit, MSpace::kObject, nullptr, &face));
        EXPECT_EQ(face, 61);
        EXPECT_FLOAT_EQ(hit.y, 2.f);
        EXPECT_FALSE(castDown(mesh, 0.5, -6.6, hit));
        MPoint closest;
        mesh.getClosestPoint(MPoint(0.5, 9, -3.5), closest);
        EXPECT_EQ(closest, MPoint(4.5, 2, -3.5));
    };
    auto expectRestored = [&] {
        ASSERT_TRUE(castDown(mesh, 6.4, -6.6, hit, MSpace::kObject, nullptr, &face));
        EXPECT_EQ(face, 66);
        EXPECT_FLOAT_EQ(hit.y, 0.f);
        EXPECT_TRUE(castDown(mesh, 0.5, -6.6, hit));
        MPoint closest;
        mesh.getClosestPoint(MPoint(0.5, 9, -3.5), closest);
        EXPECT_EQ(closest, MPoint(0.5, 0, -3.5));
    };
    expectMoved();
    for (int round = 0; round < 2; ++round) {
        edit->undo();
        expectRestored();
        edit->redo();
        expectMoved();
    }

    // A single moved vertex: the cast over its corner sees the slope, the rest of the grid does not.
    ASSERT_TRUE(mesh.setPoint(0, MPoint(4.5, -2, 0)));
    ASSERT_TRUE(castDown(mesh, 4.6, -0.05, hit));
    EXPECT_LT(hit.y, 0.f);
    ASSERT_TRUE(castDown(mesh, 9.5, -5.5, hit));
    EXPECT_FLOAT_EQ(hit.y, 2.f);

    // A topology edit: the deleted face can no longer be hit.
    ASSERT_TRUE(castDown(mesh, 9.5, -5.5, hit, MSpace::kObject, nullptr, &face));
    ASSERT_TRUE(mesh.deleteFace(face));
    ASSERT_FALSE(castDown(mesh, 9.5, -5.5, hit));
    EXPECT_TRUE(castDown(mesh, 8.5, -5.5, hit));
}

// Accelerator params cache an accelerator the info calls report; casts without params give the same
// answers and cache nothing.
TEST_F(MeshRayCast, AcceleratorInfoAppearsAndClears) {
    MFnMesh::clearGlobalIntersectionAcceleratorInfo();
    MFnMesh a, b;
    makeGrid(a, 8, 8);
    makeTerrain(b);
    MFloatPoint plain, accelerated;
    int plainFace = -1, accelFace = -1;
    ASSERT_TRUE(castDown(a, 2.5, -3.5, plain, MSpace::kObject, nullptr, &plainFace));
    EXPECT_EQ(a.cachedIntersectionAcceleratorInfo(), MString());
    EXPECT_NE(MFnMesh::globalIntersectionAcceleratorsInfo().str().find("total 0 accelerators created"),
              std::string::npos);

    MMeshIsectAccelParams grid = MFnMesh::autoUniformGridParams();
    ASSERT_TRUE(castDown(a, 2.5, -3.5, accelerated, MSpace::kObject, &grid, &accelFace));
    EXPECT_EQ(accelFace, plainFace);
    EXPECT_EQ(accelerated, plain);
    const std::string info = a.cachedIntersectionAcceleratorInfo().str();
    EXPECT_NE(info.find("uniform grid"), std::string::npos) << info;
    EXPECT_NE(info.find("memory footprint"), std::string::npos) << info;
    EXPECT_EQ(b.cachedIntersectionAcceleratorInfo(), MString());  // per mesh

    MPoint q;
    MMeshIsectAccelParams fixed = MFnMesh::uniformGridParams(2, 3, 4);
    ASSERT_TRUE(b.getClosestPoint(MPoint(1, 5, -1), q, MSpace::kObject, nullptr, &fixed));
    EXPECT_EQ(b.cachedIntersectionAcceleratorInfo().str().rfind("2x3x4 uniform grid", 0), 0u);
    EXPECT_NE(MFnMesh::globalIntersectionAcceleratorsInfo().str().find(
                  "total 2 accelerators created (2 currently active"),
              std::string::npos)
        << MFnMesh::globalIntersectionAcceleratorsInfo();

    // Clearing the statistics keeps what is cached; freeing drops one mesh's accelerator only.
    MFnMesh::clearGlobalIntersectionAcceleratorInfo();
    EXPECT_NE(MFnMesh::globalIntersectionAcceleratorsInfo().str().find("total 0 "), std::string::npos);
    EXPECT_NE(a.cachedIntersectionAcceleratorInfo(), MString());
    ASSERT_TRUE(a.freeCachedIntersectionAccelerator());
    EXPECT_EQ(a.cachedIntersectionAcceleratorInfo(), MString());
    EXPECT_NE(b.cachedIntersectionAcceleratorInfo(), MString());
    // Casting after the free still answers the same.
    ASSERT_TRUE(castDown(a, 2.5, -3.5, accelerated, MSpace::kObject, nullptr, &accelFace));
    EXPECT_EQ(accelFace, plainFace);
    EXPECT_EQ(a.cachedIntersectionAcceleratorInfo(), MString());
}

// Queries keep what they read from the graph between changes: every kind of change between two casts
// (a transform above, the points, a node deleted and brought back) shows in the next cast.
TEST_F(MeshRayCast, RepeatedCastsSeeEveryChangeOfTheGraphBetweenThem) {
    MFnMesh fn;
    MObject xfObj = makeGrid(fn, 4, 4);
    MDagPath path;
    MDagPath::getAPathTo(xfObj, path);
    MFnMesh mesh(path);
    auto castDown = [&](double x, double z, MFloatPoint& hit) {
        return mesh.closestIntersection(MFloatPoint(float(x), 10.f, float(z)), MFloatVector(0, -1, 0),
                                        nullptr, nullptr, false, MSpace::kWorld, 100.f, false, nullptr, hit,
                                        nullptr, nullptr, nullptr, nullptr, nullptr);
    };
    MFloatPoint hit;
    ASSERT_TRUE(castDown(1.5, -1.5, hit));
    EXPECT_FLOAT_EQ(hit.y, 0.f);
    MFnTransform(xfObj).setTranslation(MVector(0, 2, 0), MSpace::kTransform);
    ASSERT_TRUE(castDown(1.5, -1.5, hit));
    EXPECT_FLOAT_EQ(hit.y, 2.f);
    MPointArray pts;
    fn.getPoints(pts);
    for (unsigned i = 0; i < pts.length(); ++i) pts[i].y = -1;
    ASSERT_TRUE(fn.setPoints(pts));
    ASSERT_TRUE(castDown(1.5, -1.5, hit));
    EXPECT_FLOAT_EQ(hit.y, 1.f);
    // World inverse matrix too: a closest point after the transform moves again.
    MFnTransform(xfObj).setTranslation(MVector(0, 5, 0), MSpace::kTransform);
    MPoint closest;
    ASSERT_TRUE(mesh.getClosestPoint(MPoint(1.5, 10, -1.5), closest, MSpace::kWorld));
    EXPECT_DOUBLE_EQ(closest.y, 4.0);

    kxh::Scene& scene = kxh::Scene::current();
    kxh::NodePtr xf = kxh::nodeOf(xfObj);
    scene.beginRecording();
    scene.deleteNode(*xf);
    auto del = scene.endRecording("delete");
    EXPECT_FALSE(castDown(1.5, -1.5, hit));
    del->undo();
    ASSERT_TRUE(castDown(1.5, -1.5, hit));
    EXPECT_FLOAT_EQ(hit.y, 4.f);
}
