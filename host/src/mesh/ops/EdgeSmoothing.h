#pragma once
// Hard and soft edges by angle, as the smoothingAngle of the host's extrude and bevel sets them on the edges
// those operations make.
#include <utility>
#include <vector>

#include "mesh/Mesh.h"

namespace kxh::ops {

// The edges (sorted vertex pairs, each once) of the faces from `firstFace` to the last.
std::vector<std::pair<int, int>> edgesOfFacesFrom(const Mesh& mesh, int firstFace);

// Makes each edge hard when its two faces meet at more than `smoothingAngle` (radians, the angle between
// their normals) and soft otherwise. Edges with one face, and edges beside a face of no area (whose
// normal is undefined), are left as they are; so is every edge when the angle is pi or more (no two faces
// meet at more than that): the operations' way of saying "no smoothing asked". Face-vertex normals follow.
void smoothEdgesByAngle(Mesh& mesh, const std::vector<std::pair<int, int>>& edges, double smoothingAngle);

}  // namespace kxh::ops
