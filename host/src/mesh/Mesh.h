#pragma once
// The host's polygon mesh: flat arrays, as the host stores them. Points are in the shape's object space,
// in centimetres. Faces are given by offsets into one face-vertex list. Derived topology (edges, the edges
// of each face, vertex-to-edge and vertex-to-face adjacency in rotational order) is built on first use and
// cached until the topology changes; normals are cached until the points change.
//
// Conventions the tools rely on:
//  - Edge ids are given in order of first appearance while walking faces in order and, inside a face,
//    corners in order; edge k of a face joins corner k and corner k+1 (wrapping).
//  - A vertex's connected edges and faces come in rotational order around the vertex (consistent with
//    the face winding), so that "the edge two places further" continues an edge loop on a quad grid.
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kxh {

struct V3 {
    double x = 0, y = 0, z = 0;
};

struct UvSet {
    std::string name = "map1";
    std::vector<float> u, v;
    // One UV id per face-vertex (same indexing as Mesh::faceVerts), -1 where the corner has no UV.
    std::vector<int> faceVertUv;
};

struct ColorSet {
    std::string name = "colorSet1";
    std::vector<std::array<float, 4>> colors;
    std::vector<int> faceVertColor;  // one colour id per face-vertex, -1 for none
};

class MeshTopology;  // derived adjacency, see MeshTopology.h

class Mesh {
public:
    // --- stored data -----------------------------------------------------------------------------------
    std::vector<V3> points;
    std::vector<int> faceOffsets{0};  // numFaces()+1 entries; face f uses faceVerts[faceOffsets[f] .. faceOffsets[f+1])
    std::vector<int> faceVerts;       // vertex id of every face-vertex
    std::vector<UvSet> uvSets;        // may be empty (no UVs)
    int currentUvSet = 0;
    std::vector<ColorSet> colorSets;
    int currentColorSet = 0;
    std::map<std::pair<int, int>, double> edgeCreases;  // keyed by the sorted vertex pair of the edge
    std::vector<std::pair<int, V3>> lockedNormals;       // per-vertex locked normals

    // --- sizes -----------------------------------------------------------------------------------------
    int numVertices() const { return int(points.size()); }
    int numFaces() const { return int(faceOffsets.size()) - 1; }
    int numFaceVertices() const { return int(faceVerts.size()); }
    int faceSize(int f) const { return faceOffsets[f + 1] - faceOffsets[f]; }
    int numEdges() const;

    // --- building ----------------------------------------------------------------------------------------
    // Appends a face given its vertex ids (in winding order); returns its id.
    int addFace(const std::vector<int>& verts);
    // Call after editing faceOffsets/faceVerts directly: drops derived topology.
    void topologyChanged();
    // Call after editing points directly: drops cached normals and bounds.
    void pointsChanged();

    // --- derived ---------------------------------------------------------------------------------------
    const MeshTopology& topology() const;  // built on first use

private:
    mutable std::shared_ptr<MeshTopology> topo_;
};

using MeshPtr = std::shared_ptr<Mesh>;
using ConstMeshPtr = std::shared_ptr<const Mesh>;

}  // namespace kxh
