#pragma once
// What a view shows under a port position: the nearest visible mesh surface along the pixel's ray,
// between the camera's clipping planes. Depth reads and screen selection both ask this, so they always
// agree about what is drawn where.
#include "graph/core/Node.h"
#include "view/Projection.h"

namespace kxh::view {

struct SurfaceHit {
    Node* shape = nullptr;  // the mesh shape hit
    V3 point;               // world-space hit point
    double depth = 0;       // distance in front of the eye along the view direction
    double depthValue = 1;  // the depth-buffer value (0 near plane ... 1 far plane)
    int face = -1;
};

// Whether a mesh shape is drawn: a non-intermediate mesh whose own and every ancestor's visibility is on.
// `selectable` also leaves out templated objects, which draw but cannot be picked.
bool isDrawnMesh(Node& shape, bool selectable);

// The nearest drawn mesh surface along the ray through (x, y). False (and depthValue 1) when the ray meets
// nothing between the clipping planes.
bool pickSurface(const Projection& projection, double x, double y, bool selectable, SurfaceHit& out);

}  // namespace kxh::view
