// Points and vectors in double and single precision.
#include <maya/MEulerRotation.h>
#include <maya/MFloatMatrix.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MQuaternion.h>
#include <maya/MVector.h>

#include <cmath>
#include <ostream>

namespace {

template <class V>
double angleBetween(const V& a, const V& b) {
    // atan2 of |a x b| and a.b stays accurate for nearly parallel vectors, where acos does not.
    double cx = double(a.y) * b.z - double(a.z) * b.y;
    double cy = double(a.z) * b.x - double(a.x) * b.z;
    double cz = double(a.x) * b.y - double(a.y) * b.x;
    double dot = double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
    return std::atan2(std::sqrt(cx * cx + cy * cy + cz * cz), dot);
}

template <class V>
bool parallel(const V& a, const V& b, double tolerance) {
    double la = std::sqrt(double(a.x) * a.x + double(a.y) * a.y + double(a.z) * a.z);
    double lb = std::sqrt(double(b.x) * b.x + double(b.y) * b.y + double(b.z) * b.z);
    if (la == 0.0 || lb == 0.0) return true;
    double cx = double(a.y) * b.z - double(a.z) * b.y;
    double cy = double(a.z) * b.x - double(a.x) * b.z;
    double cz = double(a.x) * b.y - double(a.y) * b.x;
    return std::sqrt(cx * cx + cy * cy + cz * cz) / (la * lb) <= tolerance;
}

}  // namespace

// ---- MVector ----

const MVector MVector::zero(0.0, 0.0, 0.0);
const MVector MVector::one(1.0, 1.0, 1.0);
const MVector MVector::xAxis(1.0, 0.0, 0.0);
const MVector MVector::yAxis(0.0, 1.0, 0.0);
const MVector MVector::zAxis(0.0, 0.0, 1.0);
const MVector MVector::xNegAxis(-1.0, 0.0, 0.0);
const MVector MVector::yNegAxis(0.0, -1.0, 0.0);
const MVector MVector::zNegAxis(0.0, 0.0, -1.0);

MVector::MVector(const MFloatVector& src) : x(src.x), y(src.y), z(src.z) {}
MVector::MVector(const MPoint& src) : x(src.x), y(src.y), z(src.z) {}
MVector::MVector(const MFloatPoint& src) : x(src.x), y(src.y), z(src.z) {}

MVector MVector::operator*(const MMatrix& m) const {
    const auto& a = m.matrix;
    return MVector(x * a[0][0] + y * a[1][0] + z * a[2][0], x * a[0][1] + y * a[1][1] + z * a[2][1],
                   x * a[0][2] + y * a[1][2] + z * a[2][2]);
}
MVector& MVector::operator*=(const MMatrix& m) { return *this = *this * m; }

MVector operator*(const MMatrix& m, const MVector& v) {
    const auto& a = m.matrix;
    return MVector(a[0][0] * v.x + a[0][1] * v.y + a[0][2] * v.z, a[1][0] * v.x + a[1][1] * v.y + a[1][2] * v.z,
                   a[2][0] * v.x + a[2][1] * v.y + a[2][2] * v.z);
}

MVector MVector::rotateBy(double qx, double qy, double qz, double qw) const {
    return rotateBy(MQuaternion(qx, qy, qz, qw));
}
MVector MVector::rotateBy(const MQuaternion& q) const { return *this * q.normal().asMatrix(); }
MVector MVector::rotateBy(const MEulerRotation& r) const { return *this * r.asMatrix(); }

MVector MVector::rotateBy(MVector::Axis axis, double angle) const {
    double c = std::cos(angle), s = std::sin(angle);
    switch (axis) {
        case kXaxis: return MVector(x, y * c - z * s, y * s + z * c);
        case kYaxis: return MVector(x * c + z * s, y, -x * s + z * c);
        case kZaxis: return MVector(x * c - y * s, x * s + y * c, z);
        default: return *this;
    }
}

MQuaternion MVector::rotateTo(const MVector& target) const { return MQuaternion(*this, target); }

MVector MVector::normal() const {
    double len = length();
    return len > 0.0 ? *this / len : *this;
}
MStatus MVector::normalize() {
    double len = length();
    if (len > 0.0) *this /= len;
    return MStatus::kSuccess;
}

MVector MVector::transformAsNormal(const MMatrix& matrix) const {
    // Normals transform by the inverse transpose, which keeps them perpendicular to transformed tangents.
    MMatrix inv = matrix.inverse();
    MVector n(x * inv.matrix[0][0] + y * inv.matrix[0][1] + z * inv.matrix[0][2],
              x * inv.matrix[1][0] + y * inv.matrix[1][1] + z * inv.matrix[1][2],
              x * inv.matrix[2][0] + y * inv.matrix[2][1] + z * inv.matrix[2][2]);
    return n.normal();
}

double MVector::angle(const MVector& other) const { return angleBetween(*this, other); }

