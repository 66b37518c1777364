#include "mesh/ops/EdgeSmoothing.h"

#include <algorithm>
#include <cmath>

#include "mesh/MeshGeometry.h"
#include "mesh/MeshMath.h"
#include "mesh/MeshTopology.h"

namespace kxh::ops {

std::vector<std::pair<int, int>> edgesOfFacesFrom(const Mesh& mesh, int firstFace) {
    std::vector<std::pair<int, int>> edges;
    for (int f = std::max(0, firstFace); f < mesh.numFaces(); ++f) {
        const int b = mesh.faceOffsets[f], e = mesh.faceOffsets[f + 1];
        for (int i = b; i < e; ++i) {
            const int u = mesh.faceVerts[i], v = mesh.faceVerts[i + 1 < e ? i + 1 : b];
            edges.emplace_back(std::min(u, v), std::max(u, v));
        }
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    return edges;
}

void smoothEdgesByAngle(Mesh& mesh, const std::vector<std::pair<int, int>>& edges, double smoothingAngle) {
    if (!(smoothingAngle < M_PI) || edges.empty()) return;
    const MeshTopology& topo = mesh.topology();
    const double cosLimit = std::cos(smoothingAngle);
    bool changed = false;
    for (const auto& [a, b] : edges) {
        const int e = topo.findEdge(a, b);
        if (e < 0) continue;
        const IdRange faces = topo.edgeFaces(e);
        if (faces.size() != 2) continue;
        const V3 n0 = MeshGeometry::newellNormal(mesh, faces[0]),
                 n1 = MeshGeometry::newellNormal(mesh, faces[1]);
        const double l0 = length(n0), l1 = length(n1);
        if (!(l0 > 0) || !(l1 > 0)) continue;
        const bool hard = dot(n0, n1) / (l0 * l1) < cosLimit;
        if (hard)
            changed = mesh.hardEdges.insert({a, b}).second || changed;
        else
            changed = mesh.hardEdges.erase({a, b}) > 0 || changed;
    }
    if (changed) mesh.pointsChanged();  // face-vertex normals depend on the flags
}

}  // namespace kxh::ops
