// The mesh iterators: edge loops walked through rotational vertex order, poles, component-restricted
// iteration, polygon and edge queries.
#include <maya/MDagPath.h>
#include <maya/MFloatArray.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MFnTransform.h>
#include <maya/MItMeshEdge.h>
#include <maya/MItMeshPolygon.h>
#include <maya/MItMeshVertex.h>
#include <maya/MVector.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "apimesh_util.h"

using namespace apimesh;

using MeshIter = MeshApiTest;

namespace {

MDagPath pathOf(const MFnMesh& fn) {
    return fn.dagPath();
}

// Walks an edge loop from `edge` towards its end `which`: at each vertex of valence four the loop goes on
// with the edge two places further in the vertex's edge list; it stops at a boundary or another valence.
std::vector<int> walkLoop(const MDagPath& path, int edge, int which) {
    MItMeshEdge eit(path);
    MItMeshVertex vit(path);
    std::vector<int> loop{edge};
    int prev;
    for (int guard = 0; guard < 100; ++guard) {
        eit.setIndex(edge, prev);
        int v = eit.index(which);
        vit.setIndex(v, prev);
        MIntArray edges;
        vit.getConnectedEdges(edges);
        if (edges.length() != 4 || vit.onBoundary()) break;
        int at = -1;
        for (unsigned i = 0; i < edges.length(); ++i)
            if (edges[i] == edge) at = int(i);
        int nextEdge = edges[unsigned((at + 2) % 4)];
        eit.setIndex(nextEdge, prev);
        which = eit.index(0) == v ? 1 : 0;
        edge = nextEdge;
        loop.push_back(edge);
    }
    return loop;
}

}  // namespace

TEST_F(MeshIter, EdgeLoopRunsStraightAcrossAQuadPlane) {
    MFnMesh fn;
    makeGrid(fn, 4, 4);
    MDagPath path = pathOf(fn);
    Grid g(4, 4);
    // The edge from vertex (0,2) to (1,2) starts a loop along z = -2.
    int start = -1;
    int2 ends;
    for (int e = 0; e < fn.numEdges(); ++e) {
        fn.getEdgeVertices(e, ends);
        if (std::set<int>{ends[0], ends[1]} == std::set<int>{g.vid(0, 2), g.vid(1, 2)}) start = e;
    }
    ASSERT_GE(start, 0);
    int2 se;
    fn.getEdgeVertices(start, se);
    int towardX = se[0] == g.vid(1, 2) ? 0 : 1;
    std::vector<int> loop = walkLoop(path, start, towardX);
    ASSERT_EQ(loop.size(), 4u);  // across the whole row, stopping at the boundary
    for (int e : loop) {
        MPoint a, b;
        fn.getEdgeVertices(e, ends);
        fn.getPoint(ends[0], a);
        fn.getPoint(ends[1], b);
        EXPECT_EQ(a.z, -2);
        EXPECT_EQ(b.z, -2);
    }
}

TEST_F(MeshIter, LoopStopsAtAPole) {
    // Five quads around a centre vertex (a pole of valence five), each with an outer ring.
    MPointArray pts;
    pts.append(MPoint(0, 0, 0));
    const int n = 5;
    for (int k = 0; k < 2 * n; ++k) {
        double a = 2 * M_PI * k / (2 * n), r = k % 2 ? 1.2 : 1.0;
        pts.append(MPoint(r * std::cos(a), 0, -r * std::sin(a)));
    }
    MIntArray counts, connects;
    for (int k = 0; k < n; ++k) {
        counts.append(4);
        for (int v : {0, 1 + 2 * k, 1 + (2 * k + 1) % (2 * n), 1 + (2 * k + 2) % (2 * n)}) connects.append(v);
    }
    MFnMesh fn;
    MStatus st;
    fn.create(int(pts.length()), n, pts, counts, connects, MObject::kNullObj, &st);
    ASSERT_TRUE(st);
    expectValid(fn);
    MDagPath path = pathOf(fn);
    MItMeshVertex vit(path);
    int prev, valence = 0;
    vit.setIndex(0, prev);
    vit.numConnectedEdges(valence);
    EXPECT_EQ(valence, 5);
    EXPECT_FALSE(vit.onBoundary());
    // Fan order: consecutive edges of the centre share a face.
    MIntArray edges, faces;
    vit.getConnectedEdges(edges);
    vit.getConnectedFaces(faces);
    ASSERT_EQ(faces.length(), 5u);
    MItMeshEdge eit(path);
    for (unsigned i = 0; i < 5; ++i) {
        eit.setIndex(edges[i], prev);
        MIntArray ef;
        eit.getConnectedFaces(ef);
        EXPECT_NE(std::find(ef.begin(), ef.end(), faces[i]), ef.end());
        eit.setIndex(edges[(i + 1) % 5], prev);
        eit.getConnectedFaces(ef);
        EXPECT_NE(std::find(ef.begin(), ef.end(), faces[i]), ef.end());
    }
    // A loop walked into the pole stops there.
    eit.setIndex(edges[0], prev);
    int towardPole = eit.index(0) == 0 ? 0 : 1;
    EXPECT_EQ(walkLoop(path, edges[0], towardPole).size(), 1u);
}