bool MVector::isEquivalent(const MVector& o, double tolerance) const {
    return std::fabs(x - o.x) <= tolerance && std::fabs(y - o.y) <= tolerance && std::fabs(z - o.z) <= tolerance;
}
bool MVector::isParallel(const MVector& other, double tolerance) const { return parallel(*this, other, tolerance); }

std::ostream& operator<<(std::ostream& os, const MVector& v) {
    return os << "[" << v.x << ", " << v.y << ", " << v.z << "]";
}

// ---- MFloatVector ----

const MFloatVector MFloatVector::zero(0.0f, 0.0f, 0.0f);
const MFloatVector MFloatVector::one(1.0f, 1.0f, 1.0f);
const MFloatVector MFloatVector::xAxis(1.0f, 0.0f, 0.0f);
const MFloatVector MFloatVector::yAxis(0.0f, 1.0f, 0.0f);
const MFloatVector MFloatVector::zAxis(0.0f, 0.0f, 1.0f);
const MFloatVector MFloatVector::xNegAxis(-1.0f, 0.0f, 0.0f);
const MFloatVector MFloatVector::yNegAxis(0.0f, -1.0f, 0.0f);
const MFloatVector MFloatVector::zNegAxis(0.0f, 0.0f, -1.0f);

MFloatVector::MFloatVector(const MVector& src) : x(float(src.x)), y(float(src.y)), z(float(src.z)) {}
MFloatVector::MFloatVector(const MFloatPoint& src) : x(src.x), y(src.y), z(src.z) {}

MFloatVector MFloatVector::operator*(const MFloatMatrix& m) const {
    const auto& a = m.matrix;
    return MFloatVector(x * a[0][0] + y * a[1][0] + z * a[2][0], x * a[0][1] + y * a[1][1] + z * a[2][1],
                        x * a[0][2] + y * a[1][2] + z * a[2][2]);
}
MFloatVector& MFloatVector::operator*=(const MFloatMatrix& m) { return *this = *this * m; }

MFloatVector operator*(const MFloatMatrix& m, const MFloatVector& v) {
    const auto& a = m.matrix;
    return MFloatVector(a[0][0] * v.x + a[0][1] * v.y + a[0][2] * v.z, a[1][0] * v.x + a[1][1] * v.y + a[1][2] * v.z,
                        a[2][0] * v.x + a[2][1] * v.y + a[2][2] * v.z);
}

MFloatVector MFloatVector::normal() const {
    float len = length();
    return len > 0.0f ? *this / len : *this;
}
MStatus MFloatVector::normalize() {
    float len = length();
    if (len > 0.0f) *this /= len;
    return MStatus::kSuccess;
}
MFloatVector MFloatVector::transformAsNormal(const MFloatMatrix& matrix) const {
    MFloatMatrix inv = matrix.inverse();
    MFloatVector n(x * inv.matrix[0][0] + y * inv.matrix[0][1] + z * inv.matrix[0][2],
                   x * inv.matrix[1][0] + y * inv.matrix[1][1] + z * inv.matrix[1][2],
                   x * inv.matrix[2][0] + y * inv.matrix[2][1] + z * inv.matrix[2][2]);
    return n.normal();
}
float MFloatVector::angle(const MFloatVector& other) const { return float(angleBetween(*this, other)); }
bool MFloatVector::isEquivalent(const MFloatVector& o, float tolerance) const {
    return std::fabs(x - o.x) <= tolerance && std::fabs(y - o.y) <= tolerance && std::fabs(z - o.z) <= tolerance;
}
bool MFloatVector::isParallel(const MFloatVector& other, float tolerance) const {
    return parallel(*this, other, tolerance);
}
std::ostream& operator<<(std::ostream& os, const MFloatVector& v) {
    return os << "[" << v.x << ", " << v.y << ", " << v.z << "]";
}

// ---- MPoint ----

const MPoint MPoint::origin(0.0, 0.0, 0.0, 1.0);

MPoint::MPoint(const MFloatPoint& src) : x(src.x), y(src.y), z(src.z), w(src.w) {}
MPoint::MPoint(const MFloatVector& src) : x(src.x), y(src.y), z(src.z), w(1.0) {}

MPoint MPoint::operator*(const MMatrix& m) const {
    const auto& a = m.matrix;
    return MPoint(x * a[0][0] + y * a[1][0] + z * a[2][0] + w * a[3][0],
                  x * a[0][1] + y * a[1][1] + z * a[2][1] + w * a[3][1],
                  x * a[0][2] + y * a[1][2] + z * a[2][2] + w * a[3][2],
                  x * a[0][3] + y * a[1][3] + z * a[2][3] + w * a[3][3]);
}
MPoint& MPoint::operator*=(const MMatrix& m) { return *this = *this * m; }

