// polyExtrudeFacet: the history node it inserts and answers, the counts of the extrusion, live
// re-evaluation when its plugs change, undoable setAttr in the user's unit, faces kept together or not,
// baking with delete -ch, and refusals.
#include "ops_fixture.h"

using Strings = std::vector<std::string>;

namespace {

// The flags of the modeling context's extrude.
const std::string kExtrude =
    "polyExtrudeFacet -constructionHistory 1 -keepFacesTogether 1 -divisions 1 -ltz .1 -twist 0 -taper 1 "
    "-off 0 "
    "-smoothingAngle 30";

}  // namespace

class ExtrudeCmdTest : public OpsCmdTest {
protected:
    void prepare() override { mel("polyCube -ch 0 -n box; select -cl"); }
    // The z of every corner of face f (the cube's front face lies at z = 0.5).
    std::vector<double> faceZ(int f, const std::string& name = "box") {
        auto m = meshOf(name);
        std::vector<double> z;
        for (int v : faceOf(*m, f)) z.push_back(m->points[size_t(v)].z);
        return z;
    }
};

TEST_F(ExtrudeCmdTest, ExtrudesThroughALiveHistoryNodeAndKeepsTheFacesSelected) {
    mel("select box.f[0]");
    EXPECT_EQ(melStrings(kExtrude), (Strings{"polyExtrudeFace1"}));
    auto m = meshOf("box");
    EXPECT_EQ(m->numVertices(), 12);
    EXPECT_EQ(m->numFaces(), 10);
    EXPECT_EQ(faceZ(0), (std::vector<double>(4, 0.6)));
    EXPECT_EQ(selection(), (Strings{"box.f[0]"}));
    EXPECT_EQ(melStrings("listConnections polyExtrudeFace1.output"), (Strings{"boxShape"}));

    // A plug set outside any command (a drag) re-evaluates the node and the mesh and records nothing.
    const size_t steps = undoSteps();
    kxh::NodePtr node = scene().find("polyExtrudeFace1");
    ASSERT_TRUE(scene().setValue(node->findPlug("localTranslateZ"), kxh::Value(0.25)));
    EXPECT_EQ(faceZ(0), (std::vector<double>(4, 0.75)));
    EXPECT_EQ(undoSteps(), steps);
    checkScene("live localTranslateZ");

    // setAttr is one undo step, in the user's unit.
    mel("currentUnit -l mm");
    expectOneUndoStep("setAttr polyExtrudeFace1.localTranslateZ 5");
    EXPECT_EQ(faceZ(0), (std::vector<double>(4, 1.0)));
    ASSERT_TRUE(undo());
    EXPECT_EQ(faceZ(0), (std::vector<double>(4, 0.75)));
}

TEST_F(ExtrudeCmdTest, TheCommandIsOneUndoStepAndDeleteHistoryBakesIt) {
    mel("select box.f[0]");
    expectOneUndoStep(kExtrude);
    expectOneUndoStep("delete -ch box");
    EXPECT_FALSE(scene().find("polyExtrudeFace1"));
    EXPECT_EQ(meshOf("box")->numFaces(), 10);
    EXPECT_EQ(faceZ(0), (std::vector<double>(4, 0.6)));
    EXPECT_EQ(melInt("polyEvaluate -v box"), 12);
}

TEST_F(ExtrudeCmdTest, ConnectedFacesGoTogetherUnlessAskedOtherwise) {
    mel("polyPlane -w 2 -h 2 -sx 2 -sy 2 -ch 0 -n grid");
    // Two faces sharing an edge: one region with six border edges.
    mel("polyExtrudeFacet -ltz 1 grid.f[0:1]");
    auto m = meshOf("grid");
    EXPECT_EQ(m->numVertices(), 15);
    EXPECT_EQ(m->numFaces(), 10);
    mel("undo");
    mel("polyExtrudeFacet -ltz 1 -kft 0 grid.f[0:1]");
    m = meshOf("grid");
    EXPECT_EQ(m->numVertices(), 17);
    EXPECT_EQ(m->numFaces(), 12);
    // -divisions stacks rings of side faces.
    mel("undo");
    mel("polyExtrudeFacet -ltz 1 -d 3 grid.f[0]");
    m = meshOf("grid");
    EXPECT_EQ(m->numVertices(), 9 + 3 * 4);
    EXPECT_EQ(m->numFaces(), 4 + 3 * 4);
}

