// Edge rings, edge loops, loop paths and face regions on meshes made with the host's primitives and
// through the API: quad grids, poles and triangle caps of a sphere, valence-3 cube corners, an edge
// shared by three faces, closed loops with the tie rule.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>

#include "geometry/componentWalkers.h"
#include "geometry_fixture.h"

namespace {

class WalkersTest : public GeometryTest {
protected:
    // A 10 x 10 grid of unit quads in the XZ plane, corners at +-5.
    MDagPath grid() {
        mel("polyPlane -w 10 -h 10 -sx 10 -sy 10 -n grid");
        return shapeOf("grid");
    }
    // A sphere of radius 1 with 8 sides and 4 bands: poles fanned by triangles.
    MDagPath ball() {
        mel("polySphere -r 1 -sa 8 -sh 4 -n ball");
        return shapeOf("ball");
    }
    // The edge of the grid from (x0, z0) to (x1, z1).
    static int gridEdge(const MDagPath& g, double x0, double z0, double x1, double z1) {
        int e = edgeBetween(g, MPoint(x0, 0, z0), MPoint(x1, 0, z1));
        EXPECT_GE(e, 0);
        return e;
    }
    static void edgeEnds(const MDagPath& mesh, int edge, MPoint& a, MPoint& b) {
        MFnMesh fn(mesh);
        int2 ends;
        fn.getEdgeVertices(edge, ends);
        fn.getPoint(ends[0], a, MSpace::kWorld);
        fn.getPoint(ends[1], b, MSpace::kWorld);
    }
    // The first edge whose world end points pass the test.
    static int firstEdge(const MDagPath& mesh,
                         const std::function<bool(const MPoint&, const MPoint&)>& test) {
        for (int e = 0; e < MFnMesh(mesh).numEdges(); ++e) {
            MPoint a, b;
            edgeEnds(mesh, e, a, b);
            if (test(a, b)) return e;
        }
        ADD_FAILURE() << "no such edge";
        return 0;
    }
    static std::set<int> loop(const MDagPath& m, int e) {
        return idSet(edgeLoopFromEdge(hitRecord(m, rayIntersectionData::kEdge, e)));
    }
    static std::set<int> ring(const MDagPath& m, int e) {
        return idSet(edgeRingFromEdge(hitRecord(m, rayIntersectionData::kEdge, e)));
    }
};

TEST_F(WalkersTest, LoopsAndRingsOnAQuadGridRunToTheBorder) {
    MDagPath g = grid();
    int start = gridEdge(g, 0, 1, 1, 1);  // along x, inside the grid

    // The loop runs along z = 1 from border to border: 10 edges, each along x at z = 1.
    std::set<int> l = loop(g, start);
    EXPECT_EQ(l.size(), 10u);
    EXPECT_TRUE(l.count(start));
    // The ring crosses the column 0 <= x <= 1: one edge per grid line z = -5 .. 5.
    std::set<int> r = ring(g, start);
    EXPECT_EQ(r.size(), 11u);
    for (int e : l) {
        MPoint a, b;
        edgeEnds(g, e, a, b);
        EXPECT_TRUE(std::fabs(a.z - 1) < 1e-6 && std::fabs(b.z - 1) < 1e-6) << "loop edge " << e;
    }
    for (int e : r) {
        MPoint a, b;
        edgeEnds(g, e, a, b);
        EXPECT_TRUE(std::fabs(std::min(a.x, b.x)) < 1e-6 && std::fabs(std::max(a.x, b.x) - 1) < 1e-6 &&
                    std::fabs(a.z - b.z) < 1e-6)
            << "ring edge " << e;
    }

    // A border edge's loop stops at once (its ends have 3 edges); its ring is the same column.
    int borderEdge = gridEdge(g, 0, 5, 1, 5);
    EXPECT_EQ(loop(g, borderEdge), std::set<int>{borderEdge});
    EXPECT_EQ(ring(g, borderEdge), r);
}

TEST_F(WalkersTest, LoopsStopAtValenceThreeAndPolesAndRingsAtTriangles) {
    // Every corner of a plain cube has 3 edges: a loop is its own edge; a ring goes round the cube.
    mel("polyCube -n box");
    MDagPath box = shapeOf("box");
    for (int e = 0; e < 12; ++e) {
        EXPECT_EQ(loop(box, e), std::set<int>{e}) << e;
        EXPECT_EQ(ring(box, e).size(), 4u) << e;
    }

    // A meridian edge at the north pole: its loop runs down the meridian to the other pole (4 edges) and
    // stops at both poles instead of continuing round the far side.
    MDagPath b = ball();
    int meridian = firstEdge(b, [](const MPoint& p, const MPoint& q) { return std::max(p.y, q.y) > 0.999; });
    MPoint a, c;
    edgeEnds(b, meridian, a, c);
    const MPoint off = a.y > c.y ? c : a;  // the meridian's lower end fixes its longitude
    std::set<int> l = loop(b, meridian);
    EXPECT_EQ(l.size(), 4u);
    for (int e : l) {
        edgeEnds(b, e, a, c);
        for (const MPoint& r : {a, c}) EXPECT_NEAR(r.x * off.z - r.z * off.x, 0.0, 1e-4) << "edge " << e;
    }
    // Rings climb through quads and stop at the triangles: a latitude edge next to the cap meets the three
    // latitude rings; a meridian edge of a band goes round the sphere; a cap meridian is alone.
    int latitude = firstEdge(
        b, [](const MPoint& p, const MPoint& q) { return std::fabs(p.y - q.y) < 1e-6 && p.y > 0.5; });
    EXPECT_EQ(ring(b, latitude).size(), 3u);
    int band = firstEdge(b, [](const MPoint& p, const MPoint& q) {
        return std::fabs(p.y - q.y) > 1e-6 && std::max(p.y, q.y) < 0.9 && std::min(p.y, q.y) > -0.9;
    });
    EXPECT_EQ(ring(b, band).size(), 8u);
    EXPECT_EQ(ring(b, meridian), std::set<int>{meridian});
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
    int left = edgeBetween(fin, pts[0], pts[3]), shared = edgeBetween(fin, pts[1], pts[4]);
    ASSERT_GE(shared, 0);
    EXPECT_EQ(ring(fin, left), (std::set<int>{left, shared}));
    EXPECT_EQ(ring(fin, shared), std::set<int>{shared});

    // Without the third face the ring crosses.
    MDagPath flat = makeMesh(pts, {{0, 1, 4, 3}, {1, 2, 5, 4}});
    EXPECT_EQ(ring(flat, edgeBetween(flat, 0, 3)).size(), 3u);
}

TEST_F(WalkersTest, LoopPathTakesTheShorterWayAndTheFirstVertexOnATie) {
    // The equator of the sphere is a closed loop of 8 edges.
    MDagPath b = ball();
    MFnMesh fn(b);
    MSelectionList meshList;
    meshList.add(b);
    int a = firstEdge(
        b, [](const MPoint& p, const MPoint& q) { return std::fabs(p.y) < 1e-6 && std::fabs(q.y) < 1e-6; });
    std::vector<int> equator = idsOf(edgeLoopFromEdge(hitRecord(b, rayIntersectionData::kEdge, a)));
    ASSERT_EQ(equator.size(), 8u);

    // Walk the equator from a's first vertex: forward[k] is k + 1 steps from a.
    int2 ends;
    fn.getEdgeVertices(a, ends);
    std::vector<int> forward;
    for (int vertex = ends[0], edge = a, k = 0; k < 7; ++k) {
        for (int e : equator) {
            int2 ee;
            fn.getEdgeVertices(e, ee);
            if (e == edge || (ee[0] != vertex && ee[1] != vertex)) continue;
            forward.push_back(edge = e);
            vertex = ee[0] == vertex ? ee[1] : ee[0];
            break;
        }
    }
    ASSERT_EQ(forward.size(), 7u);

    auto path = [&](int from, int to) { return idSet(edgeLoopPathBetweenEdges(meshList, from, to)); };
    const int off =
        firstEdge(b, [](const MPoint& p, const MPoint& q) { return std::fabs(p.y - q.y) > 1e-6; });
    struct Row {
        const char* what;
        int to;
        std::set<int> expected;
    };
    for (const Row& row :
         {Row{"3 steps forward, 5 back", forward[2], {a, forward[0], forward[1], forward[2]}},
          Row{"5 steps forward, 3 back", forward[4], {a, forward[6], forward[5], forward[4]}},
          Row{"a tie leaves a's first vertex",
              forward[3],
              {a, forward[0], forward[1], forward[2], forward[3]}},
          Row{"the same edge", a, {a}}, Row{"an edge off the loop", off, {a}}})
        EXPECT_EQ(path(a, row.to), row.expected) << row.what;

    // On an open loop (a grid row) the walk that arrives is used, from either end; an edge across is not
    // reached.
    MDagPath g = grid();
    MSelectionList gridList;
    gridList.add(g);
    int from = gridEdge(g, -1, 0, 0, 0), to = gridEdge(g, 3, 0, 4, 0);
    std::set<int> expected{from};
    for (int x = 0; x < 4; ++x) expected.insert(gridEdge(g, x, 0, x + 1, 0));
    EXPECT_EQ(idSet(edgeLoopPathBetweenEdges(gridList, from, to)), expected);
    EXPECT_EQ(idSet(edgeLoopPathBetweenEdges(gridList, to, from)), expected);
    EXPECT_EQ(idSet(edgeLoopPathBetweenEdges(gridList, from, gridEdge(g, 2, 0, 2, 1))), std::set<int>{from});
}

TEST_F(WalkersTest, FaceRegionsStayInsideBorderEdges) {
    MDagPath g = grid();
    auto face = [&](double x, double z) { return faceAt(g, MPoint(x, 0, z)); };
    auto region = [&](int seedFace, const MSelectionList& border) {
        MFnSingleIndexedComponent fn;
        MObject seed = fn.create(MFn::kMeshPolygonComponent);
        fn.addElement(seedFace);
        return idSet(faceRegionWithinEdges(seed, g, border));
    };
    // A border round the 2 x 2 block of faces in -1 <= x, z <= 1.
    std::vector<int> border;
    for (int k = -1; k < 1; ++k)
        for (const auto& e : {gridEdge(g, k, -1, k + 1, -1), gridEdge(g, k, 1, k + 1, 1),
                              gridEdge(g, -1, k, -1, k + 1), gridEdge(g, 1, k, 1, k + 1)})
            border.push_back(e);
    MSelectionList borderList = componentList(g, MFn::kMeshEdgeComponent, border);
    EXPECT_EQ(region(face(0.5, 0.5), borderList),
              (std::set<int>{face(-0.5, -0.5), face(0.5, -0.5), face(-0.5, 0.5), face(0.5, 0.5)}));
    // A seed outside the border fills everything else.
    EXPECT_EQ(region(face(4.5, 4.5), borderList).size(), 96u);

    // A seed whose edges are all border edges is a region of its own.
    MSelectionList lone = componentList(g, MFn::kMeshPolygonComponent, {face(3.5, 3.5)});
    MDagPath path;
    MObject loneFace;
    lone.getDagPath(0, path, loneFace);
    MSelectionList ringList =
        componentList(g, MFn::kMeshEdgeComponent, ints(faceEdgesComponent(g, loneFace)));
    EXPECT_EQ(region(face(3.5, 3.5), ringList), std::set<int>{face(3.5, 3.5)});
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
    EXPECT_EQ(std::set<int>(edges.begin(), edges.end()).size(), 7u);

    // A component holds each edge once, in the order given; the faces of those edges come edge by edge:
    // faces 0 and 1 once per edge of their own, their three other neighbours once each.
    MSelectionList edgeList = componentList(g, MFn::kMeshEdgeComponent, edges);
    edges = idsOf(edgeList);
    ASSERT_EQ(edges.size(), 7u);
    EXPECT_EQ(ints(edgeIdsOfSelectionItem(edgeList)), edges);
    MObject edgeComponent;
    edgeList.getDagPath(0, path, edgeComponent);
    std::vector<int> edgeFaces = ints(edgeFacesComponent(g, edgeComponent));
    EXPECT_EQ(edgeFaces.size(), 4u + 4u + 3u);
    EXPECT_EQ(std::count(edgeFaces.begin(), edgeFaces.end(), 0), 4);
    EXPECT_EQ(std::count(edgeFaces.begin(), edgeFaces.end(), 1), 4);
    EXPECT_TRUE(ints(edgeIdsOfSelectionItem(MSelectionList())).empty());
}

}  // namespace
