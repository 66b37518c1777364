#pragma once
// Combining meshes into one and splitting a mesh into its shells, behind the host's polyUnite and
// polySeparate.
#include <vector>

#include "mesh/Mesh.h"

namespace kxh::ops {

// One mesh holding the parts one after the other: points, faces, creases, hard edges and locked normals
// of part k follow those of the parts before it, with their ids shifted. UV and colour sets are matched
// by name (in order of first appearance over the parts); a part without a set has no UVs or colours in
// it (-1 corners). The current sets are those current in the first part that has any.
Mesh combineMeshes(const std::vector<const Mesh*>& parts);

// The shells of the mesh: groups of faces joined through shared vertices, each listed in face order,
// ordered by their lowest face.
std::vector<std::vector<int>> meshShells(const Mesh& mesh);

// A mesh of the given faces only (in face order), with the vertices they use (in id order) and the UVs,
// colours, creases, hard edges and locked normals that go with them.
Mesh extractFaces(const Mesh& mesh, const std::vector<int>& faces);

}  // namespace kxh::ops
