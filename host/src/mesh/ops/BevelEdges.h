#pragma once
// Bevelling edges, as the host's polyBevel node computes it (a flat chamfer).
//
// Only edges with two faces bevel. Around each vertex of a bevelled edge the faces are split into
// sectors at the bevelled edges (an inner vertex with a single bevelled edge is split at it and at the
// edge across from it as well); every sector gets its own copy of the vertex, slid by `offset` along the
// sector's other edges (their mean direction), or into the face between two bevelled edges (along both).
// Each bevelled edge becomes a strip of `segments` quads between the copies on its two sides; where the
// strips around an inner vertex leave a hole (three or more sectors, or the split across from a single
// bevelled edge), a fill polygon closes it. With mergeTolerance > 0, new vertices closer than it to each
// other are welded (an offset of 0 then gives the mesh back).
#include <vector>

#include "mesh/Mesh.h"

namespace kxh::ops {

struct BevelOptions {
    double offset = 0;  // centimetres
    int segments = 1;
    double mergeTolerance = 0;  // 0: no weld
};

struct BevelResult {
    int edges = 0;  // edges bevelled
};

BevelResult bevelEdges(Mesh& mesh, const std::vector<int>& edges, const BevelOptions& options);

}  // namespace kxh::ops
