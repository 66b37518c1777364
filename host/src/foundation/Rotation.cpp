// Rotations: quaternions, Euler angles, and the component-wise transformation matrix.
#include <maya/MEulerRotation.h>
#include <maya/MMatrix.h>
#include <maya/MQuaternion.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MVector.h>

#include <algorithm>
#include <cmath>
#include <ostream>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Rotation about one coordinate axis as a row-vector matrix (counter-clockwise looking down the axis).
MMatrix axisMatrix(int axis, double angle) {
    MMatrix m;
    double c = std::cos(angle), s = std::sin(angle);
    int a = (axis + 1) % 3, b = (axis + 2) % 3;
    m.matrix[a][a] = c;
    m.matrix[a][b] = s;
    m.matrix[b][a] = -s;
    m.matrix[b][b] = c;
    return m;
}

// The axes of each Euler order, first applied first, and whether the order is an even permutation.
struct OrderAxes {
    int i, j, k;
    bool even;
};
OrderAxes orderAxes(MEulerRotation::RotationOrder order) {
    switch (order) {
        case MEulerRotation::kXYZ:
            return {0, 1, 2, true};
        case MEulerRotation::kYZX:
            return {1, 2, 0, true};
        case MEulerRotation::kZXY:
            return {2, 0, 1, true};
        case MEulerRotation::kXZY:
            return {0, 2, 1, false};
        case MEulerRotation::kYXZ:
            return {1, 0, 2, false};
        case MEulerRotation::kZYX:
            return {2, 1, 0, false};
    }
    return {0, 1, 2, true};
}

MEulerRotation::RotationOrder reversedOrder(MEulerRotation::RotationOrder order) {
    switch (order) {
        case MEulerRotation::kXYZ:
            return MEulerRotation::kZYX;
        case MEulerRotation::kZYX:
            return MEulerRotation::kXYZ;
        case MEulerRotation::kYZX:
            return MEulerRotation::kXZY;
        case MEulerRotation::kXZY:
            return MEulerRotation::kYZX;
        case MEulerRotation::kZXY:
            return MEulerRotation::kYXZ;
        case MEulerRotation::kYXZ:
            return MEulerRotation::kZXY;
    }
    return order;
}

// Wraps an angle into (-pi, pi].
double wrapAngle(double a) {
    double r = std::remainder(a, 2.0 * kPi);
    return r <= -kPi ? r + 2.0 * kPi : r;
}

// Hamilton product p (x) q.
MQuaternion hamilton(const MQuaternion& p, const MQuaternion& q) {
    return MQuaternion(
        p.w * q.x + p.x * q.w + p.y * q.z - p.z * q.y, p.w * q.y - p.x * q.z + p.y * q.w + p.z * q.x,
        p.w * q.z + p.x * q.y - p.y * q.x + p.z * q.w, p.w * q.w - p.x * q.x - p.y * q.y - p.z * q.z);
}

MMatrix translationMatrix(double x, double y, double z) {
    MMatrix m;
    m.matrix[3][0] = x;
    m.matrix[3][1] = y;
    m.matrix[3][2] = z;
    return m;
}

}  // namespace

// ---- MQuaternion ----

const MQuaternion MQuaternion::identity(0.0, 0.0, 0.0, 1.0);

MQuaternion::MQuaternion(const MVector& a, const MVector& b, double angleFactor)
    : x(0.0), y(0.0), z(0.0), w(1.0) {
    double la = a.length(), lb = b.length();
    if (la == 0.0 || lb == 0.0) return;
    MVector na = a / la, nb = b / lb;
    MVector axis = na ^ nb;
    double angle = std::atan2(axis.length(), na * nb);
    if (axis.length() < 1e-12) {
        if (na * nb > 0.0) return;  // same direction: no rotation
        // Opposite directions: any axis perpendicular to a gives the half turn.
        axis = na ^ MVector::xAxis;
        if (axis.length() < 1e-6) axis = na ^ MVector::yAxis;
        angle = kPi;
    }
    setAxisAngle(axis, angle * angleFactor);
}

