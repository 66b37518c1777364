#pragma once
// The BVH behind MeshBvh.h's queries (private to the mesh kernel): one Embree scene holding the mesh's
// triangles in spatial chunks, each chunk its own Embree triangle geometry over one shared vertex buffer.
//
// Faces are ordered along a Morton curve through their centres and cut into runs of about kChunkTriangles
// triangles, so a chunk covers a compact patch of the surface. A point edit writes the moved vertices into
// the shared buffer (found by comparing with what the buffer holds), re-commits only the chunks holding a
// triangle on a moved vertex (Embree refits a chunk whose triangles stayed, rebuilds one whose triangles a
// re-triangulated polygon changed), and the scene's top level is rebuilt over the chunks (Embree's
// two-level build of a dynamic scene), which costs microseconds. A chunk is first built for tracing as a
// static one is; its first update switches it to Embree's refit quality (a rebuild of that chunk alone),
// after which updates refit it. A reference that is only ray-cast never pays for refit data. Faces keep their
// triangles together: primitive p of chunk c is position chunk.first + p in face order, face f's triangles
// are positions facePos(f) .. facePos(f) + count - 1.
#include <embree3/rtcore.h>

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "mesh/Mesh.h"

namespace kxh {

class MeshBvh {
public:
    static constexpr int kChunkTriangles = 4096;

    MeshBvh() = default;
    MeshBvh(const MeshBvh&) = delete;
    MeshBvh& operator=(const MeshBvh&) = delete;
    ~MeshBvh();

    struct FaceTriangle {
        int face, triangle;
    };

    std::mutex mutex;  // held by every query and by build / sync

    void build(const Mesh& mesh);
    // Brings the BVH up to the mesh's current points: writes the vertices that moved and re-triangulates
    // the polygons on them, then re-commits the chunks they touch.
    void sync(const Mesh& mesh);
    bool describes(const Mesh& mesh) const {
        return topoVersion_ == mesh.topologyVersion() && pointsVersion_ == mesh.pointsVersion();
    }
    // Which faces the BVH is for; set before it is published in the mesh's slot (under the slot lock), so
    // that sameTopology can be asked while another thread still builds it.
    void claim(const Mesh& mesh) {
        topoVersion_ = mesh.topologyVersion();
        numVerts_ = mesh.numVertices();
        numFaces_ = mesh.numFaces();
    }
    bool sameTopology(const Mesh& mesh) const {
        return topoVersion_ == mesh.topologyVersion() && numVerts_ == mesh.numVertices() &&
               numFaces_ == mesh.numFaces();
    }

    // See meshPointsMoved (MeshBvh.h).
    void hintMoved(std::uint64_t fromVersion, std::uint64_t toVersion, const std::vector<int>& ids);

    RTCScene scene() const { return scene_; }
    int numTriangles() const { return numTris_; }
    int numChunks() const { return int(chunks_.size()); }
    // Position (face order) of primitive `prim` of chunk geometry `geom`.
    unsigned position(unsigned geom, unsigned prim) const { return chunks_[geom].first + prim; }
    FaceTriangle faceTriangle(unsigned pos) const { return posFace_[pos]; }
    int firstPosition(int face) const { return facePos_[size_t(face)]; }
    int faceTriangleCount(int face) const { return faceCount_[size_t(face)]; }
    std::array<int, 3> vertices(unsigned pos) const {
        const unsigned* t = &index_[3 * size_t(pos)];
        return {int(t[0]), int(t[1]), int(t[2])};
    }
    const V3& boundsMin() const { return lo_; }
    const V3& boundsMax() const { return hi_; }
    size_t memory() const { return memory_; }
    double seconds() const { return seconds_; }

private:
    struct Chunk {
        RTCGeometry geom = nullptr;
        unsigned first = 0, count = 0;  // positions
        bool refit = false;             // switched to Embree's refit quality by its first update
    };
    void updateBounds();
    // Vertex -> chunks and vertex -> polygons (more than three corners) adjacency, made on the first sync.
    void buildAdjacency(const Mesh& mesh);
    // Writes face f's current triangulation at its positions; true when it changed.
    bool retriangulate(const Mesh& mesh, int f, std::vector<int>& scratch);

    RTCScene scene_ = nullptr;
    std::vector<Chunk> chunks_;
    std::vector<float> verts_;     // 3 floats per vertex, +1 float: Embree loads 16 bytes at a time
    std::vector<unsigned> index_;  // 3 vertex ids per position
    std::vector<FaceTriangle> posFace_;
    std::vector<int> facePos_;              // first position of each face
    std::vector<int> faceCount_;            // triangles of each face
    std::vector<int> faceChunk_;            // chunk holding each face's triangles
    std::vector<std::uint32_t> faceStamp_;  // per face: the sync that last looked at it
    std::uint32_t stamp_ = 0;
    bool adjacency_ = false;
    // Vertices moved since the points this BVH describes, valid for the mesh's points of `hintVersion_`.
    std::vector<int> hint_;
    std::uint64_t hintVersion_ = 0;
    std::vector<int> vertChunkOffsets_, vertChunks_, vertPolyOffsets_, vertPolys_;
    int numVerts_ = 0, numFaces_ = 0, numTris_ = 0;
    V3 lo_, hi_;
    std::uint64_t topoVersion_ = 0, pointsVersion_ = 0;
    size_t memory_ = 0;
    double seconds_ = 0;
};

// The BVH describing the mesh as it is now, locked for the caller (built, or synced to the mesh's points,
// as needed).
std::shared_ptr<MeshBvh> acquireMeshBvh(const Mesh& mesh, std::unique_lock<std::mutex>& lock);

}  // namespace kxh
