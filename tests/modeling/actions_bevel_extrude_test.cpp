// The interactive extrude and bevel, from the shift+ctrl+middle press through drags to the release: the
// history node the press makes, the live plugs while dragging (recorded nowhere), the amounts the drag
// gives, and the one undo step the whole gesture leaves.
//
// The cube "box" is 4 units wide, its front face f[0] at z = 2 faces the front view; 64 pixels across the
// view are 3 units.
#include <maya/MPlug.h>

#include "actions_fixture.h"
#include "modeling/modelingActions.h"

namespace {

constexpr int kVertex = 1, kFace = 2, kEdge = 3;
constexpr short kThreeUnits = 64;

}  // namespace

class BevelExtrudeTest : public ActionsTest {
protected:
    void prepare() override {
        ActionsTest::prepare();
        mel("polyCube -w 4 -h 4 -d 4 -ch 0 -n box; select -cl");
    }
    // The z of every corner of the box's front face.
    std::vector<double> frontZ() {
        kxh::MeshPtr m = meshOf("box");
        std::vector<double> z;
        for (int fv = m->faceOffsets[0]; fv < m->faceOffsets[1]; ++fv)
            z.push_back(m->points[size_t(m->faceVerts[fv])].z);
        return z;
    }
    static std::vector<double> all(double z) { return std::vector<double>(4, z); }

    void press(int kind) { beginBevelOrExtrude(kind, activeSelection(), state); }
    // A drag from the view's centre by (dx, dy) pixels (y grows upwards).
    void drag(int dx, int dy) {
        M3dView v = view();
        dragBevelOrExtrude(v, px(0), py(0), short(px(0) + dx), short(py(0) + dy), state);
    }

    BevelExtrudeState state;
};

TEST_F(BevelExtrudeTest, AnExtrudeFollowsTheDragLiveAndUndoesInOneStep) {
    mel("select -r box.f[0]");
    const std::string before = dump();
    const size_t steps = undoSteps();
    press(kFace);
    ASSERT_TRUE(state.active);
    EXPECT_EQ(state.nodeName, MString("polyExtrudeFace1"));
    EXPECT_EQ(state.selectionCentre, MPoint(0, 0, 2));
    EXPECT_EQ(counts("box"), (std::array<long, 3>{12, 20, 10}));
    EXPECT_EQ(frontZ(), all(2.1));

    // Right pulls the faces out, left pushes them in; nothing is recorded while dragging.
    drag(kThreeUnits, 0);
    EXPECT_FLOAT_EQ(state.extrudeDistance, 3.0f);
    EXPECT_EQ(frontZ(), all(5.0));
    drag(-kThreeUnits, 0);
    EXPECT_FLOAT_EQ(state.extrudeDistance, -3.0f);
    EXPECT_EQ(frontZ(), all(-1.0));
    // Up and down count too: the distance is the cursor's, signed by its horizontal direction.
    drag(0, kThreeUnits);
    EXPECT_FLOAT_EQ(state.extrudeDistance, 3.0f);

    // The release records the amount in the user's unit.
    mel("currentUnit -l mm");
    drag(kThreeUnits, 0);
    commitBevelOrExtrude(state);
    EXPECT_FALSE(state.active);
    checkScene("extrude release");
    EXPECT_EQ(frontZ(), all(5.0));
    EXPECT_NEAR(mel("getAttr polyExtrudeFace1.localTranslateZ").asFloat(), 30.0, 1e-4);
    EXPECT_EQ(undoSteps(), steps + 1);

    const std::string after = dump();
    ASSERT_TRUE(undo());
    mel("currentUnit -l cm");
    EXPECT_EQ(dump(), before);
    ASSERT_TRUE(kxh::session().interpreter().undoQueue().redo());
    EXPECT_EQ(frontZ(), all(5.0));
    EXPECT_EQ(counts("box"), (std::array<long, 3>{12, 20, 10}));
}

TEST_F(BevelExtrudeTest, ABevelTakesItsOffsetFromTheHorizontalDragAndItsSegmentsFromTheVertical) {
    mel("select -r box.e[0]");
    const std::string before = dump();
    press(kEdge);
    ASSERT_TRUE(state.active);
    EXPECT_EQ(state.nodeName, MString("polyBevel1"));
    ASSERT_FALSE(state.offset.isNull());
    ASSERT_FALSE(state.segments.isNull());
    // An offset of 0 welds the bevel back to the cube.
    EXPECT_EQ(counts("box"), (std::array<long, 3>{8, 12, 6}));

    drag(kThreeUnits, 0);
    EXPECT_FLOAT_EQ(state.bevelOffset, 0.3f);
    EXPECT_NEAR(state.offset.asDouble(), 0.3, 1e-6);
    const std::array<long, 3> oneSegment = counts("box");
    EXPECT_EQ(oneSegment[2], 7);
    EXPECT_EQ(nonManifoldVertices("box"), 0);
    // The same distance to the left gives the same offset with the opposite sign.
    drag(-kThreeUnits, 0);
    EXPECT_FLOAT_EQ(state.bevelOffset, -0.3f);

    // Up by 49 pixels keeps one segment, 100 pixels give two, down keeps one; the vertical part leaves the
    // offset alone.
    drag(kThreeUnits, 49);
    EXPECT_EQ(state.segments.asInt(), 1);
    drag(kThreeUnits, 100);
    EXPECT_EQ(state.segments.asInt(), 2);
    EXPECT_FLOAT_EQ(state.bevelOffset, 0.3f);
    EXPECT_EQ(counts("box")[2], oneSegment[2] + 1);
    EXPECT_EQ(nonManifoldVertices("box"), 0);
    drag(kThreeUnits, -100);
    EXPECT_EQ(state.segments.asInt(), 1);

    drag(kThreeUnits, 100);
    commitBevelOrExtrude(state);
    checkScene("bevel release");
    EXPECT_NEAR(mel("getAttr polyBevel1.offset").asFloat(), 0.3, 1e-6);
    EXPECT_EQ(mel("getAttr polyBevel1.segments").asInt(), 2);
    ASSERT_TRUE(undo());
    EXPECT_EQ(dump(), before);
}

