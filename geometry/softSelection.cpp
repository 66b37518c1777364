#include "geometry/softSelection.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnMesh.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MVector.h>

#include <cmath>

namespace {

// The vertices of the picked component: the vertex itself, a face's corners, an edge's two ends.
MIntArray componentVertices(const rayIntersectionData& hit) {
    MIntArray vertices;
    MStatus st;
    MFnMesh mesh(hit.meshPath, &st);
    if (!st || hit.componentId < 0) return vertices;
    switch (hit.componentType) {
        case rayIntersectionData::kVertex:
            if (hit.componentId < mesh.numVertices()) vertices.append(hit.componentId);
            break;
        case rayIntersectionData::kFace:
            if (hit.componentId < mesh.numPolygons()) mesh.getPolygonVertices(hit.componentId, vertices);
            break;
        case rayIntersectionData::kEdge:
            if (hit.componentId < mesh.numEdges()) {
                int2 ends;
                mesh.getEdgeVertices(hit.componentId, ends);
                vertices.append(ends[0]);
                vertices.append(ends[1]);
            }
            break;
        default:
            break;
    }
    return vertices;
}

}  // namespace

MIntArray pinnedVertexIds(const MDagPath& mesh) {
    MIntArray ids;
    MDagPath shape(mesh);
    if (!shape.extendToShape()) return ids;
    MStatus st;
    MFnDependencyNode fn(shape.node(), &st);
    if (!st || !fn.hasAttribute("kxparr")) return ids;
    MPlug plug = fn.findPlug("kxparr", &st);
    if (!st || !plug.isConnected()) return ids;
    MObject data;
    if (!plug.getValue(data) || data.isNull()) return ids;
    MFnIntArrayData arrayFn(data, &st);
    if (st) arrayFn.copyTo(ids);
    return ids;
}

std::vector<unsigned char> pinnedVertexMask(const MDagPath& mesh, const MFnMesh& meshFn) {
    int count = meshFn.numVertices();
    std::vector<unsigned char> mask(size_t(count > 0 ? count : 0), 0);
    MIntArray pins = pinnedVertexIds(mesh);
    for (unsigned i = 0; i < pins.length(); ++i)
        if (pins[i] >= 0 && pins[i] < count) mask[size_t(pins[i])] = 1;
    return mask;
}

double smoothFalloff(double d, double a, double b) {
    double t = (d - a) / (b - a);
    return 1.0 - t * t * (3.0 - 2.0 * t);
}

void softSelectionWeights(const rayIntersectionData& hit, MIntArray& ids, MDoubleArray& weights,
                          std::vector<unsigned char>& visited, const MPointArray& positions,
                          const std::vector<MIntArray>& neighbours, double radius) {
    ids.clear();
    weights.clear();
    MIntArray seeds = componentVertices(hit);
    if (radius == 0.0) {
        for (unsigned i = 0; i < seeds.length(); ++i) {
            ids.append(seeds[i]);
            weights.append(1.0);
        }
        return;
    }

    size_t count = positions.length();
    if (visited.size() < count) visited.resize(count, 0);
    // Depth-first fill with an explicit stack of (vertex, next neighbour to try) frames, which visits the
    // vertices in the order a recursive fill would.
    struct Frame {
        int vertex;
        unsigned next;
    };
    std::vector<Frame> stack;
    // Marks a vertex and reports whether it lies in the region (and so is grown from).
    auto take = [&](int v) {
        visited[size_t(v)] = 1;
        MVector offset = positions[unsigned(v)] - hit.point;
        if (std::fabs(offset.x) > radius || std::fabs(offset.y) > radius || std::fabs(offset.z) > radius)
            return false;
        double d = offset.length();
        if (d > radius) return false;
        double w = d == 0.0 ? 1.0 : smoothFalloff(d, 0.0, radius);
        ids.append(v);
        weights.append(w < 0.0 ? 0.0 : (w > 1.0 ? 1.0 : w));
        return true;
    };
    auto usable = [&](int v) { return v >= 0 && size_t(v) < count && !visited[size_t(v)]; };

    for (unsigned s = 0; s < seeds.length(); ++s) {
        if (!usable(seeds[s]) || !take(seeds[s])) continue;
        stack.push_back({seeds[s], 0});
        while (!stack.empty()) {
            Frame& top = stack.back();
            const MIntArray* around =
                size_t(top.vertex) < neighbours.size() ? &neighbours[size_t(top.vertex)] : nullptr;
            if (!around || top.next >= around->length()) {
                stack.pop_back();
                continue;
            }
            int n = (*around)[top.next++];
            if (usable(n) && take(n)) stack.push_back({n, 0});
        }
    }
}
