#pragma once
// A rotation as a unit quaternion (x, y, z imaginary, w real). Products follow the matrix order:
// (a * b).asMatrix() == a.asMatrix() * b.asMatrix(), i.e. a is applied first.
#include <maya/MIOStreamFwd.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

#include <iosfwd>

class MMatrix;
class MEulerRotation;

class MQuaternion {
public:
    MQuaternion() : x(0.0), y(0.0), z(0.0), w(1.0) {}
    MQuaternion(const MQuaternion& src) = default;
    MQuaternion(double xx, double yy, double zz, double ww) : x(xx), y(yy), z(zz), w(ww) {}
    MQuaternion(const double q[4]) : x(q[0]), y(q[1]), z(q[2]), w(q[3]) {}
    // The shortest rotation taking direction a onto direction b; factor scales its angle (1 = all the way).
    MQuaternion(const MVector& a, const MVector& b, double angleFactor = 1.0);
    // A rotation of angle radians about axis.
    MQuaternion(double angle, const MVector& axis);
    ~MQuaternion() = default;

    MQuaternion& operator=(const MQuaternion& src) = default;
    MQuaternion& operator=(const MMatrix& matrix);
    MQuaternion& operator=(const MEulerRotation& rotation);
    double operator[](unsigned int i) const { return (&x)[i]; }
    double& operator[](unsigned int i) { return (&x)[i]; }

    MMatrix asMatrix() const;
    MEulerRotation asEulerRotation() const;
    MQuaternion& setAxisAngle(const MVector& axis, double theta);
    bool getAxisAngle(MVector& axis, double& theta) const;
    MQuaternion& setToXAxis(double theta);
    MQuaternion& setToYAxis(double theta);
    MQuaternion& setToZAxis(double theta);
    MStatus get(double dest[4]) const {
        dest[0] = x;
        dest[1] = y;
        dest[2] = z;
        dest[3] = w;
        return MStatus::kSuccess;
    }

    MQuaternion operator+(const MQuaternion& other) const {
        return MQuaternion(x + other.x, y + other.y, z + other.z, w + other.w);
    }
    MQuaternion operator-(const MQuaternion& other) const {
        return MQuaternion(x - other.x, y - other.y, z - other.z, w - other.w);
    }
    MQuaternion operator-() const { return MQuaternion(-x, -y, -z, -w); }
    MQuaternion operator*(const MQuaternion& other) const;
    MQuaternion& operator*=(const MQuaternion& other);
    bool operator==(const MQuaternion& other) const {
        return x == other.x && y == other.y && z == other.z && w == other.w;
    }
    bool operator!=(const MQuaternion& other) const { return !(*this == other); }
    // Equal as rotations: q and -q are equivalent.
    bool isEquivalent(const MQuaternion& other, double tolerance = 1.0e-10) const;

    MQuaternion& scaleIt(double s);
    MQuaternion normal() const;
    MQuaternion& normalizeIt();
    MQuaternion conjugate() const { return MQuaternion(-x, -y, -z, w); }
    MQuaternion& conjugateIt();
    MQuaternion inverse() const;
    MQuaternion& invertIt();
    MQuaternion log() const;
    MQuaternion exp() const;
    MQuaternion& negateIt();

    friend MQuaternion operator*(double s, const MQuaternion& q) {
        return MQuaternion(q.x * s, q.y * s, q.z * s, q.w * s);
    }
    // Spherical interpolation from p (t = 0) to q (t = 1) along the shorter arc.
    friend MQuaternion slerp(const MQuaternion& p, const MQuaternion& q, double t);
    friend std::ostream& operator<<(std::ostream& os, const MQuaternion& q);

    static const MQuaternion identity;

    double x;
    double y;
    double z;
    double w;
};

MQuaternion slerp(const MQuaternion& p, const MQuaternion& q, double t);
