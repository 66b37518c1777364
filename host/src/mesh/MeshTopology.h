#pragma once
// Derived adjacency of a Mesh, built in one pass over the face-vertex list and immutable afterwards (copies
// of a mesh share it). All lists are flat arrays with offsets.
//
//  - Edges are numbered in order of first appearance walking faces, then corners; edge k of a face joins
//    corner k and corner k+1. An edge's vertex 0 is the corner of the face that created it, vertex 1 the
//    next corner of that face, so the edge runs along the winding of its first face.
//  - An edge lists its faces in face order: one face = on the boundary, two = interior, more = non-manifold
//    (kept as they are; the validator reports them).
//  - A vertex lists its edges and faces in rotational order: counter-clockwise seen from the side the
//    faces' normals point to. Going from a face's outgoing edge (vertex -> next corner) to its incoming
//    edge (previous corner -> vertex), then on to the face that has that edge as its outgoing edge, and so
//    on. A boundary vertex starts at the boundary edge that has no face before it and ends at the other
//    boundary edge (one edge more than faces); an interior vertex starts at its lowest face's outgoing
//    edge. Vertices with several fans (non-manifold) list one fan after the other.
//  - A vertex's neighbours follow its edges (the far end of each); a face's neighbours follow its edges.
#include <cstddef>
#include <vector>

#include "mesh/Mesh.h"

namespace kxh {

// A read-only view of consecutive ids inside one of the flat arrays.
class IdRange {
public:
    IdRange() = default;
    IdRange(const int* b, const int* e) : b_(b), e_(e) {}
    const int* begin() const { return b_; }
    const int* end() const { return e_; }
    int size() const { return int(e_ - b_); }
    bool empty() const { return b_ == e_; }
    int operator[](int i) const { return b_[i]; }
    std::vector<int> toVector() const { return std::vector<int>(b_, e_); }
    bool contains(int id) const {
        for (const int* p = b_; p != e_; ++p)
            if (*p == id) return true;
        return false;
    }

private:
    const int* b_ = nullptr;
    const int* e_ = nullptr;
};

class MeshTopology {
public:
    // The mesh's offsets must be monotonic and in range and its vertex ids in range (validateMesh checks
    // this); faces with fewer than three corners or repeated vertices are tolerated without crashing.
    explicit MeshTopology(const Mesh& mesh);

    int numEdges() const { return int(edgeVerts_.size() / 2); }
    int numVertices() const { return int(vertEdgeOffsets_.size()) - 1; }
    int numFaces() const { return int(faceNbrOffsets_.size()) - 1; }

    // --- per face-vertex ------------------------------------------------------------------------------
    int faceVertEdge(int fv) const { return faceVertEdge_[fv]; }  // edge from this corner to the next
    int faceOfFaceVert(int fv) const { return faceVertFace_[fv]; }
    const std::vector<int>& faceVertEdges() const { return faceVertEdge_; }

    // --- edges ------------------------------------------------------------------------------------------
    int edgeVertex(int e, int which) const { return edgeVerts_[2 * e + which]; }
    IdRange edgeFaces(int e) const { return range(edgeFaceOffsets_, edgeFaces_, e); }
    bool edgeOnBoundary(int e) const { return edgeFaceOffsets_[e + 1] - edgeFaceOffsets_[e] == 1; }
    // The edge joining vertices a and b (either direction), or -1. O(valence).
    int findEdge(int a, int b) const;

    // --- vertices ---------------------------------------------------------------------------------------
    IdRange vertexEdges(int v) const { return range(vertEdgeOffsets_, vertEdges_, v); }
    IdRange vertexNeighbours(int v) const { return range(vertEdgeOffsets_, vertNbrs_, v); }
    IdRange vertexFaces(int v) const { return range(vertFaceOffsets_, vertFaces_, v); }
    // The face-vertex (corner) of v in each of vertexFaces(v), same order.
    IdRange vertexFaceVerts(int v) const { return range(vertFaceOffsets_, vertFaceVerts_, v); }
    bool vertexOnBoundary(int v) const { return vertBoundary_[v] != 0; }

    // --- faces ------------------------------------------------------------------------------------------
    IdRange faceEdges(int f) const { return range(faceOffsets_, faceVertEdge_, f); }  // polygon order
    IdRange faceNeighbours(int f) const { return range(faceNbrOffsets_, faceNbrs_, f); }
    bool faceOnBoundary(int f) const { return faceBoundary_[f] != 0; }

    bool operator==(const MeshTopology& o) const;
    bool operator!=(const MeshTopology& o) const { return !(*this == o); }

private:
    static IdRange range(const std::vector<int>& offs, const std::vector<int>& ids, int i) {
        const int* base = ids.data();
        return IdRange(base + offs[i], base + offs[i + 1]);
    }
    void buildEdges(const Mesh& mesh);
    void buildEdgeFaces();
    void buildVertexFans(const Mesh& mesh);
    void buildFaceNeighbours();

    std::vector<int> faceOffsets_;  // copy of the mesh's offsets, so faceEdges() needs no mesh
    std::vector<int> faceVertEdge_, faceVertFace_;
    std::vector<int> edgeVerts_;  // 2 per edge
    std::vector<int> edgeFaceOffsets_, edgeFaces_;
    std::vector<int> vertEdgeOffsets_, vertEdges_, vertNbrs_;
    std::vector<int> vertFaceOffsets_, vertFaces_, vertFaceVerts_;
    std::vector<char> vertBoundary_;
    std::vector<int> faceNbrOffsets_, faceNbrs_;
    std::vector<char> faceBoundary_;
};

}  // namespace kxh
