// MFnMesh points and normals: object and world space, flat point writes, locked normals, hard edges.
#include <maya/MDagPath.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFloatVectorArray.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnMeshData.h>
#include <maya/MFnTransform.h>
#include <maya/MUintArray.h>
#include <maya/MVector.h>
#include <maya/MVectorArray.h>

#include <cmath>

#include "apimesh_util.h"

using namespace apimesh;

using MeshPoints = MeshApiTest;

namespace {
void expectNear(const MPoint& a, const MPoint& b, double tol = 1e-9) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}
void expectNear(const MVector& a, const MVector& b, double tol = 1e-9) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}
}  // namespace

TEST_F(MeshPoints, WorldSpaceFollowsTheTransformAndWritesBackToObjectSpace) {
    MFnMesh fn;
    MObject xfObj = makeGrid(fn, 1, 1);
    MFnTransform xf(xfObj);
    ASSERT_TRUE(xf.setTranslation(MVector(10, 0, 0), MSpace::kTransform));
    const double scale[3] = {2, 2, 2};
    ASSERT_TRUE(xf.setScale(scale));

    MDagPath path;
    MDagPath::getAPathTo(xfObj, path);
    MFnMesh byPath(path);
    MPointArray world;
    ASSERT_TRUE(byPath.getPoints(world, MSpace::kWorld));
    ASSERT_EQ(world.length(), 4u);
    expectNear(world[3], MPoint(12, 0, -2));
    // Attached by the shape object alone, world space uses the shape's one path.
    MPoint p;
    ASSERT_TRUE(fn.getPoint(3, p, MSpace::kWorld));
    expectNear(p, MPoint(12, 0, -2));
    ASSERT_TRUE(fn.getPoint(3, p, MSpace::kObject));
    expectNear(p, MPoint(1, 0, -1));

    // Writing world positions stores object positions.
    world[0] = MPoint(8, 4, 0);
    ASSERT_TRUE(byPath.setPoints(world, MSpace::kWorld));
    fn.getPoint(0, p);
    expectNear(p, MPoint(-1, 2, 0));
    ASSERT_TRUE(byPath.setPoint(1, MPoint(10, 0, 0), MSpace::kWorld));
    fn.getPoint(1, p);
    expectNear(p, MPoint(0, 0, 0));
    expectValid(fn);

    // Normals map as normals: a non-uniform scale tilts them the other way.
    const double squash[3] = {1, 1, 1};
    xf.setScale(squash);
    MVector n;
    ASSERT_TRUE(byPath.getPolygonNormal(0, n, MSpace::kWorld));
    EXPECT_NEAR(n.length(), 1.0, 1e-9);
}

TEST_F(MeshPoints, SetPointsReplacesEveryPointAndRefreshesDerivedGeometry) {
    MFnMesh fn;
    makeGrid(fn, 2, 1);
    MVector n;
    fn.getPolygonNormal(0, n);
    expectNear(n, MVector(0, 1, 0));

    MFloatPointArray pts;
    ASSERT_TRUE(fn.getPoints(pts));
    ASSERT_EQ(pts.length(), 6u);
    // Stand the grid up: y becomes the old -z.
    for (unsigned i = 0; i < pts.length(); ++i) pts[i] = MFloatPoint(pts[i].x, -pts[i].z, 0);
    ASSERT_TRUE(fn.setPoints(pts));
    MPointArray back;
    fn.getPoints(back);
    expectNear(back[4], MPoint(1, 1, 0));
    fn.getPolygonNormal(0, n);
    expectNear(n, MVector(0, 0, 1));
    fn.getVertexNormal(4, n);
    expectNear(n, MVector(0, 0, 1));
    expectValid(fn);

    MPointArray tooFew;
    tooFew.append(MPoint());
    EXPECT_EQ(fn.setPoints(tooFew), MS::kInvalidParameter);
    MPoint p;
    EXPECT_EQ(fn.getPoint(6, p), MS::kInvalidParameter);
}

TEST_F(MeshPoints, SetPointsOnMeshDataChangesOnlyThatData) {
    MFnMeshData data;
    MObject d = data.create();
    MFnMesh fn;
    makeGrid(fn, 1, 1, d);
    MObject copyOfData = d;  // copies of an MObject share the data
    MPointArray pts;
    fn.getPoints(pts);
    pts[0].y = 5;
    ASSERT_TRUE(fn.setPoints(pts));
    MPoint p;
    MFnMesh(copyOfData).getPoint(0, p);
    EXPECT_EQ(p.y, 5);
    expectValid(fn);
}

