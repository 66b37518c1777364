// Edge rings, edge loops, loop paths and face regions on meshes made with the host's primitives and
// through the API: quad grids, poles and triangle caps of a sphere, valence-3 cube corners, an edge
// shared by three faces, closed loops with the tie rule.
#include <maya/MItMeshEdge.h>

#include "geometry/componentWalkers.h"
#include "geometry_fixture.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>

namespace {

rayIntersectionData edgeRecord(const MDagPath& mesh, int edge) {
    rayIntersectionData hit;
    hit.meshPath = mesh;
    hit.componentType = rayIntersectionData::kEdge;
    hit.componentId = edge;
    return hit;
}

// The world end points of an edge.
void edgeEnds(const MDagPath& mesh, int edge, MPoint& a, MPoint& b) {
    MFnMesh fn(mesh);
    int2 ends;
    fn.getEdgeVertices(edge, ends);
    fn.getPoint(ends[0], a, MSpace::kWorld);
    fn.getPoint(ends[1], b, MSpace::kWorld);
}

class WalkersTest : public GeometryTest {
protected:
    // A 10 x 10 grid of unit quads in the XZ plane, corners at +-5.
    MDagPath grid() {
        mel("polyPlane -w 10 -h 10 -sx 10 -sy 10 -n grid");
        return shapeOf("grid");
    }
    // The edge of the grid from (x0, z0) to (x1, z1).
    int gridEdge(const MDagPath& g, double x0, double z0, double x1, double z1) {
        int e = edgeBetween(g, MPoint(x0, 0, z0), MPoint(x1, 0, z1));
        EXPECT_GE(e, 0);
        return e;
    }
};

TEST_F(WalkersTest, LoopsAndRingsOnAQuadGridRunToTheBorder) {
    MDagPath g = grid();
    int start = gridEdge(g, 0, 1, 1, 1);  // along x, inside the grid

    // The loop runs along z = 1 from border to border: 10 edges, each along x at z = 1.
    std::set<int> loop = idSet(edgeLoopFromEdge(edgeRecord(g, start)));
    EXPECT_EQ(loop.size(), 10u);
    EXPECT_TRUE(loop.count(start));
    for (int e : loop) {
        MPoint a, b;
        edgeEnds(g, e, a, b);
        EXPECT_NEAR(a.z, 1.0, 1e-6);
        EXPECT_NEAR(b.z, 1.0, 1e-6);
    }

    // The ring crosses the column 0 <= x <= 1: one edge per grid line z = -5 .. 5.
    std::set<int> ring = idSet(edgeRingFromEdge(edgeRecord(g, start)));
    EXPECT_EQ(ring.size(), 11u);
    for (int e : ring) {
        MPoint a, b;
        edgeEnds(g, e, a, b);
        EXPECT_NEAR(std::min(a.x, b.x), 0.0, 1e-6);
        EXPECT_NEAR(std::max(a.x, b.x), 1.0, 1e-6);
        EXPECT_NEAR(a.z, b.z, 1e-6);
    }

    // A border edge's loop is the border side (its corners have 3 edges, so it stops at them... and at the
    // grid corners, which have 2).
    int borderEdge = gridEdge(g, 0, 5, 1, 5);
    EXPECT_EQ(idSet(edgeLoopFromEdge(edgeRecord(g, borderEdge))), std::set<int>{borderEdge});
    // Its ring is the same column.
    EXPECT_EQ(idSet(edgeRingFromEdge(edgeRecord(g, borderEdge))), ring);
}

TEST_F(WalkersTest, LoopsStopAtValenceThreeAndPoles) {
    // Every corner of a plain cube has 3 edges: a loop is its own edge; a ring goes round the cube.
    mel("polyCube -n box");
    MDagPath box = shapeOf("box");
    for (int e = 0; e < 12; ++e) {
        EXPECT_EQ(idsOf(edgeLoopFromEdge(edgeRecord(box, e))), std::vector<int>{e}) << e;
        EXPECT_EQ(idSet(edgeRingFromEdge(edgeRecord(box, e))).size(), 4u) << e;
    }

    // A sphere: the poles have 8 edges and are fanned by triangles.
    mel("polySphere -r 1 -sa 8 -sh 4 -n ball");
    MDagPath ball = shapeOf("ball");
    MFnMesh fn(ball);
    int north = vertexAt(ball, MPoint(0, 1, 0));
    ASSERT_GE(north, 0);
    // A meridian edge at the pole: its loop runs down the meridian to the other pole (4 edges) and stops
    // at both poles instead of continuing round the far side.
    int meridian = -1;
    for (int e = 0; e < fn.numEdges() && meridian < 0; ++e) {
        int2 ends;
        fn.getEdgeVertices(e, ends);
        if (ends[0] == north || ends[1] == north) meridian = e;
    }
    ASSERT_GE(meridian, 0);
    std::set<int> loop = idSet(edgeLoopFromEdge(edgeRecord(ball, meridian)));
    EXPECT_EQ(loop.size(), 4u);
    MPoint a, b;
    edgeEnds(ball, meridian, a, b);
    MPoint off = a.y > b.y ? b : a;  // the meridian's lower end fixes its longitude
    for (int e : loop) {
        MPoint p, q;
        edgeEnds(ball, e, p, q);
        for (const MPoint& r : {p, q}) {
            double rxz = std::sqrt(r.x * r.x + r.z * r.z);
            if (rxz < 1e-6) continue;  // a pole
            EXPECT_NEAR(r.x * off.z - r.z * off.x, 0.0, 1e-4) << "edge " << e << " leaves the meridian";
        }
    }

    // A latitude edge next to the cap: its ring climbs through the quads and stops at the triangles.
    int latitude = -1;
    for (int e = 0; e < fn.numEdges() && latitude < 0; ++e) {
        edgeEnds(ball, e, a, b);
        if (std::fabs(a.y - b.y) < 1e-6 && a.y > 0.5) latitude = e;
    }
    ASSERT_GE(latitude, 0);
    std::set<int> ring = idSet(edgeRingFromEdge(edgeRecord(ball, latitude)));
    EXPECT_EQ(ring.size(), 3u);  // the three latitude rings of a 4-band sphere
    // A meridian edge's ring goes round the sphere through the quads of its band.
    edgeEnds(ball, meridian, a, b);
    int bandEdge = -1;
    for (int e = 0; e < fn.numEdges() && bandEdge < 0; ++e) {
        MPoint p, q;
        edgeEnds(ball, e, p, q);
        if (std::fabs(p.y - q.y) > 1e-6 && std::max(p.y, q.y) < 0.9 && std::min(p.y, q.y) > -0.9)
            bandEdge = e;
    }
    ASSERT_GE(bandEdge, 0);
    EXPECT_EQ(idSet(edgeRingFromEdge(edgeRecord(ball, bandEdge))).size(), 8u);
    // A meridian edge of the cap: both its faces are triangles, so the ring is the edge alone.
    EXPECT_EQ(idsOf(edgeRingFromEdge(edgeRecord(ball, meridian))), std::vector<int>{meridian});
}

TEST_F(WalkersTest, RingsDoNotCrossAnEdgeSharedByThreeFaces) {
    // Two quads side by side in the ground plane, and a third standing on their shared edge. The host's
    // MFnMesh::create refuses such a mesh; an imported file brings it in as it is.
    std::vector<MPoint> pts = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 0, 1},
                               {1, 0, 1}, {2, 0, 1}, {1, 1, 0}, {1, 1, 1}};
    const std::string file = testing::TempDir() + "kx_walkers_fin.obj";
    {
        std::ofstream out(file);
        out << "o fin\n";
        for (const MPoint& p : pts) out << "v " << p.x << " " << p.y << " " << p.z << "\n";
        out << "f 1 2 5 4\nf 2 3 6 5\nf 2 7 8 5\n";
    }
    // Imported without the scene check after the command: the validator reports the shared edge.
    kxtest::melOk("file -i \"" + file + "\"");
    std::remove(file.c_str());
    MDagPath fin = shapeOf("fin");
    ASSERT_EQ(MFnMesh(fin).numPolygons(), 3);
    // The import may number the vertices its own way: edges are found by their end points.
    int left = edgeBetween(fin, pts[0], pts[3]), shared = edgeBetween(fin, pts[1], pts[4]),
        right = edgeBetween(fin, pts[2], pts[5]);
    ASSERT_GE(shared, 0);
    std::set<int> ring = idSet(edgeRingFromEdge(edgeRecord(fin, left)));
    EXPECT_EQ(ring, (std::set<int>{left, shared}));
    EXPECT_FALSE(ring.count(right));
    // Started on the shared edge, the ring holds that edge alone.
    EXPECT_EQ(idsOf(edgeRingFromEdge(edgeRecord(fin, shared))), std::vector<int>{shared});

    // Without the third face the ring crosses.
    MDagPath flat = makeMesh(pts, {{0, 1, 4, 3}, {1, 2, 5, 4}});
    EXPECT_EQ(idSet(edgeRingFromEdge(edgeRecord(flat, edgeBetween(flat, 0, 3)))).size(), 3u);
}