MQuaternion::MQuaternion(double angle, const MVector& axis) : x(0.0), y(0.0), z(0.0), w(1.0) {
    setAxisAngle(axis, angle);
}

MQuaternion& MQuaternion::operator=(const MMatrix& matrix) {
    // Rows normalised to drop scale; then the column-convention rotation R = M^T is converted with the
    // numerically stable branch on the largest diagonal term.
    double m[3][3];
    for (int r = 0; r < 3; ++r) {
        double len =
            std::sqrt(matrix.matrix[r][0] * matrix.matrix[r][0] + matrix.matrix[r][1] * matrix.matrix[r][1] +
                      matrix.matrix[r][2] * matrix.matrix[r][2]);
        for (int c = 0; c < 3; ++c) m[c][r] = len > 0.0 ? matrix.matrix[r][c] / len : (r == c ? 1.0 : 0.0);
    }
    double trace = m[0][0] + m[1][1] + m[2][2];
    if (trace > 0.0) {
        double s = std::sqrt(trace + 1.0) * 2.0;
        w = 0.25 * s;
        x = (m[2][1] - m[1][2]) / s;
        y = (m[0][2] - m[2][0]) / s;
        z = (m[1][0] - m[0][1]) / s;
    } else if (m[0][0] > m[1][1] && m[0][0] > m[2][2]) {
        double s = std::sqrt(1.0 + m[0][0] - m[1][1] - m[2][2]) * 2.0;
        w = (m[2][1] - m[1][2]) / s;
        x = 0.25 * s;
        y = (m[0][1] + m[1][0]) / s;
        z = (m[0][2] + m[2][0]) / s;
    } else if (m[1][1] > m[2][2]) {
        double s = std::sqrt(1.0 + m[1][1] - m[0][0] - m[2][2]) * 2.0;
        w = (m[0][2] - m[2][0]) / s;
        x = (m[0][1] + m[1][0]) / s;
        y = 0.25 * s;
        z = (m[1][2] + m[2][1]) / s;
    } else {
        double s = std::sqrt(1.0 + m[2][2] - m[0][0] - m[1][1]) * 2.0;
        w = (m[1][0] - m[0][1]) / s;
        x = (m[0][2] + m[2][0]) / s;
        y = (m[1][2] + m[2][1]) / s;
        z = 0.25 * s;
    }
    return normalizeIt();
}

MQuaternion& MQuaternion::operator=(const MEulerRotation& rotation) {
    return *this = rotation.asQuaternion();
}

MMatrix MQuaternion::asMatrix() const {
    MQuaternion q = normal();
    double xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
    double xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
    double wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
    MMatrix m;
    m.matrix[0][0] = 1.0 - 2.0 * (yy + zz);
    m.matrix[0][1] = 2.0 * (xy + wz);
    m.matrix[0][2] = 2.0 * (xz - wy);
    m.matrix[1][0] = 2.0 * (xy - wz);
    m.matrix[1][1] = 1.0 - 2.0 * (xx + zz);
    m.matrix[1][2] = 2.0 * (yz + wx);
    m.matrix[2][0] = 2.0 * (xz + wy);
    m.matrix[2][1] = 2.0 * (yz - wx);
    m.matrix[2][2] = 1.0 - 2.0 * (xx + yy);
    return m;
}

MEulerRotation MQuaternion::asEulerRotation() const {
    return MEulerRotation::decompose(asMatrix(), MEulerRotation::kXYZ);
}

MQuaternion& MQuaternion::setAxisAngle(const MVector& axis, double theta) {
    double len = axis.length();
    if (len == 0.0) return *this = identity;
    double s = std::sin(0.5 * theta) / len;
    x = axis.x * s;
    y = axis.y * s;
    z = axis.z * s;
    w = std::cos(0.5 * theta);
    return *this;
}

bool MQuaternion::getAxisAngle(MVector& axis, double& theta) const {
    MQuaternion q = normal();
    double s = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z);
    if (s < 1e-15) {
        axis = MVector::zAxis;
        theta = 0.0;
        return false;
    }
    axis = MVector(q.x / s, q.y / s, q.z / s);
    theta = 2.0 * std::atan2(s, q.w);
    return true;
}

