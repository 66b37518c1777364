// MFnMesh: UV sets (names, values, per-corner assignment, shells) and colour sets.
#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MFloatArray.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>
#include <maya/MStringArray.h>

#include <numeric>

#include "graph/api/mesh/MeshAccess.h"
#include "graph/api/mesh/MeshColors.h"
#include "graph/api/mesh/MeshDataChanges.h"
#include "graph/core/Scene.h"
#include "mesh/MeshTopology.h"

using namespace kxh;

namespace {

// A name not yet used by `taken`: the name itself, else the name with the first free number appended.
template <class Sets>
std::string freeName(const Sets& taken, const std::string& wanted) {
    auto used = [&](const std::string& n) {
        for (const auto& s : taken)
            if (s.name == n) return true;
        return false;
    };
    if (!used(wanted)) return wanted;
    for (int i = 1;; ++i)
        if (!used(wanted + std::to_string(i))) return wanted + std::to_string(i);
}

ConstMeshPtr readOf(const MObject& object, const MDagPath& path, MeshAccess& access) {
    access = MeshAccess(object, path);
    return object.isNull() ? nullptr : access.read();
}

// Runs an edit on the UV set a call names; fails when the set does not exist.
MStatus editUvSet(const MObject& object, const MDagPath& path, const MString* set,
                  const std::function<MStatus(Mesh&, UvSet&)>& change) {
    if (object.isNull()) return MS::kFailure;
    MeshAccess a(object, path);
    return a.edit([&](Mesh& m) -> MStatus {
        int s = uvSetIndex(m, set);
        if (s < 0) return MS::kInvalidParameter;
        return change(m, m.uvSets[size_t(s)]);
    });
}

// UV sets and colour sets keep the same bookkeeping in a mesh: a list of named sets, the index of the
// current one, a lookup by name, and the set a call names (its current one for no name). One of these
// names the members of either kind.
template <class Set>
struct SetList {
    std::vector<Set> Mesh::*sets;
    int Mesh::*current;
    int (Mesh::*find)(const std::string&) const;
    int (*named)(const Mesh&, const MString*);
};
const SetList<UvSet> kUvSets{&Mesh::uvSets, &Mesh::currentUvSet, &Mesh::findUvSet, &uvSetIndex};
const SetList<ColorSet> kColorSets{&Mesh::colorSets, &Mesh::currentColorSet, &Mesh::findColorSet,
                                   &colorSetIndex};

// How many UVs or colours (`size(set)`) the named set holds, the current one for an empty name. A set that
// is not there is an invalid parameter, except that with `noSetsNoValues` a mesh with no set of the kind
// at all simply has none when no name is given.
template <class Set, class Size>
int countInSet(const MObject& object, const MDagPath& path, const SetList<Set>& list, const MString& setName,
               bool noSetsNoValues, Size size, MStatus* ReturnStatus) {
    MeshAccess a;
    ConstMeshPtr m = readOf(object, path, a);
    if (!m) {
        setStatus(ReturnStatus, MS::kFailure);
        return 0;
    }
    int s = list.named(*m, &setName);
    bool none = noSetsNoValues && s < 0 && setName.length() == 0;
    setStatus(ReturnStatus, s >= 0 || none ? MS::kSuccess : MS::kInvalidParameter);
    return s >= 0 ? int(size(((*m).*list.sets)[size_t(s)])) : 0;
}

template <class Set>
MString currentSetName(const MObject& object, const MDagPath& path, const SetList<Set>& list,
                       MStatus* ReturnStatus) {
    MeshAccess a;
    ConstMeshPtr m = readOf(object, path, a);
    int s = m ? list.named(*m, nullptr) : -1;
    setStatus(ReturnStatus, m ? MS::kSuccess : MS::kFailure);
    return s >= 0 ? MString(((*m).*list.sets)[size_t(s)].name) : MString();
}

template <class Set>
MStatus getSetNames(const MObject& object, const MDagPath& path, const SetList<Set>& list,
                    MStringArray& setNames) {
    MeshAccess a;
    ConstMeshPtr m = readOf(object, path, a);
    if (!m) return MS::kFailure;
    setNames.clear();
    for (const Set& s : (*m).*list.sets) setNames.append(MString(s.name));
    return MS::kSuccess;
}

template <class Set>
MStatus setCurrentSet(const MObject& object, const MDagPath& path, const SetList<Set>& list,
                      const MString& setName) {
    if (object.isNull()) return MS::kFailure;
    MeshAccess a(object, path);
    return a.edit([&](Mesh& m) -> MStatus {
        int s = (m.*list.find)(setName.str());
        if (s < 0) return MS::kInvalidParameter;
        m.*list.current = s;
        return MS::kSuccess;
    });
}

// Deletes the named set; the current index keeps pointing at the same set, or at the one before a
// deleted current set (the first when there is none before). `keepLast` refuses to delete the only set.
template <class Set>
MStatus deleteSet(const MObject& object, const MDagPath& path, const SetList<Set>& list,
                  const MString& setName, bool keepLast) {
    if (object.isNull()) return MS::kFailure;
    MeshAccess a(object, path);
    return a.edit([&](Mesh& m) -> MStatus {
        std::vector<Set>& sets = m.*list.sets;
        int& current = m.*list.current;
        int s = (m.*list.find)(setName.str());
        if (s < 0 || (keepLast && sets.size() <= 1)) return MS::kInvalidParameter;
        sets.erase(sets.begin() + s);
        if (current > s || current >= int(sets.size())) --current;
        if (current < 0) current = 0;
        return MS::kSuccess;
    });
}

// The colour queries per face-vertex and per vertex: `colors` gets `count(mesh)` entries of
// defaultUnsetColor, or (-1, -1, -1, -1) when none is given, and `fill` sets the ones the colour set
// (named or current) has. A named set that does not exist is an error; no colour set at all leaves
// every entry unset.
MStatus readColors(const MObject& object, const MDagPath& path, const MString* colorSet,
                   const MColor* defaultUnsetColor, MColorArray& colors, int (Mesh::*count)() const,
                   const std::function<void(const Mesh&, const ColorSet&, std::vector<MColor>&)>& fill) {
    MeshAccess a;
    ConstMeshPtr m = readOf(object, path, a);
    if (!m) return MS::kFailure;
    const MColor unset = defaultUnsetColor ? *defaultUnsetColor : MColor(-1.f, -1.f, -1.f, -1.f);
    int s = colorSetIndex(*m, colorSet);
    if (s < 0 && colorSet && colorSet->length()) return MS::kInvalidParameter;
    auto& out = colors.vec();
    out.assign(size_t(((*m).*count)()), unset);
    if (s >= 0) fill(*m, m->colorSets[size_t(s)], out);
    return MS::kSuccess;
}

}  // namespace

