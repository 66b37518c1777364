// MFnMesh: colour values and their per-corner assignment by id, colour representation and clamping.
// Edits go through MeshAccess::edit, so shapes with history keep them in their edit layer.
#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>

#include <algorithm>

#include "graph/api/mesh/MeshAccess.h"
#include "graph/api/mesh/MeshColors.h"

using namespace kxh;

namespace {

// A value as a set stores it: the set's channels (the call's representation narrows them further), and
// clamped to 0..1 when the set is clamped.
std::array<float, 4> storedValue(const ColorSet& set, const MColor& c, MFnMesh::MColorRepresentation rep) {
    auto narrow = MFnMesh::MColorRepresentation(std::min(int(rep), set.representation));
    std::array<float, 4> v = rgbaOf(c, narrow);
    if (set.representation == MFnMesh::kAlpha) v = {1.f, 1.f, 1.f, c.a};
    if (set.clamped)
        for (float& x : v) x = std::min(1.f, std::max(0.f, x));
    return v;
}

// Runs a change on the colour set a call names (made as "colorSet1" when the mesh has none and no name is
// given); fails for a name the mesh does not have.
MStatus editColors(const MObject& object, const MDagPath& path, const MString* set,
                   const std::function<MStatus(Mesh&, ColorSet&)>& change) {
    if (object.isNull()) return MS::kFailure;
    MeshAccess a(object, path);
    return a.edit([&](Mesh& m) -> MStatus {
        int s = colorSetForEdit(m, set);
        if (s < 0) return MS::kInvalidParameter;
        return change(m, m.colorSets[size_t(s)]);
    });
}

bool validRepresentation(int rep) {
    return rep == MFnMesh::kAlpha || rep == MFnMesh::kRGB || rep == MFnMesh::kRGBA;
}

}  // namespace

MStatus MFnMesh::createColorSet(MString& colorSetName, bool clamped, MColorRepresentation rep,
                                MDGModifier* modifier) {
    if (!validRepresentation(rep)) return MS::kInvalidParameter;
    MStatus st = createColorSet(colorSetName, modifier);
    if (!st) return st;
    const MString name = colorSetName;
    return editColors(object_, path_, &name, [&](Mesh&, ColorSet& set) {
        set.representation = rep;
        set.clamped = clamped;
        return MStatus(MS::kSuccess);
    });
}

MFnMesh::MColorRepresentation MFnMesh::getColorRepresentation(const MString& colorSet,
                                                              MStatus* ReturnStatus) const {
    MeshAccess a(object_, path_);
    ConstMeshPtr m = object_.isNull() ? nullptr : a.read();
    int s = m ? colorSetIndex(*m, &colorSet) : -1;
    setStatus(ReturnStatus, s >= 0 ? MS::kSuccess : MS::kInvalidParameter);
    return s >= 0 ? MColorRepresentation(m->colorSets[size_t(s)].representation) : kRGBA;
}

bool MFnMesh::isColorClamped(const MString& colorSet, MStatus* ReturnStatus) const {
    MeshAccess a(object_, path_);
    ConstMeshPtr m = object_.isNull() ? nullptr : a.read();
    int s = m ? colorSetIndex(*m, &colorSet) : -1;
    setStatus(ReturnStatus, s >= 0 ? MS::kSuccess : MS::kInvalidParameter);
    return s >= 0 && m->colorSets[size_t(s)].clamped;
}

MStatus MFnMesh::setIsColorClamped(const MString& colorSet, bool clamped) {
    if (colorSet.length() == 0) return MS::kInvalidParameter;
    return editColors(object_, path_, &colorSet, [&](Mesh&, ColorSet& set) {
        set.clamped = clamped;
        if (clamped)
            for (auto& c : set.colors)
                for (float& x : c) x = std::min(1.f, std::max(0.f, x));
        return MStatus(MS::kSuccess);
    });
}

MStatus MFnMesh::setColors(const MColorArray& colors, const MString* colorSet, MColorRepresentation rep) {
    if (!validRepresentation(rep)) return MS::kInvalidParameter;
    return editColors(object_, path_, colorSet, [&](Mesh&, ColorSet& set) -> MStatus {
        // Ids the corners use must stay valid: the array may grow the set, not cut assigned ids off.
        int highest = -1;
        for (int id : set.faceVertColor) highest = std::max(highest, id);
        if (int(colors.length()) <= highest) return MS::kInvalidParameter;
        set.colors.resize(colors.length());
        for (unsigned i = 0; i < colors.length(); ++i) set.colors[i] = storedValue(set, colors[i], rep);
        return MS::kSuccess;
    });
}

