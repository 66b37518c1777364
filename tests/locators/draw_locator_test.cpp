// drawLocator in the view: the soft-selection points coloured by weight,
// the radius circle, the component under the cursor by its number of points, the arrays that must agree
// before points are drawn, clearing, and the array writes with their failure messages.
#include <maya/MObjectHandle.h>

#include <algorithm>

#include "locator_fixture.h"
#include "modeling/drawLocator.h"

namespace locatortest {
namespace {

class DrawLocatorTest : public LocatorTest {
protected:
    void SetUp() override {
        LocatorTest::SetUp();
        node_ = createLocator(drawLocator::id, "kxModelingToolsDrawSSPointLocator");
    }
    MObject node_;
};

// A square of side 4 around the origin in the plane z = 0, counter-clockwise.
const std::vector<MPoint> kSquare{MPoint(-2, -2, 0), MPoint(2, -2, 0), MPoint(2, 2, 0), MPoint(-2, 2, 0)};

TEST_F(DrawLocatorTest, SoftSelectionPointsAreColouredByWeight) {
    const std::vector<MPoint> pts{MPoint(-3, 1, 0), MPoint(0, 1, 0), MPoint(3, 1, 0)};
    setPoints(node_, "parr", pts);
    setDoubles(node_, "ssrparr", {0.0, 1.0, 0.25});
    const kxh::view::Frame f = refresh();
    EXPECT_EQ(pixel(f, project(pts[0])), kRed);
    EXPECT_EQ(pixel(f, project(pts[1])), kCyan);
    EXPECT_TRUE(near(pixel(f, project(pts[2])), {191, 64, 64, 255})) << pixel(f, project(pts[2]))[0];
    // Points are 8 pixels across, both ways.
    EXPECT_EQ(runThrough(f, project(pts[0]), kRed, true), 8);
    EXPECT_EQ(runThrough(f, project(pts[0]), kRed, false), 8);
    // Nothing else is drawn.
    EXPECT_EQ(pixel(f, kWidth / 2, kHeight / 2), kBackground);
}

TEST_F(DrawLocatorTest, PointsAndWeightsOfDifferentLengthsDrawNoPointsButTheRest) {
    const std::vector<MPoint> pts{MPoint(-3, 0, 0), MPoint(-1.5, 0, 0), MPoint(0, 0, 0), MPoint(1.5, 0, 0),
                                  MPoint(3, 0, 0)};
    setPoints(node_, "rparr", kSquare);
    setPoints(node_, "cparr", {MPoint(3.5, 3, 0)});
    for (const auto& [points, weights] : {std::pair<long, size_t>{5, 4}, {3, 5}, {5, 0}, {0, 2}}) {
        SCOPED_TRACE(::testing::Message() << points << " points, " << weights << " weights");
        setPoints(node_, "parr", std::vector<MPoint>(pts.begin(), pts.begin() + points));
        setDoubles(node_, "ssrparr", std::vector<double>(weights, 1.0));
        const kxh::view::Frame f = refresh();
        for (const MPoint& p : pts) EXPECT_EQ(pixel(f, project(p)), kBackground) << p.x;
        // The radius and the component are drawn all the same.
        EXPECT_EQ(pixel(f, project(MPoint(0, -2, 0))), kGreen);
        EXPECT_EQ(pixel(f, project(MPoint(3.5, 3, 0))), kYellow);
    }
}

TEST_F(DrawLocatorTest, TheRadiusIsAClosedGreenLoopFourPixelsWide) {
    setPoints(node_, "rparr", kSquare);
    const kxh::view::Frame f = refresh();
    // The middle of every side, the closing one (last point back to the first) included.
    for (const MPoint& mid : {MPoint(0, -2, 0), MPoint(2, 0, 0), MPoint(0, 2, 0), MPoint(-2, 0, 0)})
        EXPECT_EQ(pixel(f, project(mid)), kGreen) << mid.x << "," << mid.y;
    EXPECT_EQ(runThrough(f, project(MPoint(0, -2, 0)), kGreen, false), 4);
    EXPECT_EQ(runThrough(f, project(MPoint(-2, 0, 0)), kGreen, true), 4);
    EXPECT_EQ(pixel(f, project(MPoint(0, 0, 0))), kBackground);
}

TEST_F(DrawLocatorTest, TheComponentIsADotALineOrAStippledFaceByItsNumberOfPoints) {
    // A vertex: a yellow dot of 8 pixels.
    setPoints(node_, "cparr", {MPoint(1, 1, 0)});
    kxh::view::Frame f = refresh();
    EXPECT_EQ(pixel(f, project(MPoint(1, 1, 0))), kYellow);
    EXPECT_EQ(runThrough(f, project(MPoint(1, 1, 0)), kYellow, true), 8);

    // An edge: a red line three pixels wide between its two points.
    setPoints(node_, "cparr", {MPoint(-2, 0, 0), MPoint(2, 0, 0)});
    f = refresh();
    for (double x : {-1.5, 0.0, 1.5}) EXPECT_EQ(pixel(f, project(MPoint(x, 0, 0))), kRed) << x;
    EXPECT_EQ(runThrough(f, project(MPoint(0, 0, 0)), kRed, false), 3);
    EXPECT_EQ(pixel(f, project(MPoint(0, 1, 0))), kBackground);

    // A face (a triangle and a quad): the component's blue on every other pixel (the shared stippled face,
    // checked pixel by pixel under the quad draw locator's preview).
    for (const std::vector<MPoint>& face :
         {std::vector<MPoint>{MPoint(-2, -2, 0), MPoint(2, -2, 0), MPoint(0, 2, 0)}, kSquare}) {
        setPoints(node_, "cparr", face);
        f = refresh();
        const auto c = project(MPoint(0, -0.5, 0));
        const Rgba here = pixel(f, c), right = pixel(f, c[0] + 1, c[1]);
        EXPECT_TRUE(here == kStippleBlue ? right == kBackground
                                         : here == kBackground && right == kStippleBlue)
            << face.size() << " points";
        EXPECT_EQ(pixel(f, project(MPoint(2.5, 2.5, 0))), kBackground);
    }
}

TEST_F(DrawLocatorTest, EmptyArraysDrawNothing) {
    mel("polyCube -w 2 -h 2 -d 2");
    mel("delete kxModelingToolsDrawSSPointLocator");
    const kxh::view::Frame without = refresh();

    // A locator whose arrays were never written, then one with everything written and cleared again.
    node_ = createLocator(drawLocator::id, "kxModelingToolsDrawSSPointLocator");
    EXPECT_EQ(refresh().rgba, without.rgba);
    setPoints(node_, "parr", kSquare);
    setDoubles(node_, "ssrparr", {0, 0.5, 1, 1});
    setPoints(node_, "rparr", kSquare);
    setPoints(node_, "cparr", kSquare);
    EXPECT_NE(refresh().rgba, without.rgba);
    ASSERT_TRUE(drawLocator::clearPoints(node_));
    ASSERT_TRUE(drawLocator::clearRadiusAndComponent(node_));
    EXPECT_EQ(getPoints(node_, "parr").length(), 0u);
    EXPECT_EQ(getPoints(node_, "cparr").length(), 0u);
    EXPECT_EQ(refresh().rgba, without.rgba);
}

TEST_F(DrawLocatorTest, ArrayWritesFindThePlugByShortNameOrReportWhatFailed) {
    ASSERT_TRUE(drawLocator::setPointArray(node_, "rparr", pointArray(kSquare)));
    EXPECT_EQ(getPoints(node_, "rparr").length(), 4u);
    MDoubleArray weights;
    weights.append(0.5);
    ASSERT_TRUE(drawLocator::setDoubleArray(node_, "ssrparr", weights));

    EXPECT_FALSE(drawLocator::setPointArray(node_, "nope", pointArray(kSquare)));
    EXPECT_FALSE(drawLocator::setDoubleArray(node_, "nada", weights));
    const std::vector<std::string> printed = lines(kxh::OutputKind::Perror);
    ASSERT_EQ(printed.size(), 2u);
    EXPECT_EQ(printed[0].rfind("cannot find nope attribute", 0), 0u) << printed[0];
    EXPECT_EQ(printed[1].rfind("cannot find nada attribute", 0), 0u) << printed[1];
    // The plug written before is left as it was.
    EXPECT_EQ(getPoints(node_, "rparr").length(), 4u);
}

}  // namespace
}  // namespace locatortest

