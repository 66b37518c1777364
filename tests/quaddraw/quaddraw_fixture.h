#pragma once
// Shared set-up for the QuadDraw Tool tests: a checked session per test (every MEL command must succeed and
// leave the scene valid) with the plug-in's table registered from this program (so the tests read the same
// ToolSettings the tool reads), a 640 x 480 orthographic front view 30 units wide (the port centre is world
// (0, 0); 1 unit is 640/30 pixels), and helpers that click, Shift-click and hover the way an artist does,
// and read the locator's points back.
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
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "cmds/Session.h"
#include "foundation/Output.h"
#include "graph/core/Scene.h"
#include "mesh/MeshValidate.h"
#include "plugin/ToolSettings.h"
#include "support/api_values.h"
#include "support/plugin_core.h"
#include "support/plugin_view.h"
#include "support/session.h"

using kxtest::pathOf;
using kxtest::shapeOf;

class QuadDrawTest : public kxtest::PluginViewTest {
protected:
    // A sphere of radius 10 at the origin, made the slide surface.
    MDagPath slideOnSphere() {
        mel("polySphere -r 10 -sa 32 -sh 24 -n reference; select -cl");
        MDagPath path = pathOf("reference");
        settings().slideObject = path;
        settings().slideSoftSelect = true;
        return path;
    }
    void startTool() { mel("setToolTo `quadDrawContext`"); }
    void mirrorAcrossWorldX() {
        settings().mirror = true;
        settings().mirrorAxis = 0;
        settings().mirrorWorldSpace = 1;
    }

    // Port pixels of a world position on the front view.
    static int px(double x) { return 320 + int(std::lround(x * kPixelsPerUnit)); }
    static int py(double y) { return 240 + int(std::lround(y * kPixelsPerUnit)); }
    static std::string at(double x, double y) {
        return " " + std::to_string(px(x)) + " " + std::to_string(py(y));
    }

    void click(double x, double y) { mel("kxhPress" + at(x, y) + "; kxhRelease;"); }
    void shiftClick(double x, double y) { mel("kxhPress -sh" + at(x, y) + "; kxhRelease -sh;"); }
    void hover(double x, double y) { mel("kxhViewCursor" + at(x, y) + "; kxhAdvanceTime 0.05;"); }
    // Four clicks on the corners of the square [x0, x1] x [y0, y1].
    void clickSquare(double x0, double y0, double x1, double y1) {
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
    static MPointArray preview() { return locatorPoints("geoparr"); }
    static std::vector<MPoint> list(const MPointArray& points) { return kxtest::pointList(points); }

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
    // The closest distance between two vertices of the mesh (a doubled seam shows as a tiny one).
    static double closestVertexPair(const MDagPath& mesh) {
        const std::vector<MPoint> v = vertices(mesh);
        double best = 1e30;
        for (size_t i = 0; i < v.size(); ++i)
            for (size_t k = i + 1; k < v.size(); ++k) best = std::min(best, v[i].distanceTo(v[k]));
        return best;
    }
    static std::vector<std::string> faultsOf(const MDagPath& mesh) {
        kxh::NodePtr node = kxh::Scene::current().find(mesh.fullPathName().asChar());
        kxh::MeshPtr m = node ? kxh::Scene::current().shapeMesh(*node) : nullptr;
        return m ? kxh::validateMesh(*m) : std::vector<std::string>{"no mesh"};
    }
    // Faces per edge (vertex pairs, lower id first).
    static std::map<std::pair<int, int>, int> edgeFaces(const MDagPath& mesh);
    // How many edges have exactly one face (the open outline) and whether any has more than two.
    static int openEdges(const MDagPath& mesh, bool& nonManifold) {
        int open = 0;
        nonManifold = false;
        for (const auto& edge : edgeFaces(mesh)) {
            open += edge.second == 1;
            nonManifold = nonManifold || edge.second > 2;
        }
        return open;
    }
};

inline std::map<std::pair<int, int>, int> QuadDrawTest::edgeFaces(const MDagPath& mesh) {
    std::map<std::pair<int, int>, int> faces;
    MFnMesh fn(mesh);
    for (int f = 0; f < fn.numPolygons(); ++f) {
        MIntArray ids;
        fn.getPolygonVertices(f, ids);
        for (unsigned k = 0; k < ids.length(); ++k) {
            const int a = ids[k], b = ids[(k + 1) % ids.length()];
            ++faces[{std::min(a, b), std::max(a, b)}];
        }
    }
    return faces;
}
