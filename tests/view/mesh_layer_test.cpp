// The view keeps what its meshes drew (colour and depth) and puts it back while nothing it was drawn from
// changed: frames are the same as when every mesh is drawn again, a refresh that only the locators need
// draws no mesh, and whole-port depth reads (taken from the drawn meshes) agree with one-pixel reads (one
// ray per pixel).
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <cmath>
#include <vector>

#include "view/render_fixture.h"

namespace rendertest {
namespace {

class MeshLayerTest : public RenderTest {
protected:
    void TearDown() override { kxh::view::setMeshLayerReuse(true); }

    // A scene with two meshes from an angle, one selected (wireframe over the shading), and a locator
    // whose points sit on the sphere's surface, where the depth test decides what shows.
    void buildScene() {
        mel("polySphere -r 2 -sa 12 -sh 8 -n ball");
        mel("polyCube -w 2 -h 1 -d 3 -n box; setAttr box.translate 2.5 0.5 0; setAttr box.rotate 20 35 10");
        mel("viewPlace -eye 7 5 9 -la 0.5 0 0 persp");
        Recipe r;
        r.color = {1, 0, 1, 1};
        for (int k = 0; k < 12; ++k) {
            const double a = k * M_PI / 6;
            r.points.push_back(MPoint(2 * std::cos(a), 0, 2 * std::sin(a)));  // the sphere's equator
        }
        r.loop = {MPoint(-2, -2, 0), MPoint(2, -2, 0), MPoint(2, 2, 0), MPoint(-2, 2, 0)};
        makeLocator("marks", r);
        mel("select -r box");
    }

    std::vector<std::uint8_t> frameBytes() { return refresh().rgba; }

    // The frame the view shows now with its kept layer, and the frame drawn from scratch, are the same.
    void expectSameAsFullRedraw(const char* what) {
        const std::vector<std::uint8_t> kept = frameBytes();
        kxh::view::setMeshLayerReuse(false);
        const std::vector<std::uint8_t> drawn = frameBytes();
        kxh::view::setMeshLayerReuse(true);
        ASSERT_EQ(kept.size(), drawn.size()) << what;
        size_t differing = 0;
        for (size_t i = 0; i < kept.size(); ++i) differing += kept[i] != drawn[i];
        EXPECT_EQ(differing, 0u) << what;
        // The next refresh puts the meshes back again.
        const unsigned before = kxh::view::meshLayersDrawn();
        EXPECT_EQ(frameBytes(), drawn) << what;
        EXPECT_EQ(kxh::view::meshLayersDrawn(), before) << what;
    }

    std::vector<float> depthBlock(int x, int y, int w, int h) {
        std::vector<float> d(size_t(w) * size_t(h), -1.0f);
        EXPECT_TRUE(view().readDepthMap(short(x), short(y), unsigned(w), unsigned(h),
                                        reinterpret_cast<unsigned char*>(d.data()), M3dView::kDepth_Float));
        return d;
    }

    // The whole port read at once (from the drawn meshes) against every pixel read alone (a ray each).
    void expectWholePortReadMatchesRays(const char* what, double* maxDifference = nullptr) {
        const std::vector<float> whole = depthBlock(0, 0, kWidth, kHeight);
        int surface = 0, coverageMismatches = 0;
        double worst = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const float ray = depthBlock(x, y, 1, 1)[0];
                const float drawn = whole[size_t(y) * kWidth + size_t(x)];
                if ((ray < 1.0f) != (drawn < 1.0f)) {
                    ++coverageMismatches;
                    continue;
                }
                if (ray == 1.0f) {
                    ASSERT_EQ(drawn, 1.0f) << what << " at " << x << "," << y;
                    continue;
                }
                ++surface;
                worst = std::max(worst, std::fabs(double(ray) - double(drawn)));
            }
        }
        EXPECT_GT(surface, 2000) << what;
        // Only pixels whose centre lies exactly on a silhouette edge may be decided differently.
        EXPECT_LE(coverageMismatches, 3) << what;
        // The drawn depth is the same function of distance, held in 24 bits.
        EXPECT_LT(worst, 1e-6) << what;
        if (maxDifference) *maxDifference = worst;
    }
};