TEST_F(BevelExtrudeTest, TheDragAmountsAreTenthsOfTheDistanceAndFiftiethsOfTheHeight) {
    EXPECT_FLOAT_EQ(bevelOffsetForDrag(2.5), 0.25f);
    EXPECT_FLOAT_EQ(bevelOffsetForDrag(-2.5), -0.25f);
    EXPECT_EQ(bevelSegmentsForDrag(0), 1);
    EXPECT_EQ(bevelSegmentsForDrag(49), 1);
    EXPECT_EQ(bevelSegmentsForDrag(99), 1);
    EXPECT_EQ(bevelSegmentsForDrag(100), 2);
    EXPECT_EQ(bevelSegmentsForDrag(251), 5);
    EXPECT_EQ(bevelSegmentsForDrag(-400), 1);
}

TEST_F(BevelExtrudeTest, APressWithVerticesOrNothingSelectedDoesNothingAndNeitherDoesItsRelease) {
    for (auto [kind, components] :
         std::vector<std::pair<int, std::string>>{{kVertex, "box.vtx[0:1]"}, {kFace, ""}}) {
        mel(components.empty() ? std::string("select -cl") : "select -r " + components);
        const std::string before = dump();
        const size_t steps = undoSteps();
        beginBevelOrExtrude(kind, activeSelection(), state);
        EXPECT_FALSE(state.active);
        drag(kThreeUnits, 100);
        commitBevelOrExtrude(state);
        EXPECT_EQ(undoSteps(), steps);
        EXPECT_EQ(dump(), before);
    }
    // No chunk was left open: the next command is an undo step of its own.
    mel("polyPlane -ch 0 -n next");
    mel("polyPlane -ch 0 -n last");
    ASSERT_TRUE(undo());
    EXPECT_EQ(mel("objExists next").asInt(), 1);
}

TEST_F(BevelExtrudeTest, TheSelectionCentreAveragesVerticesEdgeMidpointsOrFaceCentres) {
    MSelectionList list;
    list.add("box.f[0]");
    EXPECT_EQ(selectionCentre(list), MPoint(0, 0, 2));
    list.clear();
    list.add("box.vtx[0:1]");
    EXPECT_EQ(selectionCentre(list), MPoint(0, -2, 2));
    list.clear();
    list.add("box.e[0]");
    EXPECT_EQ(selectionCentre(list), MPoint(0, -2, 2));
    // Only the first item counts; an empty list answers the origin.
    list.add("box.f[1]");
    EXPECT_EQ(selectionCentre(list), MPoint(0, -2, 2));
    EXPECT_EQ(selectionCentre(MSelectionList()), MPoint(0, 0, 0));
}

TEST_F(BevelExtrudeTest, OnImportedModelsTheWholeGestureStaysManifoldAndUndoesInOneStep) {
    for (const char* model : {"OBJ/box.obj", "OBJ/WusonOBJ.obj"}) {
        SCOPED_TRACE(model);
        mel("file -f -new");
        const std::string o = importModel(model);
        ASSERT_FALSE(o.empty());
        kxh::MeshPtr m = meshOf(o);
        const kxh::MeshTopology& topo = m->topology();
        // An inner edge a third of the way through the model, and a face beside it.
        int e = -1;
        for (int i = topo.numEdges() / 3; i < topo.numEdges() && e < 0; ++i)
            if (topo.edgeFaces(i).size() == 2) e = i;
        ASSERT_GE(e, 0);
        const int f = topo.edgeFaces(e)[0];
        const int nonManifold = nonManifoldVertices(o);
        struct Case {
            int kind;
            std::string components;
        };
        for (const Case& c : {Case{kEdge, o + ".e[" + std::to_string(e) + "]"},
                              Case{kFace, o + ".f[" + std::to_string(f) + "]"}}) {
            SCOPED_TRACE(c.components);
            mel("select -r " + c.components);
            const std::string before = dump();
            const size_t steps = undoSteps();
            state = BevelExtrudeState();
            press(c.kind);
            ASSERT_TRUE(state.active);
            ASSERT_GT(state.nodeName.length(), 0u);
            for (int dx : {5, 20, -12, 9}) {
                drag(dx, 60);
                checkScene("drag");
                EXPECT_LE(nonManifoldVertices(o), nonManifold);
            }
            commitBevelOrExtrude(state);
            checkScene("release");
            EXPECT_EQ(undoSteps(), steps + 1);
            ASSERT_TRUE(undo());
            EXPECT_EQ(dump(), before);
        }
    }
}