MPoint operator*(const MMatrix& m, const MPoint& p) {
    const auto& a = m.matrix;
    return MPoint(a[0][0] * p.x + a[0][1] * p.y + a[0][2] * p.z + a[0][3] * p.w,
                  a[1][0] * p.x + a[1][1] * p.y + a[1][2] * p.z + a[1][3] * p.w,
                  a[2][0] * p.x + a[2][1] * p.y + a[2][2] * p.z + a[2][3] * p.w,
                  a[3][0] * p.x + a[3][1] * p.y + a[3][2] * p.z + a[3][3] * p.w);
}

MStatus MPoint::get(float dest[4]) const {
    dest[0] = float(x), dest[1] = float(y), dest[2] = float(z), dest[3] = float(w);
    return MStatus::kSuccess;
}
MPoint& MPoint::cartesianize() {
    if (w != 0.0 && w != 1.0) {
        x /= w, y /= w, z /= w;
        w = 1.0;
    }
    return *this;
}
MPoint& MPoint::rationalize() {
    if (w != 0.0) x /= w, y /= w, z /= w;
    return *this;
}
MPoint& MPoint::homogenize() {
    x *= w, y *= w, z *= w;
    return *this;
}
double MPoint::distanceTo(const MPoint& other) const {
    MPoint a(*this), b(other);
    a.cartesianize();
    b.cartesianize();
    return (a - b).length();
}
bool MPoint::isEquivalent(const MPoint& o, double tolerance) const {
    return std::fabs(x - o.x) <= tolerance && std::fabs(y - o.y) <= tolerance && std::fabs(z - o.z) <= tolerance &&
           std::fabs(w - o.w) <= tolerance;
}
std::ostream& operator<<(std::ostream& os, const MPoint& p) {
    return os << "[" << p.x << ", " << p.y << ", " << p.z << ", " << p.w << "]";
}

// ---- MFloatPoint ----

const MFloatPoint MFloatPoint::origin(0.0f, 0.0f, 0.0f, 1.0f);

MFloatPoint::MFloatPoint(const MPoint& src) : x(float(src.x)), y(float(src.y)), z(float(src.z)), w(float(src.w)) {}
MFloatPoint::MFloatPoint(const MVector& src) : x(float(src.x)), y(float(src.y)), z(float(src.z)), w(1.0f) {}

MFloatPoint MFloatPoint::operator*(const MFloatMatrix& m) const {
    const auto& a = m.matrix;
    return MFloatPoint(x * a[0][0] + y * a[1][0] + z * a[2][0] + w * a[3][0],
                       x * a[0][1] + y * a[1][1] + z * a[2][1] + w * a[3][1],
                       x * a[0][2] + y * a[1][2] + z * a[2][2] + w * a[3][2],
                       x * a[0][3] + y * a[1][3] + z * a[2][3] + w * a[3][3]);
}
MFloatPoint& MFloatPoint::operator*=(const MFloatMatrix& m) { return *this = *this * m; }

MFloatPoint operator*(const MFloatMatrix& m, const MFloatPoint& p) {
    const auto& a = m.matrix;
    return MFloatPoint(a[0][0] * p.x + a[0][1] * p.y + a[0][2] * p.z + a[0][3] * p.w,
                       a[1][0] * p.x + a[1][1] * p.y + a[1][2] * p.z + a[1][3] * p.w,
                       a[2][0] * p.x + a[2][1] * p.y + a[2][2] * p.z + a[2][3] * p.w,
                       a[3][0] * p.x + a[3][1] * p.y + a[3][2] * p.z + a[3][3] * p.w);
}

MStatus MFloatPoint::setCast(const MPoint& src) {
    *this = MFloatPoint(src);
    return MStatus::kSuccess;
}
MStatus MFloatPoint::setCast(const MVector& src) {
    *this = MFloatPoint(src);
    return MStatus::kSuccess;
}
MFloatPoint& MFloatPoint::cartesianize() {
    if (w != 0.0f && w != 1.0f) {
        x /= w, y /= w, z /= w;
        w = 1.0f;
    }
    return *this;
}
MFloatPoint& MFloatPoint::rationalize() {
    if (w != 0.0f) x /= w, y /= w, z /= w;
    return *this;
}
MFloatPoint& MFloatPoint::homogenize() {
    x *= w, y *= w, z *= w;
    return *this;
}
float MFloatPoint::distanceTo(const MFloatPoint& other) const {
    MFloatPoint a(*this), b(other);
    a.cartesianize();
    b.cartesianize();
    return (a - b).length();
}
bool MFloatPoint::isEquivalent(const MFloatPoint& o, float tolerance) const {
    return std::fabs(x - o.x) <= tolerance && std::fabs(y - o.y) <= tolerance && std::fabs(z - o.z) <= tolerance &&
           std::fabs(w - o.w) <= tolerance;
}
std::ostream& operator<<(std::ostream& os, const MFloatPoint& p) {
    return os << "[" << p.x << ", " << p.y << ", " << p.z << ", " << p.w << "]";
}
