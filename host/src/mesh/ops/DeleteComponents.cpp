// Deleting faces, vertices and edges, and collapsing edges.
#include <algorithm>
#include <cstdint>
#include <numeric>
#include <unordered_map>

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

uint64_t directedKey(int a, int b) {
    return (uint64_t(uint32_t(a)) << 32) | uint32_t(b);
}

// Keeps the faces not flagged.
EditResult keepFaces(Mesh& mesh, const std::vector<char>& drop) {
    EditResult r;
    std::vector<FaceLoop> loops;
    for (int f = 0; f < mesh.numFaces(); ++f) {
        if (drop[size_t(f)])
            ++r.changes;
        else
            loops.push_back(faceLoop(mesh, f));
    }
    if (r.changes == 0) {
        r.vertexMap = identity(mesh.numVertices());
        return r;
    }
    r.vertexMap = rebuildFaces(mesh, mesh.points, loops);
    return r;
}

// Drops spikes (a corner whose two neighbours are the same vertex, i.e. an edge walked there and back)
// until none is left.
void removeSpikes(FaceLoop& loop) {
    for (bool again = true; again && loop.size() >= 3;) {
        again = false;
        const size_t n = loop.size();
        for (size_t k = 0; k < n; ++k) {
            const size_t prev = (k + n - 1) % n, next = (k + 1) % n;
            if (loop[prev].v != loop[next].v) continue;
            // Remove corner k and the repeat after it.
            const size_t first = std::min(k, next), second = std::max(k, next);
            loop.erase(loop.begin() + long(second));
            loop.erase(loop.begin() + long(first));
            again = true;
            break;
        }
    }
}

bool repeatsVertex(const FaceLoop& loop) {
    std::vector<int> ids;
    for (const LoopCorner& c : loop) ids.push_back(c.v);
    std::sort(ids.begin(), ids.end());
    return std::adjacent_find(ids.begin(), ids.end()) != ids.end();
}

// Faces as loops with a map from each directed edge to the face that runs along it.
struct LoopSet {
    std::vector<FaceLoop> loops;
    std::vector<char> alive;
    std::unordered_map<uint64_t, int> runs;

    void index(int f, bool add) {
        const FaceLoop& l = loops[size_t(f)];
        for (size_t k = 0; k < l.size(); ++k) {
            const uint64_t key = directedKey(l[k].v, l[(k + 1) % l.size()].v);
            if (add)
                runs[key] = f;
            else
                runs.erase(key);
        }
    }
    int faceRunning(int a, int b) const {
        auto it = runs.find(directedKey(a, b));
        return it == runs.end() ? -1 : it->second;
    }
    static size_t find(const FaceLoop& l, int a, int b) {
        for (size_t k = 0; k < l.size(); ++k)
            if (l[k].v == a && l[(k + 1) % l.size()].v == b) return k;
        return l.size();
    }

    // Joins the faces on either side of a-b; false (nothing changed) when that is not possible.
    bool join(int a, int b) {
        const int fa = faceRunning(a, b), fb = faceRunning(b, a);
        if (fa < 0 || fb < 0 || fa == fb) return false;
        const FaceLoop &A = loops[size_t(fa)], &B = loops[size_t(fb)];
        const size_t i = find(A, a, b), j = find(B, b, a);
        FaceLoop merged;
        // A from b round to a, then B from after a round to before b.
        for (size_t k = 0; k < A.size(); ++k) merged.push_back(A[(i + 1 + k) % A.size()]);
        for (size_t k = 0; k + 2 < B.size(); ++k) merged.push_back(B[(j + 2 + k) % B.size()]);
        removeSpikes(merged);
        if (merged.size() < 3 || repeatsVertex(merged)) return false;
        index(fa, false);
        index(fb, false);
        loops[size_t(fa)] = std::move(merged);
        loops[size_t(fb)].clear();
        alive[size_t(fb)] = 0;
        index(fa, true);
        return true;
    }

