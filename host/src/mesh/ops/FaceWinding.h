#pragma once
// Triangulating and reversing faces, behind the host's polyTriangulate and polyNormal. Both rebuild the
// faces in place (face f becomes its triangles, or its reversed loop, at the same place in the face
// order); every corner keeps the UV and colour ids of the face-vertex it came from, and no vertex is
// added or removed. Face ids out of range are ignored.
#include <vector>

#include "mesh/Mesh.h"

namespace kxh::ops {

// Replaces each given face of more than three corners by its triangles, as MeshGeometry triangulates it
// (a fan from corner 0 when convex, ear clipping in its plane when not); the triangles of a face take its
// place in the face order, so later faces move up. Returns the number of faces triangulated.
int triangulateFaces(Mesh& mesh, const std::vector<int>& faces);

// Reverses the winding of each given face, keeping its first corner first (corners 0, n-1, ..., 1), so
// that its normal points the other way. The mesh may be left with shells whose faces disagree; callers
// that need a valid mesh check it. Returns the number of faces reversed.
int reverseFaces(Mesh& mesh, const std::vector<int>& faces);

// Every face of the mesh, for commands given a whole object.
std::vector<int> allFaces(const Mesh& mesh);

}  // namespace kxh::ops
