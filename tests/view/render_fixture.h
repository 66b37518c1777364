#pragma once
// Shared set-up for the rendering tests: a fresh session with a small persp port (160 x 120) looking down
// -Z from (0, 0, 10), MEL helpers, pixel reads of the active view's last frame, and a test locator type
// registered through the host's plug-in node registration. The locator draws what its node's recipe says
// (points, line loops, stippled polygons, and state it deliberately leaves behind), so the host's GL
// rendering is tested here without the plug-in.
#include <gtest/gtest.h>

#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MPoint.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MTypeId.h>

#include <GL/gl.h>

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "graph/api/PluginNodes.h"
#include "support/frames.h"
#include "support/session.h"

namespace rendertest {

using kxtest::kBackground;
using kxtest::kBg;
using kxtest::Rgba;
constexpr int kWidth = 160, kHeight = 120;

// What one test locator draws, in its own object space.
struct Recipe {
    std::vector<MPoint> points;    // GL_POINTS, size 8
    std::vector<MPoint> loop;      // GL_LINE_LOOP, width 3
    std::vector<MPoint> stippled;  // GL_POLYGON with the checkerboard stipple
    std::array<float, 4> color{1, 0, 0, 1};
    bool leaveStateBehind = false;  // enables blend, stipple and big points, pushes without popping, no endGL
    bool drawLast = false;
    bool transparent = false;
    bool refreshInDraw = false;  // calls view.refresh() from draw
    bool excludeAsLocator = true;
};

// What the host handed a draw call.
struct DrawCall {
    std::string node;
    std::string path;
    M3dView::DisplayStyle style;
    M3dView::DisplayStatus status;
    std::array<double, 16> modelView;
};

class TestLocator : public MPxLocatorNode {
public:
    static std::map<std::string, Recipe>& recipes() {
        static std::map<std::string, Recipe> r;
        return r;
    }
    static std::vector<DrawCall>& calls() {
        static std::vector<DrawCall> c;
        return c;
    }
    static const MTypeId id;
    static void* creator() { return new TestLocator; }
    static MStatus initialize() { return MS::kSuccess; }

    const Recipe& recipe() const {
        static const Recipe none;
        auto it = recipes().find(name().asChar());
        return it == recipes().end() ? none : it->second;
    }
    bool drawLast() const override { return recipe().drawLast; }
    bool isTransparent() const override { return recipe().transparent; }
    bool excludeAsLocator() const override { return recipe().excludeAsLocator; }

    void draw(M3dView& view, const MDagPath& path, M3dView::DisplayStyle style,
              M3dView::DisplayStatus status) override {
        DrawCall call{name().asChar(), path.partialPathName().asChar(), style, status, {}};
        glGetDoublev(GL_MODELVIEW_MATRIX, call.modelView.data());
        calls().push_back(call);
        const Recipe& r = recipe();
        if (r.refreshInDraw) view.refresh();
        view.beginGL();
        if (!r.leaveStateBehind) {
            glPushAttrib(GL_ALL_ATTRIB_BITS);
            glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
        }
        glColor4f(r.color[0], r.color[1], r.color[2], r.color[3]);
        if (!r.points.empty()) {
            glPointSize(8);
            glBegin(GL_POINTS);
            for (const MPoint& p : r.points) glVertex3f(float(p.x), float(p.y), float(p.z));
            glEnd();
        }
        if (!r.loop.empty()) {
            glLineWidth(3);
            glBegin(GL_LINE_LOOP);
            for (const MPoint& p : r.loop) glVertex3f(float(p.x), float(p.y), float(p.z));
            glEnd();
        }
        if (!r.stippled.empty()) {
            static GLubyte mask[128];
            for (int row = 0; row < 32; ++row)
                for (int b = 0; b < 4; ++b) mask[row * 4 + b] = row % 2 ? 0x55 : 0xAA;
            glEnable(GL_POLYGON_STIPPLE);
            glPolygonStipple(mask);
            glBegin(GL_POLYGON);
            for (const MPoint& p : r.stippled) glVertex3f(float(p.x), float(p.y), float(p.z));
            glEnd();
        }
        if (r.leaveStateBehind) {
            // Everything a careless locator can leave: state changed outside any push, an extra push,
            // a changed matrix, and no endGL.
            glEnable(GL_BLEND);
            glBlendFunc(GL_ZERO, GL_ZERO);
            glEnable(GL_POLYGON_STIPPLE);
            glPointSize(20);
            glColor4f(0, 0, 1, 1);
            glPushAttrib(GL_CURRENT_BIT);
            glMatrixMode(GL_MODELVIEW);
            glPushMatrix();
            glTranslated(100, 100, 100);
            return;
        }
        glPopClientAttrib();
        glPopAttrib();
        view.endGL();
    }
};

inline const MTypeId TestLocator::id(0x7F0A1);

inline void registerTestLocator() {
    static bool done = false;
    if (done) return;
    const MString classification("drawdb/geometry/kxhTestLocator");
    MStatus st = kxh::registerPluginNodeType("kxhTestLocator", TestLocator::id, TestLocator::creator,
                                             TestLocator::initialize, MPxNode::kLocatorNode, &classification);
    ASSERT_TRUE(st == MS::kSuccess);
    done = true;
}

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        kxtest::resetSession();
        kxh::output().clear();
        registerTestLocator();
        TestLocator::recipes().clear();
        TestLocator::calls().clear();
        mel("kxhViewSize 160 120");
        mel("viewPlace -eye 0 0 10 -la 0 0 0 persp");
    }

    kxh::mel::Value mel(const std::string& text) { return kxtest::melOk(text); }
    std::string melError(const std::string& text) { return kxtest::melFails(text); }

    M3dView view() { return M3dView::active3dView(); }
    const kxh::view::Frame& refresh() {
        const kxh::view::Frame* f = kxtest::refreshActiveView();
        static const kxh::view::Frame empty;
        return f ? *f : empty;
    }
    static Rgba pixel(const kxh::view::Frame& f, int x, int y) { return kxtest::framePixel(f, x, y); }
    // The port position of a world point (it must be in front of the camera).
    std::array<int, 2> project(const MPoint& p) { return kxtest::projectToActiveView(p); }
    // A locator shape under its own transform; returns the shape's name.
    std::string makeLocator(const std::string& transform, const Recipe& recipe) {
        mel("createNode transform -n " + transform);
        const std::string shape = transform + "Shape";
        mel("createNode kxhTestLocator -n " + shape + " -p " + transform);
        TestLocator::recipes()[shape] = recipe;
        return shape;
    }
};

}  // namespace rendertest
