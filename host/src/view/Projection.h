#pragma once
// How a view maps world space onto its port and back.
//
// Port coordinates are continuous with the origin at the bottom-left corner of the port; the port spans
// [0, width] x [0, height] and the view axis passes through its middle. Pixel (i, j) is sampled at the
// port position (i, j) itself: the ray a depth read or a screen pick casts for it is the ray viewToWorld
// gives for (i, j), and worldToView rounds a projected point to the nearest such position.
//
// The camera's horizontal field of view (or its orthographic width) spans the port's width; the vertical
// extent follows from the port's aspect.
#include "graph/core/GraphMath.h"
#include "view/Camera.h"

namespace kxh::view {

class Projection {
public:
    Projection() = default;
    Projection(const CameraFrame& camera, int width, int height);

    const CameraFrame& camera() const { return cam_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Half extents of the view at unit distance (perspective) or in world units (orthographic).
    double halfWidth() const { return halfW_; }
    double halfHeight() const { return halfH_; }

    // Projects a world point to port coordinates; `depth` receives its distance in front of the eye along
    // the view direction. False when the point lies at or behind the eye plane, or is not finite.
    bool project(const V3& world, double& x, double& y, double* depth = nullptr) const;
    // The ray through a port position: its points on the near and far clipping planes.
    void ray(double x, double y, V3& nearPoint, V3& farPoint) const;
    // The depth-buffer value of a distance in front of the eye: 0 on the near plane, 1 on the far plane
    // (perspective depth is hyperbolic, as OpenGL's). Outside [0, 1] the point is clipped.
    double depthValue(double depth) const;

    // World to eye space, and eye to clip space as OpenGL builds them (row-vector form).
    Matrix44 modelView() const;
    Matrix44 projection() const;

private:
    CameraFrame cam_;
    int width_ = 1, height_ = 1;
    double halfW_ = 1, halfH_ = 1;
};

}  // namespace kxh::view
