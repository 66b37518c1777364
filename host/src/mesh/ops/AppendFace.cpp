#include "mesh/ops/AppendFace.h"

#include <algorithm>
#include <cmath>

#include "mesh/MeshTopology.h"

namespace kxh::ops {

Mesh createFacetMesh(const std::vector<V3>& points, int subdivisions) {
    Mesh mesh;
    const int n = int(points.size());
    const int cuts = std::max(1, subdivisions);
    for (int i = 0; i < n; ++i) {
        const V3& a = points[i];
        const V3& b = points[(i + 1) % n];
        mesh.points.push_back(a);
        for (int k = 1; k < cuts; ++k) {
            const double t = double(k) / cuts;
            mesh.points.push_back(V3{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t});
        }
    }
    mesh.uvSets.emplace_back();  // "map1", no UVs assigned
    std::vector<int> face(mesh.points.size());
    for (size_t i = 0; i < face.size(); ++i) face[i] = int(i);
    mesh.addFace(face);
    mesh.pointsChanged();
    return mesh;
}

namespace {

// How an existing edge a-b relates to a new face that runs a -> b along it.
enum class Neighbour { Agrees, Disagrees, Full };

// The face `f` runs a -> b when b follows a among its corners.
bool faceRuns(const Mesh& mesh, int f, int a, int b) {
    const int begin = mesh.faceOffsets[f], end = mesh.faceOffsets[f + 1];
    for (int i = begin; i < end; ++i) {
        const int next = i + 1 < end ? i + 1 : begin;
        if (mesh.faceVerts[i] == a && mesh.faceVerts[next] == b) return true;
    }
    return false;
}

std::string edgeText(int a, int b) {
    return "(" + std::to_string(a) + ", " + std::to_string(b) + ")";
}

}  // namespace

AppendResult appendFace(Mesh& mesh, const std::vector<FaceCorner>& corners, bool allowReverse) {
    AppendResult r;
    const int n = int(corners.size());
    if (n < 3) {
        r.error = "A face needs at least three corners (" + std::to_string(n) + " given).";
        return r;
    }
    // Ids the face will use: existing ones as given, new points numbered after the existing vertices.
    const int nv = mesh.numVertices();
    std::vector<int> ids(n);
    std::vector<V3> newPoints;
    std::vector<char> used(size_t(nv), 0);
    for (int i = 0; i < n; ++i) {
        const FaceCorner& c = corners[i];
        if (c.isNew()) {
            if (!std::isfinite(c.point.x) || !std::isfinite(c.point.y) || !std::isfinite(c.point.z)) {
                r.error = "Point " + std::to_string(i) + " of the face is not a finite position.";
                return r;
            }
            ids[i] = nv + int(newPoints.size());
            newPoints.push_back(c.point);
            continue;
        }
        if (c.vertex < 0 || c.vertex >= nv) {
            r.error = "Vertex " + std::to_string(c.vertex) + " does not exist (the mesh has " +
                      std::to_string(nv) + " vertices).";
            return r;
        }
        if (used[size_t(c.vertex)]) {
            r.error = "Vertex " + std::to_string(c.vertex) + " is used twice in the face.";
            return r;
        }
        used[size_t(c.vertex)] = 1;
        ids[i] = c.vertex;
    }

    // Edges between two existing vertices may already have faces: check each against its neighbour.
    int agree = 0, disagree = 0;
    const MeshTopology& topo = mesh.topology();
    for (int i = 0; i < n; ++i) {
        const int a = ids[i], b = ids[(i + 1) % n];
        if (a >= nv || b >= nv) continue;
        const int e = topo.findEdge(a, b);
        if (e < 0) continue;
        IdRange faces = topo.edgeFaces(e);
        if (faces.size() >= 2) {
            r.error =
                "Edge " + edgeText(a, b) + " already has two faces; a third would make it non-manifold.";
            return r;
        }
        if (faces.empty()) continue;
        // A consistent neighbour runs the shared edge the other way (b -> a).
        if (faceRuns(mesh, faces[0], a, b))
            ++disagree;
        else
            ++agree;
    }
    if (disagree > 0 && (agree > 0 || !allowReverse)) {
        r.error = agree > 0 ? "The face's winding agrees with some neighbouring faces and opposes others."
                            : "The face's winding opposes its neighbouring faces.";
        return r;
    }
    if (disagree > 0) {
        std::reverse(ids.begin() + 1, ids.end());
        r.reversed = true;
    }

    if (!newPoints.empty()) {
        r.firstNewVertex = nv;
        mesh.points.insert(mesh.points.end(), newPoints.begin(), newPoints.end());
        mesh.pointsChanged();
    }
    r.face = mesh.addFace(ids);
    r.ok = true;
    return r;
}

}  // namespace kxh::ops