TEST_F(WalkersTest, LoopPathTakesTheShorterWayAndTheFirstVertexOnATie) {
    // A latitude ring of the sphere is a closed loop of 8 edges.
    mel("polySphere -r 1 -sa 8 -sh 4 -n ball");
    MDagPath ball = shapeOf("ball");
    MFnMesh fn(ball);
    MSelectionList meshList;
    meshList.add(ball);
    int a = -1;
    MPoint p, q;
    for (int e = 0; e < fn.numEdges() && a < 0; ++e) {
        edgeEnds(ball, e, p, q);
        if (std::fabs(p.y) < 1e-6 && std::fabs(q.y) < 1e-6) a = e;  // the equator
    }
    ASSERT_GE(a, 0);
    std::vector<int> equator = idsOf(edgeLoopFromEdge(edgeRecord(ball, a)));
    ASSERT_EQ(equator.size(), 8u);

    // Walk the equator from a's first vertex to list the edges in that direction.
    int2 ends;
    fn.getEdgeVertices(a, ends);
    std::vector<int> forward;  // forward[k] is k + 1 steps from a leaving ends[0]
    {
        int vertex = ends[0], edge = a;
        for (int k = 0; k < 7; ++k) {
            for (int e : equator) {
                if (e == edge) continue;
                int2 ee;
                fn.getEdgeVertices(e, ee);
                if (ee[0] == vertex || ee[1] == vertex) {
                    forward.push_back(e);
                    vertex = ee[0] == vertex ? ee[1] : ee[0];
                    edge = e;
                    break;
                }
            }
        }
    }
    ASSERT_EQ(forward.size(), 7u);

    auto path = [&](int from, int to) { return idSet(edgeLoopPathBetweenEdges(meshList, from, to)); };
    // Three steps one way, five the other: the short way, ends included.
    EXPECT_EQ(path(a, forward[2]), (std::set<int>{a, forward[0], forward[1], forward[2]}));
    // Three steps the other way (forward[4] is 5 steps forward, 3 backward).
    EXPECT_EQ(path(a, forward[4]), (std::set<int>{a, forward[6], forward[5], forward[4]}));
    // Exactly opposite: 4 each way, the walk leaving a's first vertex wins.
    EXPECT_EQ(path(a, forward[3]), (std::set<int>{a, forward[0], forward[1], forward[2], forward[3]}));
    // The same edge, or an edge off the loop: a alone.
    EXPECT_EQ(idsOf(edgeLoopPathBetweenEdges(meshList, a, a)), std::vector<int>{a});
    int off = -1;
    for (int e = 0; e < fn.numEdges() && off < 0; ++e)
        if (std::find(equator.begin(), equator.end(), e) == equator.end()) off = e;
    EXPECT_EQ(idsOf(edgeLoopPathBetweenEdges(meshList, a, off)), std::vector<int>{a});
}

