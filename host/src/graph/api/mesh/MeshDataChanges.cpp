#include "graph/api/mesh/MeshDataChanges.h"

#include <algorithm>

#include "mesh/MeshMath.h"

namespace kxh {

namespace {

template <class T>
size_t bytesOf(const std::vector<T>& v) {
    return v.capacity() * sizeof(T);
}

// Entries of one array that a change rewrites (old and new values), plus entries it appends.
template <class T>
struct ArrayDelta {
    size_t oldSize = 0, newSize = 0;
    std::vector<int> ids;
    std::vector<T> before, after, appended;

    void apply(std::vector<T>& a, bool forward) const {
        if (forward) {
            a.resize(oldSize);
            for (size_t k = 0; k < ids.size(); ++k) a[size_t(ids[k])] = after[k];
            a.insert(a.end(), appended.begin(), appended.end());
        } else {
            for (size_t k = 0; k < ids.size(); ++k) a[size_t(ids[k])] = before[k];
            a.resize(oldSize);
        }
    }
    bool empty() const { return ids.empty() && appended.empty(); }
    size_t bytes() const { return bytesOf(ids) + bytesOf(before) + bytesOf(after) + bytesOf(appended); }
    void seal() {
        ids.shrink_to_fit();
        before.shrink_to_fit();
        after.shrink_to_fit();
        appended.shrink_to_fit();
    }
};

// The delta turning `cur` into `next` (next at least as long as cur).
template <class T>
ArrayDelta<T> diff(const std::vector<T>& cur, const std::vector<T>& next) {
    ArrayDelta<T> d;
    d.oldSize = cur.size();
    d.newSize = next.size();
    for (size_t i = 0; i < cur.size(); ++i)
        if (!(cur[i] == next[i])) {
            d.ids.push_back(int(i));
            d.before.push_back(cur[i]);
            d.after.push_back(next[i]);
        }
    d.appended.assign(next.begin() + std::ptrdiff_t(cur.size()), next.end());
    d.seal();
    return d;
}

class UvChange : public MeshDataChange {
public:
    UvChange(int set, ArrayDelta<float> u, ArrayDelta<float> v)
        : set_(set), u_(std::move(u)), v_(std::move(v)) {}
    void apply(Mesh& mesh, bool forward) const override {
        UvSet& s = mesh.uvSets[size_t(set_)];
        u_.apply(s.u, forward);
        v_.apply(s.v, forward);
    }
    size_t bytes() const override { return sizeof(*this) + u_.bytes() + v_.bytes(); }

private:
    int set_;
    ArrayDelta<float> u_, v_;
};

class FaceColorChange : public MeshDataChange {
public:
    FaceColorChange(int set, ArrayDelta<std::array<float, 4>> colors, ArrayDelta<int> corners)
        : set_(set), colors_(std::move(colors)), corners_(std::move(corners)) {}
    void apply(Mesh& mesh, bool forward) const override {
        ColorSet& s = mesh.colorSets[size_t(set_)];
        if (forward) {
            colors_.apply(s.colors, true);
            corners_.apply(s.faceVertColor, true);
        } else {
            corners_.apply(s.faceVertColor, false);
            colors_.apply(s.colors, false);
        }
    }
    size_t bytes() const override { return sizeof(*this) + colors_.bytes() + corners_.bytes(); }

private:
    int set_;
    ArrayDelta<std::array<float, 4>> colors_;
    ArrayDelta<int> corners_;
};

class LockedNormalChange : public MeshDataChange {
public:
    explicit LockedNormalChange(ArrayDelta<std::pair<int, V3>> locked) : locked_(std::move(locked)) {}
    void apply(Mesh& mesh, bool forward) const override { locked_.apply(mesh.lockedNormals, forward); }
    size_t bytes() const override { return sizeof(*this) + locked_.bytes(); }
    bool changesNormals() const override { return true; }

private:
    ArrayDelta<std::pair<int, V3>> locked_;
};

}  // namespace

std::shared_ptr<MeshDataChange> uvChange(const Mesh& mesh, int set, const std::vector<float>& u,
                                         const std::vector<float>& v) {
    const UvSet& s = mesh.uvSets[size_t(set)];
    ArrayDelta<float> du = diff(s.u, u), dv = diff(s.v, v);
    if (du.empty() && dv.empty()) return nullptr;
    return std::make_shared<UvChange>(set, std::move(du), std::move(dv));
}

std::shared_ptr<MeshDataChange> faceColorChange(const Mesh& mesh, int set,
                                                const std::vector<std::array<float, 4>>& colors,
                                                const std::vector<int>& faces) {
    if (faces.empty()) return nullptr;
    const ColorSet& s = mesh.colorSets[size_t(set)];
    ArrayDelta<std::array<float, 4>> dc;
    dc.oldSize = s.colors.size();
    dc.newSize = dc.oldSize + colors.size();
    dc.appended = colors;
    // Every corner of a listed face takes that face's new colour id (the last listing wins).
    std::vector<std::pair<int, int>> assign;  // (corner, colour id)
    for (size_t i = 0; i < faces.size(); ++i)
        for (int c = mesh.faceOffsets[size_t(faces[i])]; c < mesh.faceOffsets[size_t(faces[i]) + 1]; ++c)
            assign.emplace_back(c, int(dc.oldSize + i));
    std::stable_sort(assign.begin(), assign.end(), [](auto& a, auto& b) { return a.first < b.first; });
    ArrayDelta<int> dv;
    dv.oldSize = dv.newSize = s.faceVertColor.size();
    for (size_t k = 0; k < assign.size(); ++k) {
        if (k + 1 < assign.size() && assign[k + 1].first == assign[k].first) continue;
        dv.ids.push_back(assign[k].first);
        dv.before.push_back(s.faceVertColor[size_t(assign[k].first)]);
        dv.after.push_back(assign[k].second);
    }
    dc.seal();
    dv.seal();
    return std::make_shared<FaceColorChange>(set, std::move(dc), std::move(dv));
}

std::shared_ptr<MeshDataChange> lockedNormalChange(const Mesh& mesh, const std::vector<int>& vertices,
                                                   const std::vector<V3>& normals) {
    const auto& cur = mesh.lockedNormals;
    std::vector<int> slot(size_t(mesh.numVertices()), -1);
    for (size_t i = 0; i < cur.size(); ++i) slot[size_t(cur[i].first)] = int(i);
    ArrayDelta<std::pair<int, V3>> d;
    d.oldSize = cur.size();
    // A vertex listed twice keeps its last normal: later entries overwrite the earlier ones.
    std::vector<int> changedAt(cur.size(), -1);
    for (size_t i = 0; i < vertices.size(); ++i) {
        const int v = vertices[i];
        const V3& n = normals[i];
        if (slot[size_t(v)] < 0) {
            slot[size_t(v)] = int(cur.size() + d.appended.size());
            d.appended.emplace_back(v, n);
        } else if (size_t(slot[size_t(v)]) >= cur.size()) {
            d.appended[size_t(slot[size_t(v)]) - cur.size()].second = n;
        } else {
            const size_t at = size_t(slot[size_t(v)]);
            if (changedAt[at] < 0) {
                changedAt[at] = int(d.ids.size());
                d.ids.push_back(int(at));
                d.before.push_back(cur[at]);
                d.after.push_back(cur[at]);
            }
            d.after[size_t(changedAt[at])].second = n;
        }
    }
    d.newSize = d.oldSize + d.appended.size();
    // Entries rewritten with the value they had are no change.
    size_t kept = 0;
    for (size_t k = 0; k < d.ids.size(); ++k) {
        if (d.before[k].second == d.after[k].second) continue;
        d.ids[kept] = d.ids[k];
        d.before[kept] = d.before[k];
        d.after[kept] = d.after[k];
        ++kept;
    }
    d.ids.resize(kept);
    d.before.resize(kept);
    d.after.resize(kept);
    if (d.empty()) return nullptr;
    d.seal();
    return std::make_shared<LockedNormalChange>(std::move(d));
}

}  // namespace kxh
