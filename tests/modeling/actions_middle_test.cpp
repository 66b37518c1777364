// The middle-button release actions on a 3 x 3 grid (and a cube and imported models): what each does to
// the topology, that the mesh stays a manifold surface, that each is one undo step (the merge chain
// included), and that the selection is empty afterwards.
//
// The grid "g" (polyPlane -w 3 -h 3 -sx 3 -sy 3) has 16 vertices, 24 edges and 9 faces; vertex 4r + c
// sits at column c, row r; its centre face f[4] has the corners 5, 6, 10, 9.
#include "actions_fixture.h"
#include "modeling/modelingActions.h"

namespace {

constexpr int kCtrl = 0, kShift = 1, kPlain = 2;
constexpr int kVertex = 1, kFace = 2, kEdge = 3;

}  // namespace

class MiddleActionTest : public ActionsTest {
protected:
    void prepare() override {
        ActionsTest::prepare();
        mel("polyPlane -w 3 -h 3 -sx 3 -sy 3 -ch 0 -n g; select -cl");
    }

    int edge(int a, int b, const std::string& object = "g") {
        return meshOf(object)->topology().findEdge(a, b);
    }
    std::string edges(const std::vector<std::pair<int, int>>& pairs, const std::string& object = "g") {
        std::string list;
        for (auto [a, b] : pairs) list += " " + object + ".e[" + std::to_string(edge(a, b, object)) + "]";
        return list;
    }

    // Selects `components`, runs the action, and checks what every action must leave: a valid manifold
    // mesh, an empty selection, and (when it changed the mesh) one more undo step whose undo gives back the
    // scene from before the action.
    void act(const std::string& components, MiddleAction action, const std::string& object = "g") {
        mel("select -r " + components);
        // The context counts the edges of the selection's first item at the press.
        action.edgesAtPress = action.componentKind == kEdge ? int(melStrings("ls -sl -fl").size()) : 0;
        const std::string before = dump();
        const size_t steps = undoSteps();
        const int nonManifoldBefore = nonManifoldVertices(object);
        runMiddleAction(action);
        checkScene(components);
        EXPECT_LE(nonManifoldVertices(object), nonManifoldBefore) << components;
        EXPECT_TRUE(selection().empty()) << components;
        lastChanged = undoSteps() != steps;
        if (lastChanged) {
            EXPECT_EQ(undoSteps(), steps + 1) << components;
            afterAction = dump();
            ASSERT_TRUE(undo());
            // Undo brings the scene back, with the components selected as they were.
            mel("select -r " + components);
            EXPECT_EQ(dump(), before) << "undo of the action on " << components;
            ASSERT_TRUE(kxh::session().interpreter().undoQueue().redo());
        }
    }
    static MiddleAction action(int code, int kind) {
        MiddleAction a;
        a.code = code;
        a.componentKind = kind;
        return a;
    }
    MiddleAction mergeOnto(int target, int mirrorTarget = -1) {
        MiddleAction a = action(kShift, kVertex);
        a.hit.meshPath = kxtest::shapeOf("g");
        a.hit.componentType = rayIntersectionData::kVertex;
        a.hit.componentId = target;
        a.mirrorHit = a.hit;
        a.mirrorHit.componentId = mirrorTarget;
        a.mirror = mirrorTarget >= 0;
        return a;
    }

    bool lastChanged = false;
    std::string afterAction;
};

using Counts = std::array<long, 3>;

TEST_F(MiddleActionTest, APlainReleaseDeletesEdgesVerticesOrFaces) {
    // An inner edge joins the two faces beside it; its ends keep three edges each and stay.
    act(edges({{5, 6}}), action(kPlain, kEdge));
    EXPECT_EQ(counts("g"), (Counts{16, 23, 8}));
    mel("undo");

    // A vertex goes with its four faces; the corner vertex 0 is left without a face and goes too (as do
    // 1 and 4, whose faces all touched vertex 5).
    act("g.vtx[5]", action(kPlain, kVertex));
    EXPECT_EQ(counts("g"), (Counts{12, 16, 5}));
    mel("undo");

    act("g.f[4]", action(kPlain, kFace));
    EXPECT_EQ(counts("g"), (Counts{16, 24, 8}));
    mel("undo");

    // On a closed cube, deleting an edge merges two sides; its ends are left with two edges each and are
    // cleaned away, so the merged side is a quad again.
    mel("polyCube -ch 0 -n box");
    act("box.e[0]", action(kPlain, kEdge), "box");
    EXPECT_EQ(counts("box"), (Counts{6, 9, 5}));
}