// --- UV sets ----------------------------------------------------------------------------------------------

int MFnMesh::numUVs(MStatus* ReturnStatus) const {
    return numUVs(MString(), ReturnStatus);
}

int MFnMesh::numUVs(const MString& uvSet, MStatus* ReturnStatus) const {
    return countInSet(
        object_, path_, kUvSets, uvSet, false, [](const UvSet& s) { return s.u.size(); }, ReturnStatus);
}

MStatus MFnMesh::getUVSetNames(MStringArray& setNames) const {
    return getSetNames(object_, path_, kUvSets, setNames);
}

MString MFnMesh::currentUVSetName(MStatus* ReturnStatus, int) const {
    return currentSetName(object_, path_, kUvSets, ReturnStatus);
}

MStatus MFnMesh::getCurrentUVSetName(MString& setName, int instance) const {
    MStatus st;
    setName = currentUVSetName(&st, instance);
    return st;
}

MStatus MFnMesh::setCurrentUVSetName(const MString& setName, MDGModifier*, MSelectionList*) {
    return setCurrentSet(object_, path_, kUvSets, setName);
}

MString MFnMesh::createUVSetWithName(const MString& uvSetName, MDGModifier*, const MIntArray*,
                                     MStatus* ReturnStatus) {
    std::string given;
    MStatus st = MS::kFailure;
    if (!object_.isNull() && uvSetName.length() > 0) {
        MeshAccess a(object_, path_);
        st = a.edit([&](Mesh& m) -> MStatus {
            UvSet s;
            s.name = given = freeName(m.uvSets, uvSetName.str());
            s.faceVertUv.assign(m.faceVerts.size(), -1);
            m.uvSets.push_back(std::move(s));
            return MS::kSuccess;
        });
    } else if (!object_.isNull()) {
        st = MS::kInvalidParameter;
    }
    setStatus(ReturnStatus, st);
    return st ? MString(given) : MString();
}