TEST_F(MeshPoints, LockedNormalsWinUntilUnlocked) {
    MFnMesh fn;
    MObject xfObj = makeGrid(fn, 1, 1);
    MVector n;
    fn.getVertexNormal(0, true, n);
    expectNear(n, MVector(0, 1, 0));

    MVectorArray normals;
    normals.append(MVector(1, 0, 0));
    MIntArray ids;
    ids.append(0);
    ASSERT_TRUE(fn.setVertexNormals(normals, ids));
    fn.getVertexNormal(0, n);
    expectNear(n, MVector(1, 0, 0));
    fn.getVertexNormal(0, true, n);
    expectNear(n, MVector(1, 0, 0));
    MFloatVectorArray all;
    fn.getVertexNormals(false, all);
    EXPECT_FLOAT_EQ(all[0].x, 1.f);
    EXPECT_FLOAT_EQ(all[1].y, 1.f);
    expectValid(fn);

    // Given in world space, stored in object space: a rotation of the transform turns them back.
    MFnTransform xf(xfObj);
    const double scale[3] = {1, 1, -1};  // a mirror in z
    xf.setScale(scale);
    normals[0] = MVector(0, 0, 1);
    ASSERT_TRUE(fn.setVertexNormals(normals, ids, MSpace::kWorld));
    fn.getVertexNormal(0, n, MSpace::kObject);
    expectNear(n, MVector(0, 0, -1));
    fn.getVertexNormal(0, n, MSpace::kWorld);
    expectNear(n, MVector(0, 0, 1));

    ASSERT_TRUE(fn.unlockVertexNormals(ids));
    fn.getVertexNormal(0, n);
    expectNear(n, MVector(0, 1, 0));
    expectValid(fn);
}

TEST_F(MeshPoints, HardEdgesSplitFaceVertexNormals) {
    MFnMesh fn;
    makeCube(fn);
    MVector n, face;
    // All edges smooth: every face sees the shared vertex normal.
    fn.getFaceVertexNormal(0, 7, n);
    const double k = 1 / std::sqrt(3.0);
    expectNear(n, MVector(k, k, k));
    for (int e = 0; e < fn.numEdges(); ++e) ASSERT_TRUE(fn.setEdgeSmoothing(e, false));
    for (int f = 0; f < 6; ++f) {
        MIntArray verts;
        fn.getPolygonVertices(f, verts);
        fn.getPolygonNormal(f, face);
        for (int v : verts) {
            ASSERT_TRUE(fn.getFaceVertexNormal(f, v, n));
            expectNear(n, face);
        }
    }
    // Softening the edge between the +z face (0) and the +x face (4) joins their normals there.
    int2 ends;
    int shared = -1;
    for (int e = 0; e < fn.numEdges(); ++e) {
        fn.getEdgeVertices(e, ends);
        if ((ends[0] == 5 && ends[1] == 7) || (ends[0] == 7 && ends[1] == 5)) shared = e;
    }
    ASSERT_GE(shared, 0);
    ASSERT_TRUE(fn.setEdgeSmoothing(shared, true));
    EXPECT_TRUE(fn.isEdgeSmooth(shared));
    fn.getFaceVertexNormal(0, 7, n);
    expectNear(n, MVector(std::sqrt(0.5), 0, std::sqrt(0.5)));
    fn.getFaceVertexNormal(2, 7, n);
    expectNear(n, MVector(0, 1, 0));
    EXPECT_EQ(fn.getFaceVertexNormal(1, 7, n), MS::kInvalidParameter);  // face 1 does not touch vertex 7
    expectValid(fn);
}

TEST_F(MeshPoints, TopologyQueriesFollowPolygonOrder) {
    MFnMesh fn;
    makeGrid(fn, 2, 2);
    MIntArray counts, list;
    ASSERT_TRUE(fn.getVertices(counts, list));
    EXPECT_EQ(counts.length(), 4u);
    EXPECT_EQ(list.length(), 16u);
    EXPECT_EQ(list[4], 1);  // face 1 starts at vertex 1
    int2 ends;
    ASSERT_TRUE(fn.getEdgeVertices(0, ends));
    EXPECT_EQ(ends[0], 0);
    EXPECT_EQ(ends[1], 1);
    EXPECT_EQ(fn.getEdgeVertices(12, ends), MS::kInvalidParameter);
    MIntArray triCounts, triVerts;
    ASSERT_TRUE(fn.getTriangles(triCounts, triVerts));
    EXPECT_EQ(triCounts.length(), 4u);
    EXPECT_EQ(triCounts[0], 2);
    EXPECT_EQ(triVerts.length(), 24u);
    int tri[3];
    ASSERT_TRUE(fn.getPolygonTriangleVertices(3, 1, tri));
    EXPECT_EQ(fn.getPolygonTriangleVertices(3, 2, tri), MS::kInvalidParameter);

    // Creases: set, read back by edge id, zero removes.
    MUintArray ids;
    MDoubleArray values;
    ids.append(7);
    values.append(1.5);
    ids.append(2);
    values.append(0.5);
    ASSERT_TRUE(fn.setCreaseEdges(ids, values));
    MUintArray gotIds;
    MDoubleArray gotValues;
    fn.getCreaseEdges(gotIds, gotValues);
    ASSERT_EQ(gotIds.length(), 2u);
    EXPECT_EQ(gotIds[0], 2u);
    EXPECT_DOUBLE_EQ(gotValues[1], 1.5);
    values[0] = 0;
    values[1] = 0;
    fn.setCreaseEdges(ids, values);
    fn.getCreaseEdges(gotIds, gotValues);
    EXPECT_EQ(gotIds.length(), 0u);
    expectValid(fn);
}