TEST_F(MiddleActionTest, AShiftReleaseCollapsesEdgesAndFaces) {
    act(edges({{5, 6}}), action(kShift, kEdge));
    EXPECT_EQ(counts("g"), (Counts{15, 23, 9}));
    mel("undo");
    // A face collapses to one point: its four corners become one, its edges go, the faces around stay.
    act("g.f[4]", action(kShift, kFace));
    EXPECT_EQ(counts("g"), (Counts{13, 20, 8}));
}

TEST_F(MiddleActionTest, AShiftReleaseOnAPickedVertexMergesTheSelectionOntoItInOneUndoStep) {
    const std::vector<MPoint> before = worldPoints("g");
    act("g.vtx[5:6]", mergeOnto(6));
    ASSERT_TRUE(lastChanged);
    EXPECT_EQ(counts("g"), (Counts{15, 23, 9}));
    // The merged vertex is where the picked vertex was.
    bool atTarget = false;
    for (const MPoint& p : worldPoints("g")) atTarget = atTarget || p.distanceTo(before[6]) < 1e-9;
    EXPECT_TRUE(atTarget);
    ASSERT_TRUE(undo());
    EXPECT_EQ(worldPoints("g"), before);
}

TEST_F(MiddleActionTest, AMirroredMergeSendsEachSideToItsOwnTarget) {
    settings().mirrorWorldSpace = 0;
    // 6 and 10 lie right of the plane x = 0, 5 and 9 left of it: 10 joins 6, 9 joins 5, and the centre
    // face between them goes.
    const std::vector<MPoint> before = worldPoints("g");
    act("g.vtx[5:6] g.vtx[9:10]", mergeOnto(6, 5));
    EXPECT_EQ(counts("g"), (Counts{14, 21, 8}));
    int onRight = 0, onLeft = 0;
    for (const MPoint& p : worldPoints("g")) {
        onRight += p.distanceTo(before[6]) < 1e-9;
        onLeft += p.distanceTo(before[5]) < 1e-9;
    }
    EXPECT_EQ(onRight, 1);
    EXPECT_EQ(onLeft, 1);
}

TEST_F(MiddleActionTest, ACtrlReleaseSubdividesOneEdgeAndConnectsMore) {
    act(edges({{5, 6}}), action(kCtrl, kEdge));
    EXPECT_EQ(counts("g"), (Counts{17, 25, 9}));
    mel("undo");
    // Two edges across the centre face: a midpoint on each and the face cut in two.
    act(edges({{5, 6}, {9, 10}}), action(kCtrl, kEdge));
    EXPECT_EQ(counts("g"), (Counts{18, 27, 10}));
    mel("undo");
    // Two opposite corners of the centre face: cut along the diagonal.
    act("g.vtx[5] g.vtx[10]", action(kCtrl, kVertex));
    EXPECT_EQ(counts("g"), (Counts{16, 25, 10}));
}

TEST_F(MiddleActionTest, WithMirrorTwoEdgesAreOneEdgeAndItsMirrorAndAreEachSubdivided) {
    MiddleAction mirrored = action(kCtrl, kEdge);
    mirrored.mirror = true;
    // Edges 4-5 and 6-7 mirror each other across x = 0.
    act(edges({{4, 5}, {6, 7}}), mirrored);
    EXPECT_EQ(counts("g"), (Counts{18, 26, 9}));
    mel("undo");
    // Three edges of the middle column connect: two cuts across faces 1 and 4.
    act(edges({{1, 2}, {5, 6}, {9, 10}}), mirrored);
    EXPECT_EQ(counts("g"), (Counts{19, 29, 11}));
}