TEST_F(ExtrudeCmdTest, AMeshWithHistoryKeepsItUpstream) {
    mel("polyCube -n hist");
    mel("select hist.f[0]");
    expectOneUndoStep(kExtrude);
    EXPECT_EQ(melStrings("listHistory -pdo 1 hist"), (Strings{"polyExtrudeFace1", "polyCube1"}));
    mel("setAttr polyCube1.depth 3");  // the creator still drives the extruded mesh
    EXPECT_EQ(faceZ(0, "hist"), (std::vector<double>(4, 1.6)));

    // A tweaked mesh with history has it folded in first.
    mel("select -cl; polyCube -n tweaked; setAttr tweakedShape.pnts[0] 0 0 1");
    expectOneUndoStep("polyExtrudeFacet -ltz 1 tweaked.f[2]");
    EXPECT_EQ(melStrings("listHistory -pdo 1 tweaked"), (Strings{"polyExtrudeFace2"}));
    EXPECT_EQ(meshOf("tweaked")->points[0].z, 1.5);

    // Without history the edit goes straight into the shape.
    EXPECT_EQ(melStrings("polyExtrudeFacet -ch 0 -ltz 1 box.f[0]"), Strings{});
    EXPECT_EQ(faceZ(0), (std::vector<double>(4, 1.5)));
    EXPECT_EQ(melStrings("listHistory -pdo 1 box"), Strings{});
}

TEST_F(ExtrudeCmdTest, RefusalsChangeNothing) {
    auto error = [this](const std::string& text) {
        std::string e = melError(text);
        return e.substr(e.find(": ") + 2);
    };
    EXPECT_EQ(error(kExtrude), "polyExtrudeFacet: No faces given or selected.");
    mel("select box.e[0]");
    EXPECT_EQ(error(kExtrude), "polyExtrudeFacet: No faces given or selected.");
    EXPECT_EQ(error("polyExtrudeFacet -d 0 box.f[0]"),
              "polyExtrudeFacet: The divisions must be between 1 and 1000.");
    EXPECT_EQ(error("polyExtrudeFacet box.f[9]"), "No object matches name: box.f[9]");
}

TEST_F(ExtrudeCmdTest, ALiveChangeGivesExactlyTheMeshANewExtrusionGives) {
    // The node keeps its extrusion and moves only the lifted vertices when localTranslateZ changes; the
    // result must not differ by a bit from extruding anew at that distance.
    for (const char* name : {"live", "fresh"})
        mel(std::string("polyPlane -w 2 -h 2 -sx 4 -sy 4 -ch 0 -n ") + name);
    mel("polyExtrudeFacet -ltz 0.3 -d 3 live.f[5:6] live.f[9]");
    kxh::NodePtr node = scene().find("polyExtrudeFace1");
    ASSERT_TRUE(scene().setValue(node->findPlug("localTranslateZ"), kxh::Value(0.7)));
    mel("polyExtrudeFacet -ch 0 -ltz 0.7 -d 3 fresh.f[5:6] fresh.f[9]");
    auto live = meshOf("live"), fresh = meshOf("fresh");
    EXPECT_EQ(live->faceVerts, fresh->faceVerts);
    ASSERT_EQ(live->points.size(), fresh->points.size());
    for (size_t i = 0; i < live->points.size(); ++i) {
        EXPECT_EQ(live->points[i].x, fresh->points[i].x) << i;
        EXPECT_EQ(live->points[i].y, fresh->points[i].y) << i;
        EXPECT_EQ(live->points[i].z, fresh->points[i].z) << i;
    }

    // A change of the layout is a new extrusion: one division, then the faces one by one.
    mel("setAttr polyExtrudeFace1.divisions 1");
    EXPECT_EQ(meshOf("live")->numVertices(), 25 + 8);
    mel("setAttr polyExtrudeFace1.keepFacesTogether 0");
    EXPECT_EQ(meshOf("live")->numVertices(), 25 + 12);
    EXPECT_DOUBLE_EQ(meshOf("live")->points[25].y, 0.7);
}

