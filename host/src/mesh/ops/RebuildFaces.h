#pragma once
// Rebuilding a mesh's faces from new corner loops, for the operations that cut, join or drop faces
// (delete, delete edge, subdivide edge, connect). Each corner of a new loop either comes from an old
// face-vertex (it keeps that corner's UV and colour ids) or lies between two old corners (it gets new UVs
// and colours interpolated between theirs, shared by every corner with the same two sources and
// parameter). Vertices that some old face used and that no new loop uses are removed; the others keep
// their order, so ids only ever move down.
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "mesh/Mesh.h"

namespace kxh::ops {

struct LoopCorner {
    int v = -1;    // vertex id into the point list given to rebuildFaces
    int fv = -1;   // the old face-vertex this corner copies, or -1 when interpolated
    int fvA = -1;  // interpolated corners: data = lerp(corner fvA, corner fvB, t)
    int fvB = -1;
    double t = 0;

    static LoopCorner from(int v, int fv) { return LoopCorner{v, fv, -1, -1, 0}; }
    static LoopCorner between(int v, int fvA, int fvB, double t) { return LoopCorner{v, -1, fvA, fvB, t}; }
};
using FaceLoop = std::vector<LoopCorner>;

// Replaces the mesh's faces by `loops` and its points by `points` (old vertices at their old ids, new
// ones after them), then drops vertices left unused. Creases and hard edges stay on edges whose two
// vertices survive and still form an edge; locked normals follow their vertices. Returns the map from the
// ids of `points` to the final ids (-1 for removed vertices).
std::vector<int> rebuildFaces(Mesh& mesh, std::vector<V3> points, const std::vector<FaceLoop>& loops);

// Puts rebuilt points, faces and edge and vertex data into the mesh in place of its own, and marks its
// topology and points changed: the last step of every operation that renumbers vertices or faces.
void installRebuilt(Mesh& mesh, std::vector<V3> points, std::vector<int> faceVerts,
                    std::vector<int> faceOffsets, std::map<std::pair<int, int>, double> creases,
                    std::set<std::pair<int, int>> hard, std::vector<std::pair<int, V3>> locked);

// The corners of face f as loop corners of the same vertices.
FaceLoop faceLoop(const Mesh& mesh, int f);

// A point between a and b at parameter t.
inline V3 lerp(const V3& a, const V3& b, double t) {
    return V3{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
}

}  // namespace kxh::ops
