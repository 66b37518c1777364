#include "mesh/ops/CombineShells.h"

#include <algorithm>
#include <numeric>
#include <string>

#include "mesh/ops/ComponentOps.h"

namespace kxh::ops {

namespace {

// The names of the sets over all parts, in order of first appearance.
template <class GetSets>
std::vector<std::string> setNames(const std::vector<const Mesh*>& parts, GetSets sets) {
    std::vector<std::string> names;
    for (const Mesh* m : parts)
        for (const auto& s : sets(*m))
            if (std::find(names.begin(), names.end(), s.name) == names.end()) names.push_back(s.name);
    return names;
}

// Appends face-vertex ids shifted by `base` (-1 stays -1), or -1 for every corner when `ids` is null.
void appendIds(std::vector<int>& out, const std::vector<int>* ids, int base, int corners) {
    if (!ids) {
        out.insert(out.end(), size_t(corners), -1);
        return;
    }
    for (int id : *ids) out.push_back(id < 0 ? -1 : id + base);
}

int findRoot(std::vector<int>& parent, int v) {
    while (parent[size_t(v)] != v) v = parent[size_t(v)] = parent[size_t(parent[size_t(v)])];
    return v;
}

}  // namespace

Mesh combineMeshes(const std::vector<const Mesh*>& parts) {
    Mesh out;
    std::string currentUv, currentColor;
    for (const Mesh* m : parts) {
        if (currentUv.empty() && !m->uvSets.empty()) currentUv = m->uvSets[size_t(m->currentUvSet)].name;
        if (currentColor.empty() && !m->colorSets.empty())
            currentColor = m->colorSets[size_t(m->currentColorSet)].name;
    }
    for (const std::string& name : setNames(
             parts, [](const Mesh& m) -> const auto& { return m.uvSets; })) {
        UvSet set;
        set.name = name;
        for (const Mesh* m : parts) {
            const int i = m->findUvSet(name);
            const UvSet* src = i < 0 ? nullptr : &m->uvSets[size_t(i)];
            appendIds(set.faceVertUv, src ? &src->faceVertUv : nullptr, int(set.u.size()),
                      m->numFaceVertices());
            if (!src) continue;
            set.u.insert(set.u.end(), src->u.begin(), src->u.end());
            set.v.insert(set.v.end(), src->v.begin(), src->v.end());
        }
        if (name == currentUv) out.currentUvSet = int(out.uvSets.size());
        out.uvSets.push_back(std::move(set));
    }
    for (const std::string& name : setNames(
             parts, [](const Mesh& m) -> const auto& { return m.colorSets; })) {
        ColorSet set;
        set.name = name;
        bool first = true;
        for (const Mesh* m : parts) {
            const int i = m->findColorSet(name);
            const ColorSet* src = i < 0 ? nullptr : &m->colorSets[size_t(i)];
            appendIds(set.faceVertColor, src ? &src->faceVertColor : nullptr, int(set.colors.size()),
                      m->numFaceVertices());
            if (!src) continue;
            if (first) {
                set.representation = src->representation;
                set.clamped = src->clamped;
                first = false;
            }
            set.colors.insert(set.colors.end(), src->colors.begin(), src->colors.end());
        }
        if (name == currentColor) out.currentColorSet = int(out.colorSets.size());
        out.colorSets.push_back(std::move(set));
    }
    for (const Mesh* m : parts) {
        const int vbase = out.numVertices(), fvbase = out.numFaceVertices();
        out.points.insert(out.points.end(), m->points.begin(), m->points.end());
        for (int v : m->faceVerts) out.faceVerts.push_back(v + vbase);
        for (int f = 1; f <= m->numFaces(); ++f) out.faceOffsets.push_back(m->faceOffsets[f] + fvbase);
        for (const auto& [e, c] : m->edgeCreases) out.edgeCreases[{e.first + vbase, e.second + vbase}] = c;
        for (const auto& e : m->hardEdges) out.hardEdges.insert({e.first + vbase, e.second + vbase});
        for (const auto& [v, n] : m->lockedNormals) out.lockedNormals.emplace_back(v + vbase, n);
    }
    out.topologyChanged();
    out.pointsChanged();
    return out;
}

std::vector<std::vector<int>> meshShells(const Mesh& mesh) {
    std::vector<int> parent(size_t(mesh.numVertices()));
    std::iota(parent.begin(), parent.end(), 0);
    for (int f = 0; f < mesh.numFaces(); ++f)
        for (int fv = mesh.faceOffsets[f] + 1; fv < mesh.faceOffsets[f + 1]; ++fv) {
            const int a = findRoot(parent, mesh.faceVerts[size_t(mesh.faceOffsets[f])]);
            const int b = findRoot(parent, mesh.faceVerts[size_t(fv)]);
            if (a != b) parent[size_t(std::max(a, b))] = std::min(a, b);
        }
    std::vector<std::vector<int>> shells;
    std::vector<int> shellOfRoot(size_t(mesh.numVertices()), -1);
    for (int f = 0; f < mesh.numFaces(); ++f) {
        if (mesh.faceSize(f) == 0) continue;
        const int root = findRoot(parent, mesh.faceVerts[size_t(mesh.faceOffsets[f])]);
        int& shell = shellOfRoot[size_t(root)];
        if (shell < 0) {
            shell = int(shells.size());
            shells.emplace_back();
        }
        shells[size_t(shell)].push_back(f);
    }
    return shells;
}

Mesh extractFaces(const Mesh& mesh, const std::vector<int>& faces) {
    // Deleting the other faces drops the vertices only they use and keeps everything else in order.
    std::vector<char> keep(size_t(mesh.numFaces()), 0);
    for (int f : faces)
        if (f >= 0 && f < mesh.numFaces()) keep[size_t(f)] = 1;
    std::vector<int> others;
    for (int f = 0; f < mesh.numFaces(); ++f)
        if (!keep[size_t(f)]) others.push_back(f);
    Mesh out = mesh;
    deleteFaces(out, others);
    return out;
}

}  // namespace kxh::ops
