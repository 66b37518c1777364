#include "mesh/ops/MergeVertices.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <unordered_map>
#include <utility>

#include "mesh/ops/RebuildFaces.h"

namespace kxh::ops {

namespace {

// --- spatial hashing for the distance search ---------------------------------------------------------

struct CellKey {
    int64_t x, y, z;
    bool operator==(const CellKey& o) const { return x == o.x && y == o.y && z == o.z; }
};

struct CellHash {
    size_t operator()(const CellKey& k) const {
        uint64_t h = uint64_t(k.x) * 0x9E3779B97F4A7C15ull;
        h ^= uint64_t(k.y) * 0xC2B2AE3D27D4EB4Full + (h << 6) + (h >> 2);
        h ^= uint64_t(k.z) * 0x165667B19E3779F9ull + (h << 6) + (h >> 2);
        return size_t(h);
    }
};

// Cell index of a coordinate, clamped so that huge coordinates over tiny cells cannot overflow (clamped
// points share a cell, which is slower but still exact).
int64_t cellOf(double c, double cell) {
    const double i = std::floor(c / cell);
    constexpr double kLimit = 4.0e15;
    return int64_t(std::max(-kLimit, std::min(kLimit, i)));
}

double distance2(const V3& a, const V3& b) {
    const double dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    return dx * dx + dy * dy + dz * dz;
}

// --- face rebuilding -----------------------------------------------------------------------------------

// A corner of a rebuilt face: its (new) vertex and the old face-vertex it comes from (for UVs, colours).
struct Corner {
    int v;
    int fv;
};

// Drops repeated consecutive corners (the wrap from the last corner to the first included).
void collapseRepeats(std::vector<Corner>& loop) {
    std::vector<Corner> out;
    out.reserve(loop.size());
    for (const Corner& c : loop)
        if (out.empty() || out.back().v != c.v) out.push_back(c);
    while (out.size() > 1 && out.back().v == out.front().v) out.pop_back();
    loop.swap(out);
}

// Splits a loop that passes twice through one vertex into loops that do not (in order of their first
// corner). The loop has no repeated consecutive corners, and neither have the pieces.
void splitAtRepeats(const std::vector<Corner>& loop, std::vector<std::vector<Corner>>& out) {
    const size_t n = loop.size();
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i + 1; j < n; ++j)
            if (loop[i].v == loop[j].v) {
                // Corners i..j-1 close on themselves; the rest (j..n-1 then 0..i-1) forms the other loop.
                std::vector<Corner> inner(loop.begin() + long(i), loop.begin() + long(j));
                std::vector<Corner> outer(loop.begin(), loop.begin() + long(i));
                outer.insert(outer.end(), loop.begin() + long(j), loop.end());
                // outer starts with the corners before i, so its first corner stays the face's first.
                splitAtRepeats(outer, out);
                splitAtRepeats(inner, out);
                return;
            }
    out.push_back(loop);
}

uint64_t directedKey(int a, int b) {
    return (uint64_t(uint32_t(a)) << 32) | uint32_t(b);
}
uint64_t edgeKey(int a, int b) {
    return a < b ? directedKey(a, b) : directedKey(b, a);
}

int findRoot(std::vector<int>& parent, int v) {
    int r = v;
    while (parent[r] != r) r = parent[r];
    while (parent[v] != r) {
        const int next = parent[v];
        parent[v] = r;
        v = next;
    }
    return r;
}

}  // namespace

