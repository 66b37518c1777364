#pragma once
// The small amount of 4x4 matrix maths the graph needs (transform matrices, world matrices). Row-vector
// convention as in the host: a point p maps to p * M, translation sits in row 3, and a child's world
// matrix is local * parentWorld.
#include "mesh/Mesh.h"

namespace kxh {

struct Matrix44 {
    double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

    static Matrix44 identity() { return {}; }
    static Matrix44 translation(double x, double y, double z);
    static Matrix44 scaling(double x, double y, double z);
    static Matrix44 rotationX(double radians);
    static Matrix44 rotationY(double radians);
    static Matrix44 rotationZ(double radians);

    Matrix44 operator*(const Matrix44& o) const;
    bool operator==(const Matrix44& o) const;
    bool operator!=(const Matrix44& o) const { return !(*this == o); }
    bool isIdentity() const { return *this == Matrix44(); }
    bool isEquivalent(const Matrix44& o, double tol = 1e-10) const;
    Matrix44 inverse() const;  // general 4x4 inverse; identity when singular
    Matrix44 transpose() const;

    V3 transformPoint(const V3& p) const;   // p * M (w = 1)
    V3 transformVector(const V3& v) const;  // v * M without translation
};

// Rotate orders, numbered as the transform's rotateOrder enum (xyz = 0 ... zyx = 5).
enum class RotateOrder : int { XYZ = 0, YZX, ZXY, XZY, YXZ, ZYX };

// Rotation matrix for Euler angles in radians: for order XYZ the point is rotated about X first, then Y,
// then Z (Rx * Ry * Rz in row-vector form).
Matrix44 eulerMatrix(double rx, double ry, double rz, RotateOrder order);

}  // namespace kxh
