#pragma once
// Derived geometry of a Mesh: face normals (Newell), face areas and centres, vertex normals (angle- or
// area-weighted), the bounding box and the triangulation of every face. Each part is computed on first use
// and kept until the mesh's points or topology change (the Mesh drops this object then). Copies of a mesh
// share it.
#include <array>
#include <memory>
#include <vector>

#include "mesh/Mesh.h"

namespace kxh {

class MeshTopology;

class MeshGeometry {
public:
    // Keeps a reference to the mesh (which owns this object and drops it when its points or faces change,
    // or when it is copied or moved). Works over `topo` when given, else over the mesh's own topology,
    // fetched the first time adjacency is needed: face data, bounds, triangles and the bulk vertex normals
    // need none, so a mesh that is only drawn and ray-cast never builds its topology.
    explicit MeshGeometry(const Mesh& mesh, std::shared_ptr<const MeshTopology> topo = nullptr);
    // The geometry of the same mesh after a point edit: takes over what `previous` built (it describes the
    // points before the edit) and, on first use, brings it up to date for the vertices that moved only:
    // the faces around them, their triangulation, the vertex normals of those faces' corners, the bounds.
    MeshGeometry(const Mesh& mesh, MeshGeometry&& previous);
    // Whether a geometry of this mesh can be carried over a point edit (it built something, for the same
    // vertex count, over `topo` if it used a topology at all).
    bool carriesOver(const Mesh& mesh, const MeshTopology* topo) const;

    // Unit normal of a face by Newell's method (zero for a degenerate face), its area and vertex average.
    V3 faceNormal(int f) const { return faces().normals[f]; }
    double faceArea(int f) const { return faces().areas[f]; }
    V3 faceCentre(int f) const { return faces().centres[f]; }
    const std::vector<V3>& faceNormals() const { return faces().normals; }
    // Twice the vector area of a face: the unnormalised Newell normal.
    static V3 newellNormal(const Mesh& mesh, int f);

    // Vertex normals with locked normals applied; a vertex without faces gets the zero vector. Each sums
    // its faces' contributions in face-vertex order, so the bulk array (made in one pass over the faces,
    // without adjacency) and vertexNormal agree to the last bit.
    const std::vector<V3>& vertexNormals(bool angleWeighted) const;
    // One vertex normal, equal to vertexNormals(angleWeighted)[v]; O(valence) when the array is not built.
    V3 vertexNormal(int v, bool angleWeighted) const;

    // Bounds of all points (zero box for an empty mesh).
    V3 bboxMin() const { return bounds()[0]; }
    V3 bboxMax() const { return bounds()[1]; }

    // Triangulation: face f has faceSize(f)-2 triangles (none below three corners), numbered from 0 inside
    // the face. Convex faces are fanned from corner 0; concave ones are ear-clipped in their plane. Corners
    // are face-relative (0 .. faceSize-1), in the face's winding.
    int numTriangles() const { return int(tris().corners.size() / 3); }
    int faceTriangleCount(int f) const { return tris().offsets[f + 1] - tris().offsets[f]; }
    // Mesh-wide index of the first triangle of face f (triangles are stored face after face).
    int faceTriangleStart(int f) const { return tris().offsets[f]; }
    std::array<int, 3> triangleCorners(int f, int t) const {
        const int* p = &tris().corners[3 * (tris().offsets[f] + t)];
        return {p[0], p[1], p[2]};
    }
    // Vertex ids of triangle t of face f.
    std::array<int, 3> triangleVertices(int f, int t) const;
    bool faceIsConvex(int f) const;
    static bool faceIsConvex(const Mesh& mesh, int f);
    // Appends the face-relative corners of face f's triangles (as triangleCorners gives them) to `out`,
    // from the mesh's current points; what the triangulation above holds for the face.
    static void triangulateFace(const Mesh& mesh, int f, std::vector<int>& out);

    // True when every part built here equals the same part of `fresh` (built there on demand): a check
    // that this cache still describes the mesh's current points.
    bool agreesWith(const MeshGeometry& fresh) const;

private:
    struct FaceData {
        std::vector<V3> normals, centres;
        std::vector<double> areas;
    };
    struct Triangles {
        std::vector<int> offsets{0};
        std::vector<int> corners;
    };
    const FaceData& faces() const;
    const std::array<V3, 2>& bounds() const;
    const Triangles& tris() const;
    const std::vector<int>& lockSlots() const;
    V3 computeVertexNormal(int v, bool angleWeighted, const std::vector<V3>* newell) const;
    // What face f's corner c adds to its vertex's normal sum.
    V3 cornerContribution(int f, int c, const V3& newell, bool angleWeighted) const;
    const MeshTopology& topo() const;
    void keepSnapshot() const;
    void refresh() const;

    const Mesh& mesh_;
    std::shared_ptr<const MeshTopology> topoPtr_;  // the topology given, if any
    mutable const MeshTopology* topo_ = nullptr;   // the one in use, once needed
    mutable bool facesBuilt_ = false, boundsBuilt_ = false, trisBuilt_ = false, locksBuilt_ = false;
    mutable bool normalsBuilt_[2] = {false, false};
    mutable FaceData faces_;
    mutable std::vector<V3> newell_;
    mutable std::array<V3, 2> bounds_;
    mutable Triangles tris_;
    mutable std::vector<int> lockSlot_;  // per vertex: index into mesh.lockedNormals, or -1
    mutable std::vector<V3> vertexNormals_[2];
    // The points (and locked normals) the built parts describe; after a carry-over they differ from the
    // mesh's until refresh() updates the parts for the vertices that moved.
    mutable std::vector<V3> snapshot_;
    mutable std::vector<std::pair<int, V3>> lockedSnapshot_;
    mutable bool stale_ = false;
};

}  // namespace kxh
