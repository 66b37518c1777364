#pragma once
// A 3D direction in single precision (see MVector).
#include <maya/MIOStreamFwd.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <cmath>
#include <iosfwd>

class MVector;
class MPoint;
class MFloatPoint;
class MFloatMatrix;

class MFloatVector {
public:
    MFloatVector() : x(0.0f), y(0.0f), z(0.0f) {}
    MFloatVector(const MFloatVector& src) = default;
    MFloatVector(const MVector& src);
    MFloatVector(const MFloatPoint& src);
    MFloatVector(float xx, float yy, float zz = 0.0f) : x(xx), y(yy), z(zz) {}
    MFloatVector(const float f[3]) : x(f[0]), y(f[1]), z(f[2]) {}
    MFloatVector(const double d[3]) : x(float(d[0])), y(float(d[1])), z(float(d[2])) {}
    ~MFloatVector() = default;

    MFloatVector& operator=(const MFloatVector& src) = default;
    float operator()(unsigned int i) const { return (&x)[i]; }
    float& operator()(unsigned int i) { return (&x)[i]; }
    float operator[](unsigned int i) const { return (&x)[i]; }
    float& operator[](unsigned int i) { return (&x)[i]; }

    MFloatVector operator^(const MFloatVector& r) const {
        return MFloatVector(y * r.z - z * r.y, z * r.x - x * r.z, x * r.y - y * r.x);
    }
    float operator*(const MFloatVector& r) const { return x * r.x + y * r.y + z * r.z; }
    MFloatVector& operator/=(float s) {
        x /= s;
        y /= s;
        z /= s;
        return *this;
    }
    MFloatVector operator/(float s) const { return MFloatVector(x / s, y / s, z / s); }
    MFloatVector& operator*=(float s) {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }
    MFloatVector operator*(float s) const { return MFloatVector(x * s, y * s, z * s); }
    MFloatVector operator+(const MFloatVector& r) const { return MFloatVector(x + r.x, y + r.y, z + r.z); }
    MFloatVector& operator+=(const MFloatVector& r) {
        x += r.x;
        y += r.y;
        z += r.z;
        return *this;
    }
    MFloatVector operator-() const { return MFloatVector(-x, -y, -z); }
    MFloatVector operator-(const MFloatVector& r) const { return MFloatVector(x - r.x, y - r.y, z - r.z); }
    MFloatVector& operator-=(const MFloatVector& r) {
        x -= r.x;
        y -= r.y;
        z -= r.z;
        return *this;
    }
    MFloatVector operator*(const MFloatMatrix& m) const;
    MFloatVector& operator*=(const MFloatMatrix& m);
    bool operator==(const MFloatVector& r) const { return x == r.x && y == r.y && z == r.z; }
    bool operator!=(const MFloatVector& r) const { return !(*this == r); }

    MStatus get(float dest[3]) const {
        dest[0] = x;
        dest[1] = y;
        dest[2] = z;
        return MStatus::kSuccess;
    }
    float length() const { return std::sqrt(x * x + y * y + z * z); }
    MFloatVector normal() const;
    MStatus normalize();
    MFloatVector transformAsNormal(const MFloatMatrix& matrix) const;
    float angle(const MFloatVector& other) const;
    bool isEquivalent(const MFloatVector& other, float tolerance = 1.0e-5f) const;
    bool isParallel(const MFloatVector& other, float tolerance = 1.0e-5f) const;

    friend MFloatVector operator*(int s, const MFloatVector& v) { return v * float(s); }
    friend MFloatVector operator*(short s, const MFloatVector& v) { return v * float(s); }
    friend MFloatVector operator*(unsigned int s, const MFloatVector& v) { return v * float(s); }
    friend MFloatVector operator*(unsigned short s, const MFloatVector& v) { return v * float(s); }
    friend MFloatVector operator*(float s, const MFloatVector& v) { return v * s; }
    friend MFloatVector operator*(double s, const MFloatVector& v) { return v * float(s); }
    friend MFloatVector operator*(const MFloatMatrix& m, const MFloatVector& v);
    friend std::ostream& operator<<(std::ostream& os, const MFloatVector& v);

    static const MFloatVector zero;
    static const MFloatVector one;
    static const MFloatVector xAxis;
    static const MFloatVector yAxis;
    static const MFloatVector zAxis;
    static const MFloatVector xNegAxis;
    static const MFloatVector yNegAxis;
    static const MFloatVector zNegAxis;

    float x;
    float y;
    float z;
};