std::vector<int> clusterByDistance(const std::vector<V3>& positions, const std::vector<int>& candidates,
                                   double distance) {
    const int nv = int(positions.size());
    std::vector<int> into(static_cast<size_t>(nv));
    std::iota(into.begin(), into.end(), 0);
    std::vector<int> ids;
    for (int c : candidates)
        if (c >= 0 && c < nv) ids.push_back(c);
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    if (ids.size() < 2) return into;

    const double d = std::isfinite(distance) && distance > 0 ? distance : 0.0;
    // A little slack so that a distance read back from decimal text still takes what it measured.
    const double d2 = d * d * (1 + 1e-9);
    const double cell = d > 0 ? d : 1e-9;
    std::unordered_map<CellKey, std::vector<int>, CellHash> grid;
    auto keyOf = [&](const V3& p) {
        return CellKey{cellOf(p.x, cell), cellOf(p.y, cell), cellOf(p.z, cell)};
    };
    for (int v : ids) grid[keyOf(positions[v])].push_back(v);

    std::vector<char> taken(static_cast<size_t>(nv), 0);
    for (int v : ids) {
        if (taken[v]) continue;
        taken[v] = 1;
        const V3& p = positions[v];
        const CellKey k = keyOf(p);
        for (int64_t dx = -1; dx <= 1; ++dx)
            for (int64_t dy = -1; dy <= 1; ++dy)
                for (int64_t dz = -1; dz <= 1; ++dz) {
                    auto it = grid.find(CellKey{k.x + dx, k.y + dy, k.z + dz});
                    if (it == grid.end()) continue;
                    for (int o : it->second)
                        if (!taken[o] && distance2(p, positions[o]) <= d2) {
                            taken[o] = 1;
                            into[o] = v;
                        }
                }
    }
    return into;
}