MStatus MFnMesh::createUVSet(MString& uvSetName, MDGModifier* modifier, const MIntArray* instances) {
    MStatus st;
    MString given = createUVSetWithName(uvSetName, modifier, instances, &st);
    if (st) uvSetName = given;
    return st;
}

// The last remaining UV set cannot be deleted.
MStatus MFnMesh::deleteUVSet(const MString& setName, MDGModifier*, MSelectionList*) {
    return deleteSet(object_, path_, kUvSets, setName, true);
}

// Copies into an existing set of that name, or into a new one.
MString MFnMesh::copyUVSetWithName(const MString& fromName, const MString& toName, MDGModifier*,
                                   MStatus* ReturnStatus) {
    MStatus st = MS::kFailure;
    if (!object_.isNull()) {
        MeshAccess a(object_, path_);
        st = a.edit([&](Mesh& m) -> MStatus {
            int from = m.findUvSet(fromName.str());
            if (from < 0 || toName.length() == 0) return MS::kInvalidParameter;
            UvSet copy = m.uvSets[size_t(from)];
            copy.name = toName.str();
            int to = m.findUvSet(toName.str());
            if (to >= 0)
                m.uvSets[size_t(to)] = std::move(copy);
            else
                m.uvSets.push_back(std::move(copy));
            return MS::kSuccess;
        });
    }
    setStatus(ReturnStatus, st);
    return st ? toName : MString();
}

MStatus MFnMesh::copyUVSet(const MString& fromName, MString& toName, MDGModifier* modifier) {
    MStatus st;
    copyUVSetWithName(fromName, toName, modifier, &st);
    return st;
}

MStatus MFnMesh::renameUVSet(const MString& origName, const MString& newName, MDGModifier*) {
    if (object_.isNull()) return MS::kFailure;
    MeshAccess a(object_, path_);
    return a.edit([&](Mesh& m) -> MStatus {
        int s = m.findUvSet(origName.str());
        if (s < 0 || newName.length() == 0) return MS::kInvalidParameter;
        if (origName == newName) return MS::kSuccess;
        if (m.findUvSet(newName.str()) >= 0) return MS::kInvalidParameter;
        m.uvSets[size_t(s)].name = newName.str();
        return MS::kSuccess;
    });
}

MStatus MFnMesh::getUVs(MFloatArray& uArray, MFloatArray& vArray, const MString* uvSet) const {
    MeshAccess a;
    ConstMeshPtr m = readOf(object_, path_, a);
    if (!m) return MS::kFailure;
    int s = uvSetIndex(*m, uvSet);
    if (s < 0) return MS::kInvalidParameter;
    uArray.vec() = m->uvSets[size_t(s)].u;
    vArray.vec() = m->uvSets[size_t(s)].v;
    return MS::kSuccess;
}

