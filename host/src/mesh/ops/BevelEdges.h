#pragma once
// Bevelling edges, as the host's polyBevel node computes it (a flat chamfer).
//
// Only edges with two faces bevel. Around each vertex of a bevelled edge the faces are split into
// sectors at the bevelled edges (an inner vertex with a single bevelled edge is split at it and at the
// edge across from it as well); every sector gets its own copy of the vertex, slid by `offset` along the
// sector's other edges (their mean direction), or into the face between two bevelled edges (along both).
// Each bevelled edge becomes a strip of `segments` quads between the copies on its two sides; where the
// strips around an inner vertex leave a hole (three or more sectors, or the split across from a single
// bevelled edge), a fill polygon closes it. An inner end of odd valence with a single bevelled edge has no
// edge across: the face across takes both copies with the strip's end row between them. With
// mergeTolerance > 0, new vertices closer than it to each
// other are welded (an offset of 0 then leaves the mesh exactly as it is: nothing is built).
#include <cmath>
#include <utility>
#include <vector>

#include "mesh/Mesh.h"
#include "mesh/MeshMath.h"

namespace kxh::ops {

struct BevelOptions {
    double offset = 0;  // centimetres
    int segments = 1;
    double mergeTolerance = 0;  // 0: no weld
    // The edges of the strips and fills are made hard where their faces meet at more than this (radians)
    // and soft elsewhere; pi or more leaves them as they are.
    double smoothingAngle = M_PI;
    // With worldSpace, the offset is measured in the space toWorld (the linear part of the object-to-world
    // matrix, row-vector convention: w = v * toWorld) maps the mesh into.
    bool worldSpace = false;
    double toWorld[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    // With autoFit, the rows of a strip of two or more segments round off the corner they replace (a
    // quadratic arc from one copy to the other, pulled toward the old vertex); without, they are straight.
    bool autoFit = false;
    // With fillNgons, a fill polygon of more than four corners is cut into quads around a new centre vertex
    // (one triangle closes an odd count).
    bool fillNgons = false;
};

struct BevelResult {
    int edges = 0;  // edges bevelled
};

// How the new vertices of a bevel follow its offset, so that another offset needs no new bevel: each new
// point is a copy slid along its direction, a row point between two others (straight or on its arc), or
// the centre of a fill. Empty (no recipes) when the bevel welded vertices, which renumbers them.
struct BevelMotion {
    struct Recipe {
        enum Kind { Copy, Lerp, Arc, Hub } kind = Copy;
        V3 a;                  // Copy: the old vertex; Arc: the control point (the old vertex)
        V3 dir;                // Copy: the direction (measured space), times the offset
        int lo = -1, hi = -1;  // Lerp, Arc: the two points (indices of the bevel's point list)
        double t = 0;
        std::vector<int> members;  // Hub: the fill's corners

        V3 place(const V3& lo, const V3& hi) const;
        template <typename At>
        V3 hub(At at) const {
            V3 centre;
            for (int m : members) centre += at(m);
            return centre * (1.0 / double(members.size()));
        }
    };
    BevelOptions options;
    double toObject[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    int oldCount = 0;                           // the input's vertices: point indices below it are theirs
    std::vector<Recipe> recipes;                // for point indices oldCount, oldCount + 1, ...
    std::vector<int> finalIds;                  // their ids in the result (-1: not used)
    std::vector<std::pair<int, int>> newEdges;  // the edges smoothingAngle decides
};

// With `motion`, what a replay needs is recorded there.
BevelResult bevelEdges(Mesh& mesh, const std::vector<int>& edges, const BevelOptions& options,
                       BevelMotion* motion = nullptr);

// Moves the new vertices of a mesh made by bevelEdges (with this motion, from an input with these points,
// not edited since) to where another offset puts them, bit for bit as a new bevel would. False, with the
// mesh unchanged, when the new vertices would come within the weld distance (a new bevel must decide).
bool moveBevelled(Mesh& mesh, const std::vector<V3>& inputPoints, const BevelMotion& motion, double offset);

}  // namespace kxh::ops
