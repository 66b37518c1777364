#include "mesh/ops/RebuildFaces.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

namespace kxh::ops {

namespace {

// New per-corner ids of one set (UV or colour): copied ids, or new entries interpolated between two old
// ids (one new entry per distinct (id, id, t), so corners that share both sources share the result).
template <typename AddBetween>
std::vector<int> cornerIds(const std::vector<int>& oldIds, const std::vector<FaceLoop>& loops,
                           AddBetween add) {
    std::vector<int> out;
    std::map<std::tuple<int, int, double>, int> made;
    for (const FaceLoop& loop : loops)
        for (const LoopCorner& c : loop) {
            if (c.fv >= 0) {
                out.push_back(oldIds[size_t(c.fv)]);
                continue;
            }
            int a = c.fvA >= 0 ? oldIds[size_t(c.fvA)] : -1, b = c.fvB >= 0 ? oldIds[size_t(c.fvB)] : -1;
            double t = c.t;
            if (a < 0 || b < 0) {
                out.push_back(-1);
                continue;
            }
            if (a == b) {
                out.push_back(a);
                continue;
            }
            if (b < a) {
                std::swap(a, b);
                t = 1 - t;
            }
            auto key = std::make_tuple(a, b, t);
            auto it = made.find(key);
            if (it == made.end()) it = made.emplace(key, add(a, b, t)).first;
            out.push_back(it->second);
        }
    return out;
}

std::pair<int, int> sortedPair(int a, int b) {
    return a < b ? std::make_pair(a, b) : std::make_pair(b, a);
}

}  // namespace

FaceLoop faceLoop(const Mesh& mesh, int f) {
    FaceLoop loop;
    for (int fv = mesh.faceOffsets[f]; fv < mesh.faceOffsets[f + 1]; ++fv)
        loop.push_back(LoopCorner::from(mesh.faceVerts[fv], fv));
    return loop;
}

std::vector<int> rebuildFaces(Mesh& mesh, std::vector<V3> points, const std::vector<FaceLoop>& loops) {
    const int oldCount = mesh.numVertices();
    const int total = int(points.size());
    // Which vertices stay: every one a new loop uses, and old ones no old face used either.
    std::vector<char> keep(size_t(total), 0), usedBefore(size_t(oldCount), 0);
    for (int v : mesh.faceVerts) usedBefore[size_t(v)] = 1;
    for (const FaceLoop& loop : loops)
        for (const LoopCorner& c : loop) keep[size_t(c.v)] = 1;
    for (int v = 0; v < oldCount; ++v)
        if (!usedBefore[size_t(v)]) keep[size_t(v)] = 1;
    std::vector<int> map(size_t(total), -1);
    std::vector<V3> finalPoints;
    for (int v = 0; v < total; ++v)
        if (keep[size_t(v)]) {
            map[size_t(v)] = int(finalPoints.size());
            finalPoints.push_back(points[size_t(v)]);
        }

    std::vector<int> faceVerts, faceOffsets{0};
    faceVerts.reserve(mesh.faceVerts.size());
    faceOffsets.reserve(loops.size() + 1);
    for (const FaceLoop& loop : loops) {
        for (const LoopCorner& c : loop) faceVerts.push_back(map[size_t(c.v)]);
        faceOffsets.push_back(int(faceVerts.size()));
    }
    // The edges that creases and hard edges could move to: only those are looked for among the new
    // faces' sides (a set of every edge would cost the whole mesh).
    std::set<std::pair<int, int>> wanted, edges;
    auto mapped = [&](const std::pair<int, int>& e, std::pair<int, int>& out) {
        if (e.first < 0 || e.second < 0 || e.first >= oldCount || e.second >= oldCount) return false;
        const int a = map[size_t(e.first)], b = map[size_t(e.second)];
        if (a < 0 || b < 0) return false;
        out = sortedPair(a, b);
        return true;
    };
    for (const auto& entry : mesh.edgeCreases) {
        std::pair<int, int> w;
        if (mapped(entry.first, w)) wanted.insert(w);
    }
    for (const auto& e : mesh.hardEdges) {
        std::pair<int, int> w;
        if (mapped(e, w)) wanted.insert(w);
    }
    if (!wanted.empty())
        for (size_t f = 0; f + 1 < faceOffsets.size(); ++f)
            for (int i = faceOffsets[f]; i < faceOffsets[f + 1]; ++i) {
                const int j = i + 1 < faceOffsets[f + 1] ? i + 1 : faceOffsets[f];
                const std::pair<int, int> e = sortedPair(faceVerts[size_t(i)], faceVerts[size_t(j)]);
                if (wanted.count(e)) edges.insert(e);
            }

    for (UvSet& set : mesh.uvSets)
        set.faceVertUv = cornerIds(set.faceVertUv, loops, [&set](int a, int b, double t) {
            set.u.push_back(float(set.u[size_t(a)] + (set.u[size_t(b)] - set.u[size_t(a)]) * t));
            set.v.push_back(float(set.v[size_t(a)] + (set.v[size_t(b)] - set.v[size_t(a)]) * t));
            return int(set.u.size()) - 1;
        });
    for (ColorSet& set : mesh.colorSets)
        set.faceVertColor = cornerIds(set.faceVertColor, loops, [&set](int a, int b, double t) {
            std::array<float, 4> c;
            for (int i = 0; i < 4; ++i)
                c[size_t(i)] =
                    float(set.colors[size_t(a)][size_t(i)] +
                          (set.colors[size_t(b)][size_t(i)] - set.colors[size_t(a)][size_t(i)]) * t);
            set.colors.push_back(c);
            return int(set.colors.size()) - 1;
        });

    // Data on edges and vertices follows the old vertices that survive.
    auto survivingEdge = [&](const std::pair<int, int>& e, std::pair<int, int>& out) {
        return mapped(e, out) && edges.count(out) > 0;
    };
    std::map<std::pair<int, int>, double> creases;
    for (const auto& [e, value] : mesh.edgeCreases) {
        std::pair<int, int> w;
        if (survivingEdge(e, w)) creases[w] = value;
    }
    std::set<std::pair<int, int>> hard;
    for (const auto& e : mesh.hardEdges) {
        std::pair<int, int> w;
        if (survivingEdge(e, w)) hard.insert(w);
    }
    std::vector<std::pair<int, V3>> locked;
    for (const auto& [v, n] : mesh.lockedNormals)
        if (v >= 0 && v < oldCount && map[size_t(v)] >= 0) locked.emplace_back(map[size_t(v)], n);

    installRebuilt(mesh, std::move(finalPoints), std::move(faceVerts), std::move(faceOffsets),
                   std::move(creases), std::move(hard), std::move(locked));
    return map;
}

void installRebuilt(Mesh& mesh, std::vector<V3> points, std::vector<int> faceVerts,
                    std::vector<int> faceOffsets, std::map<std::pair<int, int>, double> creases,
                    std::set<std::pair<int, int>> hard, std::vector<std::pair<int, V3>> locked) {
    mesh.points = std::move(points);
    mesh.faceVerts = std::move(faceVerts);
    mesh.faceOffsets = std::move(faceOffsets);
    mesh.edgeCreases = std::move(creases);
    mesh.hardEdges = std::move(hard);
    mesh.lockedNormals = std::move(locked);
    mesh.topologyChanged();
    mesh.pointsChanged();
}

}  // namespace kxh::ops
