#pragma once
// A position in homogeneous single-precision coordinates (see MPoint).
#include <maya/MIOStreamFwd.h>
#include <maya/MFloatVector.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <iosfwd>

class MPoint;
class MVector;
class MFloatMatrix;

class MFloatPoint {
public:
    MFloatPoint() : x(0.0f), y(0.0f), z(0.0f), w(1.0f) {}
    MFloatPoint(const MFloatPoint& src) = default;
    MFloatPoint(const MPoint& src);
    MFloatPoint(const MFloatVector& src) : x(src.x), y(src.y), z(src.z), w(1.0f) {}
    MFloatPoint(const MVector& src);
    MFloatPoint(float xx, float yy, float zz = 0.0f, float ww = 1.0f) : x(xx), y(yy), z(zz), w(ww) {}
    MFloatPoint(const float f[4]) : x(f[0]), y(f[1]), z(f[2]), w(f[3]) {}
    MFloatPoint(const double d[4]) : x(float(d[0])), y(float(d[1])), z(float(d[2])), w(float(d[3])) {}
    ~MFloatPoint() = default;

    MFloatPoint& operator=(const MFloatPoint& src) = default;
    float operator()(unsigned int i) const { return (&x)[i]; }
    float& operator()(unsigned int i) { return (&x)[i]; }
    float operator[](unsigned int i) const { return (&x)[i]; }
    float& operator[](unsigned int i) { return (&x)[i]; }

    MFloatVector operator-(const MFloatPoint& o) const { return MFloatVector(x - o.x, y - o.y, z - o.z); }
    MFloatPoint operator+(const MFloatVector& v) const { return MFloatPoint(x + v.x, y + v.y, z + v.z, w); }
    MFloatPoint operator-(const MFloatVector& v) const { return MFloatPoint(x - v.x, y - v.y, z - v.z, w); }
    MFloatPoint& operator+=(const MFloatVector& v) {
        x += v.x;
        y += v.y;
        z += v.z;
        return *this;
    }
    MFloatPoint& operator-=(const MFloatVector& v) {
        x -= v.x;
        y -= v.y;
        z -= v.z;
        return *this;
    }
    MFloatPoint operator*(float s) const { return MFloatPoint(x * s, y * s, z * s, w); }
    MFloatPoint& operator*=(float s) {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }
    MFloatPoint operator/(float s) const { return MFloatPoint(x / s, y / s, z / s, w); }
    MFloatPoint operator*(const MFloatMatrix& m) const;
    MFloatPoint& operator*=(const MFloatMatrix& m);
    bool operator==(const MFloatPoint& o) const { return x == o.x && y == o.y && z == o.z && w == o.w; }
    bool operator!=(const MFloatPoint& o) const { return !(*this == o); }

    MStatus get(float dest[4]) const {
        dest[0] = x;
        dest[1] = y;
        dest[2] = z;
        dest[3] = w;
        return MStatus::kSuccess;
    }
    MStatus get(double dest[4]) const {
        dest[0] = x;
        dest[1] = y;
        dest[2] = z;
        dest[3] = w;
        return MStatus::kSuccess;
    }
    // Conversions from double precision (the older spelling of the converting constructors).
    MStatus setCast(const MPoint& src);
    MStatus setCast(const MVector& src);
    MFloatPoint& cartesianize();
    MFloatPoint& rationalize();
    MFloatPoint& homogenize();
    float distanceTo(const MFloatPoint& other) const;
    bool isEquivalent(const MFloatPoint& other, float tolerance = 1.0e-5f) const;

    friend MFloatPoint operator*(const MFloatMatrix& m, const MFloatPoint& p);
    friend std::ostream& operator<<(std::ostream& os, const MFloatPoint& p);

    static const MFloatPoint origin;

    float x;
    float y;
    float z;
    float w;
};