TEST_F(MiddleActionTest, ReleasesThatDoNothingLeaveTheMeshButStillEmptyTheSelection) {
    const std::string before = dump();
    // A face selection under ctrl has no action; a release code of 3 belongs to the bevel/extrude.
    act("g.f[4]", action(kCtrl, kFace));
    EXPECT_FALSE(lastChanged);
    EXPECT_EQ(dump(), before);
    mel("select -r g.f[4]");
    runMiddleAction(action(3, kFace));
    EXPECT_EQ(selection(), std::vector<std::string>{"g.f[4]"});
    mel("select -cl");
    EXPECT_EQ(dump(), before);
}

TEST_F(MiddleActionTest, ActionsOnImportedModelsKeepThemManifold) {
    for (const char* model : {"OBJ/box.obj", "OBJ/WusonOBJ.obj"}) {
        SCOPED_TRACE(model);
        mel("file -f -new");
        const std::string o = importModel(model);
        ASSERT_FALSE(o.empty());
        // The scanned model has a few vertices where two fans touch; the actions must add none.
        ASSERT_EQ(nonManifoldVertices(o), std::string(model) == "OBJ/box.obj" ? 0 : nonManifoldVertices(o));
        const Counts start = counts(o);
        kxh::MeshPtr m = meshOf(o);
        const kxh::MeshTopology& topo = m->topology();
        // An inner edge, a tenth of the way through the model.
        int e = -1;
        for (int i = topo.numEdges() / 10; i < topo.numEdges() && e < 0; ++i)
            if (topo.edgeFaces(i).size() == 2) e = i;
        ASSERT_GE(e, 0);
        const int f = topo.edgeFaces(e)[0];
        const std::string edgeName = o + ".e[" + std::to_string(e) + "]";
        const std::string faceName = o + ".f[" + std::to_string(f) + "]";

        act(edgeName, action(kCtrl, kEdge), o);
        EXPECT_EQ(counts(o), (Counts{start[0] + 1, start[1] + 1, start[2]}));
        mel("undo");
        act(edgeName, action(kShift, kEdge), o);
        EXPECT_EQ(counts(o)[0], start[0] - 1);
        mel("undo");
        act(faceName, action(kPlain, kFace), o);
        EXPECT_EQ(counts(o)[2], start[2] - 1);
        mel("undo");
        act(faceName, action(kShift, kFace), o);
        EXPECT_EQ(counts(o)[0], start[0] - (m->faceSize(f) - 1));
        mel("undo");
        act(edgeName, action(kPlain, kEdge), o);
        EXPECT_EQ(counts(o)[2], start[2] - 1);
        mel("undo");
        // Two corners of a face of four or more corners that share no side: the face is cut in two.
        int wide = -1;
        for (int g = m->numFaces() / 2; g < m->numFaces() && wide < 0; ++g)
            if (m->faceSize(g) >= 4) wide = g;
        if (wide >= 0) {
            const int c0 = m->faceVerts[size_t(m->faceOffsets[wide])];
            const int c2 = m->faceVerts[size_t(m->faceOffsets[wide] + 2)];
            act(o + ".vtx[" + std::to_string(c0) + "] " + o + ".vtx[" + std::to_string(c2) + "]",
                action(kCtrl, kVertex), o);
            EXPECT_EQ(counts(o), (Counts{start[0], start[1] + 1, start[2] + 1}));
            mel("undo");
        }
        // The merge chain on the edge's two ends, onto its second end: the edge collapses there.
        const int a = topo.edgeVertex(e, 0), b = topo.edgeVertex(e, 1);
        const MPoint target = worldPoints(o)[size_t(b)];
        MiddleAction merge = action(kShift, kVertex);
        merge.hit.meshPath = kxtest::shapeOf(o);
        merge.hit.componentType = rayIntersectionData::kVertex;
        merge.hit.componentId = b;
        act(o + ".vtx[" + std::to_string(a) + "] " + o + ".vtx[" + std::to_string(b) + "]", merge, o);
        EXPECT_EQ(counts(o)[0], start[0] - 1);
        bool atTarget = false;
        for (const MPoint& p : worldPoints(o)) atTarget = atTarget || p.distanceTo(target) < 1e-9;
        EXPECT_TRUE(atTarget);
        mel("undo");
        EXPECT_EQ(counts(o), start);
    }
}
