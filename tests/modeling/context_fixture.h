#pragma once
// Shared by the modeling tool's context tests: a checked session per test with the plug-in's table
// registered from this program (so the tests and the tool share one ToolSettings), a 640 x 480
// orthographic front view 30 units wide (port centre = world origin, one unit = 640/30 pixels), a 20 x 20
// grid of 2-unit quads facing the camera, and helpers that press, drag and release the way an artist does.
#include <gtest/gtest.h>
#ifndef MNoVersionString
#define MNoVersionString
#endif
#include <maya/MDagPath.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MFnPointArrayData.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MItSelectionList.h>
#include <maya/MItMeshEdge.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "cmds/Session.h"
#include "foundation/Output.h"
#include "plugin/ToolSettings.h"
#include "support/api_values.h"
#include "support/plugin_core.h"
#include "support/plugin_view.h"
#include "support/session.h"

class ContextTest : public kxtest::PluginViewTest {
protected:
    // The grid, hilited in component mode with `type` ("vertex", "edge", "facet") selectable, the tool
    // active and nothing selected.
    MDagPath startOnGrid(const std::string& type) {
        mel("polyPlane -w 20 -h 20 -sx 10 -sy 10 -ax 0 0 1 -n grid; select -r grid; hilite grid;"
            "selectMode -component; selectType -" +
            type + " 1; setToolTo `modelingContext`; select -cl");
        return kxtest::shapeOf("grid");
    }

    // Port pixels of world positions on the front view.
    static int px(double x) { return 320 + int(std::lround(x * kPixelsPerUnit)); }
    static int py(double y) { return 240 + int(std::lround(y * kPixelsPerUnit)); }
    static std::string at(double x, double y) {
        return " " + std::to_string(px(x)) + " " + std::to_string(py(y));
    }
    static std::string pixels(int x, int y) { return " " + std::to_string(x) + " " + std::to_string(y); }

    // One gesture: press at a world position, drag through port positions, release at the last one.
    // `flags` are the event flags ("-sh", "-ct", "-b middle").
    void gesture(const std::string& flags, double x, double y,
                 const std::vector<std::pair<int, int>>& drags = {}) {
        std::string release = flags;
        const std::string::size_type b = release.find("-b ");
        if (b != std::string::npos) release.erase(b, release.find(' ', b + 3) - b);
        std::string text = "kxhPress " + flags + at(x, y) + ";";
        for (const auto& d : drags) text += "kxhDrag " + release + pixels(d.first, d.second) + ";";
        mel(text + "kxhRelease " + release + ";");
    }
    void click(double x, double y, const std::string& flags = "") { gesture(flags, x, y); }
    void hover(double x, double y) { mel("kxhViewCursor" + at(x, y) + "; kxhAdvanceTime 0.05;"); }

    // The component ids of one kind on the grid in the active selection.
    static std::set<int> selected(MFn::Type kind) {
        std::set<int> ids;
        MSelectionList list;
        MGlobal::getActiveSelectionList(list);
        for (MItSelectionList it(list); !it.isDone(); it.next()) {
            MDagPath path;
            MObject component;
            it.getDagPath(path, component);
            if (component.isNull() || !component.hasFn(kind)) continue;
            MFnSingleIndexedComponent fn(component);
            MIntArray elements;
            fn.getElements(elements);
            for (unsigned i = 0; i < elements.length(); ++i) ids.insert(elements[i]);
        }
        return ids;
    }
    static std::set<int> selectedEdges() { return selected(MFn::kMeshEdgeComponent); }
    static std::set<int> selectedVertices() { return selected(MFn::kMeshVertComponent); }
    static unsigned selectionLength() {
        MSelectionList list;
        MGlobal::getActiveSelectionList(list);
        return list.length();
    }

    // The grid's edges whose centre lies at (x, y) for any of the given coordinates.
    static std::set<int> edgesCentredAt(const MDagPath& mesh, const std::vector<MPoint>& centres) {
        std::set<int> ids;
        for (MItMeshEdge it(mesh); !it.isDone(); it.next())
            for (const MPoint& c : centres)
                if (it.center(MSpace::kWorld).distanceTo(c) < 1e-6) ids.insert(it.index());
        return ids;
    }
    static int vertexAt(const MDagPath& mesh, const MPoint& p) {
        const std::vector<MPoint> v = points(mesh);
        for (size_t i = 0; i < v.size(); ++i)
            if (v[i].distanceTo(p) < 1e-6) return int(i);
        return -1;
    }
    static std::vector<MPoint> points(const MDagPath& mesh) {
        MPointArray p;
        MFnMesh(mesh).getPoints(p, MSpace::kWorld);
        return kxtest::pointList(p);
    }

    // One of the tool's draw locator arrays ("parr", "rparr", "cparr").
    static MPointArray locatorPoints(const char* attribute) {
        MPointArray result;
        MSelectionList list;
        MDagPath path;
        if (!list.add("kxModelingToolsDrawSSPointLocator") || !list.getDagPath(0, path) ||
            !path.extendToShape())
            return result;
        MPlug plug = MFnDependencyNode(path.node()).findPlug(attribute, true);
        MObject value;
        if (plug.getValue(value) && !value.isNull()) MFnPointArrayData(value).copyTo(result);
        return result;
    }
    size_t undoSteps() { return kxh::session().interpreter().undoQueue().size(); }
    static std::vector<std::string> errors() { return kxh::output().of(kxh::OutputKind::Error); }
};