MQuaternion& MQuaternion::setToXAxis(double theta) {
    return setAxisAngle(MVector::xAxis, theta);
}
MQuaternion& MQuaternion::setToYAxis(double theta) {
    return setAxisAngle(MVector::yAxis, theta);
}
MQuaternion& MQuaternion::setToZAxis(double theta) {
    return setAxisAngle(MVector::zAxis, theta);
}

// Row-vector order: this rotation first, then other, which is the Hamilton product other (x) this.
MQuaternion MQuaternion::operator*(const MQuaternion& other) const {
    return hamilton(other, *this);
}
MQuaternion& MQuaternion::operator*=(const MQuaternion& other) {
    return *this = *this * other;
}

bool MQuaternion::isEquivalent(const MQuaternion& o, double tol) const {
    auto close = [tol](const MQuaternion& a, const MQuaternion& b) {
        return std::fabs(a.x - b.x) <= tol && std::fabs(a.y - b.y) <= tol && std::fabs(a.z - b.z) <= tol &&
               std::fabs(a.w - b.w) <= tol;
    };
    return close(*this, o) || close(*this, -o);
}

MQuaternion& MQuaternion::scaleIt(double s) {
    x *= s, y *= s, z *= s, w *= s;
    return *this;
}
MQuaternion MQuaternion::normal() const {
    return MQuaternion(*this).normalizeIt();
}
MQuaternion& MQuaternion::normalizeIt() {
    double len = std::sqrt(x * x + y * y + z * z + w * w);
    if (len > 0.0) scaleIt(1.0 / len);
    return *this;
}
MQuaternion& MQuaternion::conjugateIt() {
    return *this = conjugate();
}
MQuaternion MQuaternion::inverse() const {
    double n = x * x + y * y + z * z + w * w;
    return n > 0.0 ? MQuaternion(-x / n, -y / n, -z / n, w / n) : *this;
}
MQuaternion& MQuaternion::invertIt() {
    return *this = inverse();
}
MQuaternion MQuaternion::log() const {
    double s = std::sqrt(x * x + y * y + z * z);
    double theta = std::atan2(s, w);
    double k = s > 0.0 ? theta / s : 0.0;
    return MQuaternion(x * k, y * k, z * k, 0.0);
}
MQuaternion MQuaternion::exp() const {
    double theta = std::sqrt(x * x + y * y + z * z);
    double k = theta > 0.0 ? std::sin(theta) / theta : 1.0;
    return MQuaternion(x * k, y * k, z * k, std::cos(theta));
}
MQuaternion& MQuaternion::negateIt() {
    return *this = -*this;
}

MQuaternion slerp(const MQuaternion& p, const MQuaternion& q, double t) {
    MQuaternion a = p.normal(), b = q.normal();
    double dot = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    if (dot < 0.0) {
        b = -b;
        dot = -dot;
    }
    if (dot > 0.9995) return (a + t * (b - a)).normal();
    double theta = std::acos(std::min(1.0, dot));
    double s = std::sin(theta);
    return std::sin((1.0 - t) * theta) / s * a + std::sin(t * theta) / s * b;
}

std::ostream& operator<<(std::ostream& os, const MQuaternion& q) {
    return os << "[" << q.x << ", " << q.y << ", " << q.z << ", " << q.w << "]";
}

// ---- MEulerRotation ----

const MEulerRotation MEulerRotation::identity;

MEulerRotation& MEulerRotation::operator=(const MQuaternion& q) {
    return *this = decompose(q.asMatrix(), order);
}
MEulerRotation& MEulerRotation::operator=(const MMatrix& m) {
    return *this = decompose(m, order);
}
MEulerRotation& MEulerRotation::operator=(const MVector& v) {
    x = v.x, y = v.y, z = v.z;
    return *this;
}
MEulerRotation& MEulerRotation::setValue(const MVector& v, RotationOrder ord) {
    return setValue(v.x, v.y, v.z, ord);
}
MEulerRotation& MEulerRotation::setValue(double xx, double yy, double zz, RotationOrder ord) {
    x = xx, y = yy, z = zz, order = ord;
    return *this;
}