// The arrays replace the set's UVs; they may grow the set but not shrink it (faces refer to the ids).
// Only the UVs that differ are written (in place when nothing else holds the mesh) and kept for undo.
MStatus MFnMesh::setUVs(const MFloatArray& uArray, const MFloatArray& vArray, const MString* uvSet) {
    if (uArray.length() != vArray.length()) return MS::kInvalidParameter;
    MeshAccess a;
    std::shared_ptr<MeshDataChange> change;
    {
        ConstMeshPtr m = readOf(object_, path_, a);
        if (!m) return MS::kFailure;
        int s = uvSetIndex(*m, uvSet);
        if (s < 0) return MS::kInvalidParameter;
        if (uArray.length() < m->uvSets[size_t(s)].u.size()) return MS::kInvalidParameter;
        change = uvChange(*m, s, uArray.vec(), vArray.vec());
    }  // the mesh is let go before the write, so that it can be written in place
    return a.change(change);
}

MStatus MFnMesh::getUV(int uvId, float& u, float& v, const MString* uvSet) const {
    MeshAccess a;
    ConstMeshPtr m = readOf(object_, path_, a);
    if (!m) return MS::kFailure;
    int s = uvSetIndex(*m, uvSet);
    if (s < 0) return MS::kInvalidParameter;
    const UvSet& set = m->uvSets[size_t(s)];
    if (uvId < 0 || uvId >= int(set.u.size())) return MS::kInvalidParameter;
    u = set.u[size_t(uvId)];
    v = set.v[size_t(uvId)];
    return MS::kSuccess;
}

// An id at or past the end grows the set (new UVs in between are at 0,0).
MStatus MFnMesh::setUV(int uvId, float u, float v, const MString* uvSet) {
    if (uvId < 0) return MS::kInvalidParameter;
    return editUvSet(object_, path_, uvSet, [&](Mesh&, UvSet& s) -> MStatus {
        if (uvId >= int(s.u.size())) {
            s.u.resize(size_t(uvId) + 1, 0.f);
            s.v.resize(size_t(uvId) + 1, 0.f);
        }
        s.u[size_t(uvId)] = u;
        s.v[size_t(uvId)] = v;
        return MS::kSuccess;
    });
}

MStatus MFnMesh::getPolygonUVid(int polygonId, int vertexIndex, int& uvId, const MString* uvSet) const {
    MeshAccess a;
    ConstMeshPtr m = readOf(object_, path_, a);
    if (!m) return MS::kFailure;
    int s = uvSetIndex(*m, uvSet);
    if (s < 0 || polygonId < 0 || polygonId >= m->numFaces() || vertexIndex < 0 ||
        vertexIndex >= m->faceSize(polygonId))
        return MS::kInvalidParameter;
    int id = m->uvSets[size_t(s)].faceVertUv[size_t(m->faceOffsets[size_t(polygonId)] + vertexIndex)];
    if (id < 0) return MS::kFailure;  // the corner has no UV
    uvId = id;
    return MS::kSuccess;
}

MStatus MFnMesh::getPolygonUV(int polygonId, int vertexIndex, float& u, float& v,
                              const MString* uvSet) const {
    int id = -1;
    MStatus st = getPolygonUVid(polygonId, vertexIndex, id, uvSet);
    if (!st) return st;
    return getUV(id, u, v, uvSet);
}

// A face has UVs on all its corners or on none, so assignUV only re-points a corner of a face that
// already has UVs; an unmapped face is mapped with assignUVs.
MStatus MFnMesh::assignUV(int polygonId, int vertexIndex, int uvId, const MString* uvSet) {
    return editUvSet(object_, path_, uvSet, [&](Mesh& m, UvSet& s) -> MStatus {
        if (polygonId < 0 || polygonId >= m.numFaces() || vertexIndex < 0 ||
            vertexIndex >= m.faceSize(polygonId))
            return MS::kInvalidParameter;
        if (uvId < 0 || uvId >= int(s.u.size())) return MS::kInvalidParameter;
        const int b = m.faceOffsets[size_t(polygonId)];
        if (s.faceVertUv[size_t(b)] < 0 && m.faceSize(polygonId) > 1) {
            for (int c = 0; c < m.faceSize(polygonId); ++c)
                if (c != vertexIndex && s.faceVertUv[size_t(b + c)] < 0) return MS::kFailure;
        }
        s.faceVertUv[size_t(b + vertexIndex)] = uvId;
        return MS::kSuccess;
    });
}

