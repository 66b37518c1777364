#pragma once
// A rotation as three angles (radians) about X, Y and Z applied in the given order: kXYZ rotates about X
// first, then Y, then Z, so its matrix is Rx * Ry * Rz.
#include <maya/MIOStreamFwd.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

#include <iosfwd>

class MMatrix;
class MQuaternion;

class MEulerRotation {
public:
    enum RotationOrder { kXYZ, kYZX, kZXY, kXZY, kYXZ, kZYX };

    MEulerRotation() : x(0.0), y(0.0), z(0.0), order(kXYZ) {}
    MEulerRotation(const MEulerRotation& src) = default;
    MEulerRotation(const MVector& v, RotationOrder ord = kXYZ) : x(v.x), y(v.y), z(v.z), order(ord) {}
    MEulerRotation(double xx, double yy, double zz, RotationOrder ord = kXYZ)
        : x(xx), y(yy), z(zz), order(ord) {}
    MEulerRotation(const double r[3], RotationOrder ord = kXYZ) : x(r[0]), y(r[1]), z(r[2]), order(ord) {}
    ~MEulerRotation() = default;

    MEulerRotation& operator=(const MEulerRotation& src) = default;
    MEulerRotation& operator=(const MQuaternion& q);
    MEulerRotation& operator=(const MMatrix& m);
    MEulerRotation& operator=(const MVector& v);
    double operator[](unsigned int i) const { return (&x)[i]; }
    double& operator[](unsigned int i) { return (&x)[i]; }

    MEulerRotation& setValue(const MVector& v, RotationOrder ord = kXYZ);
    MEulerRotation& setValue(double xx, double yy, double zz, RotationOrder ord = kXYZ);
    MQuaternion asQuaternion() const;
    MMatrix asMatrix() const;
    MVector asVector() const { return MVector(x, y, z); }

    MEulerRotation operator+(const MEulerRotation& other) const;
    MEulerRotation& operator+=(const MEulerRotation& other);
    MEulerRotation operator-(const MEulerRotation& other) const;
    MEulerRotation& operator-=(const MEulerRotation& other);
    MEulerRotation operator-() const { return MEulerRotation(-x, -y, -z, order); }
    // Composition as rotations: the result is expressed in this rotation's order.
    MEulerRotation operator*(const MEulerRotation& other) const;
    MEulerRotation operator*(const MQuaternion& other) const;
    MEulerRotation operator*(double s) const { return MEulerRotation(x * s, y * s, z * s, order); }
    bool operator==(const MEulerRotation& other) const;
    bool operator!=(const MEulerRotation& other) const { return !(*this == other); }
    bool isEquivalent(const MEulerRotation& other, double tolerance = 1.0e-10) const;
    bool isZero(double tolerance = 1.0e-10) const;

    MEulerRotation inverse() const;
    MEulerRotation& invertIt();
    // The same rotation expressed in another order.
    MEulerRotation reorder(RotationOrder ord) const;
    MEulerRotation& reorderIt(RotationOrder ord);
    // Angles wrapped into (-pi, pi].
    MEulerRotation bound() const;
    MEulerRotation& boundIt();
    // Extracts the rotation of a matrix (scale removed) as angles in the given order.
    static MEulerRotation decompose(const MMatrix& matrix, RotationOrder ord);

    friend std::ostream& operator<<(std::ostream& os, const MEulerRotation& r);

    static const MEulerRotation identity;

    double x;
    double y;
    double z;
    RotationOrder order;
};