MMatrix MEulerRotation::asMatrix() const {
    OrderAxes o = orderAxes(order);
    return axisMatrix(o.i, (&x)[o.i]) * axisMatrix(o.j, (&x)[o.j]) * axisMatrix(o.k, (&x)[o.k]);
}

MQuaternion MEulerRotation::asQuaternion() const {
    OrderAxes o = orderAxes(order);
    const MVector axes[3] = {MVector::xAxis, MVector::yAxis, MVector::zAxis};
    return MQuaternion((&x)[o.i], axes[o.i]) * MQuaternion((&x)[o.j], axes[o.j]) *
           MQuaternion((&x)[o.k], axes[o.k]);
}

MEulerRotation MEulerRotation::operator+(const MEulerRotation& o) const {
    return MEulerRotation(x + o.x, y + o.y, z + o.z, order);
}
MEulerRotation& MEulerRotation::operator+=(const MEulerRotation& o) {
    return *this = *this + o;
}
MEulerRotation MEulerRotation::operator-(const MEulerRotation& o) const {
    return MEulerRotation(x - o.x, y - o.y, z - o.z, order);
}
MEulerRotation& MEulerRotation::operator-=(const MEulerRotation& o) {
    return *this = *this - o;
}
MEulerRotation MEulerRotation::operator*(const MEulerRotation& o) const {
    return decompose(asMatrix() * o.asMatrix(), order);
}
MEulerRotation MEulerRotation::operator*(const MQuaternion& q) const {
    return decompose(asMatrix() * q.asMatrix(), order);
}
bool MEulerRotation::operator==(const MEulerRotation& o) const {
    return x == o.x && y == o.y && z == o.z && order == o.order;
}
bool MEulerRotation::isEquivalent(const MEulerRotation& o, double tol) const {
    return order == o.order && std::fabs(x - o.x) <= tol && std::fabs(y - o.y) <= tol &&
           std::fabs(z - o.z) <= tol;
}
bool MEulerRotation::isZero(double tol) const {
    return std::fabs(x) <= tol && std::fabs(y) <= tol && std::fabs(z) <= tol;
}

// Undoing Ri * Rj * Rk takes Rk^-1 * Rj^-1 * Ri^-1: negated angles in the reversed order.
MEulerRotation MEulerRotation::inverse() const {
    return MEulerRotation(-x, -y, -z, reversedOrder(order));
}
MEulerRotation& MEulerRotation::invertIt() {
    return *this = inverse();
}
MEulerRotation MEulerRotation::reorder(RotationOrder ord) const {
    return decompose(asMatrix(), ord);
}
MEulerRotation& MEulerRotation::reorderIt(RotationOrder ord) {
    return *this = reorder(ord);
}
MEulerRotation MEulerRotation::bound() const {
    return MEulerRotation(wrapAngle(x), wrapAngle(y), wrapAngle(z), order);
}
MEulerRotation& MEulerRotation::boundIt() {
    return *this = bound();
}

MEulerRotation MEulerRotation::decompose(const MMatrix& matrix, RotationOrder ord) {
    // Work on the column-convention rotation R = M^T (rows of M normalised), which for order (i, j, k)
    // is R = Rk(c) * Rj(b) * Ri(a). Then R[k][i] = -s sin(b) with s = +1 for even orders, -1 for odd.
    double R[3][3];
    for (int r = 0; r < 3; ++r) {
        double len =
            std::sqrt(matrix.matrix[r][0] * matrix.matrix[r][0] + matrix.matrix[r][1] * matrix.matrix[r][1] +
                      matrix.matrix[r][2] * matrix.matrix[r][2]);
        for (int c = 0; c < 3; ++c) R[c][r] = len > 0.0 ? matrix.matrix[r][c] / len : (r == c ? 1.0 : 0.0);
    }
    OrderAxes o = orderAxes(ord);
    double s = o.even ? 1.0 : -1.0;
    int i = o.i, j = o.j, k = o.k;
    double sinB = std::clamp(-s * R[k][i], -1.0, 1.0);
    double a, b, c;
    if (std::fabs(sinB) < 1.0 - 1e-12) {
        b = std::asin(sinB);
        a = std::atan2(s * R[k][j], R[k][k]);
        c = std::atan2(s * R[j][i], R[i][i]);
    } else {
        // Gimbal lock: only a + c (or a - c) is determined; put it all into the first angle.
        b = sinB > 0.0 ? 0.5 * kPi : -0.5 * kPi;
        c = 0.0;
        a = std::atan2(-s * R[j][k], R[j][j]);
    }
    double angles[3];
    angles[i] = a;
    angles[j] = b;
    angles[k] = c;
    return MEulerRotation(angles[0], angles[1], angles[2], ord);
}

