#pragma once
// Ray casts and closest-point queries over a mesh's triangulation (MeshGeometry's face-relative triangles),
// accelerated by an Embree BVH that the mesh keeps with its other derived data.
//
// Life of the BVH: built on the first query, in spatial chunks of a few thousand triangles (see
// MeshBvhChunks.h); when only the points changed since (pointsChanged()), the next query writes the vertices
// that moved into it and refits the chunks they touch; when the faces changed (topologyChanged()) the mesh
// drops it and the next query builds a new one. Copies of a mesh share the BVH: it records the versions of
// the point and face data it describes, so a copy whose points are then edited takes the BVH over with a
// refit, and a mesh that finds it describing other points refits it back. Two meshes never read it for
// data it does not describe.
//
// Queries are const and may run on several threads at once (each BVH is locked while it answers); editing
// or copying a mesh while another thread queries it is not safe, as for any of the mesh's data.
//
// Embree works in float; the BVH only finds the triangle. Ray parameters, barycentrics, hit points and
// closest points are computed again in double on that triangle, so they agree with an exact brute-force
// search to double precision (and the hit point lies on the triangle).
#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "mesh/Mesh.h"

namespace kxh {

// A ray origin + t * direction. The direction need not be unit length: t counts in its lengths.
struct MeshRay {
    V3 origin, direction;
    // Hits with 0 <= t <= maxParam count; with bothDirections also those with -maxParam <= t < 0.
    double maxParam = std::numeric_limits<double>::infinity();
    bool bothDirections = false;
    // Optional restriction to some faces: `faces` alone lists faces (all their triangles); with `triangles`
    // (same length) it lists (face, face-relative triangle) pairs. Ids out of range are skipped.
    const std::vector<int>* faces = nullptr;
    const std::vector<int>* triangles = nullptr;
    // Slack on the barycentrics when listed triangles are tested one by one (a short list is cheaper to
    // test directly than through the BVH).
    double tolerance = 1e-6;
};

// A point on a triangle of the mesh: its face, face-relative triangle and barycentrics, with
// point = b1 * v0 + b2 * v1 + (1 - b1 - b2) * v2 for the triangle's vertices in order.
struct MeshSurfacePoint {
    int face = -1, triangle = -1;
    double b1 = 0, b2 = 0;
    V3 point;
};

struct MeshRayHit : MeshSurfacePoint {
    double t = 0;  // ray parameter (negative for a hit behind the origin)
};

// The nearest hit (smallest |t|; on a tie the one in front). False when the ray misses.
bool meshClosestHit(const Mesh& mesh, const MeshRay& ray, MeshRayHit& hit);
// Some hit, when there is one (the nearest one, as it costs the same).
bool meshAnyHit(const Mesh& mesh, const MeshRay& ray, MeshRayHit& hit);
// Every hit, one per crossing of a face (a ray through the diagonal between two triangles of a face crosses
// it once); sorted by t when `sorted`, else in no particular order.
std::vector<MeshRayHit> meshAllHits(const Mesh& mesh, const MeshRay& ray, bool sorted);

// An affine map in the host's row-vector form (p' = p * m, translation in row 3); column 3 must be
// (0, 0, 0, 1).
struct MeshAffine {
    double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    V3 apply(const V3& p) const {
        return {p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
                p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
                p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]};
    }
    bool isIdentity() const;
};

// The point of the mesh closest to `p`. With `toSpace`, p and the result are in the space it maps object
// space to, and distances are measured there (a non-uniform scale changes which point is closest). On a
// tie the lower face wins. False for a mesh without triangles.
bool meshClosestPoint(const Mesh& mesh, const V3& p, const MeshAffine* toSpace, MeshSurfacePoint& out);

// Process-wide counts of BVH work, for tests and benchmarks: builds from nothing (and syncs that changed
// some polygon's triangles), refits after point edits, syncs that found the new points equal to the old
// (nothing to do), and chunks re-committed by syncs.
struct MeshBvhCounters {
    long builds = 0, refits = 0, unchanged = 0, chunkCommits = 0;
};
MeshBvhCounters meshBvhCounters();

// Size in bytes of the BVH the mesh currently holds (vertex and index buffers and Embree's own
// allocations), 0 when it has none; `seconds` gets the time its last build or refit took.
size_t meshBvhMemory(const Mesh& mesh, double* seconds = nullptr);
// Builds (or refits) the mesh's BVH now, as the first query would.
void meshBvhPrepare(const Mesh& mesh);
// Tells the mesh's BVH which vertices a point edit moved, from the points of version `fromVersion` to the
// mesh's current ones, so that its next sync looks at those vertices only instead of comparing them all.
// Ignored when the BVH describes other points (it then compares as usual); hints of consecutive edits add
// up.
void meshPointsMoved(const Mesh& mesh, std::uint64_t fromVersion, const std::vector<int>& ids);
// The number of spatial chunks (Embree geometries) of the mesh's BVH, built or synced first.
int meshBvhChunks(const Mesh& mesh);

}  // namespace kxh
