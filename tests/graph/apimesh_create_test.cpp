// MFnMesh creation and copies: the parent rules, counts, rejected input, and what a copy carries.
#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnMeshData.h>
#include <maya/MFnTransform.h>
#include <maya/MStringArray.h>
#include <maya/MUintArray.h>
#include <maya/MDoubleArray.h>

#include "apimesh_util.h"

using namespace apimesh;

using MeshCreate = MeshApiTest;

TEST_F(MeshCreate, WithoutParentMakesTransformAndShapeAndReturnsTheTransform) {
    MFnMesh fn;
    MObject r = makeGrid(fn, 2, 2);
    ASSERT_EQ(r.apiType(), MFn::kTransform);
    EXPECT_EQ(fn.object().apiType(), MFn::kMesh);
    EXPECT_EQ(MFnDagNode(r).name(), MString("polySurface1"));
    EXPECT_EQ(fn.name(), MString("polySurfaceShape1"));
    EXPECT_EQ(fn.fullPathName(), MString("|polySurface1|polySurfaceShape1"));
    EXPECT_EQ(fn.numVertices(), 9);
    EXPECT_EQ(fn.numPolygons(), 4);
    EXPECT_EQ(fn.numEdges(), 12);
    EXPECT_EQ(fn.numFaceVertices(), 16);
    EXPECT_EQ(fn.polygonVertexCount(3), 4);
    MStatus st;
    fn.polygonVertexCount(4, &st);
    EXPECT_EQ(st, MS::kInvalidParameter);
    // Every mesh has its default UV set, empty until UVs are given.
    EXPECT_EQ(fn.currentUVSetName(), MString("map1"));
    EXPECT_EQ(fn.numUVs(), 0);
    expectValid(fn);
}

TEST_F(MeshCreate, UnderATransformReturnsTheMeshAndIntoMeshDataFillsTheData) {
    MFnTransform xf;
    MObject t = xf.create();
    MFnMesh fn;
    MObject r = makeGrid(fn, 1, 1, t);
    ASSERT_EQ(r.apiType(), MFn::kMesh);
    EXPECT_TRUE(r == fn.object());
    EXPECT_EQ(MFnDagNode(r).parent(0), t);
    expectValid(fn);

    MFnMeshData data;
    MObject d = data.create();
    MFnMesh fd;
    MObject r2 = makeCube(fd, d);
    EXPECT_EQ(r2.apiType(), MFn::kMeshData);
    MFnMesh again(d);
    EXPECT_EQ(again.numVertices(), 8);
    EXPECT_EQ(again.numPolygons(), 6);
    EXPECT_EQ(again.numEdges(), 12);
    EXPECT_EQ(again.numUVs(), 24);
    expectValid(again);
    // Mesh data is not in the DAG: world space is its object space.
    MPoint p;
    EXPECT_TRUE(again.getPoint(7, p, MSpace::kWorld));
    EXPECT_EQ(p, MPoint(0.5, 0.5, 0.5));
}

TEST_F(MeshCreate, RejectsArraysThatDescribeNoValidMesh) {
    const size_t before = kxh::Scene::current().nodeCount();
    Grid g(1, 1);
    MFnMesh fn;
    MStatus st;
    MIntArray bad = g.connects;
    bad[2] = 9;  // no such vertex
    fn.create(4, 1, g.points, g.counts, bad, MObject::kNullObj, &st);
    EXPECT_EQ(st, MS::kInvalidParameter);
    MIntArray shortList = g.connects;
    shortList.remove(3);  // counts say four corners
    fn.create(4, 1, g.points, g.counts, shortList, MObject::kNullObj, &st);
    EXPECT_EQ(st, MS::kInvalidParameter);
    fn.create(5, 1, g.points, g.counts, g.connects, MObject::kNullObj, &st);  // more vertices than points
    EXPECT_EQ(st, MS::kInvalidParameter);
    MIntArray repeated = g.connects;
    repeated[1] = repeated[0];
    fn.create(4, 1, g.points, g.counts, repeated, MObject::kNullObj, &st);
    EXPECT_EQ(st, MS::kInvalidParameter);
    EXPECT_EQ(kxh::Scene::current().nodeCount(), before);
    // A parent that is neither a transform nor mesh data.
    MFnMesh other;
    MObject shape = (makeGrid(other, 1, 1), other.object());
    fn.create(g.numVertices(), g.numFaces(), g.points, g.counts, g.connects, shape, &st);
    EXPECT_EQ(st, MS::kInvalidParameter);
}

TEST_F(MeshCreate, UvsGivenToCreateAreStoredNotAssigned) {
    Grid g(1, 1);
    MFloatArray u, v;
    for (float x : {0.f, 1.f, 1.f, 0.f}) u.append(x);
    for (float y : {0.f, 0.f, 1.f, 1.f}) v.append(y);
    MFnMesh fn;
    MStatus st;
    fn.create(4, 1, g.points, g.counts, g.connects, u, v, MObject::kNullObj, &st);
    ASSERT_TRUE(st);
    EXPECT_EQ(fn.numUVs(), 4);
    MIntArray counts, ids;
    ASSERT_TRUE(fn.getAssignedUVs(counts, ids));
    EXPECT_EQ(counts.length(), 1u);
    EXPECT_EQ(counts[0], 0);
    EXPECT_EQ(ids.length(), 0u);
    int id;
    EXPECT_EQ(fn.getPolygonUVid(0, 0, id), MS::kFailure);
    MFloatArray shortV = v;
    shortV.remove(0);
    fn.create(4, 1, g.points, g.counts, g.connects, u, shortV, MObject::kNullObj, &st);
    EXPECT_EQ(st, MS::kInvalidParameter);
}

