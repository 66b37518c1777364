#pragma once
// Shared set-up for the QuadDraw Tool tests: a fresh session per test with the plug-in's table registered
// from this program (so the tests read the same ToolSettings the tool reads), a 640 x 480 orthographic front
// view 30 units wide (the port centre is world (0, 0); 1 unit is 640/30 pixels), and helpers that click,
// Shift-click and hover the way an artist does, and read the locator's points back.
#include <gtest/gtest.h>
#ifndef MNoVersionString
#define MNoVersionString
#endif
#include <maya/MDagPath.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MFnPlugin.h>
#include <maya/MFnPointArrayData.h>
#include <maya/MGlobal.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <cmath>
#include <string>
#include <vector>

#include "cmds/Session.h"
#include "cmds/plugin/PluginHost.h"
#include "foundation/Output.h"
#include "graph/core/Scene.h"
#include "mesh/MeshValidate.h"
#include "plugin/ToolSettings.h"
#include "plugin/registration.h"

class QuadDrawTest : public ::testing::Test {
protected:
    static constexpr const char* kCoreName = "kxPluginCoreInTests";
    static constexpr double kPixelsPerUnit = 640.0 / 30.0;

    void SetUp() override {
        kxh::output().setEcho(false);
        kxh::Scene::current().reset();
        kxh::session().reset();
        kxh::output().clear();
        ToolSettings::instance().loadDefaults();
        ToolSettings::instance().mirror = false;  // the mirror tests turn it on
        {
            kxh::PluginHost::Scope scope(kCoreName);
            MObject handle;
            MFnPlugin plugin(handle, "Kestrix Tools", "2008", "Any");
            ASSERT_TRUE(registerRows(plugin, loadTable()));
        }
        mel("kxhViewSize 640 480; viewPlace -eye 0 0 100 -la 0 0 0 -o; camera -e -ow 30 persp;");
    }
    void TearDown() override {
        run("setToolTo selectSuperContext");
        std::string error;
        if (kxh::PluginHost::instance().find(kCoreName)) kxh::PluginHost::instance().unload(kCoreName, error);
        kxh::session().reset();
        kxh::output().clear();
    }

    static kxh::mel::Interpreter::Status run(const std::string& text) { return kxh::session().execute(text); }
    static kxh::mel::Value mel(const std::string& text) {
        auto st = run(text);
        EXPECT_TRUE(st.ok) << text << "\n  -> " << st.error;
        return st.result;
    }
    static ToolSettings& settings() { return ToolSettings::instance(); }
    static std::vector<std::string> lines(kxh::OutputKind kind) { return kxh::output().of(kind); }

    // A sphere of radius 10 at the origin, made the slide surface.
    static MDagPath slideOnSphere() {
        mel("polySphere -r 10 -sa 32 -sh 24 -n reference; select -cl");
        MSelectionList list;
        list.add("reference");
        MDagPath path;
        list.getDagPath(0, path);
        settings().slideObject = path;
        settings().slideSoftSelect = true;
        return path;
    }
    static void startTool() { mel("setToolTo `quadDrawContext`"); }

    // Port pixels of a world position on the front view.
    static int px(double x) { return 320 + int(std::lround(x * kPixelsPerUnit)); }
    static int py(double y) { return 240 + int(std::lround(y * kPixelsPerUnit)); }
    static std::string at(double x, double y) {
        return " " + std::to_string(px(x)) + " " + std::to_string(py(y));
    }

    static void click(double x, double y) { mel("kxhPress" + at(x, y) + "; kxhRelease;"); }
    static void shiftClick(double x, double y) { mel("kxhPress -sh" + at(x, y) + "; kxhRelease -sh;"); }
    static void hover(double x, double y) { mel("kxhViewCursor" + at(x, y) + "; kxhAdvanceTime 0.05;"); }
    // Four clicks on the corners of the square [x0, x1] x [y0, y1].
    static void clickSquare(double x0, double y0, double x1, double y1) {
        click(x0, y0);
        click(x1, y0);
        click(x1, y1);
        click(x0, y1);
    }

    static MPointArray locatorPoints(const char* attribute) {
        MSelectionList list;
        MPointArray points;
        MDagPath path;
        if (!list.add("kxModelingToolsDrawQuadLocator") || !list.getDagPath(0, path) || !path.extendToShape())
            return points;
        MPlug plug = MFnDependencyNode(path.node()).findPlug(attribute, true);
        MObject value;
        if (plug.getValue(value) && !value.isNull()) MFnPointArrayData(value).copyTo(points);
        return points;
    }
    static MPointArray loosePoints() { return locatorPoints("parr"); }
    static std::vector<MPoint> list(const MPointArray& points) {
        std::vector<MPoint> out;
        for (unsigned i = 0; i < points.length(); ++i) out.push_back(points[i]);
        return out;
    }
    static MPointArray preview() { return locatorPoints("geoparr"); }

    // The shape of the first hilited mesh (the mesh being built).
    static MDagPath target() {
        MSelectionList hilite;
        MGlobal::getHiliteList(hilite);
        MDagPath path;
        if (hilite.length() > 0) hilite.getDagPath(0, path);
        if (path.isValid()) path.extendToShape();
        return path;
    }
    static std::vector<MPoint> vertices(const MDagPath& mesh) {
        MPointArray points;
        MFnMesh(mesh).getPoints(points, MSpace::kWorld);
        return list(points);
    }
    static bool hasVertexNear(const MDagPath& mesh, const MPoint& p, double tolerance = 1e-4) {
        for (const MPoint& v : vertices(mesh))
            if (v.distanceTo(p) < tolerance) return true;
        return false;
    }
    static std::vector<std::string> faultsOf(const MDagPath& mesh) {
        kxh::NodePtr node = kxh::Scene::current().find(mesh.fullPathName().asChar());
        kxh::MeshPtr m = node ? kxh::Scene::current().shapeMesh(*node) : nullptr;
        return m ? kxh::validateMesh(*m) : std::vector<std::string>{"no mesh"};
    }
};