// uvCounts has one entry per face: the face's corner count (its corners take the next ids) or 0 (the
// face loses its UVs).
MStatus MFnMesh::assignUVs(const MIntArray& uvCounts, const MIntArray& uvIds, const MString* uvSet) {
    return editUvSet(object_, path_, uvSet, [&](Mesh& m, UvSet& s) -> MStatus {
        if (int(uvCounts.length()) != m.numFaces()) return MS::kInvalidParameter;
        std::vector<int> ids(m.faceVerts.size(), -1);
        unsigned next = 0;
        for (int f = 0; f < m.numFaces(); ++f) {
            int n = uvCounts[unsigned(f)];
            if (n == 0) continue;
            if (n != m.faceSize(f) || next + unsigned(n) > uvIds.length()) return MS::kInvalidParameter;
            for (int c = 0; c < n; ++c) {
                int id = uvIds[next++];
                if (id < 0 || id >= int(s.u.size())) return MS::kInvalidParameter;
                ids[size_t(m.faceOffsets[size_t(f)] + c)] = id;
            }
        }
        if (next != uvIds.length()) return MS::kInvalidParameter;
        s.faceVertUv = std::move(ids);
        return MS::kSuccess;
    });
}

MStatus MFnMesh::getAssignedUVs(MIntArray& uvCounts, MIntArray& uvIds, const MString* uvSet) const {
    MeshAccess a;
    ConstMeshPtr m = readOf(object_, path_, a);
    if (!m) return MS::kFailure;
    int s = uvSetIndex(*m, uvSet);
    if (s < 0) return MS::kInvalidParameter;
    const std::vector<int>& fv = m->uvSets[size_t(s)].faceVertUv;
    auto& counts = uvCounts.vec();
    auto& ids = uvIds.vec();
    counts.assign(size_t(m->numFaces()), 0);
    ids.clear();
    for (int f = 0; f < m->numFaces(); ++f) {
        const int b = m->faceOffsets[size_t(f)], e = m->faceOffsets[size_t(f) + 1];
        if (b == e || fv[size_t(b)] < 0) continue;
        counts[size_t(f)] = e - b;
        ids.insert(ids.end(), fv.begin() + b, fv.begin() + e);
    }
    return MS::kSuccess;
}

// UVs joined by a face side (consecutive corners of a mapped face) are in one shell. Shells are numbered
// in order of their lowest UV id; a UV no face uses is a shell of its own.
MStatus MFnMesh::getUvShellsIds(MIntArray& uvShellIds, unsigned int& nbUvShells, const MString* uvSet) const {
    MeshAccess a;
    ConstMeshPtr m = readOf(object_, path_, a);
    if (!m) return MS::kFailure;
    int s = uvSetIndex(*m, uvSet);
    if (s < 0) return MS::kInvalidParameter;
    const UvSet& set = m->uvSets[size_t(s)];
    const size_t n = set.u.size();
    std::vector<int> parent(n);
    std::iota(parent.begin(), parent.end(), 0);
    auto find = [&](int x) {
        while (parent[size_t(x)] != x) x = parent[size_t(x)] = parent[size_t(parent[size_t(x)])];
        return x;
    };
    for (int f = 0; f < m->numFaces(); ++f) {
        const int b = m->faceOffsets[size_t(f)], e = m->faceOffsets[size_t(f) + 1];
        for (int c = b; c < e; ++c) {
            int p = set.faceVertUv[size_t(c)], q = set.faceVertUv[size_t(c + 1 < e ? c + 1 : b)];
            if (p < 0 || q < 0) continue;
            int rp = find(p), rq = find(q);
            if (rp != rq) parent[size_t(std::max(rp, rq))] = std::min(rp, rq);
        }
    }
    auto& out = uvShellIds.vec();
    out.assign(n, -1);
    std::vector<int> shellOfRoot(n, -1);
    unsigned shells = 0;
    for (size_t i = 0; i < n; ++i) {
        int r = find(int(i));
        if (shellOfRoot[size_t(r)] < 0) shellOfRoot[size_t(r)] = int(shells++);
        out[i] = shellOfRoot[size_t(r)];
    }
    nbUvShells = shells;
    return MS::kSuccess;
}