TEST_F(WalkersTest, LoopPathOnAnOpenLoopUsesTheWalkThatArrives) {
    MDagPath g = grid();
    MSelectionList meshList;
    meshList.add(g);
    int a = gridEdge(g, -1, 0, 0, 0), b = gridEdge(g, 3, 0, 4, 0);
    std::set<int> expected{a};
    for (int x = 0; x < 4; ++x) expected.insert(gridEdge(g, x, 0, x + 1, 0));
    EXPECT_EQ(idSet(edgeLoopPathBetweenEdges(meshList, a, b)), expected);
    EXPECT_EQ(idSet(edgeLoopPathBetweenEdges(meshList, b, a)), expected);
    // An edge across the loop (along z) is not reached by either walk.
    EXPECT_EQ(idsOf(edgeLoopPathBetweenEdges(meshList, a, gridEdge(g, 2, 0, 2, 1))), std::vector<int>{a});
}

TEST_F(WalkersTest, FaceRegionsStayInsideBorderEdges) {
    MDagPath g = grid();
    MFnMesh fn(g);
    auto faceAt = [&](double x, double z) {
        MPoint closest;
        int face = -1;
        fn.getClosestPoint(MPoint(x, 0, z), closest, MSpace::kWorld, &face);
        return face;
    };
    // A border round the 2 x 2 block of faces in -1 <= x, z <= 1.
    std::vector<int> border;
    for (int k = -1; k < 1; ++k) {
        border.push_back(gridEdge(g, k, -1, k + 1, -1));
        border.push_back(gridEdge(g, k, 1, k + 1, 1));
        border.push_back(gridEdge(g, -1, k, -1, k + 1));
        border.push_back(gridEdge(g, 1, k, 1, k + 1));
    }
    MSelectionList borderList = componentList(g, MFn::kMeshEdgeComponent, border);
    MFnSingleIndexedComponent seedFn;
    MObject seed = seedFn.create(MFn::kMeshPolygonComponent);
    seedFn.addElement(faceAt(0.5, 0.5));
    std::set<int> region = idSet(faceRegionWithinEdges(seed, g, borderList));
    EXPECT_EQ(region,
              (std::set<int>{faceAt(-0.5, -0.5), faceAt(0.5, -0.5), faceAt(-0.5, 0.5), faceAt(0.5, 0.5)}));

    // A seed outside the border fills everything else.
    MObject outside = seedFn.create(MFn::kMeshPolygonComponent);
    seedFn.addElement(faceAt(4.5, 4.5));
    EXPECT_EQ(idSet(faceRegionWithinEdges(outside, g, borderList)).size(), 96u);

    // A seed whose edges are all border edges is a region of its own.
    MObject lone = seedFn.create(MFn::kMeshPolygonComponent);
    int face = faceAt(3.5, 3.5);
    seedFn.addElement(face);
    MIntArray ringEdges = faceEdgesComponent(g, lone);
    MSelectionList ringList = componentList(g, MFn::kMeshEdgeComponent, ints(ringEdges));
    EXPECT_EQ(idsOf(faceRegionWithinEdges(lone, g, ringList)), std::vector<int>{face});
}

