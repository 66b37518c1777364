// MFnMesh ray casts and closest point: hits with barycentrics, the nearest of several faces, the ray's
// parameter range and direction, face restrictions, world space, and the accelerator cache.
#include <maya/MDagPath.h>
#include <maya/MFloatArray.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFloatVector.h>
#include <maya/MFnTransform.h>
#include <maya/MVector.h>

#include "apimesh_util.h"

using namespace apimesh;

namespace {

// Two unit quads over [0,1]x[0,1] in x and -z: face 0 at y = 0, face 1 at y = 1.
MObject makeStack(MFnMesh& fn) {
    MPointArray p;
    MIntArray counts, connects;
    for (int level = 0; level < 2; ++level) {
        for (auto xz : {std::pair<int, int>{0, 0}, {1, 0}, {1, -1}, {0, -1}})
            p.append(MPoint(xz.first, level, xz.second));
        counts.append(4);
        for (int c = 0; c < 4; ++c) connects.append(4 * level + c);
    }
    MStatus st;
    MObject r = fn.create(8, 2, p, counts, connects, MObject::kNullObj, &st);
    EXPECT_TRUE(st);
    return r;
}

struct Cast {
    MFloatPoint hit;
    float param = -1, b1 = -1, b2 = -1;
    int face = -1, tri = -1;
    MStatus st;
    bool found = false;
};

Cast cast(MFnMesh& fn, MFloatPoint src, MFloatVector dir, float maxParam = 1e6f, bool both = false,
          const MIntArray* faces = nullptr, const MIntArray* tris = nullptr,
          MSpace::Space space = MSpace::kObject, MMeshIsectAccelParams* accel = nullptr) {
    Cast c;
    c.found = fn.closestIntersection(src, dir, faces, tris, false, space, maxParam, both, accel, c.hit,
                                     &c.param, &c.face, &c.tri, &c.b1, &c.b2, 1e-6f, &c.st);
    return c;
}

}  // namespace

using MeshIsect = MeshApiTest;

TEST_F(MeshIsect, HitReportsFaceTriangleParameterAndBarycentrics) {
    MFnMesh fn;
    makeStack(fn);
    Cast c = cast(fn, MFloatPoint(0.25f, 5, -0.6f), MFloatVector(0, -2, 0));
    ASSERT_TRUE(c.st);
    ASSERT_TRUE(c.found);
    EXPECT_EQ(c.face, 1);           // the nearer of the two faces
    EXPECT_FLOAT_EQ(c.param, 2.f);  // in multiples of the direction's length
    EXPECT_FLOAT_EQ(c.hit.y, 1.f);
    EXPECT_FLOAT_EQ(c.hit.x, 0.25f);
    // The barycentrics rebuild the hit from the triangle's vertices.
    int tri[3];
    ASSERT_TRUE(fn.getPolygonTriangleVertices(c.face, c.tri, tri));
    MPoint a, b, d;
    fn.getPoint(tri[0], a);
    fn.getPoint(tri[1], b);
    fn.getPoint(tri[2], d);
    const double b3 = 1.0 - c.b1 - c.b2;
    EXPECT_NEAR(c.b1 * a.x + c.b2 * b.x + b3 * d.x, 0.25, 1e-6);
    EXPECT_NEAR(c.b1 * a.z + c.b2 * b.z + b3 * d.z, -0.6, 1e-6);
    EXPECT_GE(c.b1, 0.f);
    EXPECT_GE(c.b2, 0.f);

    Cast miss = cast(fn, MFloatPoint(3, 5, 3), MFloatVector(0, -1, 0));
    EXPECT_TRUE(miss.st);
    EXPECT_FALSE(miss.found);
    Cast bad = cast(fn, MFloatPoint(0, 5, 0), MFloatVector(0, 0, 0));
    EXPECT_EQ(bad.st, MS::kInvalidParameter);
}