std::ostream& operator<<(std::ostream& os, const MEulerRotation& r) {
    return os << "[" << r.x << ", " << r.y << ", " << r.z << "]";
}

// ---- MTransformationMatrix ----

const MTransformationMatrix MTransformationMatrix::identity;

MTransformationMatrix::MTransformationMatrix(const MMatrix& src) {
    *this = src;
}

MTransformationMatrix& MTransformationMatrix::operator=(const MMatrix& src) {
    *this = MTransformationMatrix();
    const auto& m = src.matrix;
    translation_ = MVector(m[3][0], m[3][1], m[3][2]);
    // The upper 3x3 is S * Sh * R (row vectors); Gram-Schmidt on its rows recovers scale, shear and the
    // rotation rows.
    MVector r0(m[0][0], m[0][1], m[0][2]), r1(m[1][0], m[1][1], m[1][2]), r2(m[2][0], m[2][1], m[2][2]);
    double sx = r0.length();
    MVector R0 = sx > 0.0 ? r0 / sx : MVector::xAxis;
    double sy_xy = r1 * R0;
    MVector r1p = r1 - R0 * sy_xy;
    double sy = r1p.length();
    MVector R1 = sy > 0.0                                ? r1p / sy
                 : (R0 ^ MVector::zAxis).length() > 1e-6 ? (MVector::zAxis ^ R0).normal()
                                                         : (R0 ^ MVector::xAxis).normal();
    double sz_xz = r2 * R0, sz_yz = r2 * R1;
    MVector r2p = r2 - R0 * sz_xz - R1 * sz_yz;
    double sz = r2p.length();
    MVector R2 = sz > 0.0 ? r2p / sz : (R0 ^ R1).normal();
    if ((R0 ^ R1) * R2 < 0.0) {  // a mirroring matrix: carry the reflection in the z scale
        sz = -sz;
        R2 = -R2;
    }
    scale_ = MVector(sx, sy, sz);
    shear_ =
        MVector(sy != 0.0 ? sy_xy / sy : 0.0, sz != 0.0 ? sz_xz / sz : 0.0, sz != 0.0 ? sz_yz / sz : 0.0);
    MMatrix rot;
    for (int c = 0; c < 3; ++c) {
        rot.matrix[0][c] = R0[c];
        rot.matrix[1][c] = R1[c];
        rot.matrix[2][c] = R2[c];
    }
    rotation_ = MEulerRotation::decompose(rot, MEulerRotation::kXYZ);
    return *this;
}

MMatrix MTransformationMatrix::asScaleMatrix() const {
    MMatrix s;
    s.matrix[0][0] = scale_.x;
    s.matrix[1][1] = scale_.y;
    s.matrix[2][2] = scale_.z;
    MMatrix sh;
    sh.matrix[1][0] = shear_.x;
    sh.matrix[2][0] = shear_.y;
    sh.matrix[2][1] = shear_.z;
    return translationMatrix(-scalePivot_.x, -scalePivot_.y, -scalePivot_.z) * s * sh *
           translationMatrix(scalePivot_.x, scalePivot_.y, scalePivot_.z) *
           translationMatrix(scalePivotTranslation_.x, scalePivotTranslation_.y, scalePivotTranslation_.z);
}

