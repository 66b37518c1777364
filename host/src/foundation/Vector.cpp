// Points and vectors in double and single precision. The double and float classes share one body for each
// operation: the templates below, over the vector or point class (and its matrix class).
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
#include <type_traits>

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

// --- the members the double and float classes share ------------------------------------------------------

// The scalar type of a vector or point class (double or float).
template <class V>
using Scalar = std::remove_cv_t<std::remove_reference_t<decltype(V::x)>>;

// Row vector times matrix (the API's convention); a vector leaves out the translation row.
template <class V, class M>
V vectorTimes(const V& v, const M& m) {
    const auto& a = m.matrix;
    return V(v.x * a[0][0] + v.y * a[1][0] + v.z * a[2][0], v.x * a[0][1] + v.y * a[1][1] + v.z * a[2][1],
             v.x * a[0][2] + v.y * a[1][2] + v.z * a[2][2]);
}
// Matrix times column vector.
template <class V, class M>
V timesVector(const M& m, const V& v) {
    const auto& a = m.matrix;
    return V(a[0][0] * v.x + a[0][1] * v.y + a[0][2] * v.z, a[1][0] * v.x + a[1][1] * v.y + a[1][2] * v.z,
             a[2][0] * v.x + a[2][1] * v.y + a[2][2] * v.z);
}
template <class P, class M>
P pointTimes(const P& p, const M& m) {
    const auto& a = m.matrix;
    return P(p.x * a[0][0] + p.y * a[1][0] + p.z * a[2][0] + p.w * a[3][0],
             p.x * a[0][1] + p.y * a[1][1] + p.z * a[2][1] + p.w * a[3][1],
             p.x * a[0][2] + p.y * a[1][2] + p.z * a[2][2] + p.w * a[3][2],
             p.x * a[0][3] + p.y * a[1][3] + p.z * a[2][3] + p.w * a[3][3]);
}
template <class P, class M>
P timesPoint(const M& m, const P& p) {
    const auto& a = m.matrix;
    return P(a[0][0] * p.x + a[0][1] * p.y + a[0][2] * p.z + a[0][3] * p.w,
             a[1][0] * p.x + a[1][1] * p.y + a[1][2] * p.z + a[1][3] * p.w,
             a[2][0] * p.x + a[2][1] * p.y + a[2][2] * p.z + a[2][3] * p.w,
             a[3][0] * p.x + a[3][1] * p.y + a[3][2] * p.z + a[3][3] * p.w);
}

// A zero vector stays as it is.
template <class V>
V normalOf(const V& v) {
    Scalar<V> len = v.length();
    return len > 0 ? v / len : v;
}
template <class V>
MStatus normalizeInPlace(V& v) {
    Scalar<V> len = v.length();
    if (len > 0) v /= len;
    return MStatus::kSuccess;
}

// Normals transform by the inverse transpose, which keeps them perpendicular to transformed tangents.
template <class V, class M>
V transformedAsNormal(const V& v, const M& matrix) {
    M inv = matrix.inverse();
    const auto& a = inv.matrix;
    V n(v.x * a[0][0] + v.y * a[0][1] + v.z * a[0][2], v.x * a[1][0] + v.y * a[1][1] + v.z * a[1][2],
        v.x * a[2][0] + v.y * a[2][1] + v.z * a[2][2]);
    return n.normal();
}

template <class V>
bool equivalent3(const V& a, const V& b, Scalar<V> tolerance) {
    return std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance &&
           std::fabs(a.z - b.z) <= tolerance;
}
template <class P>
bool equivalent4(const P& a, const P& b, Scalar<P> tolerance) {
    return equivalent3(a, b, tolerance) && std::fabs(a.w - b.w) <= tolerance;
}

// Divides by w unless w is 0 or 1.
template <class P>
P& cartesianized(P& p) {
    if (p.w != 0 && p.w != 1) {
        p.x /= p.w, p.y /= p.w, p.z /= p.w;
        p.w = 1;
    }
    return p;
}
template <class P>
P& rationalized(P& p) {
    if (p.w != 0) p.x /= p.w, p.y /= p.w, p.z /= p.w;
    return p;
}
template <class P>
P& homogenized(P& p) {
    p.x *= p.w, p.y *= p.w, p.z *= p.w;
    return p;
}
template <class P>
Scalar<P> distanceBetween(const P& from, const P& to) {
    P a(from), b(to);
    a.cartesianize();
    b.cartesianize();
    return (a - b).length();
}

template <class V>
std::ostream& print3(std::ostream& os, const V& v) {
    return os << "[" << v.x << ", " << v.y << ", " << v.z << "]";
}
template <class P>
std::ostream& print4(std::ostream& os, const P& p) {
    return os << "[" << p.x << ", " << p.y << ", " << p.z << ", " << p.w << "]";
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
    return vectorTimes(*this, m);
}
MVector& MVector::operator*=(const MMatrix& m) {
    return *this = *this * m;
}

MVector operator*(const MMatrix& m, const MVector& v) {
    return timesVector(m, v);
}

MVector MVector::rotateBy(double qx, double qy, double qz, double qw) const {
    return rotateBy(MQuaternion(qx, qy, qz, qw));
}
MVector MVector::rotateBy(const MQuaternion& q) const {
    return *this * q.normal().asMatrix();
}
MVector MVector::rotateBy(const MEulerRotation& r) const {
    return *this * r.asMatrix();
}