TEST_F(ExtrudeCmdTest, SmoothingAngleMakesTheFoldsOfTheSideFacesHard) {
    // The sides of an extruded cube face continue the cube's sides (no fold) and meet each other and the
    // lifted face at right angles: four edges around the lifted face and four along the sides are hard.
    mel("select box.f[0]");
    mel(kExtrude);
    EXPECT_EQ(meshOf("box")->hardEdges.size(), 8u);
    // A live change moves the lifted vertices only, and the angles are measured again: pushed into the
    // cube, the sides fold back onto the cube's sides, so the four edges where they start are hard too.
    kxh::NodePtr node = scene().find("polyExtrudeFace1");
    ASSERT_TRUE(scene().setValue(node->findPlug("localTranslateZ"), kxh::Value(0.25)));
    EXPECT_EQ(meshOf("box")->hardEdges.size(), 8u);
    ASSERT_TRUE(scene().setValue(node->findPlug("localTranslateZ"), kxh::Value(-0.25)));
    EXPECT_EQ(meshOf("box")->hardEdges.size(), 12u);
    EXPECT_EQ(faceZ(0), (std::vector<double>(4, 0.25)));
    // Without the flag the new edges stay soft.
    mel("undo; select box.f[0]; polyExtrudeFacet -ltz 0.1");
    EXPECT_TRUE(meshOf("box")->hardEdges.empty());
}

TEST_F(ExtrudeCmdTest, TwistTaperAndOffsetShapeTheLiftedFaceAroundItsAxis) {
    // The front face (a unit square at z = 0.5) lifted by 1: its corners lie at (+-0.5, +-0.5, 1.5).
    auto corners = [&] {
        auto m = meshOf("box");
        std::vector<std::array<double, 3>> out;
        for (int v : faceOf(*m, 0))
            out.push_back({m->points[size_t(v)].x, m->points[size_t(v)].y, m->points[size_t(v)].z});
        std::sort(out.begin(), out.end());
        return out;
    };
    auto near = [](const std::vector<std::array<double, 3>>& a, const std::vector<std::array<double, 3>>& b) {
        for (size_t i = 0; i < a.size(); ++i)
            for (int k = 0; k < 3; ++k)
                if (std::abs(a[i][size_t(k)] - b[i][size_t(k)]) > 1e-9) return false;
        return a.size() == b.size();
    };
    const double d = std::sqrt(0.5);
    mel("polyExtrudeFacet -ltz 1 -tp 0.5 box.f[0]");
    EXPECT_TRUE(
        near(corners(), {{-0.25, -0.25, 1.5}, {-0.25, 0.25, 1.5}, {0.25, -0.25, 1.5}, {0.25, 0.25, 1.5}}));
    mel("setAttr polyExtrudeFace1.taper 1; setAttr polyExtrudeFace1.twist 45");
    EXPECT_TRUE(near(corners(), {{-d, 0, 1.5}, {0, -d, 1.5}, {0, d, 1.5}, {d, 0, 1.5}}));
    // The offset pulls every corner toward the axis by its length.
    mel("setAttr polyExtrudeFace1.twist 0; setAttr polyExtrudeFace1.offset 0.1");
    const double c = 0.5 * (d - 0.1) / d;
    EXPECT_TRUE(near(corners(), {{-c, -c, 1.5}, {-c, c, 1.5}, {c, -c, 1.5}, {c, c, 1.5}}));
    // Back to a plain lift, a live change moves the corners straight out again.
    mel("setAttr polyExtrudeFace1.offset 0");
    kxh::NodePtr node = scene().find("polyExtrudeFace1");
    ASSERT_TRUE(scene().setValue(node->findPlug("localTranslateZ"), kxh::Value(2.0)));
    EXPECT_TRUE(near(corners(), {{-0.5, -0.5, 2.5}, {-0.5, 0.5, 2.5}, {0.5, -0.5, 2.5}, {0.5, 0.5, 2.5}}));
    // Rings of the sides take their share: halfway out, half the taper's change.
    mel("polyCube -ch 0 -n other; polyExtrudeFacet -ltz 1 -d 2 -tp 0.5 other.f[0]");
    bool middleRing = false;
    for (const kxh::V3& p : meshOf("other")->points)
        middleRing = middleRing || (std::abs(p.z - 1.0) < 1e-12 && std::abs(std::abs(p.x) - 0.375) < 1e-12);
    EXPECT_TRUE(middleRing);
}