TEST_F(MeshIsect, ParameterRangeAndDirection) {
    MFnMesh fn;
    makeStack(fn);
    const MFloatPoint src(0.5f, 0.5f, -0.5f);  // between the two faces
    // Up: face 1 at t = 0.5; a maxParam below that misses it.
    EXPECT_EQ(cast(fn, src, MFloatVector(0, 1, 0)).face, 1);
    EXPECT_FALSE(cast(fn, src, MFloatVector(0, 1, 0), 0.4f).found);
    // Pointing away from the mesh in one direction: found only when both directions are tested.
    const MFloatPoint above(0.5f, 3, -0.5f);
    EXPECT_FALSE(cast(fn, above, MFloatVector(0, 1, 0)).found);
    Cast back = cast(fn, above, MFloatVector(0, 1, 0), 1e6f, true);
    ASSERT_TRUE(back.found);
    EXPECT_EQ(back.face, 1);
    EXPECT_FLOAT_EQ(back.param, -2.f);
    EXPECT_FLOAT_EQ(back.hit.y, 1.f);
    // The nearer hit wins whichever side it is on.
    Cast near = cast(fn, MFloatPoint(0.5f, 0.25f, -0.5f), MFloatVector(0, 1, 0), 1e6f, true);
    EXPECT_EQ(near.face, 0);
    EXPECT_FLOAT_EQ(near.param, -0.25f);
}

TEST_F(MeshIsect, FaceAndTriangleRestrictions) {
    MFnMesh fn;
    makeStack(fn);
    MIntArray faces;
    faces.append(0);
    Cast c = cast(fn, MFloatPoint(0.25f, 5, -0.6f), MFloatVector(0, -1, 0), 1e6f, false, &faces);
    ASSERT_TRUE(c.found);
    EXPECT_EQ(c.face, 0);  // the nearer face 1 is not a candidate
    // Only the triangle of face 0 that does not contain the ray's foot: a miss.
    MIntArray tris;
    tris.append(c.tri == 0 ? 1 : 0);
    EXPECT_FALSE(
        cast(fn, MFloatPoint(0.25f, 5, -0.6f), MFloatVector(0, -1, 0), 1e6f, false, &faces, &tris).found);
    tris[0] = c.tri;
    EXPECT_TRUE(
        cast(fn, MFloatPoint(0.25f, 5, -0.6f), MFloatVector(0, -1, 0), 1e6f, false, &faces, &tris).found);
    faces[0] = 7;
    EXPECT_EQ(cast(fn, MFloatPoint(0, 5, 0), MFloatVector(0, -1, 0), 1e6f, false, &faces).st,
              MS::kInvalidParameter);

    // All hits, sorted along the ray.
    MFloatPointArray pts;
    MFloatArray params;
    MIntArray hitFaces;
    ASSERT_TRUE(fn.allIntersections(MFloatPoint(0.3f, -1, -0.3f), MFloatVector(0, 1, 0), nullptr, nullptr,
                                    false, MSpace::kObject, 1e6f, false, nullptr, true, pts, &params,
                                    &hitFaces, nullptr, nullptr, nullptr));
    ASSERT_EQ(pts.length(), 2u);
    EXPECT_EQ(hitFaces[0], 0);
    EXPECT_EQ(hitFaces[1], 1);
    EXPECT_LT(params[0], params[1]);
    MFloatPoint any;
    EXPECT_TRUE(fn.anyIntersection(MFloatPoint(0.3f, -1, -0.3f), MFloatVector(0, 1, 0), nullptr, nullptr,
                                   false, MSpace::kObject, 1e6f, false, nullptr, any, nullptr, nullptr,
                                   nullptr, nullptr, nullptr));
}