MStatus MFnMesh::clearUVs(const MString* uvSet) {
    return editUvSet(object_, path_, uvSet, [&](Mesh&, UvSet& s) -> MStatus {
        s.u.clear();
        s.v.clear();
        std::fill(s.faceVertUv.begin(), s.faceVertUv.end(), -1);
        return MS::kSuccess;
    });
}

// --- colour sets
// --------------------------------------------------------------------------------------------

int MFnMesh::numColors(MStatus* ReturnStatus) const {
    return numColors(MString(), ReturnStatus);
}

// No colour set at all: no colours.
int MFnMesh::numColors(const MString& colorSet, MStatus* ReturnStatus) const {
    return countInSet(
        object_, path_, kColorSets, colorSet, true, [](const ColorSet& s) { return s.colors.size(); },
        ReturnStatus);
}

MStatus MFnMesh::getColorSetNames(MStringArray& setNames) const {
    return getSetNames(object_, path_, kColorSets, setNames);
}

MString MFnMesh::currentColorSetName(int, MStatus* ReturnStatus) const {
    return currentSetName(object_, path_, kColorSets, ReturnStatus);
}

MStatus MFnMesh::getCurrentColorSetName(MString& setName, int instance) const {
    MStatus st;
    setName = currentColorSetName(instance, &st);
    return st;
}

// A new empty colour set; the first colour set of a mesh becomes its current one.
MString MFnMesh::createColorSetWithName(const MString& colorSetName, MDGModifier*, MStatus* ReturnStatus) {
    std::string given;
    MStatus st = object_.isNull() ? MS::kFailure : MS::kInvalidParameter;
    if (!object_.isNull() && colorSetName.length() > 0) {
        MeshAccess a(object_, path_);
        st = a.edit([&](Mesh& m) -> MStatus {
            ColorSet s;
            s.name = given = freeName(m.colorSets, colorSetName.str());
            s.faceVertColor.assign(m.faceVerts.size(), -1);
            m.colorSets.push_back(std::move(s));
            if (m.colorSets.size() == 1) m.currentColorSet = 0;
            return MS::kSuccess;
        });
    }
    setStatus(ReturnStatus, st);
    return st ? MString(given) : MString();
}

MStatus MFnMesh::createColorSet(MString& colorSetName, MDGModifier* modifier) {
    MStatus st;
    MString given = createColorSetWithName(colorSetName, modifier, &st);
    if (st) colorSetName = given;
    return st;
}

MStatus MFnMesh::deleteColorSet(const MString& colorSetName, MDGModifier*, MSelectionList*) {
    return deleteSet(object_, path_, kColorSets, colorSetName, false);
}

MStatus MFnMesh::setCurrentColorSetName(const MString& colorSetName, MDGModifier*, MSelectionList*) {
    return setCurrentSet(object_, path_, kColorSets, colorSetName);
}

MStatus MFnMesh::getColors(MColorArray& colors, const MString* colorSet, const MColor*) const {
    MeshAccess a;
    ConstMeshPtr m = readOf(object_, path_, a);
    if (!m) return MS::kFailure;
    colors.clear();
    int s = colorSetIndex(*m, colorSet);
    if (s < 0) return colorSet && colorSet->length() ? MS::kInvalidParameter : MS::kSuccess;
    for (const auto& c : m->colorSets[size_t(s)].colors) colors.append(colorOf(c));
    return MS::kSuccess;
}