TEST_F(MeshLayerTest, RefreshesPutBackTheMeshesOnlyWhileNothingTheyShowChanged) {
    buildScene();
    refresh();
    const unsigned first = kxh::view::meshLayersDrawn();
    refresh();
    refresh();
    EXPECT_EQ(kxh::view::meshLayersDrawn(), first) << "locators alone need no mesh drawn";
    expectSameAsFullRedraw("unchanged scene");

    // Every change to what the meshes show draws meshes again, and gives the frame a full redraw gives.
    auto changes = [&](const char* what, const std::function<void()>& edit) {
        const unsigned before = kxh::view::meshLayersDrawn();
        edit();
        refresh();
        EXPECT_GT(kxh::view::meshLayersDrawn(), before) << what;
        expectSameAsFullRedraw(what);
    };
    changes("mesh moved", [&] { mel("setAttr box.translateY 1"); });
    changes("selection", [&] { mel("select -r ball"); });
    changes("hilite", [&] { mel("hilite box"); });
    changes("components selected", [&] { mel("select -r ball.vtx[3:5]"); });
    changes("points edited", [&] {
        MSelectionList list;
        ASSERT_TRUE(list.add("ballShape"));
        MDagPath path;
        ASSERT_TRUE(list.getDagPath(0, path));
        MFnMesh fn(path);
        MPoint p;
        fn.getPoint(0, p);
        fn.setPoint(0, p + MVector(0, 0.7, 0));
    });
    changes("camera moved", [&] { mel("viewPlace -eye 6 6 9 -la 0.5 0 0 persp"); });
    changes("flat shading", [&] { mel("modelEditor -e -da flatShaded modelPanel4"); });
    changes("wireframe", [&] { mel("modelEditor -e -da wireframe modelPanel4"); });
    changes("smooth shading", [&] { mel("modelEditor -e -da smoothShaded modelPanel4"); });
    changes("hidden", [&] { mel("setAttr box.visibility 0"); });
    changes("new mesh", [&] { mel("polyCube -w 1 -h 1 -d 1 -n small; setAttr small.translate -2 1 1"); });
    changes("deleted", [&] { mel("delete small"); });
    changes("port size", [&] { mel("kxhViewSize 150 110"); });
    mel("kxhViewSize 160 120");
    refresh();

    // A change that only the locators see draws no mesh.
    const unsigned before = kxh::view::meshLayersDrawn();
    TestLocator::recipes()["marksShape"].color = {0, 1, 1, 1};
    mel("setAttr marks.translateX 0.25");
    refresh();
    EXPECT_EQ(kxh::view::meshLayersDrawn(), before);
    expectSameAsFullRedraw("locator moved");
}

TEST_F(MeshLayerTest, AMeshBeingEditedIsDrawnAloneOverTheMeshesBeforeIt) {
    buildScene();
    mel("polyPlane -w 3 -h 3 -sx 2 -sy 2 -n sheet; setAttr sheet.translate 0 1 1; setAttr sheet.rotateX 70");
    refresh();
    MSelectionList list;
    ASSERT_TRUE(list.add("sheetShape"));
    MDagPath path;
    ASSERT_TRUE(list.getDagPath(0, path));
    MFnMesh sheet(path);
    unsigned before0 = 0;
    // The first edit of the last mesh draws the meshes before it once more; each edit after that draws
    // the sheet alone over them, and the frames stay those of a full redraw.
    for (int step = 0; step < 4; ++step) {
        MPoint p;
        sheet.getPoint(4, p);
        sheet.setPoint(4, p + MVector(0, 0, 0.3));
        const unsigned before = kxh::view::meshLayersDrawn();
        refresh();
        if (step > 0) {
            EXPECT_EQ(kxh::view::meshLayersDrawn(), before + 1) << "step " << step;
        }
        expectSameAsFullRedraw("sheet edited");
        before0 = kxh::view::meshLayersDrawn();
    }
    // Edits that add faces to it (a new topology) keep the meshes before it too.
    MPointArray triangle;
    triangle.append(MPoint(2, 0, 0));
    triangle.append(MPoint(3, 0, 0));
    triangle.append(MPoint(2, 1, 0));
    int added = -1;
    MStatus st;
    sheet.addPolygon(triangle, added, false, 1e-3, MObject::kNullObj, &st);
    ASSERT_TRUE(st == MS::kSuccess);
    refresh();
    EXPECT_EQ(kxh::view::meshLayersDrawn(), before0 + 1);
    expectSameAsFullRedraw("face added");
    const unsigned before = kxh::view::meshLayersDrawn();
    mel("setAttr sheet.translateX 0.5");
    refresh();
    EXPECT_EQ(kxh::view::meshLayersDrawn(), before + 1);
    expectSameAsFullRedraw("sheet moved");
}