TEST_F(MeshIter, ComponentsRestrictIterationToTheirElementsInOrder) {
    MFnMesh fn;
    makeGrid(fn, 2, 2);
    MDagPath path = pathOf(fn);
    MFnSingleIndexedComponent comp;
    MObject verts = comp.create(MFn::kMeshVertComponent);
    for (int v : {5, 2, 7, 42}) comp.addElement(v);  // 42 does not exist and is skipped
    MStatus st;
    MItMeshVertex vit(path, verts, &st);
    ASSERT_TRUE(st);
    EXPECT_EQ(vit.count(), 3);
    std::vector<int> seen;
    for (; !vit.isDone(); vit.next()) seen.push_back(vit.index());
    EXPECT_EQ(seen, (std::vector<int>{5, 2, 7}));
    vit.reset();
    EXPECT_EQ(vit.index(), 5);
    MObject item = vit.currentItem();
    MFnSingleIndexedComponent one(item);
    EXPECT_EQ(item.apiType(), MFn::kMeshVertComponent);
    EXPECT_EQ(one.elementCount(), 1);
    EXPECT_EQ(one.element(0), 5);

    // A null component walks everything; a component of the wrong kind is refused.
    MItMeshPolygon all(path);
    EXPECT_EQ(all.count(), 4u);
    int n = 0;
    for (; !all.isDone(); all.next()) ++n;
    EXPECT_EQ(n, 4);
    MItMeshEdge wrong(path, verts, &st);
    EXPECT_EQ(st, MS::kInvalidParameter);

    MObject faces = comp.create(MFn::kMeshPolygonComponent);
    comp.addElement(3);
    MItMeshPolygon pit(path, faces);
    EXPECT_EQ(pit.count(), 1u);
    EXPECT_EQ(pit.index(), 3u);
    int prev;
    ASSERT_TRUE(pit.setIndex(0, prev));
    EXPECT_EQ(prev, 3);
    EXPECT_EQ(pit.setIndex(4, prev), MS::kInvalidParameter);
}

TEST_F(MeshIter, PolygonQueries) {
    MFnMesh fn;
    MObject xf = makeGrid(fn, 2, 2);
    MFnTransform(xf).setTranslation(MVector(0, 3, 0), MSpace::kTransform);
    MDagPath path = pathOf(fn);
    MItMeshPolygon pit(path);
    int prev;
    pit.setIndex(3, prev);  // the far inner quad: vertices 4 5 8 7
    MIntArray verts, edges;
    pit.getVertices(verts);
    EXPECT_EQ(verts.vec(), (std::vector<int>{4, 5, 8, 7}));
    pit.getEdges(edges);
    ASSERT_EQ(edges.length(), 4u);
    for (unsigned k = 0; k < 4; ++k) {  // edge k joins corners k and k+1
        int2 ends;
        fn.getEdgeVertices(edges[k], ends);
        EXPECT_EQ(std::set<int>({ends[0], ends[1]}), std::set<int>({verts[k], verts[(k + 1) % 4]}));
    }
    MPoint c = pit.center(MSpace::kWorld);
    EXPECT_EQ(c, MPoint(1.5, 3, -1.5));
    double area = 0;
    pit.getArea(area);
    EXPECT_DOUBLE_EQ(area, 1.0);
    EXPECT_TRUE(pit.onBoundary());
    EXPECT_FALSE(pit.isHoled());
    EXPECT_TRUE(pit.isConvex());
    EXPECT_TRUE(pit.isPlanar());
    MIntArray nbrs;
    pit.getConnectedFaces(nbrs);
    EXPECT_EQ(std::set<int>(nbrs.begin(), nbrs.end()), std::set<int>({1, 2}));
    MPointArray tp;
    MIntArray tv;
    pit.getTriangles(tp, tv, MSpace::kWorld);
    EXPECT_EQ(tv.length(), 6u);
    EXPECT_EQ(tp[0].y, 3);
    EXPECT_FALSE(pit.hasUVs());

    // Lifting one corner bends the face.
    pit.setPoint(MPoint(2, 4, -2), 2, MSpace::kWorld);
    EXPECT_FALSE(pit.isPlanar());
    EXPECT_GT((pit.getArea(area), area), 1.0);
    expectValid(fn);
}

