// Pinned vertices (only while the pin attribute is connected) and soft-selection regions and weights on
// a grid of unit quads.
#include <maya/MDGModifier.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MItMeshVertex.h>
#include <maya/MPlug.h>
#include <maya/MPointArray.h>

#include <cmath>
#include <map>

#include "geometry/softSelection.h"
#include "geometry_fixture.h"

namespace {

class SoftSelectionTest : public GeometryTest {
protected:
    MDagPath grid() {
        mel("polyPlane -w 10 -h 10 -sx 10 -sy 10 -n grid");
        MDagPath g = shapeOf("grid");
        MFnMesh(g).getPoints(positions_, MSpace::kWorld);
        for (MItMeshVertex it(g); !it.isDone(); it.next()) {
            MIntArray around;
            it.getConnectedVertices(around);
            neighbours_.push_back(around);
        }
        return g;
    }
    rayIntersectionData record(const MDagPath& g, int type, int id, const MPoint& p) {
        rayIntersectionData hit;
        hit.meshPath = g;
        hit.componentType = type;
        hit.componentId = id;
        hit.point = p;
        return hit;
    }
    std::map<int, double> weights(const rayIntersectionData& hit, std::vector<unsigned char> visited = {}) {
        MIntArray ids;
        MDoubleArray w;
        softSelectionWeights(hit, ids, w, visited, positions_, neighbours_,
                             ToolSettings::instance().brushRadius);
        EXPECT_EQ(ids.length(), w.length());
        std::map<int, double> out;
        for (unsigned i = 0; i < ids.length(); ++i) {
            EXPECT_TRUE(out.emplace(ids[i], w[i]).second) << "vertex " << ids[i] << " taken twice";
        }
        return out;
    }
    MPointArray positions_;
    std::vector<MIntArray> neighbours_;
};

TEST_F(SoftSelectionTest, RegionHoldsTheVerticesWithinTheRadius) {
    MDagPath g = grid();
    int centre = vertexAt(g, MPoint(0, 0, 0));
    ToolSettings::instance().brushRadius = 2.0;
    std::map<int, double> w = weights(record(g, rayIntersectionData::kVertex, centre, MPoint(0, 0, 0)));
    // Grid points with i^2 + j^2 <= 4: 13 of them.
    EXPECT_EQ(w.size(), 13u);
    for (auto& [v, weight] : w)
        EXPECT_LE(positions_[unsigned(v)].distanceTo(MPoint(0, 0, 0)), 2.0 + 1e-9) << v;
    // The smooth falloff 1 - t^2 (3 - 2t) of the distance over the radius t: 1 at the centre, 0.5 halfway,
    // 0 on the radius (taken with weight 0).
    EXPECT_DOUBLE_EQ(w[centre], 1.0);
    EXPECT_NEAR(w[vertexAt(g, MPoint(1, 0, 0))], 0.5, 1e-9);
    EXPECT_NEAR(w[vertexAt(g, MPoint(1, 0, 1))], 1 - 0.5 * (3 - std::sqrt(2.0)), 1e-9);
    EXPECT_NEAR(w[vertexAt(g, MPoint(2, 0, 0))], 0.0, 1e-9);

    // The record's point need not be a vertex: an edge's two ends seed the region round its midpoint.
    int edge = edgeBetween(g, MPoint(0, 0, 0), MPoint(1, 0, 0));
    ToolSettings::instance().brushRadius = 0.6;
    w = weights(record(g, rayIntersectionData::kEdge, edge, MPoint(0.5, 0, 0)));
    EXPECT_EQ(w.size(), 2u);
    EXPECT_NEAR(w[centre], smoothFalloff(0.5, 0, 0.6), 1e-9);

    // Vertices already marked visited are left out, and the fill does not pass through them.
    ToolSettings::instance().brushRadius = 2.0;
    std::vector<unsigned char> visited(positions_.length(), 0);
    visited[size_t(vertexAt(g, MPoint(1, 0, 0)))] = 1;
    w = weights(record(g, rayIntersectionData::kVertex, centre, MPoint(0, 0, 0)), visited);
    EXPECT_EQ(w.size(), 11u);
    EXPECT_FALSE(w.count(vertexAt(g, MPoint(1, 0, 0))));
    // (2, 0) lies on the radius and is reached only through (1, 0); its other neighbours are outside.
    EXPECT_FALSE(w.count(vertexAt(g, MPoint(2, 0, 0))));
    EXPECT_TRUE(w.count(vertexAt(g, MPoint(1, 0, 1))));
}

TEST_F(SoftSelectionTest, RadiusZeroGivesTheComponentsOwnVertices) {
    MDagPath g = grid();
    ToolSettings::instance().brushRadius = 0.0;
    MFnMesh fn(g);
    MIntArray faceVerts;
    fn.getPolygonVertices(7, faceVerts);
    std::map<int, double> w = weights(record(g, rayIntersectionData::kFace, 7, MPoint(100, 100, 100)));
    ASSERT_EQ(w.size(), 4u);
    for (unsigned i = 0; i < faceVerts.length(); ++i) EXPECT_DOUBLE_EQ(w[faceVerts[i]], 1.0);
    w = weights(record(g, rayIntersectionData::kVertex, 3, MPoint()));
    EXPECT_EQ(w, (std::map<int, double>{{3, 1.0}}));
    int2 ends;
    fn.getEdgeVertices(5, ends);
    w = weights(record(g, rayIntersectionData::kEdge, 5, MPoint()));
    EXPECT_EQ(w, (std::map<int, double>{{ends[0], 1.0}, {ends[1], 1.0}}));
}

TEST_F(SoftSelectionTest, PinsCountOnlyWhileTheirAttributeIsConnected) {
    MDagPath g = grid();
    MFnMesh fn(g);
    EXPECT_TRUE(ints(pinnedVertexIds(g)).empty());

    // The pin attribute on the shape, holding ids (one beyond the mesh).
    MFnTypedAttribute typed;
    MObject attr = typed.create("kxPinnedVertexArray", "kxparr", MFnData::kIntArray);
    MFnDependencyNode shapeFn(g.node());
    ASSERT_TRUE(shapeFn.addAttribute(attr));
    MFnIntArrayData data;
    MObject ids = data.create(intArray({3, 7, 500}));
    MPlug pins = shapeFn.findPlug("kxparr");
    ASSERT_TRUE(pins.setValue(ids));
    EXPECT_TRUE(ints(pinnedVertexIds(g)).empty());
    EXPECT_EQ(pinnedVertexMask(g, fn), std::vector<unsigned char>(size_t(fn.numVertices()), 0));

    // Connected to a display node, the pins count (through the transform's path too).
    mel("createNode transform -n pinDisplay");
    MSelectionList list;
    list.add("pinDisplay");
    MObject display;
    list.getDependNode(0, display);
    MFnDependencyNode displayFn(display);
    ASSERT_TRUE(displayFn.addAttribute(typed.create("pinIds", "pids", MFnData::kIntArray)));
    MDGModifier connect;
    ASSERT_TRUE(connect.connect(pins, displayFn.findPlug("pinIds")));
    ASSERT_TRUE(connect.doIt());
    EXPECT_EQ(ints(pinnedVertexIds(g)), (std::vector<int>{3, 7, 500}));
    EXPECT_EQ(ints(pinnedVertexIds(pathOf("grid"))), (std::vector<int>{3, 7, 500}));
    std::vector<unsigned char> mask = pinnedVertexMask(g, fn);
    ASSERT_EQ(mask.size(), size_t(fn.numVertices()));
    for (size_t v = 0; v < mask.size(); ++v) EXPECT_EQ(mask[v], (v == 3 || v == 7) ? 1 : 0) << v;
}

}  // namespace
