// Plug-in locators in the graph and in the views: base attributes and matrices, the draw call's
// arguments, points / line loops / stippled polygons on the right pixels, draw order, and GL state that a
// locator leaves behind not reaching what is drawn after it.
#include <maya/MFnDependencyNode.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>

#include "view/render_fixture.h"

namespace rendertest {
namespace {

const Rgba kRed{255, 0, 0, 255};
const Rgba kGreen{0, 255, 0, 255};

class RenderLocatorTest : public RenderTest {
protected:
    static Recipe pointsAt(std::vector<MPoint> points, std::array<float, 4> color = {1, 0, 0, 1}) {
        Recipe r;
        r.points = std::move(points);
        r.color = color;
        return r;
    }
    // Every pixel of the 3x3 block around (x, y) has the colour.
    static void expectBlock(const kxh::view::Frame& f, std::array<int, 2> at, const Rgba& color) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                EXPECT_EQ(pixel(f, at[0] + dx, at[1] + dy), color)
                    << "at " << at[0] + dx << "," << at[1] + dy;
    }
    MObject nodeObject(const std::string& name) {
        MSelectionList list;
        EXPECT_TRUE(list.add(name.c_str()));
        MObject o;
        list.getDependNode(0, o);
        return o;
    }
};

// --- the graph side ----------------------------------------------------------------------------------------

TEST_F(RenderLocatorTest, LocatorsHaveTheBaseAttributesAndFollowTheirTransform) {
    makeLocator("loc", Recipe{});
    EXPECT_EQ(mel("nodeType locShape").asString(), "kxhTestLocator");
    mel("setAttr loc.translate 1 2 3");
    mel("setAttr locShape.localPosition 0.5 0 0");
    // worldPosition is localPosition carried through the world matrix; the plug-in's own compute is not
    // asked for the matrices the host computes.
    const std::vector<double> wp = mel("getAttr locShape.worldPosition[0]").asFloatArray();
    ASSERT_EQ(wp.size(), 3u);
    EXPECT_DOUBLE_EQ(wp[0], 1.5);
    EXPECT_DOUBLE_EQ(wp[1], 2);
    EXPECT_DOUBLE_EQ(wp[2], 3);
    mel("setAttr loc.translateX -4");
    EXPECT_DOUBLE_EQ(mel("getAttr locShape.worldPosition[0].worldPositionX").asFloat(), -3.5);

    MPlug wm(nodeObject("locShape"), MPxLocatorNode::worldMatrix);
    ASSERT_FALSE(wm.isNull());
    MObject data;
    ASSERT_TRUE(wm.elementByLogicalIndex(0).getValue(data));
    EXPECT_TRUE(MPxLocatorNode::localScale.isNull() == false);
    EXPECT_EQ(mel("getAttr locShape.localScaleY").asFloat(), 1.0);
}

TEST_F(RenderLocatorTest, DrawIsCalledWithThePathTheStyleTheStatusAndTheWorldMatrix) {
    makeLocator("loc", Recipe{});
    mel("setAttr loc.translate 1 2 3");
    mel("select -cl");
    refresh();
    ASSERT_EQ(TestLocator::calls().size(), 1u);
    const DrawCall& call = TestLocator::calls()[0];
    EXPECT_EQ(call.node, "locShape");
    EXPECT_EQ(call.path, "locShape");
    EXPECT_EQ(call.style, M3dView::kGouraudShaded);
    EXPECT_EQ(call.status, M3dView::kDormant);
    // The model-view is the view's matrix times the locator's world matrix: the locator's origin sits at
    // (1, 2, 3) in world space, so (1, 2, 3 - 10) in the eye space of a camera at (0, 0, 10).
    EXPECT_NEAR(call.modelView[12], 1, 1e-9);
    EXPECT_NEAR(call.modelView[13], 2, 1e-9);
    EXPECT_NEAR(call.modelView[14], -7, 1e-9);

    mel("select loc");
    mel("modelEditor -e -da wireframe modelPanel4");
    refresh();
    ASSERT_EQ(TestLocator::calls().size(), 2u);
    EXPECT_EQ(TestLocator::calls()[1].status, M3dView::kLead);
    EXPECT_EQ(TestLocator::calls()[1].style, M3dView::kWireFrame);
}

TEST_F(RenderLocatorTest, HiddenLocatorsAreNotDrawn) {
    makeLocator("loc", pointsAt({MPoint(0, 0, 0)}));
    mel("setAttr loc.visibility 0");
    refresh();
    EXPECT_TRUE(TestLocator::calls().empty());
    mel("setAttr loc.visibility 1");
    mel("setAttr locShape.visibility 0");
    refresh();
    EXPECT_TRUE(TestLocator::calls().empty());
    mel("setAttr locShape.visibility 1");
    mel("delete loc");
    EXPECT_EQ(pixel(refresh(), kWidth / 2, kHeight / 2), kBackground);
    EXPECT_TRUE(TestLocator::calls().empty());
}

TEST_F(RenderLocatorTest, HidingLocatorsKeepsThoseThatDoNotCountAsLocators) {
    makeLocator("plain", pointsAt({MPoint(-2, 0, 0)}));
    Recipe kept = pointsAt({MPoint(2, 0, 0)});
    kept.excludeAsLocator = false;
    makeLocator("kept", kept);
    mel("modelEditor -e -locators 0 modelPanel4");
    EXPECT_FALSE(mel("modelEditor -q -locators modelPanel4").asBool());
    const kxh::view::Frame& f = refresh();
    EXPECT_EQ(pixel(f, project(MPoint(-2, 0, 0))[0], project(MPoint(-2, 0, 0))[1]), kBackground);
    expectBlock(f, project(MPoint(2, 0, 0)), kRed);
    mel("modelEditor -e -locators 1 modelPanel4");
    expectBlock(refresh(), project(MPoint(-2, 0, 0)), kRed);
}

TEST_F(RenderLocatorTest, StatusColoursDifferPerStatus) {
    TestLocator loc;
    EXPECT_NE(loc.colorRGB(M3dView::kDormant), loc.colorRGB(M3dView::kLead));
    EXPECT_NE(loc.colorRGB(M3dView::kActive), loc.colorRGB(M3dView::kLead));
    EXPECT_NE(loc.color(M3dView::kDormant), loc.color(M3dView::kActive));
    EXPECT_TRUE(loc.excludeAsLocator());
    EXPECT_FALSE(loc.isBounded());
    EXPECT_TRUE(loc.boundingBox().isEmpty());
    EXPECT_EQ(loc.type(), MPxNode::kLocatorNode);
}

// --- pixels
// -------------------------------------------------------------------------------------------------

TEST_F(RenderLocatorTest, PointsLandWhereWorldToViewProjectsThem) {
    const std::vector<MPoint> points{MPoint(0.5, 0.3, 0), MPoint(-2, 1.5, -1), MPoint(3, -2, 2)};
    makeLocator("loc", pointsAt(points));
    const kxh::view::Frame& f = refresh();
    for (const MPoint& p : points) expectBlock(f, project(p), kRed);
    // 8-pixel points: 4 pixels away from the centre is still the point, 5 is not.
    const auto at = project(points[0]);
    EXPECT_EQ(pixel(f, at[0] + 6, at[1]), kBackground);
    EXPECT_EQ(pixel(f, at[0], at[1] - 6), kBackground);
}

TEST_F(RenderLocatorTest, PointsUnderAMovedTransformMoveWithIt) {
    makeLocator("loc", pointsAt({MPoint(0, 0, 0)}));
    mel("setAttr loc.translate 2 -1 1");
    mel("setAttr loc.rotateZ 90");
    const kxh::view::Frame& f = refresh();
    expectBlock(f, project(MPoint(2, -1, 1)), kRed);
    EXPECT_EQ(pixel(f, kWidth / 2, kHeight / 2), kBackground);
}

TEST_F(RenderLocatorTest, PointsAreHiddenBehindMeshes) {
    mel("polyCube -w 2 -h 2 -d 2");
    makeLocator("loc", pointsAt({MPoint(0, 0, -0.5), MPoint(0, 0, 1.5)}, {0, 1, 0, 1}));
    mel("setAttr loc.translateX 0.01");  // not exactly on the axis the two points share
    const kxh::view::Frame& f = refresh();
    // The point in front of the cube shows; the one inside it does not, and the cube's grey is around it.
    expectBlock(f, project(MPoint(0.01, 0, 1.5)), kGreen);
    const auto inside = project(MPoint(0.01, 0, -0.5));
    const Rgba around = pixel(f, inside[0] + 8, inside[1]);
    EXPECT_NE(around, kBackground);
    EXPECT_EQ(around[0], around[1]);
}

TEST_F(RenderLocatorTest, StippledPolygonShowsACheckerboard) {
    Recipe r;
    r.stippled = {MPoint(-2, -2, 0), MPoint(2, -2, 0), MPoint(2, 2, 0), MPoint(-2, 2, 0)};
    r.color = {0, 0, 1, 1};
    makeLocator("loc", r);
    const kxh::view::Frame& f = refresh();
    const Rgba blue{0, 0, 255, 255};
    const auto c = project(MPoint(0, 0, 0));
    int checked = 0;
    for (int dy = -5; dy <= 5; ++dy) {
        for (int dx = -5; dx <= 5; ++dx) {
            const Rgba here = pixel(f, c[0] + dx, c[1] + dy);
            ASSERT_TRUE(here == blue || here == kBackground);
            // Neighbours along a row and along a column alternate.
            EXPECT_NE(here, pixel(f, c[0] + dx + 1, c[1] + dy));
            EXPECT_NE(here, pixel(f, c[0] + dx, c[1] + dy + 1));
            ++checked;
        }
    }
    EXPECT_EQ(checked, 121);
    // Outside the polygon nothing is drawn.
    const auto outside = project(MPoint(2.5, 0, 0));
    EXPECT_EQ(pixel(f, outside[0], outside[1]), kBackground);
    EXPECT_EQ(pixel(f, outside[0] + 1, outside[1]), kBackground);
}

TEST_F(RenderLocatorTest, LineLoopsCloseAndLeaveTheInsideEmpty) {
    Recipe r;
    r.loop = {MPoint(-2, -2, 0), MPoint(2, -2, 0), MPoint(2, 2, 0), MPoint(-2, 2, 0)};
    r.color = {0, 1, 0, 1};
    makeLocator("loc", r);
    const kxh::view::Frame& f = refresh();
    // The middle of each side, including the closing one from the last point back to the first.
    for (const MPoint& mid : {MPoint(0, -2, 0), MPoint(2, 0, 0), MPoint(0, 2, 0), MPoint(-2, 0, 0)}) {
        const auto at = project(mid);
        EXPECT_EQ(pixel(f, at[0], at[1]), kGreen) << mid.x << "," << mid.y;
    }
    EXPECT_EQ(pixel(f, kWidth / 2, kHeight / 2), kBackground);
}

TEST_F(RenderLocatorTest, DrawLastLocatorsAreDrawnAfterTheOthers) {
    Recipe last = pointsAt({MPoint(0, 0, 0)}, {0, 1, 0, 1});
    last.drawLast = true;
    makeLocator("first", last);
    makeLocator("second", pointsAt({MPoint(0, 0, 0)}));
    const kxh::view::Frame& f = refresh();
    expectBlock(f, project(MPoint(0, 0, 0)), kGreen);
    ASSERT_EQ(TestLocator::calls().size(), 2u);
    EXPECT_EQ(TestLocator::calls()[0].node, "secondShape");
    EXPECT_EQ(TestLocator::calls()[1].node, "firstShape");
}

TEST_F(RenderLocatorTest, StateALocatorLeavesBehindDoesNotReachTheNextDraw) {
    Recipe careless = pointsAt({MPoint(-3, 0, 0)}, {0, 1, 0, 1});
    careless.leaveStateBehind = true;
    makeLocator("careless", careless);
    Recipe after;
    after.stippled.clear();
    after.points = {MPoint(3, 0, 0)};
    after.loop = {MPoint(1, 1, 0), MPoint(2, 1, 0), MPoint(2, 2, 0)};
    makeLocator("after", after);
    mel("polyCube -w 1 -h 1 -d 1 -n box");
    mel("setAttr box.translateY -2.5");
    mel("modelEditor -e -da flatShaded modelPanel4");

    for (int pass = 0; pass < 2; ++pass) {
        const kxh::view::Frame& f = refresh();
        // The careless locator's own point is there.
        expectBlock(f, project(MPoint(-3, 0, 0)), kGreen);
        // The next locator draws 8-pixel red points, unblended, unstippled, at its own matrix.
        const auto p = project(MPoint(3, 0, 0));
        expectBlock(f, p, kRed);
        EXPECT_EQ(pixel(f, p[0] + 6, p[1]), kBackground);
        EXPECT_EQ(pixel(f, p[0], p[1] + 6), kBackground);
        // Its line is solid.
        const auto mid = project(MPoint(1.5, 1, 0));
        EXPECT_EQ(pixel(f, mid[0], mid[1]), kRed);
        EXPECT_EQ(pixel(f, mid[0] + 1, mid[1]), kRed);
        // The mesh drawn in the next refresh is still the solid lit grey.
        const auto box = project(MPoint(0, -2.5, 0.5));
        const Rgba grey = pixel(f, box[0], box[1]);
        EXPECT_NE(grey, kBackground);
        EXPECT_EQ(grey[0], grey[1]);
        EXPECT_EQ(pixel(f, box[0] + 1, box[1]), grey);
        // The view's beginGL count is back to zero although the careless locator never called endGL.
        EXPECT_EQ(kxh::view::activeView()->glDepth, 0);
    }
}

TEST_F(RenderLocatorTest, ARefreshFromInsideADrawDoesNotRecurse) {
    Recipe r = pointsAt({MPoint(0, 0, 0)});
    r.refreshInDraw = true;
    makeLocator("loc", r);
    // A fresh session has no frames: this is the view's first, drawn once.
    EXPECT_EQ(kxh::view::lastFrame(*kxh::view::activeView()), nullptr);
    const kxh::view::Frame& f = refresh();
    EXPECT_EQ(TestLocator::calls().size(), 1u);
    EXPECT_EQ(f.serial, 1u);
    expectBlock(f, project(MPoint(0, 0, 0)), kRed);
    EXPECT_FALSE(kxh::view::isRendering());
}

TEST_F(RenderLocatorTest, BeginGlOutsideARefreshGivesACurrentContext) {
    M3dView v = view();
    ASSERT_TRUE(v.beginGL());
    glPointSize(8);
    glBegin(GL_POINTS);
    glVertex3f(0, 0, 0);
    glEnd();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    GLfloat size = 0;
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, 8.0f);
    ASSERT_TRUE(v.endGL());
}

}  // namespace
}  // namespace rendertest