MMatrix MTransformationMatrix::asRotateMatrix() const {
    return translationMatrix(-rotatePivot_.x, -rotatePivot_.y, -rotatePivot_.z) *
           rotateOrientation_.asMatrix() * rotation_.asMatrix() *
           translationMatrix(rotatePivot_.x, rotatePivot_.y, rotatePivot_.z) *
           translationMatrix(rotatePivotTranslation_.x, rotatePivotTranslation_.y, rotatePivotTranslation_.z);
}

MMatrix MTransformationMatrix::asMatrix() const {
    return asScaleMatrix() * asRotateMatrix() *
           translationMatrix(translation_.x, translation_.y, translation_.z);
}

MMatrix MTransformationMatrix::asMatrix(double percent) const {
    MTransformationMatrix t(*this);
    t.translation_ = translation_ * percent;
    t.scale_ = MVector(1.0, 1.0, 1.0) + (scale_ - MVector(1.0, 1.0, 1.0)) * percent;
    t.shear_ = shear_ * percent;
    t.rotation_ = rotation_ * percent;
    t.rotateOrientation_ = slerp(MQuaternion::identity, rotateOrientation_, percent);
    return t.asMatrix();
}

MMatrix MTransformationMatrix::asMatrixInverse() const {
    return asMatrix().inverse();
}

MStatus MTransformationMatrix::getScale(double scale[3], MSpace::Space) const {
    scale_.get(scale);
    return MStatus::kSuccess;
}
MStatus MTransformationMatrix::setScale(const double scale[3], MSpace::Space) {
    scale_ = MVector(scale);
    return MStatus::kSuccess;
}
MStatus MTransformationMatrix::addScale(const double scale[3], MSpace::Space) {
    scale_ += MVector(scale);
    return MStatus::kSuccess;
}
MStatus MTransformationMatrix::getShear(double shear[3], MSpace::Space) const {
    shear_.get(shear);
    return MStatus::kSuccess;
}
MStatus MTransformationMatrix::setShear(const double shear[3], MSpace::Space) {
    shear_ = MVector(shear);
    return MStatus::kSuccess;
}
MStatus MTransformationMatrix::addShear(const double shear[3], MSpace::Space) {
    shear_ += MVector(shear);
    return MStatus::kSuccess;
}

MQuaternion MTransformationMatrix::rotation() const {
    return rotation_.asQuaternion();
}
MTransformationMatrix& MTransformationMatrix::rotateTo(const MQuaternion& q) {
    rotation_ = MEulerRotation::decompose(q.asMatrix(), rotation_.order);
    return *this;
}
// In the object (pre-transform) space the extra rotation applies before the current one, otherwise after.
MTransformationMatrix& MTransformationMatrix::rotateBy(const MQuaternion& q, MSpace::Space space,
                                                       MStatus* st) {
    MMatrix r = (space == MSpace::kObject) ? q.asMatrix() * rotation_.asMatrix()
                                           : rotation_.asMatrix() * q.asMatrix();
    rotation_ = MEulerRotation::decompose(r, rotation_.order);
    if (st) *st = MStatus::kSuccess;
    return *this;
}
MEulerRotation MTransformationMatrix::eulerRotation() const {
    return rotation_;
}
MTransformationMatrix& MTransformationMatrix::rotateTo(const MEulerRotation& r) {
    rotation_ = r;
    return *this;
}
MTransformationMatrix& MTransformationMatrix::rotateBy(const MEulerRotation& r, MSpace::Space space,
                                                       MStatus* st) {
    return rotateBy(r.asQuaternion(), space, st);
}
MStatus MTransformationMatrix::getRotation(double rotation[3], RotationOrder& order) const {
    rotation[0] = rotation_.x, rotation[1] = rotation_.y, rotation[2] = rotation_.z;
    order = RotationOrder(rotation_.order + 1);
    return MStatus::kSuccess;
}
MStatus MTransformationMatrix::setRotation(const double rotation[3], RotationOrder order) {
    if (order <= kInvalid || order >= kLast) return MStatus::kInvalidParameter;
    rotation_ = MEulerRotation(rotation, MEulerRotation::RotationOrder(order - 1));
    return MStatus::kSuccess;
}
MStatus MTransformationMatrix::addRotation(const double rotation[3], RotationOrder order,
                                           MSpace::Space space) {
    if (order <= kInvalid || order >= kLast) return MStatus::kInvalidParameter;
    rotateBy(MEulerRotation(rotation, MEulerRotation::RotationOrder(order - 1)), space);
    return MStatus::kSuccess;
}
MTransformationMatrix::RotationOrder MTransformationMatrix::rotationOrder(MStatus* st) const {
    if (st) *st = MStatus::kSuccess;
    return RotationOrder(rotation_.order + 1);
}
MStatus MTransformationMatrix::setRotationOrder(RotationOrder order, bool preserve) {
    if (order <= kInvalid || order >= kLast) return MStatus::kInvalidParameter;
    auto ord = MEulerRotation::RotationOrder(order - 1);
    if (preserve)
        rotation_.reorderIt(ord);
    else
        rotation_.order = ord;
    return MStatus::kSuccess;
}
MTransformationMatrix& MTransformationMatrix::setRotationOrientation(const MQuaternion& q) {
    rotateOrientation_ = q;
    return *this;
}