TEST_F(MeshIsect, WorldSpaceRaysAndClosestPoint) {
    MFnMesh fn;
    MObject xf = makeStack(fn);
    MFnTransform(xf).setTranslation(MVector(10, 0, 0), MSpace::kTransform);
    MDagPath path;
    MDagPath::getAPathTo(xf, path);
    MFnMesh world(path);
    Cast c = cast(world, MFloatPoint(10.5f, 5, -0.5f), MFloatVector(0, -1, 0), 1e6f, false, nullptr, nullptr,
                  MSpace::kWorld);
    ASSERT_TRUE(c.found);
    EXPECT_FLOAT_EQ(c.hit.x, 10.5f);
    EXPECT_FALSE(cast(world, MFloatPoint(0.5f, 5, -0.5f), MFloatVector(0, -1, 0), 1e6f, false, nullptr,
                      nullptr, MSpace::kWorld)
                     .found);

    MPoint closest;
    int face = -1;
    ASSERT_TRUE(world.getClosestPoint(MPoint(12, 0.9, -0.5), closest, MSpace::kWorld, &face));
    EXPECT_EQ(face, 1);
    EXPECT_NEAR(closest.x, 11, 1e-9);
    EXPECT_NEAR(closest.y, 1, 1e-9);
    ASSERT_TRUE(world.getClosestPoint(MPoint(0.5, -3, -0.5), closest, MSpace::kObject, &face));
    EXPECT_EQ(face, 0);
    EXPECT_EQ(closest, MPoint(0.5, 0, -0.5));
}

TEST_F(MeshIsect, AcceleratorIsCachedPerMeshUntilFreedOrTheMeshChanges) {
    MFnMesh::clearGlobalIntersectionAcceleratorInfo();
    MFnMesh fn;
    makeStack(fn);
    EXPECT_EQ(fn.cachedIntersectionAcceleratorInfo(), MString());
    MMeshIsectAccelParams accel = MFnMesh::autoUniformGridParams();
    cast(fn, MFloatPoint(0.5f, 5, -0.5f), MFloatVector(0, -1, 0), 1e6f, false, nullptr, nullptr,
         MSpace::kObject, &accel);
    MString info = fn.cachedIntersectionAcceleratorInfo();
    EXPECT_NE(info.length(), 0u);
    EXPECT_NE(MFnMesh::globalIntersectionAcceleratorsInfo().str().find("total 1 accelerators created"),
              std::string::npos);
    // The same configuration again reuses it; another one rebuilds.
    cast(fn, MFloatPoint(0.5f, 5, -0.5f), MFloatVector(0, -1, 0), 1e6f, false, nullptr, nullptr,
         MSpace::kObject, &accel);
    EXPECT_NE(MFnMesh::globalIntersectionAcceleratorsInfo().str().find("total 1 "), std::string::npos);
    MMeshIsectAccelParams grid = MFnMesh::uniformGridParams(3, 4, 5);
    cast(fn, MFloatPoint(0.5f, 5, -0.5f), MFloatVector(0, -1, 0), 1e6f, false, nullptr, nullptr,
         MSpace::kObject, &grid);
    EXPECT_EQ(fn.cachedIntersectionAcceleratorInfo().str().rfind("3x4x5 uniform grid", 0), 0u);
    EXPECT_NE(MFnMesh::globalIntersectionAcceleratorsInfo().str().find("total 2 "), std::string::npos);

    ASSERT_TRUE(fn.freeCachedIntersectionAccelerator());
    EXPECT_EQ(fn.cachedIntersectionAcceleratorInfo(), MString());

    // A point edit makes a new mesh: the old accelerator no longer describes it.
    cast(fn, MFloatPoint(0.5f, 5, -0.5f), MFloatVector(0, -1, 0), 1e6f, false, nullptr, nullptr,
         MSpace::kObject, &accel);
    EXPECT_NE(fn.cachedIntersectionAcceleratorInfo().length(), 0u);
    ASSERT_TRUE(fn.setPoint(0, MPoint(0, -1, 0)));
    EXPECT_EQ(fn.cachedIntersectionAcceleratorInfo(), MString());
    MFnMesh::clearGlobalIntersectionAcceleratorInfo();
    EXPECT_NE(MFnMesh::globalIntersectionAcceleratorsInfo().str().find("total 0 "), std::string::npos);
}
