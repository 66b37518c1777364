// Rendering of meshes in a view: what the camera sees lands on the pixels the view's own projection
// (worldToView, readDepthMap) says, shading, display styles, colours and visibility.
#include <maya/MColor.h>
#include <maya/MFnMesh.h>
#include <maya/MSelectionList.h>

#include "view/render_fixture.h"

namespace rendertest {
namespace {

class RenderMeshTest : public RenderTest {
protected:
    // The covered columns of a row: [first, last], or {-1, -1} when the row is all background.
    static std::array<int, 2> coveredSpan(const kxh::view::Frame& f, int y) {
        int first = -1, last = -1;
        for (int x = 0; x < f.width; ++x) {
            if (pixel(f, x, y) == kBackground) continue;
            if (first < 0) first = x;
            last = x;
        }
        return {first, last};
    }
    static bool isGrey(const Rgba& c) { return c[0] == c[1] && c[1] == c[2] && c[3] == 255; }
    // The path of the shape "boxShape", which gets a new current colour set "colorSet1" with every face red.
    static void paintBoxRed(MDagPath& path) {
        MSelectionList list;
        ASSERT_TRUE(list.add("boxShape"));
        ASSERT_TRUE(list.getDagPath(0, path));
        MFnMesh fn(path);
        MString set("colorSet1");
        ASSERT_TRUE(fn.createColorSet(set));
        ASSERT_TRUE(fn.setCurrentColorSetName(set));
        for (int face = 0; face < fn.numPolygons(); ++face)
            ASSERT_TRUE(fn.setFaceColor(MColor(1, 0, 0), face));
    }
};

TEST_F(RenderMeshTest, EmptySceneIsExactlyTheBackground) {
    const kxh::view::Frame& f = refresh();
    ASSERT_EQ(f.width, kWidth);
    ASSERT_EQ(f.height, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) ASSERT_EQ(pixel(f, x, y), kBackground) << x << "," << y;
}

TEST_F(RenderMeshTest, CubeCoversTheCentreWithLitGreyAndLeavesTheCorners) {
    mel("polyCube -w 2 -h 2 -d 2");
    const kxh::view::Frame& f = refresh();
    const Rgba centre = pixel(f, kWidth / 2, kHeight / 2);
    EXPECT_TRUE(isGrey(centre)) << centre[0] << " " << centre[1] << " " << centre[2];
    EXPECT_NE(centre, kBackground);
    // A grey material under a white light: lit, neither black nor white.
    EXPECT_GT(centre[0], 50);
    EXPECT_LT(centre[0], 200);
    for (auto [x, y] :
         {std::array<int, 2>{0, 0}, {kWidth - 1, 0}, {0, kHeight - 1}, {kWidth - 1, kHeight - 1}})
        EXPECT_EQ(pixel(f, x, y), kBackground);
    // Flat shading makes the face towards the camera one colour, lit more than the smooth average.
    mel("modelEditor -e -da flatShaded modelPanel4");
    const kxh::view::Frame& flat = refresh();
    const Rgba flatCentre = pixel(flat, kWidth / 2, kHeight / 2);
    EXPECT_TRUE(isGrey(flatCentre));
    EXPECT_GT(flatCentre[0], 110);
    EXPECT_EQ(pixel(flat, kWidth / 2 - 5, kHeight / 2 + 5), flatCentre);
    EXPECT_EQ(pixel(flat, kWidth / 2 + 7, kHeight / 2 - 6), flatCentre);
}

TEST_F(RenderMeshTest, CoverageMatchesTheViewProjectionAndDepthReads) {
    mel("polyCube -w 2 -h 2 -d 2");
    const kxh::view::Frame& f = refresh();
    // The front face's corners (z = 1) project onto the edges of the covered span.
    const auto left = project(MPoint(-1, 0, 1)), right = project(MPoint(1, 0, 1));
    const auto span = coveredSpan(f, kHeight / 2);
    EXPECT_NEAR(span[0], left[0], 1);
    EXPECT_NEAR(span[1], right[0], 1);
    // A pixel is drawn exactly where the depth read finds a surface.
    std::vector<float> depth(kWidth);
    ASSERT_TRUE(view().readDepthMap(0, kHeight / 2, kWidth, 1, reinterpret_cast<unsigned char*>(depth.data()),
                                    M3dView::kDepth_Float));
    int mismatches = 0;
    for (int x = 0; x < kWidth; ++x) {
        const bool drawn = pixel(f, x, kHeight / 2) != kBackground;
        if (drawn != (depth[size_t(x)] < 1.0f)) ++mismatches;
        if (!drawn) {
            EXPECT_EQ(depth[size_t(x)], 1.0f);
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(RenderMeshTest, CoverageMatchesDepthReadsOverTheWholePortFromAnAngle) {
    mel("polySphere -r 2 -sa 10 -sh 6 -n ball");
    mel("polyCube -w 2 -h 1 -d 3 -n box");
    mel("setAttr box.translate 2.5 0.5 0");
    mel("setAttr box.rotate 20 35 10");
    mel("viewPlace -eye 7 5 9 -la 0.5 0 0 persp");
    mel("select -cl");  // no wireframe over the shading
    const kxh::view::Frame& f = refresh();
    std::vector<float> depth(size_t(kWidth) * kHeight);
    ASSERT_TRUE(view().readDepthMap(0, 0, kWidth, kHeight, reinterpret_cast<unsigned char*>(depth.data()),
                                    M3dView::kDepth_Float));
    int drawn = 0, mismatches = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const bool isDrawn = pixel(f, x, y) != kBackground;
            drawn += isDrawn;
            mismatches += isDrawn != (depth[size_t(y) * kWidth + size_t(x)] < 1.0f);
        }
    }
    EXPECT_GT(drawn, 2000);
    // Only pixels whose centre lies exactly on a silhouette edge may be decided differently.
    EXPECT_LE(mismatches, 3);
}

TEST_F(RenderMeshTest, MovingTheCameraShiftsTheImage) {
    mel("polyCube -w 2 -h 2 -d 2");
    const auto before = coveredSpan(refresh(), kHeight / 2);
    mel("viewPlace -eye 2 0 10 -vd 0 0 -1 persp");
    const auto after = coveredSpan(refresh(), kHeight / 2);
    // The cube moves left, and from x = 2 its right side shows: the span runs from the front face's left
    // edge to the back face's right edge.
    EXPECT_LT(after[0], before[0] - 10);
    EXPECT_NEAR(after[0], project(MPoint(-1, 0, 1))[0], 1);
    EXPECT_NEAR(after[1], project(MPoint(1, 0, -1))[0], 1);
}

TEST_F(RenderMeshTest, OrthographicCamerasDrawToScale) {
    mel("polyCube -w 2 -h 2 -d 2");
    mel("lookThru front");
    mel("camera -e -ow 8 front");
    const kxh::view::Frame& f = refresh();
    // 8 units over 160 pixels: the 2-unit cube spans 40 pixels around the centre.
    const auto span = coveredSpan(f, kHeight / 2);
    EXPECT_NEAR(span[0], 60, 1);
    EXPECT_NEAR(span[1], 100, 1);
}

TEST_F(RenderMeshTest, TransformsPlaceTheMesh) {
    mel("polyCube -w 2 -h 2 -d 2 -n box");
    mel("setAttr box.translateX 3");
    // Seen from the origin's side, the left face shows too.
    const auto span = coveredSpan(refresh(), kHeight / 2);
    EXPECT_NEAR(span[0], project(MPoint(2, 0, -1))[0], 1);
    EXPECT_NEAR(span[1], project(MPoint(4, 0, 1))[0], 1);
}

TEST_F(RenderMeshTest, HiddenAndIntermediateMeshesAreNotDrawn) {
    mel("polyCube -w 2 -h 2 -d 2 -n box");
    mel("setAttr box.visibility 0");
    EXPECT_EQ(coveredSpan(refresh(), kHeight / 2)[0], -1);
    mel("setAttr box.visibility 1");
    mel("setAttr boxShape.intermediateObject 1");
    EXPECT_EQ(coveredSpan(refresh(), kHeight / 2)[0], -1);
    mel("setAttr boxShape.intermediateObject 0");
    EXPECT_NE(coveredSpan(refresh(), kHeight / 2)[0], -1);
}

TEST_F(RenderMeshTest, FacesAtAnAngleAreDarkerThanFacesToTheLight) {
    mel("polyCube -w 2 -h 2 -d 2");
    mel("modelEditor -e -da flatShaded modelPanel4");
    mel("viewPlace -eye 6 6 10 -la 0 0 0 persp");
    const kxh::view::Frame& f = refresh();
    const Rgba front = pixel(f, project(MPoint(0, 0, 1))[0], project(MPoint(0, 0, 1))[1]);
    const Rgba top = pixel(f, project(MPoint(0, 1, 0))[0], project(MPoint(0, 1, 0))[1]);
    const Rgba side = pixel(f, project(MPoint(1, 0, 0))[0], project(MPoint(1, 0, 0))[1]);
    for (const Rgba& c : {front, top, side}) {
        EXPECT_TRUE(isGrey(c));
        EXPECT_NE(c, kBackground);
    }
    // Three faces turned differently towards a light fixed to the camera get three different shades.
    EXPECT_NE(front, top);
    EXPECT_NE(front, side);
    EXPECT_NE(top, side);
}

TEST_F(RenderMeshTest, WireframeDrawsEdgesOnly) {
    mel("polyCube -w 2 -h 2 -d 2");
    mel("select -cl");  // unselected: black edges
    mel("modelEditor -e -displayAppearance wireframe modelPanel4");
    const kxh::view::Frame& f = refresh();
    EXPECT_EQ(pixel(f, kWidth / 2, kHeight / 2), kBackground);
    // The front face's left edge is a black line.
    const auto edge = project(MPoint(-1, 0, 1));

    bool black = false;
    for (int dx = -1; dx <= 1; ++dx) black = black || pixel(f, edge[0] + dx, edge[1]) == Rgba{0, 0, 0, 255};
    EXPECT_TRUE(black);
}

TEST_F(RenderMeshTest, WireframeOnShadedDrawsEdgesOverTheShading) {
    mel("polyCube -w 2 -h 2 -d 2");
    mel("select -cl");  // unselected: no wireframe unless asked, black edges when asked
    const kxh::view::Frame& plain = refresh();
    const auto edge = project(MPoint(-1, 0.5, 1));
    const Rgba shadedAtEdge = pixel(plain, edge[0] + 1, edge[1]);
    EXPECT_NE(shadedAtEdge, (Rgba{0, 0, 0, 255}));

    mel("modelEditor -e -wireframeOnShaded 1 modelPanel4");
    EXPECT_TRUE(mel("modelEditor -q -wireframeOnShaded modelPanel4").asBool());
    const kxh::view::Frame& f = refresh();
    EXPECT_TRUE(isGrey(pixel(f, kWidth / 2, kHeight / 2)));
    EXPECT_NE(pixel(f, kWidth / 2, kHeight / 2), kBackground);
    int black = 0;
    for (int dx = -1; dx <= 1; ++dx) black += pixel(f, edge[0] + dx, edge[1]) == Rgba{0, 0, 0, 255};
    EXPECT_GE(black, 1);
    // Other views keep their own setting.
    EXPECT_FALSE(mel("modelEditor -q -wireframeOnShaded modelPanel1").asBool());
}

TEST_F(RenderMeshTest, DisplayStylesRoundTripThroughModelEditorAndTheView) {
    for (const char* da : {"wireframe", "points", "boundingBox", "flatShaded", "smoothShaded"}) {
        mel(std::string("modelEditor -e -da ") + da + " modelPanel4");
        EXPECT_EQ(mel("modelEditor -q -da modelPanel4").asString(), da);
    }
    EXPECT_EQ(view().displayStyle(), M3dView::kGouraudShaded);
    view().setDisplayStyle(M3dView::kFlatShaded);
    EXPECT_EQ(mel("modelEditor -q -da modelPanel4").asString(), "flatShaded");
    melError("modelEditor -e -da cartoon modelPanel4");
    melError("modelEditor -e -wos 1 noSuchPanel");
}

TEST_F(RenderMeshTest, SmoothShadingBlendsAcrossSoftEdgesAndFlatShadingDoesNot) {
    mel("polySphere -r 3 -sa 12 -sh 8");
    mel("select -cl");
    const int y = kHeight / 2 + 7;  // off the equator's edge ring
    auto distinctShades = [&](const kxh::view::Frame& f) {
        std::vector<Rgba> seen;
        for (int x = 0; x < kWidth; ++x) {
            const Rgba c = pixel(f, x, y);
            if (c != kBackground && std::find(seen.begin(), seen.end(), c) == seen.end()) seen.push_back(c);
        }
        return seen.size();
    };
    const size_t smooth = distinctShades(refresh());
    mel("modelEditor -e -da flatShaded modelPanel4");
    const size_t flat = distinctShades(refresh());
    // Across the sphere's middle row, flat shading shows one shade per facet; smooth shading a gradient.
    EXPECT_LE(flat, 14u);
    EXPECT_GT(smooth, flat + 10);
}

TEST_F(RenderMeshTest, FaceColoursShowWhenDisplayColorsIsOn) {
    mel("polyCube -w 2 -h 2 -d 2 -n box");
    MDagPath path;
    ASSERT_NO_FATAL_FAILURE(paintBoxRed(path));

    const Rgba grey = pixel(refresh(), kWidth / 2, kHeight / 2);
    EXPECT_TRUE(isGrey(grey));
    mel("setAttr boxShape.displayColors 1");
    const Rgba red = pixel(refresh(), kWidth / 2, kHeight / 2);
    EXPECT_GT(red[0], 150);
    EXPECT_EQ(red[1], 0);
    EXPECT_EQ(red[2], 0);
}

TEST_F(RenderMeshTest, EditsToTheMeshShowInTheNextRefresh) {
    mel("polyCube -w 2 -h 2 -d 2 -n box");
    mel("select -cl");
    const auto before = coveredSpan(refresh(), kHeight / 2);
    // The points of the +X side move out: the right edge of the image moves with them.
    mel("move -r 1 0 0 box.vtx[1] box.vtx[3] box.vtx[5] box.vtx[7]");
    const auto after = coveredSpan(refresh(), kHeight / 2);
    EXPECT_EQ(after[0], before[0]);
    EXPECT_NEAR(after[1], project(MPoint(2, 0, 1))[0], 1);
    // Colours changed after they were first shown are shown too.
    MDagPath path;
    ASSERT_NO_FATAL_FAILURE(paintBoxRed(path));
    MFnMesh fn(path);
    mel("setAttr boxShape.displayColors 1");
    EXPECT_EQ(pixel(refresh(), kWidth / 2, kHeight / 2)[1], 0);
    for (int face = 0; face < fn.numPolygons(); ++face) ASSERT_TRUE(fn.setFaceColor(MColor(0, 1, 0), face));
    const Rgba green = pixel(refresh(), kWidth / 2, kHeight / 2);
    EXPECT_EQ(green[0], 0);
    EXPECT_GT(green[1], 100);
}

TEST_F(RenderMeshTest, SelectedMeshesShowTheirWireframe) {
    mel("polyCube -w 2 -h 2 -d 2 -n box");
    mel("select -cl");
    const auto edge = project(MPoint(-1, 0.5, 1));
    auto hasLead = [&](const kxh::view::Frame& f) {
        for (int dx = -1; dx <= 1; ++dx) {
            const Rgba c = pixel(f, edge[0] + dx, edge[1]);
            if (c[1] > 200 && c[0] < 100) return true;
        }
        return false;
    };
    EXPECT_FALSE(hasLead(refresh()));
    mel("select box");
    EXPECT_TRUE(hasLead(refresh()));
}

TEST_F(RenderMeshTest, RefreshDrawsEveryTimeAndFollowsThePortSize) {
    const unsigned first = refresh().serial;
    EXPECT_EQ(refresh().serial, first + 1);
    mel("refresh");
    EXPECT_EQ(kxh::view::lastFrame(*kxh::view::activeView())->serial, first + 2);
    mel("kxhViewSize 64 48");
    const kxh::view::Frame& f = refresh();
    EXPECT_EQ(f.width, 64);
    EXPECT_EQ(f.height, 48);
    EXPECT_EQ(f.rgba.size(), size_t(64 * 48 * 4));
}

}  // namespace
}  // namespace rendertest