TEST_F(MeshIter, EdgeAndVertexQueries) {
    MFnMesh fn;
    makeGrid(fn, 2, 1);
    MDagPath path = pathOf(fn);
    MItMeshEdge eit(path);
    int prev, interior = -1, boundary = 0;
    for (; !eit.isDone(); eit.next()) {
        MIntArray faces;
        int n = eit.getConnectedFaces(faces);
        EXPECT_EQ(eit.onBoundary(), n == 1);
        if (n == 2)
            interior = eit.index();
        else
            ++boundary;
    }
    EXPECT_EQ(boundary, 6);
    ASSERT_GE(interior, 0);
    eit.setIndex(interior, prev);
    // The shared edge runs along face 0's winding: from vertex 1 to vertex 4.
    EXPECT_EQ(eit.index(0), 1);
    EXPECT_EQ(eit.index(1), 4);
    EXPECT_EQ(eit.center(), MPoint(1, 0, -0.5));
    double len = 0;
    eit.getLength(len);
    EXPECT_DOUBLE_EQ(len, 1.0);
    MIntArray touching;
    EXPECT_EQ(eit.getConnectedEdges(touching), 4);
    EXPECT_TRUE(eit.isSmooth());
    ASSERT_TRUE(eit.setSmoothing(false));
    EXPECT_FALSE(eit.isSmooth());
    EXPECT_FALSE(fn.isEdgeSmooth(interior));
    expectValid(fn);

    MItMeshVertex vit(path);
    vit.setIndex(1, prev);
    int other = -1;
    ASSERT_TRUE(vit.getOppositeVertex(other, interior));
    EXPECT_EQ(other, 4);
    EXPECT_EQ(vit.getOppositeVertex(other, 0 == interior ? 1 : 5), MS::kInvalidParameter);
    MIntArray nb;
    vit.getConnectedVertices(nb);
    EXPECT_EQ(std::set<int>(nb.begin(), nb.end()), std::set<int>({0, 2, 4}));
    EXPECT_TRUE(vit.onBoundary());
    MVector n;
    vit.getNormal(n);
    EXPECT_EQ(n, MVector(0, 1, 0));
    ASSERT_TRUE(vit.translateBy(MVector(0, 1, 0)));
    EXPECT_EQ(vit.position(), MPoint(1, 1, 0));
    MPoint p;
    fn.getPoint(1, p);
    EXPECT_EQ(p, MPoint(1, 1, 0));
    expectValid(fn);
}

TEST_F(MeshIter, UvIndicesThroughIterators) {
    MFnMesh fn;
    makeCube(fn);
    MDagPath path = pathOf(fn);
    MItMeshPolygon pit(path);
    int prev, id = -1;
    pit.setIndex(4, prev);
    EXPECT_TRUE(pit.hasUVs());
    EXPECT_TRUE(pit.hasUVs("map1"));
    ASSERT_TRUE(pit.getUVIndex(1, id));
    EXPECT_EQ(id, 17);
    float u, v;
    pit.getUVIndex(2, id, u, v);
    EXPECT_EQ(u, 5.f);
    MFloatArray us, vs;
    pit.getUVs(us, vs);
    EXPECT_EQ(us.length(), 4u);

    MItMeshVertex vit(path);
    vit.setIndex(7, prev);  // on faces 0, 2 and 4
    MIntArray uvs;
    vit.getUVIndices(uvs);
    EXPECT_EQ(std::set<int>(uvs.begin(), uvs.end()), std::set<int>({2, 10, 18}));
}
