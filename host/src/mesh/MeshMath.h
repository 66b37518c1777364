#pragma once
// Small vector helpers over V3 for the mesh kernel (the API layer has its own MPoint/MVector).
#include <cmath>

#include "mesh/Mesh.h"

namespace kxh {

inline V3 operator+(const V3& a, const V3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline V3 operator-(const V3& a, const V3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline V3 operator*(const V3& a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline V3& operator+=(V3& a, const V3& b) {
    a.x += b.x;
    a.y += b.y;
    a.z += b.z;
    return a;
}
inline bool operator==(const V3& a, const V3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}
inline bool operator!=(const V3& a, const V3& b) {
    return !(a == b);
}
inline double dot(const V3& a, const V3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline V3 cross(const V3& a, const V3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(const V3& a) {
    return std::sqrt(dot(a, a));
}
// Unit vector, or the zero vector when a has no length.
inline V3 normalized(const V3& a) {
    double l = length(a);
    return l > 0 ? a * (1.0 / l) : V3{};
}
inline bool isFinite(const V3& a) {
    return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z);
}

}  // namespace kxh
