// quadDrawLocator in the view: the stippled preview face over a mesh, green 8-pixel loose points and the
// preview drawn in front of the convex surface they lie on, the GL state left as it was found, and nothing
// at all once both arrays are empty.
#include <GL/gl.h>
#include <maya/MDagPath.h>
#include <maya/MPxLocatorNode.h>

#include <cmath>

#include "locator_fixture.h"
#include "plugin/locatorSupport.h"
#include "quaddraw/quadDrawLocator.h"

namespace locatortest {
namespace {

class QuadDrawLocatorTest : public LocatorTest {
protected:
    void SetUp() override {
        LocatorTest::SetUp();
        node_ = createLocator(quadDrawLocator::id, "kxModelingToolsDrawQuadLocator");
    }
    // The preview's blue over whatever lies below (drawn with blending on, so only its hue is certain).
    static bool previewBlue(const Rgba& c) { return c[2] >= 200 && c[0] <= 100 && c[1] <= 100; }
    MObject node_;
};

TEST_F(QuadDrawLocatorTest, APreviewOfFourPointsIsAStippledBlueQuadOverTheMesh) {
    mel("polyCube -w 6 -h 6 -d 1");  // its front face lies at z = 0.5
    const kxh::view::Frame meshOnly = refresh();
    setPoints(node_, "parr", {MPoint(-2.5, 2.5, 0.55)});
    setPoints(node_, "geoparr",
              {MPoint(-1, -1, 0.6), MPoint(1, -1, 0.6), MPoint(1, 1, 0.6), MPoint(-1, 1, 0.6)});
    const kxh::view::Frame f = refresh();

    // Inside the quad every other pixel is the preview and the others still show the mesh.
    const auto c = project(MPoint(0, 0, 0.6));
    const bool firstDrawn = previewBlue(pixel(f, c));
    for (int dy = -5; dy <= 5; ++dy) {
        for (int dx = -5; dx <= 5; ++dx) {
            const Rgba here = pixel(f, c[0] + dx, c[1] + dy);
            const bool drawn = ((dx + dy) & 1) == 0;
            if (drawn == firstDrawn)
                EXPECT_TRUE(previewBlue(here)) << dx << "," << dy;
            else
                EXPECT_EQ(here, pixel(meshOnly, c[0] + dx, c[1] + dy)) << dx << "," << dy;
        }
    }
    EXPECT_NE(pixel(meshOnly, c), kBackground);
    // Outside the quad the mesh is untouched; the loose point is drawn too.
    const auto outside = project(MPoint(1.5, 0, 0.5));
    EXPECT_EQ(pixel(f, outside), pixel(meshOnly, outside));
    EXPECT_EQ(pixel(f, outside[0] + 1, outside[1]), pixel(meshOnly, outside[0] + 1, outside[1]));
    EXPECT_EQ(pixel(f, project(MPoint(-2.5, 2.5, 0.55))), kGreen);
}

// A point of the sphere of radius r at the origin, `across` radians right of the view axis (+Z) and `up`
// radians above it.
MPoint onSphere(double r, double across, double up) {
    return MPoint(r * std::sin(across) * std::cos(up), r * std::sin(up), r * std::cos(across) * std::cos(up));
}

TEST_F(QuadDrawLocatorTest, PreviewAndPointsShowOverTheConvexSurfaceTheyLieOn) {
    // A sphere filling most of the port, and a quad whose corners lie on it: the quad's inside runs under
    // the surface (by 0.12 at its centre). Points away from the centre too, where the surface rises toward
    // the camera beside them.
    mel("polySphere -r 3 -sa 64 -sh 48");
    const std::vector<MPoint> corners{onSphere(3, -0.2, -0.2), onSphere(3, 0.2, -0.2), onSphere(3, 0.2, 0.2),
                                      onSphere(3, -0.2, 0.2)};
    const std::vector<MPoint> loose{onSphere(3, -0.45, 0.0), onSphere(3, 0.0, 0.45), onSphere(3, 0.35, -0.3)};
    setPoints(node_, "geoparr", corners);
    setPoints(node_, "parr", loose);
    const kxh::view::Frame f = refresh();

    // Over the quad's inside (its projected corners, a pixel in from each side), every pixel or its right
    // neighbour is the preview's blue: the stipple shows everywhere, the surface in between.
    const auto lo = project(corners[0]), hi = project(corners[2]);
    int cells = 0, shown = 0;
    for (int y = lo[1] + 2; y <= hi[1] - 2; ++y)
        for (int x = lo[0] + 2; x <= hi[0] - 3; ++x, ++cells)
            shown += previewBlue(pixel(f, x, y)) || previewBlue(pixel(f, x + 1, y));
    ASSERT_GT(cells, 200);
    EXPECT_EQ(shown, cells);
    for (const MPoint& p : loose) {
        EXPECT_EQ(runThrough(f, project(p), kGreen, true), 8) << p.x << "," << p.y;
        EXPECT_EQ(runThrough(f, project(p), kGreen, false), 8) << p.x << "," << p.y;
    }

    // Points on the far side stay hidden behind the sphere.
    setPoints(node_, "geoparr", {});
    setPoints(node_, "parr", {MPoint(0, 0, -3)});
    EXPECT_NE(pixel(refresh(), project(MPoint(0, 0, -3))), kGreen);
}

TEST_F(QuadDrawLocatorTest, DrawingLeavesTheGlStateAsItFoundIt) {
    setPoints(node_, "parr", {MPoint(0, 0, 0)});
    setPoints(node_, "geoparr", {MPoint(-1, -1, 0), MPoint(1, -1, 0), MPoint(1, 1, 0), MPoint(-1, 1, 0)});
    MStatus st;
    auto* locator = dynamic_cast<MPxLocatorNode*>(MFnDependencyNode(node_).userNode(&st));
    ASSERT_NE(locator, nullptr);
    MDagPath path;
    ASSERT_TRUE(MDagPath::getAPathTo(node_, path));

    M3dView v = view();
    v.beginGL();  // a current context outside a refresh, as a tool has between beginGL and endGL
    for (bool ortho : {false, true}) {
        SCOPED_TRACE(ortho);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        if (ortho)
            glOrtho(-5, 5, -4, 4, 0.1, 100);
        else
            glFrustum(-0.1, 0.1, -0.08, 0.08, 0.1, 100);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslated(0, 0, -10);
        glDisable(GL_BLEND);
        glDisable(GL_POLYGON_STIPPLE);
        GLdouble before[16], after[16];
        GLint depthBefore = 0, depthAfter = 0;
        glGetDoublev(GL_MODELVIEW_MATRIX, before);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);

        locator->draw(v, path, M3dView::kGouraudShaded, M3dView::kDormant);

        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_FALSE(glIsEnabled(GL_POLYGON_STIPPLE));
        glGetDoublev(GL_MODELVIEW_MATRIX, after);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
        EXPECT_EQ(depthAfter, depthBefore);
        for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i], before[i]) << i;
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
    v.endGL();
}

TEST_F(QuadDrawLocatorTest, EmptyPointsAndPreviewMakeTheLocatorInvisible) {
    mel("polyCube -w 2 -h 2 -d 2");
    mel("delete kxModelingToolsDrawQuadLocator");
    const kxh::view::Frame without = refresh();

    node_ = createLocator(quadDrawLocator::id, "kxModelingToolsDrawQuadLocator");
    EXPECT_EQ(refresh().rgba, without.rgba);  // never written
    setPoints(node_, "parr", {MPoint(0, 0, 1.5), MPoint(2, 2, 0)});
    setPoints(node_, "geoparr",
              {MPoint(-1, -1, 1.2), MPoint(1, -1, 1.2), MPoint(1, 1, 1.2), MPoint(-1, 1, 1.2)});
    EXPECT_NE(refresh().rgba, without.rgba);
    setPoints(node_, "parr", {});
    setPoints(node_, "geoparr", {});
    EXPECT_EQ(refresh().rgba, without.rgba);
}

}  // namespace
}  // namespace locatortest
