// delete on components, Delete, polyDelEdge, polyCollapseEdge, polySubdivideEdge and polyConnectComponents
// as MEL runs them: named or selected components, the counts each leaves, one exact undo step each, and
// refusals that change nothing.
#include "ops_fixture.h"

using Strings = std::vector<std::string>;

// Vertex, edge and face counts of a mesh.
struct Counts {
    int v, e, f;
    bool operator==(const Counts& o) const { return v == o.v && e == o.e && f == o.f; }
};
std::ostream& operator<<(std::ostream& os, const Counts& c) {
    return os << c.v << " vertices, " << c.e << " edges, " << c.f << " faces";
}

class ComponentCmdTest : public OpsCmdTest {
protected:
    // The default cube: vertices 0..3 at the front (z = +0.5), faces front, top, back, bottom, right, left.
    void prepare() override { mel("polyCube -ch 0 -n box; select -cl"); }

    Counts counts(const std::string& name = "box") {
        auto m = meshOf(name);
        return Counts{m->numVertices(), m->numEdges(), m->numFaces()};
    }
    std::string edgeName(int a, int b, const std::string& name = "box") {
        return name + ".e[" + std::to_string(meshOf(name)->topology().findEdge(a, b)) + "]";
    }
};

TEST_F(ComponentCmdTest, DeleteRemovesFacesVerticesAndEdges) {
    expectOneUndoStep("delete box.f[0]");
    EXPECT_EQ(counts(), (Counts{8, 12, 5}));  // an open box: every vertex still has faces
    mel("undo");

    // A vertex goes with its three faces.
    expectOneUndoStep("delete box.vtx[0]");
    EXPECT_EQ(counts(), (Counts{7, 9, 3}));
    mel("undo");

    // An edge joins its two faces; its ends, left with two edges, go too: a triangular prism.
    expectOneUndoStep("delete " + edgeName(0, 1));
    EXPECT_EQ(counts(), (Counts{6, 9, 5}));
    mel("undo");

    // Mixed kinds on one line.
    // Mixed kinds on one line: the back face, and the corner with the front, bottom and left faces.
    expectOneUndoStep("delete box.f[2] box.vtx[0]");
    EXPECT_EQ(counts(), (Counts{6, 7, 2}));
}

TEST_F(ComponentCmdTest, DeleteActsOnTheSelectionAndObjectsStillGoWhole) {
    mel("polyCube -ch 0 -n other");
    mel("select box.f[0:1] other");
    expectOneUndoStep("Delete");
    EXPECT_EQ(counts(), (Counts{8, 11, 4}));
    EXPECT_FALSE(scene().find("other"));
    EXPECT_EQ(selection(), Strings{});  // the faces are gone, and so is the object

    mel("select box.f[0]");
    mel("delete");
    EXPECT_EQ(counts().f, 3);
    // Deleting every face leaves an empty mesh, not a deleted object.
    mel("delete box.f[*]");
    EXPECT_EQ(counts(), (Counts{0, 0, 0}));
    EXPECT_TRUE(scene().find("box"));
}

TEST_F(ComponentCmdTest, PolyDelEdgeJoinsFacesAndCleansVerticesOnlyWhenAsked) {
    mel("polyPlane -w 2 -h 2 -sx 2 -sy 2 -ch 0 -n grid");
    mel("select " + edgeName(1, 4, "grid"));
    expectOneUndoStep("polyDelEdge -cv true -ch 1");
    EXPECT_EQ(counts("grid"), (Counts{8, 10, 3}));
    EXPECT_EQ(selection(), Strings{});  // the edge is gone
    mel("undo");
    mel("polyDelEdge -cv false " + edgeName(1, 4, "grid"));
    EXPECT_EQ(counts("grid"), (Counts{9, 11, 3}));

    // Border edges have one face each: nothing to join, a warning, no undo step.
    const size_t steps = undoSteps();
    const std::string before = dump();
    mel("polyDelEdge -cv true " + edgeName(0, 1, "grid"));
    EXPECT_EQ(before, dump());
    EXPECT_EQ(undoSteps(), steps);
}

