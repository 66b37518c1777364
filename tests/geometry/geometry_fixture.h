#pragma once
// Shared set-up for the geometry service tests: an empty scene, session and undo queue per test, the
// active view looking at the origin, output kept off the console, MEL helpers that check the scene's
// invariants (graph validator and every mesh's validator) after each command, and helpers to build
// meshes and look up their components.
#include <gtest/gtest.h>

#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MDistance.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFnMesh.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MIntArray.h>
#include <maya/MPoint.h>
#include <maya/MSelectionList.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "geometry/rayIntersectionData.h"
#include "plugin/ToolSettings.h"
#include "support/api_values.h"
#include "support/session.h"

using kxtest::pathOf;
using kxtest::shapeOf;

class GeometryTest : public kxtest::CheckedSceneTest {
protected:
    void prepare() override { ToolSettings::instance().loadDefaults(); }

    // A mesh made through the API from points and polygons.
    static MDagPath makeMesh(const std::vector<MPoint>& points, const std::vector<std::vector<int>>& faces) {
        MFloatPointArray pts;
        for (const MPoint& p : points) pts.append(MFloatPoint(float(p.x), float(p.y), float(p.z)));
        MIntArray counts, connects;
        for (auto& f : faces) {
            counts.append(int(f.size()));
            for (int v : f) connects.append(v);
        }
        MFnMesh fn;
        MStatus st;
        MObject transform =
            fn.create(int(points.size()), int(faces.size()), pts, counts, connects, MObject::kNullObj, &st);
        EXPECT_TRUE(st);
        MDagPath path;
        MDagPath::getAPathTo(transform, path);
        path.extendToShape();
        return path;
    }

    // The vertex at a world position (-1 when none).
    static int vertexAt(const MDagPath& mesh, const MPoint& p, double tol = 1e-4) {
        MFnMesh fn(mesh);
        for (int v = 0; v < fn.numVertices(); ++v) {
            MPoint q;
            fn.getPoint(v, q, MSpace::kWorld);
            if (q.distanceTo(p) < tol) return v;
        }
        return -1;
    }
    // The edge joining two vertices (-1 when none).
    static int edgeBetween(const MDagPath& mesh, int a, int b) {
        MFnMesh fn(mesh);
        for (int e = 0; e < fn.numEdges(); ++e) {
            int2 ends;
            fn.getEdgeVertices(e, ends);
            if ((ends[0] == a && ends[1] == b) || (ends[0] == b && ends[1] == a)) return e;
        }
        return -1;
    }
    static int edgeBetween(const MDagPath& mesh, const MPoint& a, const MPoint& b) {
        return edgeBetween(mesh, vertexAt(mesh, a), vertexAt(mesh, b));
    }

    // The ids of the first item's component.
    static std::vector<int> idsOf(const MSelectionList& list) {
        MDagPath path;
        MObject component;
        std::vector<int> ids;
        if (!list.getDagPath(0, path, component) || component.isNull()) return ids;
        MIntArray elements;
        MFnSingleIndexedComponent(component).getElements(elements);
        for (unsigned i = 0; i < elements.length(); ++i) ids.push_back(elements[i]);
        return ids;
    }
    static std::set<int> idSet(const MSelectionList& list) {
        auto ids = idsOf(list);
        return std::set<int>(ids.begin(), ids.end());
    }
    static std::vector<int> ints(const MIntArray& a) {
        std::vector<int> out;
        for (unsigned i = 0; i < a.length(); ++i) out.push_back(a[i]);
        return out;
    }
    static MIntArray intArray(const std::vector<int>& v) {
        MIntArray out;
        for (int i : v) out.append(i);
        return out;
    }
    // A one-item list holding a component of the given kind.
    static MSelectionList componentList(const MDagPath& mesh, MFn::Type kind, const std::vector<int>& ids) {
        MFnSingleIndexedComponent fn;
        MObject component = fn.create(kind);
        for (int id : ids) fn.addElement(id);
        MSelectionList list;
        list.add(mesh, component);
        return list;
    }

    // A hit record on a component of the mesh.
    static rayIntersectionData hitRecord(const MDagPath& mesh, int type, int id, const MPoint& p = MPoint()) {
        rayIntersectionData hit;
        hit.meshPath = mesh;
        hit.componentType = type;
        hit.componentId = id;
        hit.point = p;
        return hit;
    }
    // The face of the mesh nearest a world point.
    static int faceAt(const MDagPath& mesh, const MPoint& p) {
        MPoint closest;
        int face = -1;
        MFnMesh(mesh).getClosestPoint(p, closest, MSpace::kWorld, &face);
        return face;
    }

    static M3dView view() { return M3dView::active3dView(); }
    // Places the active view's camera (perspective) at eye looking at lookAt.
    void place(const MPoint& eye, const MPoint& lookAt) { mel(kxtest::viewPlaceCommand(eye, lookAt)); }
};