TEST_F(WalkersTest, EdgeAndFaceListsKeepRepetitionsInComponentOrder) {
    MDagPath g = grid();
    // Two faces sharing an edge: 8 edge ids with the shared one twice.
    MSelectionList faces = componentList(g, MFn::kMeshPolygonComponent, {0, 1});
    MDagPath path;
    MObject faceComponent;
    faces.getDagPath(0, path, faceComponent);
    std::vector<int> edges = ints(faceEdgesComponent(g, faceComponent));
    ASSERT_EQ(edges.size(), 8u);
    std::map<int, int> count;
    for (int e : edges) ++count[e];
    EXPECT_EQ(count.size(), 7u);

    // The faces of those edges, edge by edge: the shared edge brings both faces.
    // A component holds each edge once, in the order given.
    MSelectionList edgeList = componentList(g, MFn::kMeshEdgeComponent, edges);
    edges = idsOf(edgeList);
    ASSERT_EQ(edges.size(), 7u);
    EXPECT_EQ(ints(edgeIdsOfSelectionItem(edgeList)), edges);
    MObject edgeComponent;
    edgeList.getDagPath(0, path, edgeComponent);
    std::vector<int> edgeFaces = ints(edgeFacesComponent(g, edgeComponent));
    size_t expected = 0;
    for (int e : edges) {
        MItMeshEdge it(g);
        int prev;
        it.setIndex(e, prev);
        MIntArray f;
        expected += unsigned(it.getConnectedFaces(f));
    }
    EXPECT_EQ(edgeFaces.size(), expected);
    EXPECT_EQ(std::count(edgeFaces.begin(), edgeFaces.end(), 0), 4);  // one per edge of face 0
    EXPECT_EQ(std::count(edgeFaces.begin(), edgeFaces.end(), 1), 4);
    EXPECT_TRUE(ints(edgeIdsOfSelectionItem(MSelectionList())).empty());
}

}  // namespace
