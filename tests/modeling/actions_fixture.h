#pragma once
// Shared by the middle-button action tests: a checked session per test (every MEL command must succeed and
// leave every mesh valid) with the plug-in's table registered from this program, a 640 x 480 orthographic
// front view 30 units wide (the port centre is world (0, 0); one unit is 640/30 pixels), and helpers
// that read counts, check that a mesh is a manifold surface, and compare whole scenes around undo.
#include <gtest/gtest.h>
#ifndef MNoVersionString
#define MNoVersionString
#endif
#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <array>
#include <string>
#include <vector>

#include "cmds/Session.h"
#include "foundation/Output.h"
#include "graph/core/Scene.h"
#include "mesh/MeshTopology.h"
#include "mesh/MeshValidate.h"
#include "plugin/ToolSettings.h"
#include "support/api_values.h"
#include "support/plugin_core.h"
#include "support/plugin_view.h"
#include "support/session.h"

class ActionsTest : public kxtest::PluginViewTest {
protected:
    size_t undoSteps() { return kxh::session().interpreter().undoQueue().size(); }
    std::string dump() { return kxh::dumpScene(scene()); }
    std::vector<std::string> selection() { return melStrings("ls -sl"); }

    // Vertex, edge and face counts.
    std::array<long, 3> counts(const std::string& object) {
        std::vector<double> c = mel("polyEvaluate -v -e -f " + object).asFloatArray();
        return {long(c.at(0)), long(c.at(1)), long(c.at(2))};
    }

    // Imports one of the test models of the system's assimp package; answers its transform.
    std::string importModel(const std::string& relativePath) {
        mel("file -i \"/usr/share/assimp/models/" + relativePath + "\"");
        std::vector<std::string> imported = selection();
        EXPECT_EQ(imported.size(), 1u) << relativePath;
        mel("select -cl");
        return imported.empty() ? std::string() : imported[0];
    }

    kxh::MeshPtr meshOf(const std::string& object) {
        MDagPath shape = kxtest::shapeOf(object);
        kxh::NodePtr node = scene().find(shape.fullPathName().asChar());
        return node ? scene().shapeMesh(*node) : nullptr;
    }

    // Vertices where the mesh is no manifold surface: a vertex no face uses, or one whose faces form
    // more than one fan (two cones touching at a point). The validator the checked session runs after
    // every command already refuses edges with three faces and inconsistent winding.
    int nonManifoldVertices(const std::string& object) {
        kxh::MeshPtr m = meshOf(object);
        if (!m) return -1;
        const kxh::MeshTopology& topo = m->topology();
        int count = 0;
        for (int v = 0; v < m->numVertices(); ++v) {
            const kxh::IdRange faces = topo.vertexFaces(v);
            // Faces around v join through the edges at v; one fan means one group.
            std::vector<int> group(size_t(faces.size()));
            for (int i = 0; i < faces.size(); ++i) group[size_t(i)] = i;
            auto root = [&](int i) {
                while (group[size_t(i)] != i) i = group[size_t(i)];
                return i;
            };
            for (int e : topo.vertexEdges(v)) {
                const kxh::IdRange ef = topo.edgeFaces(e);
                if (ef.size() != 2) continue;
                int a = -1, b = -1;
                for (int i = 0; i < faces.size(); ++i) {
                    if (faces[i] == ef[0] && a < 0) a = i;
                    if (faces[i] == ef[1] && b < 0) b = i;
                }
                if (a >= 0 && b >= 0) group[size_t(root(a))] = root(b);
            }
            int fans = 0;
            for (int i = 0; i < faces.size(); ++i) fans += root(i) == i;
            count += fans != 1;
        }
        return count;
    }

    static std::vector<MPoint> worldPoints(const std::string& object) {
        MPointArray points;
        MFnMesh(kxtest::shapeOf(object)).getPoints(points, MSpace::kWorld);
        return kxtest::pointList(points);
    }

    // Port pixels of a world position on the front view.
    static short px(double x) { return short(320 + std::lround(x * kPixelsPerUnit)); }
    static short py(double y) { return short(240 + std::lround(y * kPixelsPerUnit)); }
    static M3dView view() { return M3dView::active3dView(); }

    static MSelectionList activeSelection() {
        MSelectionList list;
        MGlobal::getActiveSelectionList(list);
        return list;
    }
};
