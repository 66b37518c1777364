#pragma once
// A 3D direction in double precision. Vectors are row vectors: v * M transforms by the matrix's upper 3x3
// (translation does not apply to directions).
#include <maya/MIOStreamFwd.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <cmath>
#include <iosfwd>

class MPoint;
class MFloatPoint;
class MFloatVector;
class MMatrix;
class MQuaternion;
class MEulerRotation;

class MVector {
public:
    enum Axis { kXaxis, kYaxis, kZaxis, kWaxis };

    MVector() : x(0.0), y(0.0), z(0.0) {}
    MVector(const MVector& src) = default;
    MVector(const MFloatVector& src);
    MVector(const MPoint& src);
    MVector(const MFloatPoint& src);
    MVector(double xx, double yy, double zz = 0.0) : x(xx), y(yy), z(zz) {}
    MVector(const double d[3]) : x(d[0]), y(d[1]), z(d[2]) {}
    MVector(const float f[3]) : x(f[0]), y(f[1]), z(f[2]) {}
    ~MVector() = default;

    MVector& operator=(const MVector& src) = default;
    double operator()(unsigned int i) const { return (&x)[i]; }
    double& operator()(unsigned int i) { return (&x)[i]; }
    double operator[](unsigned int i) const { return (&x)[i]; }
    double& operator[](unsigned int i) { return (&x)[i]; }

    // Cross product.
    MVector operator^(const MVector& r) const {
        return MVector(y * r.z - z * r.y, z * r.x - x * r.z, x * r.y - y * r.x);
    }
    // Dot product.
    double operator*(const MVector& r) const { return x * r.x + y * r.y + z * r.z; }
    MVector& operator/=(double s) {
        x /= s;
        y /= s;
        z /= s;
        return *this;
    }
    MVector operator/(double s) const { return MVector(x / s, y / s, z / s); }
    MVector& operator*=(double s) {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }
    MVector operator*(double s) const { return MVector(x * s, y * s, z * s); }
    MVector operator+(const MVector& r) const { return MVector(x + r.x, y + r.y, z + r.z); }
    MVector& operator+=(const MVector& r) {
        x += r.x;
        y += r.y;
        z += r.z;
        return *this;
    }
    MVector operator-() const { return MVector(-x, -y, -z); }
    MVector operator-(const MVector& r) const { return MVector(x - r.x, y - r.y, z - r.z); }
    MVector& operator-=(const MVector& r) {
        x -= r.x;
        y -= r.y;
        z -= r.z;
        return *this;
    }
    MVector operator*(const MMatrix& m) const;
    MVector& operator*=(const MMatrix& m);
    bool operator==(const MVector& r) const { return x == r.x && y == r.y && z == r.z; }
    bool operator!=(const MVector& r) const { return !(*this == r); }

    MVector rotateBy(double x, double y, double z, double w) const;
    MVector rotateBy(const MQuaternion& q) const;
    MVector rotateBy(const MEulerRotation& r) const;
    // Rotation by angle (radians) about a coordinate axis, counter-clockwise looking down the axis.
    MVector rotateBy(MVector::Axis axis, double angle) const;
    // The rotation taking this vector's direction onto target's.
    MQuaternion rotateTo(const MVector& target) const;

    MStatus get(double dest[3]) const {
        dest[0] = x;
        dest[1] = y;
        dest[2] = z;
        return MStatus::kSuccess;
    }
    double length() const { return std::sqrt(x * x + y * y + z * z); }
    // Unit vector in the same direction; the zero vector stays zero.
    MVector normal() const;
    MStatus normalize();
    MVector transformAsNormal(const MMatrix& matrix) const;
    // Angle between the two vectors in radians, in [0, pi].
    double angle(const MVector& other) const;
    bool isEquivalent(const MVector& other, double tolerance = 1.0e-10) const;
    bool isParallel(const MVector& other, double tolerance = 1.0e-10) const;

    friend MVector operator*(int s, const MVector& v) { return v * double(s); }
    friend MVector operator*(short s, const MVector& v) { return v * double(s); }
    friend MVector operator*(unsigned int s, const MVector& v) { return v * double(s); }
    friend MVector operator*(unsigned short s, const MVector& v) { return v * double(s); }
    friend MVector operator*(float s, const MVector& v) { return v * double(s); }
    friend MVector operator*(double s, const MVector& v) { return v * s; }
    friend MVector operator*(const MMatrix& m, const MVector& v);
    friend std::ostream& operator<<(std::ostream& os, const MVector& v);

    static const MVector zero;
    static const MVector one;
    static const MVector xAxis;
    static const MVector yAxis;
    static const MVector zAxis;
    static const MVector xNegAxis;
    static const MVector yNegAxis;
    static const MVector zNegAxis;

    double x;
    double y;
    double z;
};