MergeResult mergeVertices(Mesh& mesh, const std::vector<int>& into, MergePosition position) {
    const int nv = mesh.numVertices();
    const int nf = mesh.numFaces();
    MergeResult r;
    r.vertexMap.resize(size_t(nv));
    std::iota(r.vertexMap.begin(), r.vertexMap.end(), 0);
    r.faceMap.resize(size_t(nf));
    std::iota(r.faceMap.begin(), r.faceMap.end(), 0);

    // Groups by union-find; the root of a group is always its lowest id.
    std::vector<int> parent(static_cast<size_t>(nv));
    std::iota(parent.begin(), parent.end(), 0);
    for (int v = 0; v < nv && v < int(into.size()); ++v) {
        const int w = into[v];
        if (w < 0 || w >= nv || w == v) continue;
        const int a = findRoot(parent, v), b = findRoot(parent, w);
        if (a < b)
            parent[b] = a;
        else if (b < a)
            parent[a] = b;
    }
    std::vector<int> rep(static_cast<size_t>(nv));
    for (int v = 0; v < nv; ++v) {
        rep[v] = findRoot(parent, v);
        if (rep[v] != v) ++r.mergedVertices;
    }
    if (r.mergedVertices == 0) return r;

    // Survivors keep their order; merged vertices take their survivor's new id.
    std::vector<V3> points;
    std::vector<int> members;
    for (int v = 0; v < nv; ++v) {
        if (rep[v] != v) continue;
        r.vertexMap[v] = int(points.size());
        points.push_back(mesh.points[v]);
        members.push_back(0);
    }
    for (int v = 0; v < nv; ++v) r.vertexMap[v] = r.vertexMap[rep[v]];
    if (position == MergePosition::Mean) {
        std::vector<V3> sums(points.size());
        for (int v = 0; v < nv; ++v) {
            const int id = r.vertexMap[v];
            sums[id].x += mesh.points[v].x;
            sums[id].y += mesh.points[v].y;
            sums[id].z += mesh.points[v].z;
            ++members[id];
        }
        for (size_t i = 0; i < points.size(); ++i)
            if (members[i] > 1)
                points[i] = V3{sums[i].x / members[i], sums[i].y / members[i], sums[i].z / members[i]};
    }

    // Rebuild the faces on the survivors.
    std::vector<int> faceVerts, faceOffsets{0}, sourceFv;
    faceVerts.reserve(mesh.faceVerts.size());
    sourceFv.reserve(mesh.faceVerts.size());
    std::unordered_map<uint64_t, int> directed, edgeFaces;
    // One entry per side and per edge: sized once, not grown by rehashing.
    directed.reserve(mesh.faceVerts.size());
    edgeFaces.reserve(mesh.faceVerts.size() / 2 + 16);
    std::vector<Corner> loop;
    std::vector<std::vector<Corner>> pieces;
    for (int f = 0; f < nf; ++f) {
        loop.clear();
        for (int fv = mesh.faceOffsets[f]; fv < mesh.faceOffsets[f + 1]; ++fv)
            loop.push_back(Corner{r.vertexMap[mesh.faceVerts[fv]], fv});
        collapseRepeats(loop);
        pieces.clear();
        splitAtRepeats(loop, pieces);
        r.faceMap[f] = -1;
        for (auto& piece : pieces) {
            const int n = int(piece.size());
            if (n < 3) continue;
            // An edge that an earlier face already runs the same way, or that has two faces already,
            // goes to a copy of its end vertex instead.
            for (int k = 0; k < n; ++k) {
                Corner& end = piece[(k + 1) % n];
                const int a = piece[k].v, b = end.v;
                auto used = edgeFaces.find(edgeKey(a, b));
                if (directed.count(directedKey(a, b)) || (used != edgeFaces.end() && used->second >= 2)) {
                    end.v = int(points.size());
                    points.push_back(points[b]);
                    ++r.addedVertices;
                }
            }
            for (int k = 0; k < n; ++k) {
                const int a = piece[k].v, b = piece[(k + 1) % n].v;
                directed[directedKey(a, b)] = 1;
                ++edgeFaces[edgeKey(a, b)];
            }
            if (r.faceMap[f] < 0) r.faceMap[f] = int(faceOffsets.size()) - 1;
            for (const Corner& c : piece) {
                faceVerts.push_back(c.v);
                sourceFv.push_back(c.fv);
            }
            faceOffsets.push_back(int(faceVerts.size()));
        }
        if (r.faceMap[f] < 0) ++r.droppedFaces;
    }

    // Per-corner data follows its corner.
    for (UvSet& set : mesh.uvSets) {
        std::vector<int> ids(sourceFv.size());
        for (size_t i = 0; i < sourceFv.size(); ++i) ids[i] = set.faceVertUv[size_t(sourceFv[i])];
        set.faceVertUv.swap(ids);
    }
    for (ColorSet& set : mesh.colorSets) {
        std::vector<int> ids(sourceFv.size());
        for (size_t i = 0; i < sourceFv.size(); ++i) ids[i] = set.faceVertColor[size_t(sourceFv[i])];
        set.faceVertColor.swap(ids);
    }

    // Creases and hard edges move to the welded edges that still exist (the largest crease wins).
    auto weldedEdge = [&](const std::pair<int, int>& e, std::pair<int, int>& out) {
        if (e.first < 0 || e.first >= nv || e.second < 0 || e.second >= nv) return false;
        const int a = r.vertexMap[e.first], b = r.vertexMap[e.second];
        if (a == b || !edgeFaces.count(edgeKey(a, b))) return false;
        out = {std::min(a, b), std::max(a, b)};
        return true;
    };
    std::map<std::pair<int, int>, double> creases;
    for (const auto& [e, value] : mesh.edgeCreases) {
        std::pair<int, int> w;
        if (!weldedEdge(e, w)) continue;
        auto it = creases.find(w);
        if (it == creases.end())
            creases.emplace(w, value);
        else
            it->second = std::max(it->second, value);
    }
    std::set<std::pair<int, int>> hard;
    for (const auto& e : mesh.hardEdges) {
        std::pair<int, int> w;
        if (weldedEdge(e, w)) hard.insert(w);
    }
    std::vector<std::pair<int, V3>> locked;
    for (const auto& [v, n] : mesh.lockedNormals)
        if (v >= 0 && v < nv && rep[v] == v) locked.emplace_back(r.vertexMap[v], n);

    installRebuilt(mesh, std::move(points), std::move(faceVerts), std::move(faceOffsets), std::move(creases),
                   std::move(hard), std::move(locked));
    return r;
}

MergeResult mergeByDistance(Mesh& mesh, const MergeOptions& options) {
    std::vector<int> all(size_t(mesh.numVertices()));
    std::iota(all.begin(), all.end(), 0);
    return mergeByDistance(mesh, all, options);
}

MergeResult mergeByDistance(Mesh& mesh, const std::vector<int>& candidates, const MergeOptions& options) {
    const std::vector<V3>& positions =
        options.measure && options.measure->size() == mesh.points.size() ? *options.measure : mesh.points;
    std::vector<int> ids;
    for (int c : candidates)
        if (c >= 0 && c < mesh.numVertices()) ids.push_back(c);
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    std::vector<int> into;
    if (options.alwaysMergeTwo && ids.size() == 2) {
        into.resize(size_t(mesh.numVertices()));
        std::iota(into.begin(), into.end(), 0);
        into[ids[1]] = ids[0];
    } else {
        into = clusterByDistance(positions, ids, options.distance);
    }
    return mergeVertices(mesh, into, options.position);
}

}  // namespace kxh::ops