    // Removes v from the faces around it when it has exactly two edges; false when it cannot.
    bool dissolve(int v) {
        std::vector<int> nbrs, faces;
        for (size_t f = 0; f < loops.size(); ++f) {
            if (!alive[f]) continue;
            const FaceLoop& l = loops[f];
            for (size_t k = 0; k < l.size(); ++k) {
                if (l[k].v != v) continue;
                faces.push_back(int(f));
                nbrs.push_back(l[(k + 1) % l.size()].v);
                nbrs.push_back(l[(k + l.size() - 1) % l.size()].v);
            }
        }
        std::sort(nbrs.begin(), nbrs.end());
        nbrs.erase(std::unique(nbrs.begin(), nbrs.end()), nbrs.end());
        if (nbrs.size() != 2 || faces.empty()) return false;
        const int u = nbrs[0], w = nbrs[1];
        if (faceRunning(u, w) >= 0 || faceRunning(w, u) >= 0) return false;  // already an edge
        for (int f : faces)
            if (loops[size_t(f)].size() <= 3) return false;
        for (int f : faces) {
            index(f, false);
            FaceLoop& l = loops[size_t(f)];
            l.erase(std::remove_if(l.begin(), l.end(), [v](const LoopCorner& c) { return c.v == v; }),
                    l.end());
            index(f, true);
        }
        return true;
    }
};

}  // namespace

EditResult deleteFaces(Mesh& mesh, const std::vector<int>& faces) {
    std::vector<char> drop(size_t(mesh.numFaces()), 0);
    for (int f : faces)
        if (f >= 0 && f < mesh.numFaces()) drop[size_t(f)] = 1;
    return keepFaces(mesh, drop);
}

EditResult deleteVertices(Mesh& mesh, const std::vector<int>& vertices) {
    std::vector<char> hit(size_t(mesh.numVertices()), 0);
    for (int v : vertices)
        if (v >= 0 && v < mesh.numVertices()) hit[size_t(v)] = 1;
    std::vector<char> drop(size_t(mesh.numFaces()), 0);
    for (int f = 0; f < mesh.numFaces(); ++f)
        for (int fv = mesh.faceOffsets[f]; fv < mesh.faceOffsets[f + 1]; ++fv)
            if (hit[size_t(mesh.faceVerts[fv])]) drop[size_t(f)] = 1;
    return keepFaces(mesh, drop);
}

EditResult deleteEdges(Mesh& mesh, const std::vector<int>& edges, bool cleanVertices) {
    EditResult r;
    const MeshTopology& topo = mesh.topology();
    LoopSet set;
    for (int f = 0; f < mesh.numFaces(); ++f) {
        set.loops.push_back(faceLoop(mesh, f));
        set.alive.push_back(1);
        set.index(f, true);
    }
    std::vector<int> ends;
    for (int e : edges) {
        if (e < 0 || e >= topo.numEdges()) continue;
        const int a = topo.edgeVertex(e, 0), b = topo.edgeVertex(e, 1);
        if (!set.join(a, b)) continue;
        ++r.changes;
        ends.push_back(a);
        ends.push_back(b);
    }
    if (r.changes == 0) {
        r.vertexMap = identity(mesh.numVertices());
        return r;
    }
    if (cleanVertices) {
        std::sort(ends.begin(), ends.end());
        ends.erase(std::unique(ends.begin(), ends.end()), ends.end());
        for (int v : ends) set.dissolve(v);
    }
    std::vector<FaceLoop> loops;
    for (size_t f = 0; f < set.loops.size(); ++f)
        if (set.alive[f]) loops.push_back(std::move(set.loops[f]));
    r.vertexMap = rebuildFaces(mesh, mesh.points, loops);
    return r;
}

MergeResult collapseEdges(Mesh& mesh, const std::vector<int>& edges) {
    const MeshTopology& topo = mesh.topology();
    // Groups joined by the edges (union-find); every vertex then names its group's root, and
    // mergeVertices puts each group at the mean of its vertices.
    std::vector<int> parent = identity(mesh.numVertices());
    auto root = [&parent](int v) {
        while (parent[size_t(v)] != v) v = parent[size_t(v)] = parent[size_t(parent[size_t(v)])];
        return v;
    };
    for (int e : edges) {
        if (e < 0 || e >= topo.numEdges()) continue;
        const int a = root(topo.edgeVertex(e, 0)), b = root(topo.edgeVertex(e, 1));
        if (a != b) parent[size_t(std::max(a, b))] = std::min(a, b);
    }
    std::vector<int> into(parent.size());
    for (size_t v = 0; v < into.size(); ++v) into[v] = root(int(v));
    return mergeVertices(mesh, into, MergePosition::Mean);
}

std::vector<int> edgesOfFaces(const Mesh& mesh, const std::vector<int>& faces) {
    const MeshTopology& topo = mesh.topology();
    std::vector<char> seen(size_t(topo.numEdges()), 0);
    std::vector<int> out;
    for (int f : faces) {
        if (f < 0 || f >= mesh.numFaces()) continue;
        for (int e : topo.faceEdges(f))
            if (!seen[size_t(e)]) {
                seen[size_t(e)] = 1;
                out.push_back(e);
            }
    }
    return out;
}

}  // namespace kxh::ops