// One colour per face-vertex, in face-vertex order; corners without a colour get defaultUnsetColor, or
// (-1, -1, -1, -1) when none is given.
MStatus MFnMesh::getFaceVertexColors(MColorArray& colors, const MString* colorSet,
                                     const MColor* defaultUnsetColor) const {
    return readColors(object_, path_, colorSet, defaultUnsetColor, colors, &Mesh::numFaceVertices,
                      [](const Mesh&, const ColorSet& set, std::vector<MColor>& out) {
                          for (size_t i = 0; i < out.size(); ++i)
                              if (set.faceVertColor[i] >= 0)
                                  out[i] = colorOf(set.colors[size_t(set.faceVertColor[i])]);
                      });
}

// One colour per vertex: the average of its corners' colours (unset corners do not count).
MStatus MFnMesh::getVertexColors(MColorArray& colors, const MString* colorSet,
                                 const MColor* defaultUnsetColor) const {
    return readColors(object_, path_, colorSet, defaultUnsetColor, colors, &Mesh::numVertices,
                      [](const Mesh& m, const ColorSet& set, std::vector<MColor>& out) {
                          std::vector<std::array<float, 4>> sum(out.size(), {0, 0, 0, 0});
                          std::vector<int> count(out.size(), 0);
                          for (size_t c = 0; c < m.faceVerts.size(); ++c) {
                              int id = set.faceVertColor[c];
                              if (id < 0) continue;
                              size_t v = size_t(m.faceVerts[c]);
                              for (int k = 0; k < 4; ++k)
                                  sum[v][size_t(k)] += set.colors[size_t(id)][size_t(k)];
                              ++count[v];
                          }
                          for (size_t v = 0; v < out.size(); ++v)
                              if (count[v]) {
                                  float n = float(count[v]);
                                  out[v] = MColor(sum[v][0] / n, sum[v][1] / n, sum[v][2] / n, sum[v][3] / n);
                              }
                      });
}

// Each listed face gets one new colour on all its corners.
MStatus MFnMesh::setFaceColors(MColorArray& colors, MIntArray& faceIndex, MColorRepresentation rep) {
    if (colors.length() != faceIndex.length()) return MS::kInvalidParameter;
    if (object_.isNull()) return MS::kFailure;
    MeshAccess a(object_, path_);
    std::vector<std::array<float, 4>> rgba(colors.length());
    for (unsigned i = 0; i < colors.length(); ++i) rgba[i] = rgbaOf(colors[i], rep);
    std::shared_ptr<MeshDataChange> change;
    {
        ConstMeshPtr m = a.read();
        if (!m) return MS::kFailure;
        for (int f : faceIndex)
            if (f < 0 || f >= m->numFaces()) return MS::kInvalidParameter;
        int s = colorSetIndex(*m, nullptr);
        if (s >= 0) change = faceColorChange(*m, s, rgba, faceIndex.vec());
    }
    if (change) return a.change(change);
    if (faceIndex.length() == 0) return MS::kSuccess;
    // No colour set yet: the whole mesh is written with a new one.
    return a.edit([&](Mesh& m) -> MStatus {
        ColorSet& set = m.colorSets[size_t(colorSetForEdit(m, nullptr))];
        for (unsigned i = 0; i < faceIndex.length(); ++i) {
            int f = faceIndex[i];
            int id = int(set.colors.size());
            set.colors.push_back(rgba[i]);
            for (int c = m.faceOffsets[size_t(f)]; c < m.faceOffsets[size_t(f) + 1]; ++c)
                set.faceVertColor[size_t(c)] = id;
        }
        return MS::kSuccess;
    });
}

MStatus MFnMesh::setFaceColor(const MColor& color, int index, MColorRepresentation rep) {
    MColorArray c;
    c.append(color);
    MIntArray f;
    f.append(index);
    return setFaceColors(c, f, rep);
}

