// A point edit rewrites only the parts of a mesh's GL buffers that the moved vertices reach. A refresh after
// the edit, and after its undo, must show exactly the frame that buffers made afresh from the same mesh show:
// in every display style the meshes are drawn in, as a dormant, selected or hilited object, with colours,
// when an edit turns quads concave (their triangles change), and when so much moves that the buffers are
// made again.
#include <maya/MColor.h>
#include <maya/MDagPath.h>
#include <maya/MFnMesh.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>

#include <string>
#include <vector>

#include "view/render_fixture.h"

namespace rendertest {
namespace {

class RenderPointEditTest : public RenderTest {
protected:
    void TearDown() override { kxh::view::setMeshLayerReuse(true); }

    // A bumpy sphere beside a plane, seen from an angle, so shading, outlines and depth all show.
    void buildScene() {
        mel("polySphere -r 1.6 -sa 16 -sh 12 -n ball");
        mel("polyPlane -w 6 -h 6 -sx 6 -sy 6 -n ground; setAttr ground.translate 0 -1.8 0");
        mel("viewPlace -eye 4 3 6 -la 0 -0.5 0 persp");
        mel("select -cl");
    }

    std::vector<std::uint8_t> frame() { return refresh().rgba; }

    // The frame with every mesh's buffers made again from the meshes and every mesh drawn.
    std::vector<std::uint8_t> freshFrame() {
        kxh::view::forgetMeshBuffers();
        kxh::view::setMeshLayerReuse(false);
        std::vector<std::uint8_t> f = frame();
        kxh::view::setMeshLayerReuse(true);
        return f;
    }

    static size_t differing(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
        if (a.size() != b.size()) return std::max(a.size(), b.size());
        size_t n = 0;
        for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
        return n;
    }

    // Runs `edit` (MEL) on a view that has drawn the scene; the refresh after it must draw the edit, through
    // an in-place update of the kept buffers when `inPlace`, and match a fresh render; so must the refresh
    // after its undo, which shows the frame from before the edit again.
    void expectEditAndUndoMatchFresh(const std::string& what, const std::string& edit, bool inPlace = true) {
        SCOPED_TRACE(what);
        frame();
        const std::vector<std::uint8_t> before = frame();
        const unsigned updates = kxh::view::meshBufferPointUpdates();
        mel(edit);
        const std::vector<std::uint8_t> edited = frame();
        if (inPlace)
            EXPECT_GT(kxh::view::meshBufferPointUpdates(), updates);
        else
            EXPECT_EQ(kxh::view::meshBufferPointUpdates(), updates);
        EXPECT_GT(differing(edited, before), 0u) << "the edit does not show";
        EXPECT_EQ(differing(edited, freshFrame()), 0u) << "after the edit";

        frame();  // the buffers made again above, drawn once, so the undo updates them in place
        mel("undo");
        const std::vector<std::uint8_t> undone = frame();
        EXPECT_EQ(differing(undone, freshFrame()), 0u) << "after the undo";
        EXPECT_EQ(differing(undone, before), 0u) << "the undo does not show the frame from before";
    }
};

const char* const kBump = "move -r 0.3 0.5 0.2 ball.vtx[40:52] ball.vtx[100:104]";

TEST_F(RenderPointEditTest, EditsAndUndoMatchAFreshRenderInEveryDisplayStyle) {
    buildScene();
    for (const char* style : {"smoothShaded", "flatShaded", "wireframe", "points"}) {
        mel(std::string("modelEditor -e -da ") + style + " modelPanel4");
        // Points are drawn without buffers.
        const bool buffered = std::string(style) != "points";
        expectEditAndUndoMatchFresh(style, kBump, buffered);
    }
    mel("modelEditor -e -da smoothShaded -wireframeOnShaded 1 modelPanel4");
    expectEditAndUndoMatchFresh("wireframe on shaded", kBump);
}

TEST_F(RenderPointEditTest, SelectedAndHilitedMeshesMatchAFreshRender) {
    buildScene();
    mel("select -r ball");
    expectEditAndUndoMatchFresh("selected object", kBump);
    // Component mode, as the modeling tool's grab sees the mesh: see-through faces, outlines over all.
    mel("select -r ball.vtx[41]; hilite ball");
    expectEditAndUndoMatchFresh("hilited, smooth", kBump);
    mel("modelEditor -e -da flatShaded modelPanel4");
    expectEditAndUndoMatchFresh("hilited, flat", kBump);
    mel("modelEditor -e -da wireframe modelPanel4");
    expectEditAndUndoMatchFresh("hilited, wireframe", kBump);
}

TEST_F(RenderPointEditTest, ConcaveQuadsColoursAndWholeMeshEditsMatchAFreshRender) {
    buildScene();
    // An inner vertex of the plane pulled past its neighbours' diagonal: the quads around it turn concave
    // and are triangulated the other way.
    expectEditAndUndoMatchFresh("concave quads", "move -r 1.4 0 1.4 ground.vtx[24]");

    MSelectionList list;
    ASSERT_TRUE(list.add("groundShape"));
    MDagPath path;
    ASSERT_TRUE(list.getDagPath(0, path));
    MFnMesh fn(path);
    MString set("colorSet1");
    ASSERT_TRUE(fn.createColorSet(set));
    ASSERT_TRUE(fn.setCurrentColorSetName(set));
    for (int face = 0; face < fn.numPolygons(); ++face)
        ASSERT_TRUE(fn.setFaceColor(MColor(face % 2 ? 1.0f : 0.2f, 0.4f, face % 3 ? 0.9f : 0.1f), face));
    mel("setAttr groundShape.displayColors 1");
    expectEditAndUndoMatchFresh("colours shown, concave quads", "move -r 1.4 0 1.4 ground.vtx[24]");

    // Most of the vertices moved: the buffers are made again rather than rewritten.
    expectEditAndUndoMatchFresh("whole mesh", "move -r 0 0.4 0 ground.vtx[0:40]", false);
}

TEST_F(RenderPointEditTest, APIPointWritesOutsideCommandsShowInTheNextRefresh) {
    buildScene();
    MSelectionList list;
    ASSERT_TRUE(list.add("ballShape"));
    MDagPath path;
    ASSERT_TRUE(list.getDagPath(0, path));
    MFnMesh fn(path);
    MPointArray points;
    ASSERT_TRUE(fn.getPoints(points));
    frame();
    // Two writes between refreshes: the refresh shows both.
    for (unsigned i : {3u, 70u, 71u}) points[i] = points[i] * 1.3;
    ASSERT_TRUE(fn.setPoints(points));
    for (unsigned i : {150u, 151u}) points[i] = points[i] * 0.7;
    ASSERT_TRUE(fn.setPoints(points));
    const std::vector<std::uint8_t> edited = frame();
    EXPECT_EQ(differing(edited, freshFrame()), 0u);
    // Back to the first points: the buffers follow again.
    for (unsigned i : {3u, 70u, 71u}) points[i] = points[i] * (1 / 1.3);
    ASSERT_TRUE(fn.setPoints(points));
    EXPECT_EQ(differing(frame(), freshFrame()), 0u);
}

}  // namespace
}  // namespace rendertest