namespace locatortest {
namespace {

// createDrawLocator, as the tools call it at set-up.
class CreateDrawLocatorTest : public LocatorTest {
protected:
    static std::vector<std::string> strings(const std::string& command) {
        return mel(command).asStringArray();
    }
};

TEST_F(CreateDrawLocatorTest, ReplacesANodeOfTheSameNameAndKeepsTheExactName) {
    MObject first = createDrawLocator();
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(MFnDependencyNode(first).typeName(), MString("drawLocator"));
    MObjectHandle firstHandle(first);
    // A stray node that took the name (not a locator at all) is replaced too.
    mel("delete kxModelingToolsDrawSSPointLocator");
    mel("createNode transform -n kxModelingToolsDrawSSPointLocator");
    EXPECT_FALSE(firstHandle.isValid());

    MObject second = createDrawLocator();
    ASSERT_FALSE(second.isNull());
    MObject third = createDrawLocator();
    EXPECT_FALSE(MObjectHandle(second).isValid());
    EXPECT_EQ(strings("ls -type drawLocator").size(), 1u);
    EXPECT_EQ(strings("listRelatives -s kxModelingToolsDrawSSPointLocator"),
              std::vector<std::string>{MFnDependencyNode(third).name().asChar()});
    EXPECT_TRUE(lines(kxh::OutputKind::Perror).empty());
}

TEST_F(CreateDrawLocatorTest, PutsBackTheSelectionAndTheComponentModeOfTheObject) {
    mel("polyCube -n cube");
    mel("polyCube -n other");
    mel("select -r other");
    mel("hilite cube");
    mel("selectType -ocm -alc 0");
    mel("selectType -ocm -fc 1");
    MObject shape = createDrawLocator();
    ASSERT_FALSE(shape.isNull());
    // The selection is the one before plus the hilited object; the locator is not selected.
    EXPECT_EQ(strings("ls -sl"), (std::vector<std::string>{"other", "cube"}));
    // The first selected object is hilited and back in face mode.
    EXPECT_EQ(strings("ls -hl"), (std::vector<std::string>{"cube", "other"}));
    EXPECT_EQ(mel("selectMode -q -component").asInt(), 1);
    EXPECT_EQ(mel("selectType -q -fc").asInt(), 1);
    EXPECT_EQ(mel("selectType -q -v").asInt(), 0);

    // With nothing selected or hilited there is no object to put back into a component mode.
    mel("select -cl");
    mel("hilite -u cube other");
    mel("selectMode -object");
    createDrawLocator();
    EXPECT_TRUE(strings("ls -sl").empty());
    EXPECT_EQ(mel("selectMode -q -component").asInt(), 0);
}

TEST_F(CreateDrawLocatorTest, JoinsTheIsolateSetOfAnIsolatingPanel) {
    const std::string panel = mel("paneLayout -q -pane1 viewPanes").asString();
    mel("polyCube -n cube");
    createDrawLocator();
    EXPECT_TRUE(strings("isolateSelect -q -vo " + panel).empty());

    mel("select -r cube");
    mel("isolateSelect -state 1 " + panel);
    mel("isolateSelect -as " + panel);
    createDrawLocator();
    const std::vector<std::string> members = strings("isolateSelect -q -vo " + panel);
    EXPECT_NE(std::find(members.begin(), members.end(), "kxModelingToolsDrawSSPointLocator"), members.end())
        << members.size();
    // The new node draws: pushed points show in the view.
    setPoints(kxtest::shapeOf("kxModelingToolsDrawSSPointLocator").node(), "cparr", {MPoint(2.5, 2.5, 0)});
    EXPECT_EQ(pixel(refresh(), project(MPoint(2.5, 2.5, 0))), kYellow);
}

}  // namespace
}  // namespace locatortest
