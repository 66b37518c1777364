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
// other are welded (an offset of 0 then gives the mesh back).
#include <cmath>
#include <vector>

#include "mesh/Mesh.h"

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

BevelResult bevelEdges(Mesh& mesh, const std::vector<int>& edges, const BevelOptions& options);

}  // namespace kxh::ops
