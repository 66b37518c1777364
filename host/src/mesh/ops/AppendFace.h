#pragma once
// Building faces one at a time, as the host's polyCreateFacet and polyAppendVertex do: a new mesh made of
// one face, and one more face on an existing mesh from a mix of existing vertices and new points.
//
// A face appended to a mesh must keep it a valid manifold with consistent winding: each of its edges that
// already exists must have exactly one face, which runs along it the other way. A face that runs the same
// way as all the neighbours it touches is reversed (keeping its first corner first) when that makes it
// consistent; a face that agrees with some neighbours and disagrees with others, or that would give an
// edge a third face, is refused and the mesh is left unchanged.
#include <string>
#include <vector>

#include "mesh/Mesh.h"

namespace kxh::ops {

// One corner of a face to build: an existing vertex, or a new point (object space, centimetres).
struct FaceCorner {
    bool newPoint = false;
    int vertex = -1;  // the existing vertex's id
    V3 point;         // the new point's position

    static FaceCorner existing(int id) { return FaceCorner{false, id, V3{}}; }
    static FaceCorner at(const V3& p) { return FaceCorner{true, -1, p}; }
    bool isNew() const { return newPoint; }
};

// A mesh holding one face through the points in order (vertex i = point i), with an empty "map1" UV set
// as every created mesh has. With subdivisions n > 1 every side is cut into n equal parts, the new points
// inserted along it in order. Needs three points or more (the caller checks).
Mesh createFacetMesh(const std::vector<V3>& points, int subdivisions = 1);

struct AppendResult {
    bool ok = false;
    std::string error;        // why the face was refused (ok false)
    int face = -1;            // id of the new face (the last face)
    int firstNewVertex = -1;  // id of the first new point's vertex (new points follow in corner order)
    bool reversed = false;    // the corners were reversed to match the neighbours' winding
};

// Appends one face through the corners in order. New points become vertices at the end of the vertex list
// in the order they appear among the corners. The new face has no UVs and no colours. On failure the mesh
// is unchanged and `error` says why: fewer than three corners, an id out of range, a vertex used twice,
// an edge that would get a third face, or a winding that cannot agree with the neighbours.
AppendResult appendFace(Mesh& mesh, const std::vector<FaceCorner>& corners, bool allowReverse = true);

}  // namespace kxh::ops