TEST_F(ComponentCmdTest, PolyCollapseEdgeMergesEdgesAndFaces) {
    mel("select " + edgeName(0, 1));
    expectOneUndoStep("polyCollapseEdge");
    EXPECT_EQ(counts(), (Counts{7, 11, 6}));  // front and bottom become triangles
    mel("undo");
    // A face collapses to a point: the box becomes a pyramid.
    mel("select box.f[0]");
    expectOneUndoStep("polyCollapseEdge");
    EXPECT_EQ(counts(), (Counts{5, 8, 5}));
    const kxh::V3 apex = meshOf("box")->points[0];
    EXPECT_NEAR(apex.z, 0.5, 1e-12);
    EXPECT_NEAR(apex.x, 0, 1e-12);
}

TEST_F(ComponentCmdTest, PolySubdivideEdgeCutsIntoEqualParts) {
    mel("select " + edgeName(0, 1));
    expectOneUndoStep("polySubdivideEdge -ws 0 -s 0 -dv 1 -ch 1");
    EXPECT_EQ(counts(), (Counts{9, 13, 6}));
    auto m = meshOf("box");
    EXPECT_NEAR(m->points[8].x, 0, 1e-12);
    EXPECT_EQ(m->faceSize(0), 5);
    mel("undo");
    mel("polySubdivideEdge -dv 3 " + edgeName(0, 1) + " " + edgeName(2, 3));
    EXPECT_EQ(counts(), (Counts{14, 18, 6}));
    EXPECT_NE(melError("polySubdivideEdge -dv -1 box.e[0]").find("divisions"), std::string::npos);
}

TEST_F(ComponentCmdTest, PolyConnectComponentsSplitsFacesBetweenEdgesAndVertices) {
    // The front face's left and right sides: the front is cut in two, top and bottom faces untouched,
    // left and right faces take the midpoints as a fifth corner.
    mel("select " + edgeName(0, 2) + " " + edgeName(1, 3));
    expectOneUndoStep("polyConnectComponents -ch 1");
    EXPECT_EQ(counts(), (Counts{10, 15, 7}));
    mel("undo");
    // Opposite corners of the front face: a diagonal.
    mel("select box.vtx[0] box.vtx[3]");
    expectOneUndoStep("polyConnectComponents -ch 1");
    EXPECT_EQ(counts(), (Counts{8, 13, 7}));
}

TEST_F(ComponentCmdTest, BadNamesAndEmptySelectionsFailWithoutChange) {
    // The error as the script shows it, after its "line N: " prefix.
    auto error = [this](const std::string& text) {
        std::string e = melError(text);
        return e.substr(e.find(": ") + 2);
    };
    EXPECT_EQ(error("polyDelEdge -cv true -ch 1"), "polyDelEdge: No edges given or selected.");
    EXPECT_EQ(error("polyCollapseEdge"), "polyCollapseEdge: No edges or faces given or selected.");
    EXPECT_EQ(error("polySubdivideEdge -dv 1"), "polySubdivideEdge: No edges given or selected.");
    EXPECT_EQ(error("polyConnectComponents -ch 1"),
              "polyConnectComponents: No edges or vertices given or selected.");
    mel("select box.f[0]");  // faces are not edges
    EXPECT_EQ(error("polyDelEdge"), "polyDelEdge: No edges given or selected.");
    EXPECT_EQ(error("polyDelEdge box.e[99]"), "No object matches name: box.e[99]");
    EXPECT_EQ(error("polyCollapseEdge nothing.e[0]"), "No object matches name: nothing.e[0]");
    EXPECT_EQ(error("polyConnectComponents persp"), "polyConnectComponents: persp is not a polygon mesh.");
    EXPECT_EQ(error("delete box.f[6]"), "No object matches name: box.f[6]");
    EXPECT_NE(error("polyDelEdge -cv maybe box.e[0]").find("-cv"), std::string::npos);
    mel("select -cl");
    EXPECT_EQ(error("Delete"), "Not enough objects or values.");
}

TEST_F(ComponentCmdTest, MergeChainWeldsVerticesMovedOntoOneTarget) {
    // The shape of the merge gesture: three corners moved onto a fourth, then welded with -am at a tiny
    // distance (-am does not apply to more than two vertices; the distance does).
    for (int v = 1; v <= 3; ++v) mel("move -a -0.5 -0.5 0.5 box.vtx[" + std::to_string(v) + "]");
    mel("select box.vtx[0:3]");
    expectOneUndoStep("polyMergeVertex  -d .0001 -am 1 -ch 0");
    EXPECT_EQ(counts().v, 5);
    EXPECT_EQ(counts().f, 5);  // the front face collapsed away
}
