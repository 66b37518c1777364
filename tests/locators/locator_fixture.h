#pragma once
// Shared set-up for the locator tests: a fresh session per test with the plug-in's load table registered
// from this program (as initializePlugin registers it), a small persp port (160 x 120) looking down -Z from
// (0, 0, 10), locators created the way the tools create them, array writes through plugs, and pixel reads
// of the active view's last rendered frame.
#include <gtest/gtest.h>

#include "support/plugin_core.h"  // first: it keeps MFnPlugin.h from defining MApiVersion here

#include <maya/M3dView.h>
#include <maya/MDagModifier.h>
#include <maya/MDagPath.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnDoubleArrayData.h>
#include <maya/MFnPointArrayData.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MTypeId.h>

#include <array>
#include <string>
#include <vector>

#include "support/api_values.h"
#include "support/frames.h"
#include "support/session.h"

namespace locatortest {

using kxtest::kBackground;
using kxtest::kBg;
using kxtest::Rgba;
constexpr int kWidth = 160, kHeight = 120;
const Rgba kRed{255, 0, 0, 255};
const Rgba kGreen{0, 255, 0, 255};
const Rgba kYellow{255, 255, 0, 255};
const Rgba kCyan{0, 255, 255, 255};
const Rgba kStippleBlue{51, 51, 255, 204};  // (0.2, 0.2, 1, 0.8)

using kxtest::pointArray;

class LocatorTest : public ::testing::Test {
protected:
    static constexpr const char* kCoreName = "kxLocatorsInTests";

    void SetUp() override {
        kxtest::resetSession();
        kxh::output().clear();
        ASSERT_TRUE(kxtest::registerPluginCore(kCoreName));
        mel("kxhViewSize 160 120");
        mel("viewPlace -eye 0 0 10 -la 0 0 0 persp");
    }
    void TearDown() override {
        kxtest::unregisterPluginCore(kCoreName);
        kxh::session().reset();
        kxh::output().clear();
    }

    static kxh::mel::Interpreter::Status run(const std::string& text) { return kxh::session().execute(text); }
    static kxh::mel::Value mel(const std::string& text) { return kxtest::melOk(text); }
    static std::vector<std::string> lines(kxh::OutputKind kind) { return kxh::output().of(kind); }

    // A locator of the type under a new transform named `transform`, made as the tools make it (a DAG
    // modifier creating the type by id with no parent); returns the shape.
    static MObject createLocator(const MTypeId& id, const char* transform) {
        MDagModifier mod;
        MStatus st;
        MObject parent = mod.createNode(id, MObject::kNullObj, &st);
        EXPECT_TRUE(st);
        EXPECT_TRUE(mod.renameNode(parent, transform));
        EXPECT_TRUE(mod.doIt());
        MDagPath path;
        EXPECT_TRUE(MDagPath::getAPathTo(parent, path));
        EXPECT_TRUE(path.extendToShape());
        return path.node();
    }

    // Array writes as the tools make them: the plug by short name, a new data object as its value.
    static void setPoints(const MObject& node, const char* shortName, const std::vector<MPoint>& value) {
        MStatus st;
        MPlug plug = MFnDependencyNode(node).findPlug(shortName, &st);
        ASSERT_TRUE(st) << shortName;
        MFnPointArrayData fn;
        MObject data = fn.create(pointArray(value), &st);
        ASSERT_TRUE(st);
        ASSERT_TRUE(plug.setValue(data));
    }
    static void setDoubles(const MObject& node, const char* shortName, const std::vector<double>& value) {
        MStatus st;
        MPlug plug = MFnDependencyNode(node).findPlug(shortName, &st);
        ASSERT_TRUE(st) << shortName;
        MDoubleArray array;
        for (double v : value) array.append(v);
        MFnDoubleArrayData fn;
        MObject data = fn.create(array, &st);
        ASSERT_TRUE(st);
        ASSERT_TRUE(plug.setValue(data));
    }
    static MPointArray getPoints(const MObject& node, const char* shortName) {
        MObject data;
        EXPECT_TRUE(MFnDependencyNode(node).findPlug(shortName).getValue(data));
        MPointArray out;
        MFnPointArrayData(data).copyTo(out);
        return out;
    }

    static M3dView view() { return M3dView::active3dView(); }
    // Refreshes the active view and returns a copy of its frame.
    static kxh::view::Frame refresh() {
        const kxh::view::Frame* f = kxtest::refreshActiveView();
        return f ? *f : kxh::view::Frame{};
    }
    static Rgba pixel(const kxh::view::Frame& f, int x, int y) { return kxtest::framePixel(f, x, y); }
    static Rgba pixel(const kxh::view::Frame& f, std::array<int, 2> at) { return pixel(f, at[0], at[1]); }
    // The port position of a world point in front of the camera.
    static std::array<int, 2> project(const MPoint& p) { return kxtest::projectToActiveView(p); }
    // Channel by channel within `tolerance` (colours computed from weights round either way).
    static bool near(const Rgba& a, const Rgba& b, int tolerance = 1) {
        for (int i = 0; i < 4; ++i)
            if (std::abs(a[i] - b[i]) > tolerance) return false;
        return true;
    }
    // How many pixels of the row (or column) through `at` have the colour, counted outwards from `at`
    // while they do: the size of a point, the width of a line.
    static int runThrough(const kxh::view::Frame& f, std::array<int, 2> at, const Rgba& color,
                          bool alongRow) {
        auto is = [&](int d) {
            const int x = at[0] + (alongRow ? d : 0), y = at[1] + (alongRow ? 0 : d);
            if (x < 0 || y < 0 || x >= f.width || y >= f.height) return false;
            return pixel(f, x, y) == color;
        };
        if (!is(0)) return 0;
        int n = 1;
        for (int d = 1; is(d); ++d) ++n;
        for (int d = -1; is(d); --d) ++n;
        return n;
    }
};

}  // namespace locatortest
