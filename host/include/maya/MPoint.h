#pragma once
// A position in homogeneous double-precision coordinates (w = 1 for ordinary points). Points are row
// vectors: p * M applies the matrix including its translation (row 3).
#include <maya/MIOStreamFwd.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

#include <iosfwd>

class MFloatPoint;
class MFloatVector;
class MMatrix;

class MPoint {
public:
    MPoint() : x(0.0), y(0.0), z(0.0), w(1.0) {}
    MPoint(const MPoint& src) = default;
    MPoint(const MFloatPoint& src);
    MPoint(const MVector& src) : x(src.x), y(src.y), z(src.z), w(1.0) {}
    MPoint(const MFloatVector& src);
    MPoint(double xx, double yy, double zz = 0.0, double ww = 1.0) : x(xx), y(yy), z(zz), w(ww) {}
    MPoint(const double d[4]) : x(d[0]), y(d[1]), z(d[2]), w(d[3]) {}
    MPoint(const float f[4]) : x(f[0]), y(f[1]), z(f[2]), w(f[3]) {}
    ~MPoint() = default;

    MPoint& operator=(const MPoint& src) = default;
    double operator()(unsigned int i) const { return (&x)[i]; }
    double& operator()(unsigned int i) { return (&x)[i]; }
    double operator[](unsigned int i) const { return (&x)[i]; }
    double& operator[](unsigned int i) { return (&x)[i]; }

    // Differences and offsets work on x, y, z; w is kept.
    MVector operator-(const MPoint& o) const { return MVector(x - o.x, y - o.y, z - o.z); }
    MPoint operator+(const MVector& v) const { return MPoint(x + v.x, y + v.y, z + v.z, w); }
    MPoint operator-(const MVector& v) const { return MPoint(x - v.x, y - v.y, z - v.z, w); }
    MPoint& operator+=(const MVector& v) {
        x += v.x;
        y += v.y;
        z += v.z;
        return *this;
    }
    MPoint& operator-=(const MVector& v) {
        x -= v.x;
        y -= v.y;
        z -= v.z;
        return *this;
    }
    // Scaling applies to x, y, z; w is kept.
    MPoint operator*(double s) const { return MPoint(x * s, y * s, z * s, w); }
    MPoint& operator*=(double s) {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }
    MPoint operator/(double s) const { return MPoint(x / s, y / s, z / s, w); }
    MPoint operator*(const MMatrix& m) const;
    MPoint& operator*=(const MMatrix& m);
    bool operator==(const MPoint& o) const { return x == o.x && y == o.y && z == o.z && w == o.w; }
    bool operator!=(const MPoint& o) const { return !(*this == o); }

    MStatus get(double dest[4]) const {
        dest[0] = x;
        dest[1] = y;
        dest[2] = z;
        dest[3] = w;
        return MStatus::kSuccess;
    }
    MStatus get(float dest[4]) const;
    // Divides x, y, z by w and sets w to 1.
    MPoint& cartesianize();
    // Divides x, y, z by w, keeping w.
    MPoint& rationalize();
    // Multiplies x, y, z by w.
    MPoint& homogenize();
    double distanceTo(const MPoint& other) const;
    bool isEquivalent(const MPoint& other, double tolerance = 1.0e-10) const;

    friend MPoint operator*(const MMatrix& m, const MPoint& p);
    friend std::ostream& operator<<(std::ostream& os, const MPoint& p);

    static const MPoint origin;

    double x;
    double y;
    double z;
    double w;
};