MVector MVector::rotateBy(MVector::Axis axis, double angle) const {
    double c = std::cos(angle), s = std::sin(angle);
    switch (axis) {
        case kXaxis:
            return MVector(x, y * c - z * s, y * s + z * c);
        case kYaxis:
            return MVector(x * c + z * s, y, -x * s + z * c);
        case kZaxis:
            return MVector(x * c - y * s, x * s + y * c, z);
        default:
            return *this;
    }
}

MQuaternion MVector::rotateTo(const MVector& target) const {
    return MQuaternion(*this, target);
}

MVector MVector::normal() const {
    return normalOf(*this);
}
MStatus MVector::normalize() {
    return normalizeInPlace(*this);
}
MVector MVector::transformAsNormal(const MMatrix& matrix) const {
    return transformedAsNormal(*this, matrix);
}

double MVector::angle(const MVector& other) const {
    return angleBetween(*this, other);
}

bool MVector::isEquivalent(const MVector& o, double tolerance) const {
    return equivalent3(*this, o, tolerance);
}
bool MVector::isParallel(const MVector& other, double tolerance) const {
    return parallel(*this, other, tolerance);
}

std::ostream& operator<<(std::ostream& os, const MVector& v) {
    return print3(os, v);
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
    return vectorTimes(*this, m);
}
MFloatVector& MFloatVector::operator*=(const MFloatMatrix& m) {
    return *this = *this * m;
}

MFloatVector operator*(const MFloatMatrix& m, const MFloatVector& v) {
    return timesVector(m, v);
}

MFloatVector MFloatVector::normal() const {
    return normalOf(*this);
}
MStatus MFloatVector::normalize() {
    return normalizeInPlace(*this);
}
MFloatVector MFloatVector::transformAsNormal(const MFloatMatrix& matrix) const {
    return transformedAsNormal(*this, matrix);
}
float MFloatVector::angle(const MFloatVector& other) const {
    return float(angleBetween(*this, other));
}
bool MFloatVector::isEquivalent(const MFloatVector& o, float tolerance) const {
    return equivalent3(*this, o, tolerance);
}
bool MFloatVector::isParallel(const MFloatVector& other, float tolerance) const {
    return parallel(*this, other, tolerance);
}
std::ostream& operator<<(std::ostream& os, const MFloatVector& v) {
    return print3(os, v);
}

// ---- MPoint ----

const MPoint MPoint::origin(0.0, 0.0, 0.0, 1.0);

MPoint::MPoint(const MFloatPoint& src) : x(src.x), y(src.y), z(src.z), w(src.w) {}
MPoint::MPoint(const MFloatVector& src) : x(src.x), y(src.y), z(src.z), w(1.0) {}

MPoint MPoint::operator*(const MMatrix& m) const {
    return pointTimes(*this, m);
}
MPoint& MPoint::operator*=(const MMatrix& m) {
    return *this = *this * m;
}

MPoint operator*(const MMatrix& m, const MPoint& p) {
    return timesPoint(m, p);
}

MStatus MPoint::get(float dest[4]) const {
    dest[0] = float(x), dest[1] = float(y), dest[2] = float(z), dest[3] = float(w);
    return MStatus::kSuccess;
}
MPoint& MPoint::cartesianize() {
    return cartesianized(*this);
}
MPoint& MPoint::rationalize() {
    return rationalized(*this);
}
MPoint& MPoint::homogenize() {
    return homogenized(*this);
}
double MPoint::distanceTo(const MPoint& other) const {
    return distanceBetween(*this, other);
}
bool MPoint::isEquivalent(const MPoint& o, double tolerance) const {
    return equivalent4(*this, o, tolerance);
}
std::ostream& operator<<(std::ostream& os, const MPoint& p) {
    return print4(os, p);
}

// ---- MFloatPoint ----

const MFloatPoint MFloatPoint::origin(0.0f, 0.0f, 0.0f, 1.0f);

MFloatPoint::MFloatPoint(const MPoint& src)
    : x(float(src.x)), y(float(src.y)), z(float(src.z)), w(float(src.w)) {}
MFloatPoint::MFloatPoint(const MVector& src) : x(float(src.x)), y(float(src.y)), z(float(src.z)), w(1.0f) {}

MFloatPoint MFloatPoint::operator*(const MFloatMatrix& m) const {
    return pointTimes(*this, m);
}
MFloatPoint& MFloatPoint::operator*=(const MFloatMatrix& m) {
    return *this = *this * m;
}

MFloatPoint operator*(const MFloatMatrix& m, const MFloatPoint& p) {
    return timesPoint(m, p);
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
    return cartesianized(*this);
}
MFloatPoint& MFloatPoint::rationalize() {
    return rationalized(*this);
}
MFloatPoint& MFloatPoint::homogenize() {
    return homogenized(*this);
}
float MFloatPoint::distanceTo(const MFloatPoint& other) const {
    return distanceBetween(*this, other);
}
bool MFloatPoint::isEquivalent(const MFloatPoint& o, float tolerance) const {
    return equivalent4(*this, o, tolerance);
}
std::ostream& operator<<(std::ostream& os, const MFloatPoint& p) {
    return print4(os, p);
}
