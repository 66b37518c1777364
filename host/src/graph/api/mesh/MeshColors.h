#pragma once
// What the colour members of MFnMesh share (FnMeshMaps.cpp, FnMeshColors.cpp): the set an edit works on
// and the conversions between the API's colours and the mesh's RGBA values.
#include <maya/MColor.h>
#include <maya/MFnMesh.h>

#include <array>

#include "graph/api/mesh/MeshAccess.h"
#include "mesh/Mesh.h"

namespace kxh {

// The colour set a colour edit works on: the named or current one; with no colour set at all and no
// name given, a "colorSet1" is made and becomes current.
inline int colorSetForEdit(Mesh& m, const MString* set) {
    int s = colorSetIndex(m, set);
    if (s >= 0 || (set && set->length() > 0)) return s;
    ColorSet c;
    c.faceVertColor.assign(m.faceVerts.size(), -1);
    m.colorSets.push_back(std::move(c));
    m.currentColorSet = int(m.colorSets.size()) - 1;
    return m.currentColorSet;
}

inline std::array<float, 4> rgbaOf(const MColor& c, MFnMesh::MColorRepresentation rep) {
    switch (rep) {
        case MFnMesh::kAlpha:
            return {1.f, 1.f, 1.f, c.a};
        case MFnMesh::kRGB:
            return {c.r, c.g, c.b, 1.f};
        default:
            return {c.r, c.g, c.b, c.a};
    }
}

inline MColor colorOf(const std::array<float, 4>& c) {
    return MColor(c[0], c[1], c[2], c[3]);
}

}  // namespace kxh