MStatus MFnMesh::setColor(int colorId, const MColor& color, const MString* colorSet,
                          MColorRepresentation rep) {
    if (!validRepresentation(rep) || colorId < 0) return MS::kInvalidParameter;
    return editColors(object_, path_, colorSet, [&](Mesh&, ColorSet& set) -> MStatus {
        // Setting the id just past the end appends it, as the API grows the colour array on demand.
        if (colorId > int(set.colors.size())) return MS::kInvalidParameter;
        if (colorId == int(set.colors.size())) set.colors.emplace_back();
        set.colors[size_t(colorId)] = storedValue(set, color, rep);
        return MS::kSuccess;
    });
}

MStatus MFnMesh::assignColors(const MIntArray& colorIds, const MString* colorSet) {
    return editColors(object_, path_, colorSet, [&](Mesh& m, ColorSet& set) -> MStatus {
        if (int(colorIds.length()) != m.numFaceVertices()) return MS::kInvalidParameter;
        for (int id : colorIds)
            if (id < -1 || id >= int(set.colors.size())) return MS::kInvalidParameter;
        set.faceVertColor.assign(colorIds.vec().begin(), colorIds.vec().end());
        return MS::kSuccess;
    });
}

MStatus MFnMesh::assignColor(int polygonId, int vertexIndex, int colorId, const MString* colorSet) {
    return editColors(object_, path_, colorSet, [&](Mesh& m, ColorSet& set) -> MStatus {
        if (polygonId < 0 || polygonId >= m.numFaces() || vertexIndex < 0 ||
            vertexIndex >= m.faceSize(polygonId) || colorId < 0 || colorId >= int(set.colors.size()))
            return MS::kInvalidParameter;
        set.faceVertColor[size_t(m.faceOffsets[size_t(polygonId)] + vertexIndex)] = colorId;
        return MS::kSuccess;
    });
}

MStatus MFnMesh::getColorIndex(int faceIndex, int localVertexIndex, int& colorIndex,
                               const MString* colorSet) {
    colorIndex = -1;
    MeshAccess a(object_, path_);
    ConstMeshPtr m = object_.isNull() ? nullptr : a.read();
    if (!m) return MS::kFailure;
    int s = colorSetIndex(*m, colorSet);
    if (s < 0 || faceIndex < 0 || faceIndex >= m->numFaces() || localVertexIndex < 0 ||
        localVertexIndex >= m->faceSize(faceIndex))
        return MS::kInvalidParameter;
    colorIndex =
        m->colorSets[size_t(s)].faceVertColor[size_t(m->faceOffsets[size_t(faceIndex)] + localVertexIndex)];
    return colorIndex >= 0 ? MS::kSuccess : MS::kFailure;
}

MStatus MFnMesh::getFaceVertexColorIndex(int faceIndex, int localVertexIndex, int& colorIndex,
                                         const MString* colorSet) {
    return getColorIndex(faceIndex, localVertexIndex, colorIndex, colorSet);
}

MStatus MFnMesh::setFaceVertexColor(const MColor& color, int faceIndex, int vertexIndex,
                                    MDGModifier* modifier, MColorRepresentation rep) {
    MColorArray colors;
    colors.append(color);
    MIntArray faces, vertices;
    faces.append(faceIndex);
    vertices.append(vertexIndex);
    return setFaceVertexColors(colors, faces, vertices, modifier, rep);
}

// Each (face, vertex) corner gets a colour of its own; `vertexIndex` holds mesh vertex ids, found among
// the face's corners.
MStatus MFnMesh::setFaceVertexColors(MColorArray& colors, MIntArray& faceIndex, MIntArray& vertexIndex,
                                     MDGModifier*, MColorRepresentation rep) {
    if (colors.length() != faceIndex.length() || colors.length() != vertexIndex.length() ||
        !validRepresentation(rep))
        return MS::kInvalidParameter;
    return editColors(object_, path_, nullptr, [&](Mesh& m, ColorSet& set) -> MStatus {
        for (unsigned i = 0; i < colors.length(); ++i) {
            const int f = faceIndex[i];
            if (f < 0 || f >= m.numFaces()) return MS::kInvalidParameter;
            int corner = -1;
            for (int c = m.faceOffsets[size_t(f)]; c < m.faceOffsets[size_t(f) + 1]; ++c)
                if (m.faceVerts[size_t(c)] == vertexIndex[i]) corner = c;
            if (corner < 0) return MS::kInvalidParameter;
            set.faceVertColor[size_t(corner)] = int(set.colors.size());
            set.colors.push_back(storedValue(set, colors[i], rep));
        }
        return MS::kSuccess;
    });
}
