#pragma once
// The changes behind the flat UV, face colour and vertex normal writes of MFnMesh: each is computed against
// the mesh as it stands and holds only the entries that differ (their old and new values), so the undo
// record of a write that moved a few UVs of a big mesh stays small. Null when nothing would change.
#include <array>
#include <memory>
#include <vector>

#include "graph/core/ScenePoints.h"
#include "mesh/Mesh.h"

namespace kxh {

// UV set `set` takes the arrays `u` and `v` (at least as long as the set; a longer array grows it).
std::shared_ptr<MeshDataChange> uvChange(const Mesh& mesh, int set, const std::vector<float>& u,
                                         const std::vector<float>& v);
// Colour set `set` gets one new colour per listed face, on all that face's corners (a face listed twice
// keeps its last colour). Faces must be valid.
std::shared_ptr<MeshDataChange> faceColorChange(const Mesh& mesh, int set,
                                                const std::vector<std::array<float, 4>>& colors,
                                                const std::vector<int>& faces);
// The listed vertices get these locked normals (object space, unit length). Vertices must be valid.
std::shared_ptr<MeshDataChange> lockedNormalChange(const Mesh& mesh, const std::vector<int>& vertices,
                                                   const std::vector<V3>& normals);

}  // namespace kxh