TEST_F(MeshLayerTest, WholePortDepthReadsAgreeWithOneRayPerPixel) {
    buildScene();
    mel("select -cl");
    expectWholePortReadMatchesRays("perspective");
    mel("viewPlace -eye 0 3 20 -la 0.5 0 0 -o persp; camera -e -ow 9 persp");
    expectWholePortReadMatchesRays("orthographic");
    // Locators are not part of the depth read, whichever way it is taken.
    Recipe wall;
    wall.stippled = {MPoint(-4, -4, 3), MPoint(4, -4, 3), MPoint(4, 4, 3), MPoint(-4, 4, 3)};
    makeLocator("wall", wall);
    refresh();
    expectWholePortReadMatchesRays("with a locator in front");
}

TEST_F(MeshLayerTest, WholePortDepthReadsFollowEditsAndAreExactlyOneOnTheBackground) {
    const std::vector<float> empty = depthBlock(0, 0, kWidth, kHeight);
    for (float d : empty) ASSERT_EQ(d, 1.0f);
    mel("polyCube -w 2 -h 2 -d 2 -n box");
    // A small block casts rays: no mesh is drawn for it.
    const unsigned before = kxh::view::meshLayersDrawn();
    depthBlock(70, 50, 32, 32);
    EXPECT_EQ(kxh::view::meshLayersDrawn(), before);
    // A whole-port read draws the meshes once; while they stay as they were, the next read draws none.
    const std::vector<float> cube = depthBlock(0, 0, kWidth, kHeight);
    EXPECT_EQ(kxh::view::meshLayersDrawn(), before + 1);
    EXPECT_EQ(depthBlock(0, 0, kWidth, kHeight), cube);
    EXPECT_EQ(kxh::view::meshLayersDrawn(), before + 1);
    const size_t centre = size_t(kHeight / 2) * kWidth + kWidth / 2;
    // Perspective depth of the front face, 9 units in front of the eye.
    const double n = 0.1, f = 10000, d = 9;
    EXPECT_NEAR(cube[centre], f * (d - n) / (d * (f - n)), 1e-6);
    EXPECT_EQ(cube[0], 1.0f);
    mel("setAttr box.translateX 20");  // out of the view
    const std::vector<float> moved = depthBlock(0, 0, kWidth, kHeight);
    EXPECT_EQ(moved[centre], 1.0f);
    // A block inside the port reads the same pixels as the whole port.
    mel("setAttr box.translateX 0");
    const std::vector<float> block = depthBlock(40, 30, 80, 60);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x)
            ASSERT_EQ(block[size_t(y) * 80 + size_t(x)], cube[size_t(y + 30) * kWidth + size_t(x + 40)]);
    // 8-bit reads round the same values.
    std::vector<unsigned char> bytes(size_t(kWidth) * kHeight);
    ASSERT_TRUE(view().readDepthMap(0, 0, kWidth, kHeight, bytes.data(), M3dView::kDepth_8));
    EXPECT_EQ(bytes[0], 255);
    EXPECT_EQ(bytes[centre], (unsigned char)std::lround(cube[centre] * 255.0f));
}

TEST_F(MeshLayerTest, FramesAfterADepthReadInANewPortSizeShowTheBackground) {
    // A port size no other test uses: the depth read is the first thing drawn at it.
    mel("kxhViewSize 131 97");
    mel("polyCube -w 2 -h 2 -d 2 -n box");
    std::vector<float> depth(131 * 97);
    ASSERT_TRUE(view().readDepthMap(0, 0, 131, 97, reinterpret_cast<unsigned char*>(depth.data()),
                                    M3dView::kDepth_Float));
    EXPECT_EQ(depth[0], 1.0f);
    const unsigned before = kxh::view::meshLayersDrawn();
    const kxh::view::Frame& f = refresh();
    EXPECT_EQ(kxh::view::meshLayersDrawn(), before) << "the meshes the depth read drew are put back";
    ASSERT_EQ(f.width, 131);
    EXPECT_EQ(pixel(f, 0, 0), kBackground);
    EXPECT_NE(pixel(f, 65, 48), kBackground);
}

}  // namespace
}  // namespace rendertest
