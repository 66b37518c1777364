// Cutting edges into parts and connecting components across faces.
#include <algorithm>
#include <numeric>

#include "mesh/MeshTopology.h"
#include "mesh/ops/ComponentOps.h"
#include "mesh/ops/RebuildFaces.h"

namespace kxh::ops {

namespace {

std::vector<int> identity(int n) {
    std::vector<int> m(size_t(std::max(0, n)));
    std::iota(m.begin(), m.end(), 0);
    return m;
}

int nextCorner(const Mesh& mesh, int f, int fv) {
    return fv + 1 < mesh.faceOffsets[f + 1] ? fv + 1 : mesh.faceOffsets[f];
}

// The corners of loop from position i to position j (inclusive), walking forward.
FaceLoop chain(const FaceLoop& loop, size_t i, size_t j) {
    FaceLoop out;
    for (size_t k = i;; k = (k + 1) % loop.size()) {
        out.push_back(loop[k]);
        if (k == j) break;
    }
    return out;
}

// The pieces a face splits into along the chords between consecutive points (positions in its loop);
// none when a chord would join two vertices that already share an edge (the face's own side cut by a
// midpoint, joined again across the face).
std::vector<FaceLoop> splitAtPoints(const FaceLoop& loop, const std::vector<size_t>& at,
                                    const MeshTopology& topo, int oldVertices) {
    std::vector<FaceLoop> pieces;
    const size_t k = at.size();
    for (size_t i = 0; i < k; ++i) {
        if (k == 2 && i == 1) {
            FaceLoop c = chain(loop, at[1], at[0]);
            if (c.size() >= 3) pieces.push_back(std::move(c));
            break;
        }
        FaceLoop c = chain(loop, at[i], at[(i + 1) % k]);
        if (c.size() < 3) continue;
        const int a = c.front().v, b = c.back().v;
        if (a < oldVertices && b < oldVertices && topo.findEdge(a, b) >= 0) return {};
        pieces.push_back(std::move(c));
    }
    if (k >= 3) {
        FaceLoop inner;
        for (size_t p : at) inner.push_back(loop[p]);
        pieces.push_back(std::move(inner));
    }
    return pieces;
}

}  // namespace

EditResult subdivideEdges(Mesh& mesh, const std::vector<int>& edges, int divisions) {
    EditResult r;
    const MeshTopology& topo = mesh.topology();
    const int dv = std::max(1, divisions);
    std::vector<int> firstNew(size_t(topo.numEdges()), -1);
    std::vector<V3> points = mesh.points;
    for (int e : edges) {
        if (e < 0 || e >= topo.numEdges() || firstNew[size_t(e)] >= 0) continue;
        firstNew[size_t(e)] = int(points.size());
        const V3 a = mesh.points[size_t(topo.edgeVertex(e, 0))],
                 b = mesh.points[size_t(topo.edgeVertex(e, 1))];
        for (int k = 1; k <= dv; ++k) points.push_back(lerp(a, b, double(k) / (dv + 1)));
        ++r.changes;
    }
    if (r.changes == 0) {
        r.vertexMap = identity(mesh.numVertices());
        return r;
    }
    std::vector<FaceLoop> loops;
    for (int f = 0; f < mesh.numFaces(); ++f) {
        FaceLoop loop;
        for (int fv = mesh.faceOffsets[f]; fv < mesh.faceOffsets[f + 1]; ++fv) {
            loop.push_back(LoopCorner::from(mesh.faceVerts[fv], fv));
            const int e = topo.faceVertEdge(fv);
            if (firstNew[size_t(e)] < 0) continue;
            const bool forward = mesh.faceVerts[fv] == topo.edgeVertex(e, 0);
            const int next = nextCorner(mesh, f, fv);
            for (int k = 1; k <= dv; ++k) {
                const int along = forward ? k : dv + 1 - k;  // position counted from the edge's vertex 0
                loop.push_back(
                    LoopCorner::between(firstNew[size_t(e)] + along - 1, fv, next, double(k) / (dv + 1)));
            }
        }
        loops.push_back(std::move(loop));
    }
    r.vertexMap = rebuildFaces(mesh, std::move(points), loops);
    return r;
}

EditResult connectComponents(Mesh& mesh, const std::vector<int>& vertices, const std::vector<int>& edges) {
    EditResult r;
    const MeshTopology& topo = mesh.topology();
    std::vector<int> mid(size_t(topo.numEdges()), -1);
    std::vector<V3> points = mesh.points;
    for (int e : edges) {
        if (e < 0 || e >= topo.numEdges() || mid[size_t(e)] >= 0) continue;
        mid[size_t(e)] = int(points.size());
        points.push_back(lerp(mesh.points[size_t(topo.edgeVertex(e, 0))],
                              mesh.points[size_t(topo.edgeVertex(e, 1))], 0.5));
        ++r.changes;
    }
    std::vector<char> picked(size_t(mesh.numVertices()), 0);
    for (int v : vertices)
        if (v >= 0 && v < mesh.numVertices()) picked[size_t(v)] = 1;

    std::vector<FaceLoop> loops;
    for (int f = 0; f < mesh.numFaces(); ++f) {
        FaceLoop loop;
        std::vector<size_t> at;
        for (int fv = mesh.faceOffsets[f]; fv < mesh.faceOffsets[f + 1]; ++fv) {
            if (picked[size_t(mesh.faceVerts[fv])]) at.push_back(loop.size());
            loop.push_back(LoopCorner::from(mesh.faceVerts[fv], fv));
            const int m = mid[size_t(topo.faceVertEdge(fv))];
            if (m < 0) continue;
            at.push_back(loop.size());
            loop.push_back(LoopCorner::between(m, fv, nextCorner(mesh, f, fv), 0.5));
        }
        std::vector<FaceLoop> pieces;
        if (at.size() >= 2) pieces = splitAtPoints(loop, at, topo, mesh.numVertices());
        if (pieces.size() < 2) {
            loops.push_back(std::move(loop));
            continue;
        }
        ++r.changes;
        for (FaceLoop& p : pieces) loops.push_back(std::move(p));
    }
    if (r.changes == 0) {
        r.vertexMap = identity(mesh.numVertices());
        return r;
    }
    r.vertexMap = rebuildFaces(mesh, std::move(points), loops);
    return r;
}

}  // namespace kxh::ops