MVector MTransformationMatrix::getTranslation(MSpace::Space, MStatus* st) const {
    if (st) *st = MStatus::kSuccess;
    return translation_;
}
MStatus MTransformationMatrix::setTranslation(const MVector& vector, MSpace::Space) {
    translation_ = vector;
    return MStatus::kSuccess;
}
MStatus MTransformationMatrix::addTranslation(const MVector& vector, MSpace::Space) {
    translation_ += vector;
    return MStatus::kSuccess;
}

MPoint MTransformationMatrix::scalePivot(MSpace::Space, MStatus* st) const {
    if (st) *st = MStatus::kSuccess;
    return scalePivot_;
}
MStatus MTransformationMatrix::setScalePivot(const MPoint& point, MSpace::Space, bool balance) {
    if (balance) {
        // The scale block moves a point p to (p - sp) * SSh + sp + st; keeping that fixed for every p
        // when sp changes by d needs st to change by d * SSh - d.
        MTransformationMatrix noPivot(*this);
        noPivot.scalePivot_ = MPoint::origin;
        noPivot.scalePivotTranslation_ = MVector::zero;
        MVector d = MPoint(point.x, point.y, point.z) - scalePivot_;
        scalePivotTranslation_ += d * noPivot.asScaleMatrix() - d;
    }
    scalePivot_ = MPoint(point.x, point.y, point.z);
    return MStatus::kSuccess;
}
MVector MTransformationMatrix::scalePivotTranslation(MSpace::Space, MStatus* st) const {
    if (st) *st = MStatus::kSuccess;
    return scalePivotTranslation_;
}
MStatus MTransformationMatrix::setScalePivotTranslation(const MVector& vector, MSpace::Space) {
    scalePivotTranslation_ = vector;
    return MStatus::kSuccess;
}
MPoint MTransformationMatrix::rotatePivot(MSpace::Space, MStatus* st) const {
    if (st) *st = MStatus::kSuccess;
    return rotatePivot_;
}
MStatus MTransformationMatrix::setRotatePivot(const MPoint& point, MSpace::Space, bool balance) {
    if (balance) {
        MVector d = MPoint(point.x, point.y, point.z) - rotatePivot_;
        rotatePivotTranslation_ += d * (rotateOrientation_.asMatrix() * rotation_.asMatrix()) - d;
    }
    rotatePivot_ = MPoint(point.x, point.y, point.z);
    return MStatus::kSuccess;
}
MVector MTransformationMatrix::rotatePivotTranslation(MSpace::Space, MStatus* st) const {
    if (st) *st = MStatus::kSuccess;
    return rotatePivotTranslation_;
}
MStatus MTransformationMatrix::setRotatePivotTranslation(const MVector& vector, MSpace::Space) {
    rotatePivotTranslation_ = vector;
    return MStatus::kSuccess;
}

bool MTransformationMatrix::isEquivalent(const MTransformationMatrix& other, double tolerance) const {
    return asMatrix().isEquivalent(other.asMatrix(), tolerance);
}
bool MTransformationMatrix::operator==(const MTransformationMatrix& other) const {
    return asMatrix() == other.asMatrix();
}
