#pragma once
// Welding vertices, as the host's polyMergeVertex does: vertices closer than a distance become one, the
// faces are rebuilt on the welded vertices, and vertex ids are compacted in order.
//
// Clusters: candidates are visited by increasing id; each one not yet taken starts a cluster and takes
// every other untaken candidate within the distance (inclusive) of it. So the lowest id of a cluster
// survives, every member lies within the distance of it, and a chain of close vertices does not collapse
// into one cluster longer than twice the distance.
//
// Rebuilding a face: its corners follow their vertices to the survivors; repeated consecutive corners
// collapse into one; a face that passes twice through one vertex is split there into separate faces; a
// face (or piece) left with fewer than three corners is dropped. A face whose edge would then run the
// same way as an earlier face's, or would be a third face on an edge, gets its own copy of the vertex at
// the end of that edge (copies go after all other vertices), so the result always stays a valid
// manifold mesh. UVs and colours stay on the corners that remain; creases and hard edges move to the
// welded edges that still exist; a vertex merged away loses its locked normal.
#include <vector>

#include "mesh/Mesh.h"

namespace kxh::ops {

// Where a cluster's surviving vertex ends up.
enum class MergePosition {
    Mean,      // the mean of the cluster's positions
    Survivor,  // the surviving (lowest-id) vertex stays where it is
};

struct MergeResult {
    int mergedVertices = 0;      // vertices merged away into another
    int droppedFaces = 0;        // faces that lost all their pieces
    int addedVertices = 0;       // vertex copies made to keep edges manifold
    std::vector<int> vertexMap;  // old vertex id -> new id (merged vertices give their survivor's new id)
    std::vector<int> faceMap;    // old face id -> new id of its (first) piece, -1 when dropped
    bool changed() const { return mergedVertices > 0; }
};

// For each vertex, the vertex it merges into (itself when it stays), clustering the candidates by
// `distance` measured between `positions` (one per vertex: object or world space, as the caller wants).
// Ids out of range among the candidates are ignored.
std::vector<int> clusterByDistance(const std::vector<V3>& positions, const std::vector<int>& candidates,
                                   double distance);

// Merges vertex v into into[v] for every vertex (into[v] == v keeps it); chains and groups are followed
// so that each group merges into its lowest id. `into` has one entry per vertex. With nothing to merge the
// mesh is left untouched (identity maps).
MergeResult mergeVertices(Mesh& mesh, const std::vector<int>& into,
                          MergePosition position = MergePosition::Mean);

struct MergeOptions {
    double distance = 0;  // vertices within this distance merge (0: only coincident ones)
    // When exactly two candidates are given, merge them whatever their distance.
    bool alwaysMergeTwo = false;
    MergePosition position = MergePosition::Mean;
    // Positions to measure distances between (one per vertex), e.g. world space; the mesh's points when
    // null.
    const std::vector<V3>* measure = nullptr;
};

// Merges by distance among all vertices, or among `candidates` only.
MergeResult mergeByDistance(Mesh& mesh, const MergeOptions& options);
MergeResult mergeByDistance(Mesh& mesh, const std::vector<int>& candidates, const MergeOptions& options);

}  // namespace kxh::ops
