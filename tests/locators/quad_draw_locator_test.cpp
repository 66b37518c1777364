// quadDrawLocator in the graph and in the view: its attributes, green loose points at their projected
// positions, the stippled preview face over a mesh, and nothing at all once both arrays are empty.
#include <maya/MFnAttribute.h>
#include <maya/MFnMatrixAttribute.h>

#include "locator_fixture.h"
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

TEST_F(QuadDrawLocatorTest, AttributesHoldWorldPointsAndAnUnstoredOutput) {
    MFnDependencyNode fn(node_);
    EXPECT_EQ(fn.typeName(), MString("quadDrawLocator"));
    for (const char* name : {"parr", "geoparr"}) {
        MFnAttribute attr(fn.findPlug(name).attribute());
        EXPECT_FALSE(attr.isKeyable()) << name;
        EXPECT_FALSE(attr.isCached()) << name;
    }
    EXPECT_EQ(MFnAttribute(quadDrawLocator::pointArray).name(), MString("pointArray"));
    EXPECT_EQ(MFnAttribute(quadDrawLocator::geoPointArray).name(), MString("geoPointArray"));
    MStatus st;
    MFnMatrixAttribute matrix(fn.findPlug("iwmtx").attribute(), &st);
    EXPECT_TRUE(st);
    EXPECT_EQ(matrix.name(), MString("inWorldMatrix"));
    MFnAttribute out(fn.findPlug("opos").attribute());
    EXPECT_FALSE(out.isKeyable());
    EXPECT_FALSE(out.isStorable());

    // The loose points read back as written, and the output stays at its default.
    setPoints(node_, "parr", {MPoint(1, 2, 3), MPoint(-4, 5, -6)});
    const MPointArray back = getPoints(node_, "parr");
    ASSERT_EQ(back.length(), 2u);
    EXPECT_EQ(back[1], MPoint(-4, 5, -6));
    EXPECT_EQ(mel("getAttr " + std::string(fn.name().asChar()) + ".outPosition").asInt(), 1);
}

TEST_F(QuadDrawLocatorTest, LoosePointsAloneAreGreenEightPixelPoints) {
    const std::vector<MPoint> loose{MPoint(-2, 1, 0), MPoint(1.5, -1, 1), MPoint(3, 2.5, -2)};
    setPoints(node_, "parr", loose);
    const kxh::view::Frame f = refresh();
    for (const MPoint& p : loose) {
        EXPECT_EQ(pixel(f, project(p)), kGreen) << p.x;
        EXPECT_EQ(runThrough(f, project(p), kGreen, true), 8) << p.x;
        EXPECT_EQ(runThrough(f, project(p), kGreen, false), 8) << p.x;
    }
    // Everything else is background: no preview is drawn.
    int green = 0;
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x) {
            const Rgba c = pixel(f, x, y);
            ASSERT_TRUE(c == kGreen || c == kBackground) << x << "," << y;
            green += c == kGreen;
        }
    EXPECT_EQ(green, 3 * 64);
}

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

TEST_F(QuadDrawLocatorTest, APreviewWithoutLoosePointsIsDrawnAlone) {
    setPoints(node_, "geoparr", {MPoint(-1, -1, 0), MPoint(1, -1, 0), MPoint(1, 1, 0), MPoint(-1, 1, 0)});
    const kxh::view::Frame f = refresh();
    const auto c = project(MPoint(0, 0, 0));
    EXPECT_NE(previewBlue(pixel(f, c)), previewBlue(pixel(f, c[0] + 1, c[1])));
    EXPECT_TRUE(previewBlue(pixel(f, c)) || previewBlue(pixel(f, c[0] + 1, c[1])));
    EXPECT_EQ(pixel(f, project(MPoint(2, 2, 0))), kBackground);
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
