// What the view shows under a pixel: depth reads and selection from the screen, and the hilite list.
#include <maya/MGlobal.h>
#include <maya/MStringArray.h>

#include "view_fixture.h"

namespace {

class ScreenTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        place(MPoint(0, 0, 20), MPoint(0, 0, 0));
    }
    float depthAt(short x, short y) {
        float d = -1;
        EXPECT_TRUE(
            view().readDepthMap(x, y, 1, 1, reinterpret_cast<unsigned char*>(&d), M3dView::kDepth_Float));
        return d;
    }
    // The port position of a world point.
    void pixelOf(const MPoint& p, short& x, short& y) { ASSERT_TRUE(view().worldToView(p, x, y)); }
    static std::vector<std::string> selection() {
        MSelectionList list;
        MGlobal::getActiveSelectionList(list);
        MStringArray a;
        list.getSelectionStrings(a);
        std::vector<std::string> out;
        for (unsigned i = 0; i < a.length(); ++i) out.push_back(a[i].asChar());
        return out;
    }
};

TEST_F(ScreenTest, DepthIsOneWhereNothingIsDrawnAndSmallerForNearerSurfaces) {
    EXPECT_EQ(depthAt(320, 240), 1.0f);
    mel("polyCube -w 2 -h 2 -d 2");  // front face at z = 1
    const float cube = depthAt(320, 240);
    EXPECT_LT(cube, 1.0f);
    EXPECT_GT(cube, 0.0f);
    // Perspective depth of a surface 19 units in front of the eye.
    const double n = 0.1, f = 10000, d = 19;
    EXPECT_NEAR(cube, f * (d - n) / (d * (f - n)), 1e-6);
    EXPECT_EQ(depthAt(5, 5), 1.0f);  // beside the cube
    mel("polyPlane -w 1 -h 1 -ax 0 0 1; move 0 0 5 pPlane1");
    EXPECT_LT(depthAt(320, 240), cube);
    // Hidden and intermediate meshes draw nothing.
    mel("setAttr pPlane1.visibility 0");
    EXPECT_EQ(depthAt(320, 240), cube);
    mel("setAttr pCubeShape1.intermediateObject 1");
    EXPECT_EQ(depthAt(320, 240), 1.0f);
    // Surfaces beyond the far clipping plane are clipped.
    mel("setAttr pCubeShape1.intermediateObject 0; setAttr perspShape.farClipPlane 10");
    EXPECT_EQ(depthAt(320, 240), 1.0f);
}

TEST_F(ScreenTest, DepthBlocksAreReadRowByRowFromTheBottom) {
    mel("polyPlane -w 2 -h 2 -ax 0 0 1");  // covers the middle of the port
    short x, y;
    pixelOf(MPoint(1, 1, 0), x, y);  // the plane's top-right corner
    float block[4 * 3];
    ASSERT_TRUE(view().readDepthMap(x - 2, y - 1, 4, 3, reinterpret_cast<unsigned char*>(block),
                                    M3dView::kDepth_Float));
    // Rows y-1, y, y+1; columns x-2 .. x+1: inside below and left of the corner only.
    EXPECT_LT(block[0], 1.0f);
    EXPECT_EQ(block[3], 1.0f);
    EXPECT_EQ(block[2 * 4 + 0], 1.0f);
    unsigned char bytes[2];
    ASSERT_TRUE(view().readDepthMap(320, 240, 2, 1, bytes, M3dView::kDepth_8));
    EXPECT_LT(bytes[0], 255);
    // Blocks reaching outside the port are refused.
    EXPECT_FALSE(view().readDepthMap(639, 0, 2, 1, bytes, M3dView::kDepth_8));
    EXPECT_FALSE(view().readDepthMap(0, 0, 0, 1, bytes, M3dView::kDepth_8));
}