// Each listed vertex gets one new colour on all its corners.
MStatus MFnMesh::setVertexColors(MColorArray& colors, MIntArray& vertexIndex, MDGModifier*,
                                 MColorRepresentation rep) {
    if (colors.length() != vertexIndex.length()) return MS::kInvalidParameter;
    if (object_.isNull()) return MS::kFailure;
    MeshAccess a(object_, path_);
    return a.edit([&](Mesh& m) -> MStatus {
        for (int v : vertexIndex)
            if (v < 0 || v >= m.numVertices()) return MS::kInvalidParameter;
        ColorSet& set = m.colorSets[size_t(colorSetForEdit(m, nullptr))];
        const MeshTopology& t = m.topology();
        for (unsigned i = 0; i < vertexIndex.length(); ++i) {
            int id = int(set.colors.size());
            set.colors.push_back(rgbaOf(colors[i], rep));
            for (int c : t.vertexFaceVerts(vertexIndex[i])) set.faceVertColor[size_t(c)] = id;
        }
        return MS::kSuccess;
    });
}

MStatus MFnMesh::setVertexColor(const MColor& color, int vertexIndex, MDGModifier* modifier,
                                MColorRepresentation rep) {
    MColorArray c;
    c.append(color);
    MIntArray v;
    v.append(vertexIndex);
    return setVertexColors(c, v, modifier, rep);
}

MStatus MFnMesh::removeFaceColors(MIntArray& faceIndex) {
    if (object_.isNull()) return MS::kFailure;
    MeshAccess a(object_, path_);
    return a.edit([&](Mesh& m) -> MStatus {
        int s = colorSetIndex(m, nullptr);
        if (s < 0) return MS::kFailure;
        for (int f : faceIndex) {
            if (f < 0 || f >= m.numFaces()) return MS::kInvalidParameter;
            for (int c = m.faceOffsets[size_t(f)]; c < m.faceOffsets[size_t(f) + 1]; ++c)
                m.colorSets[size_t(s)].faceVertColor[size_t(c)] = -1;
        }
        return MS::kSuccess;
    });
}

MStatus MFnMesh::removeVertexColors(MIntArray& vertexIndex) {
    if (object_.isNull()) return MS::kFailure;
    MeshAccess a(object_, path_);
    return a.edit([&](Mesh& m) -> MStatus {
        int s = colorSetIndex(m, nullptr);
        if (s < 0) return MS::kFailure;
        const MeshTopology& t = m.topology();
        for (int v : vertexIndex) {
            if (v < 0 || v >= m.numVertices()) return MS::kInvalidParameter;
            for (int c : t.vertexFaceVerts(v)) m.colorSets[size_t(s)].faceVertColor[size_t(c)] = -1;
        }
        return MS::kSuccess;
    });
}

// Removes every colour of the set (the set stays). A mesh without colour sets has nothing to clear.
MStatus MFnMesh::clearColors(const MString* colorSet) {
    if (object_.isNull()) return MS::kFailure;
    MeshAccess a(object_, path_);
    ConstMeshPtr cur = a.read();
    if (!cur) return MS::kFailure;
    int s = colorSetIndex(*cur, colorSet);
    if (s < 0) return colorSet && colorSet->length() ? MS::kInvalidParameter : MS::kSuccess;
    return a.edit([&](Mesh& m) -> MStatus {
        ColorSet& set = m.colorSets[size_t(s)];
        set.colors.clear();
        std::fill(set.faceVertColor.begin(), set.faceVertColor.end(), -1);
        return MS::kSuccess;
    });
}

// The shape's displayColors attribute (mesh data has none).
MStatus MFnMesh::setDisplayColors(bool enable) {
    MeshAccess a(object_, path_);
    Node* n = a.shape();
    if (!n) return MS::kFailure;
    Plug p = n->findPlug("displayColors");
    if (p.isNull()) return MS::kFailure;
    return n->scene().setValue(p, Value(enable)) ? MS::kSuccess : MS::kFailure;
}

bool MFnMesh::displayColors(MStatus* ReturnStatus) {
    MeshAccess a(object_, path_);
    Node* n = a.shape();
    Plug p = n ? n->findPlug("displayColors") : Plug();
    setStatus(ReturnStatus, p.isNull() ? MS::kFailure : MS::kSuccess);
    return !p.isNull() && n->scene().evaluate(p).asBool();
}