TEST_F(MeshCreate, CopyCarriesGeometryAndMapsAndIsIndependent) {
    MFnMesh src;
    MObject srcXf = makeCube(src);
    MUintArray creased;
    creased.append(3);
    MDoubleArray values;
    values.append(2.5);
    ASSERT_TRUE(src.setCreaseEdges(creased, values));
    ASSERT_TRUE(src.setEdgeSmoothing(5, false));

    MFnMesh dup;
    MStatus st;
    MObject r = dup.copy(src.object(), MObject::kNullObj, &st);
    ASSERT_TRUE(st);
    EXPECT_EQ(r.apiType(), MFn::kTransform);
    EXPECT_FALSE(r == srcXf);
    EXPECT_FALSE(dup.object() == src.object());
    EXPECT_EQ(dup.numVertices(), 8);
    EXPECT_EQ(dup.numUVs(), 24);
    MUintArray ids;
    MDoubleArray vals;
    ASSERT_TRUE(dup.getCreaseEdges(ids, vals));
    ASSERT_EQ(ids.length(), 1u);
    EXPECT_EQ(ids[0], 3u);
    EXPECT_DOUBLE_EQ(vals[0], 2.5);
    EXPECT_FALSE(dup.isEdgeSmooth(5));
    EXPECT_TRUE(dup.isEdgeSmooth(4));
    expectValid(dup);

    // Editing the copy leaves the source alone.
    MPoint far(10, 10, 10);
    ASSERT_TRUE(dup.setPoint(0, far));
    MPoint p;
    src.getPoint(0, p);
    EXPECT_EQ(p, MPoint(-0.5, -0.5, -0.5));

    // A copy from a transform, into mesh data.
    MFnMeshData data;
    MObject d = data.create();
    MObject r2 = dup.copy(srcXf, d, &st);
    ASSERT_TRUE(st);
    EXPECT_EQ(r2.apiType(), MFn::kMeshData);
    EXPECT_EQ(MFnMesh(d).numPolygons(), 6);
    dup.copy(MObject(), MObject::kNullObj, &st);
    EXPECT_EQ(st, MS::kInvalidParameter);
}

TEST_F(MeshCreate, AttachingChecksTheObject) {
    MStatus st;
    MFnTransform xf;
    MObject t = xf.create();
    MFnMesh onTransform(t, &st);
    EXPECT_EQ(st, MS::kInvalidParameter);  // an object must be the mesh itself; a path may be its transform
    EXPECT_EQ(onTransform.numVertices(&st), 0);
    EXPECT_EQ(st, MS::kFailure);

    MFnMesh fn;
    MObject meshXf = makeGrid(fn, 1, 1);
    MDagPath path;
    ASSERT_TRUE(MDagPath::getAPathTo(meshXf, path));
    MFnMesh byPath(path, &st);
    ASSERT_TRUE(st);
    EXPECT_TRUE(byPath.object() == fn.object());
    EXPECT_EQ(byPath.dagPath().fullPathName(), MString("|polySurface1|polySurfaceShape1"));

    // A transform holding an intermediate mesh and a visible one stands for the visible one.
    MFnMesh orig;
    makeGrid(orig, 2, 2, meshXf);
    ASSERT_TRUE(orig.setIntermediateObject(true));
    MFnMesh picked(path, &st);
    ASSERT_TRUE(st);
    EXPECT_EQ(picked.numVertices(), 4);
    ASSERT_TRUE(orig.setIntermediateObject(false));
    MFnMesh ambiguous(path, &st);
    EXPECT_EQ(st, MS::kInvalidParameter);
    // Attaching through the same transform path again follows the shapes' current state: the other one
    // visible now, then the first again.
    ASSERT_TRUE(fn.setIntermediateObject(true));
    MFnMesh other(path, &st);
    ASSERT_TRUE(st);
    EXPECT_EQ(other.numVertices(), 9);
    EXPECT_TRUE(other.object() == orig.object());
    EXPECT_EQ(other.dagPath().fullPathName(), orig.dagPath().fullPathName());
    ASSERT_TRUE(fn.setIntermediateObject(false));
    ASSERT_TRUE(orig.setIntermediateObject(true));
    MFnMesh again(path, &st), twice(path, &st);
    ASSERT_TRUE(st);
    EXPECT_EQ(again.numVertices(), 4);
    EXPECT_TRUE(again.object() == fn.object() && twice.object() == fn.object());
    EXPECT_EQ(twice.dagPath().fullPathName(), MString("|polySurface1|polySurfaceShape1"));
}

TEST_F(MeshCreate, AddPolygonMergesVerticesAndDeleteFaceDropsUnusedOnes) {
    MFnMesh fn;
    makeGrid(fn, 1, 1);
    MPointArray tri;
    tri.append(MPoint(1, 0, 0));   // vertex 1
    tri.append(MPoint(2, 0, 0));   // new
    tri.append(MPoint(1, 0, -1));  // vertex 3
    int face = -1;
    MStatus st;
    fn.addPolygon(tri, face, true, 1e-6, MObject::kNullObj, &st);
    ASSERT_TRUE(st);
    EXPECT_EQ(face, 1);
    EXPECT_EQ(fn.numVertices(), 5);
    EXPECT_EQ(fn.numEdges(), 6);
    expectValid(fn);

    ASSERT_TRUE(fn.deleteFace(0));
    EXPECT_EQ(fn.numPolygons(), 1);
    EXPECT_EQ(fn.numVertices(), 3);
    MIntArray verts;
    fn.getPolygonVertices(0, verts);
    EXPECT_EQ(verts.length(), 3u);
    expectValid(fn);
    EXPECT_EQ(fn.deleteFace(3), MS::kInvalidParameter);
}