TEST_F(ScreenTest, OrthographicDepthIsLinear) {
    place(MPoint(0, 0, 20), MPoint(0, 0, 0), true);
    mel("setAttr perspShape.nearClipPlane 0; setAttr perspShape.farClipPlane 40; polyPlane -w 4 -h 4 -ax 0 0 "
        "1");
    EXPECT_NEAR(depthAt(320, 240), 0.5, 1e-6);
    EXPECT_NEAR(depthAt(10, 10), 1.0f, 0);  // 30 units across: the plane covers the middle only
}

TEST_F(ScreenTest, SelectFromScreenPicksTheNearestObject) {
    mel("polyCube -n far; move 0 0 -5 far");
    mel("polyCube -n near -w 0.5 -h 0.5 -d 0.5; move 0 0 3 near");
    mel("select -cl");
    ASSERT_TRUE(MGlobal::selectFromScreen(320, 240, MGlobal::kAddToList, MGlobal::kSurfaceSelectMethod));
    EXPECT_EQ(selection(), (std::vector<std::string>{"near"}));
    // Beside the small cube only the far one is under the cursor.
    short x, y;
    pixelOf(MPoint(0.4, 0, -4.5), x, y);
    MGlobal::selectFromScreen(x, y, MGlobal::kAddToList, MGlobal::kSurfaceSelectMethod);
    EXPECT_EQ(selection(), (std::vector<std::string>{"near", "far"}));
    MGlobal::selectFromScreen(320, 240, MGlobal::kXORWithList, MGlobal::kSurfaceSelectMethod);
    EXPECT_EQ(selection(), (std::vector<std::string>{"far"}));
    MGlobal::selectFromScreen(x, y, MGlobal::kRemoveFromList, MGlobal::kSurfaceSelectMethod);
    EXPECT_TRUE(selection().empty());
    MGlobal::selectFromScreen(320, 240, MGlobal::kAddToList, MGlobal::kSurfaceSelectMethod);
    MGlobal::selectFromScreen(x, y, MGlobal::kReplaceList, MGlobal::kSurfaceSelectMethod);
    EXPECT_EQ(selection(), (std::vector<std::string>{"far"}));
    // Empty space: adding changes nothing, replacing clears.
    MGlobal::selectFromScreen(3, 3, MGlobal::kAddToList, MGlobal::kSurfaceSelectMethod);
    EXPECT_EQ(selection(), (std::vector<std::string>{"far"}));
    MGlobal::selectFromScreen(3, 3, MGlobal::kReplaceList, MGlobal::kSurfaceSelectMethod);
    EXPECT_TRUE(selection().empty());
    // Templated objects draw but cannot be picked: the pick goes through to what lies behind.
    mel("setAttr near.template 1");
    MGlobal::selectFromScreen(320, 240, MGlobal::kAddToList, MGlobal::kSurfaceSelectMethod);
    EXPECT_EQ(selection(), (std::vector<std::string>{"far"}));
}

TEST_F(ScreenTest, HiliteListThroughMelAndTheApi) {
    mel("polyCube; polyPlane");
    mel("hilite pCube1");
    MSelectionList list;
    MGlobal::getHiliteList(list);
    EXPECT_EQ(list.length(), 1u);
    mel("hilite pPlane1");
    MGlobal::getHiliteList(list);
    EXPECT_EQ(list.length(), 2u);
    mel("hilite -u pCube1");
    MGlobal::getHiliteList(list);
    EXPECT_EQ(list.length(), 1u);
    mel("hilite -r pCubeShape1");  // a shape hilites its transform
    MGlobal::getHiliteList(list);
    MStringArray names;
    list.getSelectionStrings(names);
    ASSERT_EQ(names.length(), 1u);
    EXPECT_EQ(names[0], MString("pCube1"));
    MSelectionList none;
    MGlobal::setHiliteList(none);
    MGlobal::getHiliteList(list);
    EXPECT_TRUE(list.isEmpty());
}

}  // namespace
