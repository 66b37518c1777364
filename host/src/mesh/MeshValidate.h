#pragma once
// Structural check of a Mesh, for tests and for the host's own invariants after every edit.
#include <string>
#include <vector>

#include "mesh/Mesh.h"

namespace kxh {

// Empty when the mesh is valid; otherwise one line per fault found (at most a few per kind, then a count).
// Checks: face offsets start at 0, never decrease and end at faceVerts.size(); every face has at least
// three corners; vertex ids are in range and not repeated inside a face; points are finite; every directed
// edge is used by at most one face (consistent orientation) and no edge has more than two faces; UV and
// colour sets are parallel to faceVerts, their ids in range, each face has UVs on all corners or none;
// creases name existing edges; locked normals name existing vertices; and the cached topology and
// geometry, when built, equal a fresh rebuild (an edit that forgot topologyChanged()/pointsChanged()).
std::vector<std::string> validateMesh(const Mesh& mesh);

}  // namespace kxh
