#include "graph/core/GraphMath.h"

#include <cmath>

namespace kxh {

Matrix44 Matrix44::translation(double x, double y, double z) {
    Matrix44 r;
    r.m[3][0] = x;
    r.m[3][1] = y;
    r.m[3][2] = z;
    return r;
}

Matrix44 Matrix44::scaling(double x, double y, double z) {
    Matrix44 r;
    r.m[0][0] = x;
    r.m[1][1] = y;
    r.m[2][2] = z;
    return r;
}

namespace {

// The rotation by `a` in the plane of axes i and j that turns axis i towards axis j.
Matrix44 planeRotation(double a, int i, int j) {
    Matrix44 r;
    double c = std::cos(a), s = std::sin(a);
    r.m[i][i] = c;
    r.m[i][j] = s;
    r.m[j][i] = -s;
    r.m[j][j] = c;
    return r;
}

}  // namespace

// Row-vector rotations: p * R rotates p counter-clockwise about the axis (right-handed).
Matrix44 Matrix44::rotationX(double a) {
    return planeRotation(a, 1, 2);
}

Matrix44 Matrix44::rotationY(double a) {
    return planeRotation(a, 2, 0);
}

Matrix44 Matrix44::rotationZ(double a) {
    return planeRotation(a, 0, 1);
}

Matrix44 Matrix44::operator*(const Matrix44& o) const {
    Matrix44 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double s = 0;
            for (int k = 0; k < 4; ++k) s += m[i][k] * o.m[k][j];
            r.m[i][j] = s;
        }
    return r;
}

bool Matrix44::operator==(const Matrix44& o) const {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (m[i][j] != o.m[i][j]) return false;
    return true;
}

bool Matrix44::isEquivalent(const Matrix44& o, double tol) const {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (std::fabs(m[i][j] - o.m[i][j]) > tol) return false;
    return true;
}

Matrix44 Matrix44::transpose() const {
    Matrix44 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) r.m[i][j] = m[j][i];
    return r;
}

// Gauss-Jordan elimination with partial pivoting.
Matrix44 Matrix44::inverse() const {
    double a[4][8];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            a[i][j] = m[i][j];
            a[i][j + 4] = i == j ? 1.0 : 0.0;
        }
    for (int c = 0; c < 4; ++c) {
        int piv = c;
        for (int r = c + 1; r < 4; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[piv][c])) piv = r;
        if (std::fabs(a[piv][c]) < 1e-300) return Matrix44();
        if (piv != c)
            for (int j = 0; j < 8; ++j) std::swap(a[c][j], a[piv][j]);
        double d = a[c][c];
        for (int j = 0; j < 8; ++j) a[c][j] /= d;
        for (int r = 0; r < 4; ++r) {
            if (r == c || a[r][c] == 0) continue;
            double f = a[r][c];
            for (int j = 0; j < 8; ++j) a[r][j] -= f * a[c][j];
        }
    }
    Matrix44 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) r.m[i][j] = a[i][j + 4];
    return r;
}

V3 Matrix44::transformPoint(const V3& p) const {
    double x = p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0];
    double y = p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1];
    double z = p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2];
    double w = p.x * m[0][3] + p.y * m[1][3] + p.z * m[2][3] + m[3][3];
    if (w != 1.0 && w != 0.0) return {x / w, y / w, z / w};
    return {x, y, z};
}

V3 Matrix44::transformVector(const V3& v) const {
    return {v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0], v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1],
            v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2]};
}

Matrix44 eulerMatrix(double rx, double ry, double rz, RotateOrder order) {
    Matrix44 X = Matrix44::rotationX(rx), Y = Matrix44::rotationY(ry), Z = Matrix44::rotationZ(rz);
    switch (order) {
        case RotateOrder::XYZ:
            return X * Y * Z;
        case RotateOrder::YZX:
            return Y * Z * X;
        case RotateOrder::ZXY:
            return Z * X * Y;
        case RotateOrder::XZY:
            return X * Z * Y;
        case RotateOrder::YXZ:
            return Y * X * Z;
        case RotateOrder::ZYX:
            return Z * Y * X;
    }
    return X * Y * Z;
}

}  // namespace kxh
