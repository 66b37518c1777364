#include "view/Projection.h"

#include <algorithm>
#include <cmath>

namespace kxh::view {

Projection::Projection(const CameraFrame& camera, int width, int height)
    : cam_(camera), width_(std::max(1, width)), height_(std::max(1, height)) {
    const double aspect = double(height_) / double(width_);
    halfW_ = cam_.ortho ? 0.5 * cam_.orthoWidth : std::tan(0.5 * cam_.hFov);
    halfH_ = halfW_ * aspect;
}

bool Projection::project(const V3& world, double& x, double& y, double* depth) const {
    const V3 rel = world - cam_.eye;
    const double d = dot(rel, cam_.dir);
    if (depth) *depth = d;
    double nx = dot(rel, cam_.right), ny = dot(rel, cam_.up);
    if (!cam_.ortho) {
        if (d > 0) {
            nx /= d;
            ny /= d;
        } else {
            // Behind the eye the perspective divide mirrors the point; keep the coordinates finite so
            // callers that ignore the answer still get a deterministic value.
            const double s = d < 0 ? -d : 1e-12;
            nx /= -s;
            ny /= -s;
        }
    }
    x = (nx / halfW_ + 1.0) * 0.5 * width_;
    y = (ny / halfH_ + 1.0) * 0.5 * height_;
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    return d > 0;
}

void Projection::ray(double x, double y, V3& nearPoint, V3& farPoint) const {
    const double nx = (2.0 * x / width_ - 1.0) * halfW_;
    const double ny = (2.0 * y / height_ - 1.0) * halfH_;
    if (cam_.ortho) {
        const V3 base = cam_.eye + cam_.right * nx + cam_.up * ny;
        nearPoint = base + cam_.dir * cam_.nearClip;
        farPoint = base + cam_.dir * cam_.farClip;
    } else {
        const V3 v = cam_.dir + cam_.right * nx + cam_.up * ny;  // depth 1 along the view direction
        nearPoint = cam_.eye + v * cam_.nearClip;
        farPoint = cam_.eye + v * cam_.farClip;
    }
}

double Projection::depthValue(double d) const {
    const double n = cam_.nearClip, f = cam_.farClip;
    if (f <= n) return 1.0;
    if (cam_.ortho) return (d - n) / (f - n);
    if (d <= 0) return -1.0;
    return f * (d - n) / (d * (f - n));
}

Matrix44 Projection::modelView() const {
    Matrix44 m;
    const V3 cols[3] = {cam_.right, cam_.up, cam_.dir * -1.0};
    for (int c = 0; c < 3; ++c) {
        m.m[0][c] = cols[c].x;
        m.m[1][c] = cols[c].y;
        m.m[2][c] = cols[c].z;
        m.m[3][c] = -dot(cam_.eye, cols[c]);
    }
    return m;
}

Matrix44 Projection::projection() const {
    const double n = cam_.nearClip, f = cam_.farClip;
    Matrix44 p;
    p.m[0][0] = 1.0 / halfW_;
    p.m[1][1] = 1.0 / halfH_;
    if (cam_.ortho) {
        p.m[2][2] = -2.0 / (f - n);
        p.m[3][2] = -(f + n) / (f - n);
        p.m[3][3] = 1.0;
    } else {
        p.m[2][2] = -(f + n) / (f - n);
        p.m[2][3] = -1.0;
        p.m[3][2] = -2.0 * f * n / (f - n);
        p.m[3][3] = 0.0;
    }
    return p;
}

}  // namespace kxh::view
