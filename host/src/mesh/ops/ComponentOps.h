#pragma once
// The component operations behind the host's delete, polyDelEdge, polyCollapseEdge, polySubdivideEdge and
// polyConnectComponents. Each edits the mesh in place and leaves it a valid manifold mesh with
// consistent winding; component ids out of range are ignored. UVs and colours stay on the corners that
// remain, new corners get values interpolated along their edge.
#include <vector>

#include "mesh/Mesh.h"
#include "mesh/ops/MergeVertices.h"

namespace kxh::ops {

struct EditResult {
    int changes = 0;             // faces deleted, edges deleted, edges collapsed or cut, faces split
    std::vector<int> vertexMap;  // old vertex id -> new id, -1 when removed (identity when nothing changed)
    bool changed() const { return changes > 0; }
};

// Deletes the faces; vertices left without a face are removed.
EditResult deleteFaces(Mesh& mesh, const std::vector<int>& faces);
// Deletes the vertices with every face around them (and vertices that then have no face).
EditResult deleteVertices(Mesh& mesh, const std::vector<int>& vertices);

// Deletes edges by joining the two faces on either side into one. An edge with a single face (on the
// boundary), or whose removal would make a face pass twice through a vertex (a face with a hole or a
// pinch), stays. Vertices left with no edge are removed. With cleanVertices, an end of a deleted edge
// that is left with exactly two edges is removed from its faces as well (the two edges become one),
// unless that would leave a face with fewer than three corners or join two vertices that already share an
// edge. `changes` counts the edges deleted.
EditResult deleteEdges(Mesh& mesh, const std::vector<int>& edges, bool cleanVertices);

// Collapses each connected group of the edges into one vertex at the mean of the group's vertices. Faces
// reduced below three corners go away (see mergeVertices).
MergeResult collapseEdges(Mesh& mesh, const std::vector<int>& edges);

// Cuts each edge into divisions + 1 equal parts: the new vertices go after all others, edge by edge in the
// order given (duplicates once), running from the edge's vertex 0 to its vertex 1, and both faces of the
// edge take them as corners. `changes` counts the edges cut.
EditResult subdivideEdges(Mesh& mesh, const std::vector<int>& edges, int divisions);

// Connects components inside each face: every given edge gets a new vertex at its middle (after all other
// vertices, in the order given), which both its faces take as a corner; then each face holding two or
// more of these points (midpoints of its given edges, its given vertices) is split along the chords
// between consecutive points, in the face's winding order: two points cut the face in two; three or more
// leave the polygon through the points and cut off the corners between them. A chord along an existing
// side cuts nothing. `changes` counts the edges cut and the faces split.
EditResult connectComponents(Mesh& mesh, const std::vector<int>& vertices, const std::vector<int>& edges);

// The edges of the faces (each once, in order of first appearance), for commands that take faces as the
// edges around them.
std::vector<int> edgesOfFaces(const Mesh& mesh, const std::vector<int>& faces);

}  // namespace kxh::ops
