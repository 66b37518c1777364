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
#include <set>
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
    int representation = 4;          // the channels set: 1 alpha, 3 RGB, 4 RGBA (MFnMesh's numbering)
    bool clamped = false;            // values are kept within 0..1
};

class MeshTopology;  // derived adjacency, see MeshTopology.h
class MeshGeometry;  // derived normals, centres, bounds and triangles, see MeshGeometry.h
class MeshBvh;       // the ray-query accelerator, see MeshBvh.h

// A fresh, process-wide unique data version (see Mesh::pointsVersion).
std::uint64_t newMeshDataVersion();

class Mesh {
public:
    // --- stored data -----------------------------------------------------------------------------------
    std::vector<V3> points;
    std::vector<int> faceOffsets{
        0};  // numFaces()+1 entries; face f uses faceVerts[faceOffsets[f] .. faceOffsets[f+1])
    std::vector<int> faceVerts;  // vertex id of every face-vertex
    std::vector<UvSet> uvSets;   // may be empty (no UVs)
    int currentUvSet = 0;
    std::vector<ColorSet> colorSets;
    int currentColorSet = 0;
    std::map<std::pair<int, int>, double> edgeCreases;  // keyed by the sorted vertex pair of the edge
    std::set<std::pair<int, int>> hardEdges;            // sorted vertex pairs; every other edge is smooth
    std::vector<std::pair<int, V3>> lockedNormals;      // per-vertex locked normals

    // --- sizes -----------------------------------------------------------------------------------------
    int numVertices() const { return int(points.size()); }
    int numFaces() const { return int(faceOffsets.size()) - 1; }
    int numFaceVertices() const { return int(faceVerts.size()); }
    int faceSize(int f) const { return faceOffsets[f + 1] - faceOffsets[f]; }
    int numEdges() const;

    // --- building ----------------------------------------------------------------------------------------
    // Appends a face given its vertex ids (in winding order); returns its id. Existing UV and colour sets
    // get -1 (no UV / no colour) for the new face-vertices so their arrays stay parallel to faceVerts.
    int addFace(const std::vector<int>& verts);
    // Call after editing faceOffsets/faceVerts directly: drops derived topology.
    void topologyChanged();
    // Call after editing points (or lockedNormals) directly: drops cached normals and bounds.
    void pointsChanged();

    // --- derived ---------------------------------------------------------------------------------------
    const MeshTopology& topology() const;  // built on first use
    const MeshGeometry& geometry() const;  // built on first use (the topology only if it needs it)
    // The caches as they stand, or null when not built (the validator compares them with a rebuild).
    const MeshTopology* cachedTopology() const { return cache_.topo.get(); }
    const MeshGeometry* cachedGeometry() const { return cache_.geom.get(); }

    // Unit normal of a vertex, honouring a locked normal. Angle-weighted: each face normal weighted by
    // the corner angle; otherwise by the face area. Cost O(valence) when the bulk normals are not cached.
    V3 vertexNormal(int v, bool angleWeighted) const;
    // Index of the UV set with this name, or -1.
    int findUvSet(const std::string& name) const;
    int findColorSet(const std::string& name) const;

    // Versions of the point and face data: fresh ones on every pointsChanged()/topologyChanged() (the face
    // version changes the point version too), kept by copies, so equal versions mean equal data. Derived
    // data that copies share checks them.
    std::uint64_t pointsVersion() const { return cache_.pointsVersion; }
    std::uint64_t topologyVersion() const { return cache_.topoVersion; }
    // The slot holding the ray-query BVH (managed by MeshBvh.cpp). Copies share what it holds; a topology
    // change empties it.
    std::shared_ptr<MeshBvh>& bvhSlot() const { return cache_.bvh; }

private:
    // Copies share the topology (it holds no reference to its mesh and never changes once built), so a
    // copy-on-write copy costs the flat arrays only; an edit on either copy drops that copy's pointer.
    // The geometry cache refers to its own mesh's arrays, so copies and moves start without it.
    struct Caches {
        std::shared_ptr<const MeshTopology> topo;
        std::shared_ptr<const MeshGeometry> geom;
        std::shared_ptr<MeshBvh> bvh;
        std::uint64_t pointsVersion = newMeshDataVersion(), topoVersion = newMeshDataVersion();
        Caches() = default;
        Caches(const Caches& o)
            : topo(o.topo), bvh(o.bvh), pointsVersion(o.pointsVersion), topoVersion(o.topoVersion) {}
        Caches(Caches&& o) noexcept
            : topo(std::move(o.topo)),
              bvh(std::move(o.bvh)),
              pointsVersion(o.pointsVersion),
              topoVersion(o.topoVersion) {
            o.geom.reset();
            o.renew();
        }
        Caches& operator=(const Caches& o) {
            if (this != &o) {
                topo = o.topo;
                geom.reset();
                bvh = o.bvh;
                pointsVersion = o.pointsVersion;
                topoVersion = o.topoVersion;
            }
            return *this;
        }
        Caches& operator=(Caches&& o) noexcept {
            if (this != &o) {
                topo = std::move(o.topo);
                geom.reset();
                o.geom.reset();
                bvh = std::move(o.bvh);
                pointsVersion = o.pointsVersion;
                topoVersion = o.topoVersion;
                o.renew();
            }
            return *this;
        }
        // A moved-from mesh holds other data than before.
        void renew() {
            bvh.reset();
            pointsVersion = newMeshDataVersion();
            topoVersion = newMeshDataVersion();
        }
    };
    mutable Caches cache_;
};

using MeshPtr = std::shared_ptr<Mesh>;
using ConstMeshPtr = std::shared_ptr<const Mesh>;

}  // namespace kxh
