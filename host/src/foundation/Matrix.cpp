// 4x4 matrices in double and single precision. MMatrix and MFloatMatrix share one body for each operation:
// templates over the raw [4][4] arrays, and over the matrix class where a member returns a matrix.
// Inverses, adjoints and determinants are always computed in double.
#include <maya/MFloatMatrix.h>
#include <maya/MMatrix.h>

#include <cmath>
#include <functional>
#include <ostream>
#include <type_traits>

namespace {

template <class T>
void setIdentity(T m[4][4]) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m[r][c] = r == c ? T(1) : T(0);
}

template <class A, class B>
void copy4(const A src[4][4], B dst[4][4]) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) dst[r][c] = B(src[r][c]);
}

template <class T>
void multiply(const T a[4][4], const T b[4][4], T out[4][4]) {
    T tmp[4][4];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            tmp[r][c] = a[r][0] * b[0][c] + a[r][1] * b[1][c] + a[r][2] * b[2][c] + a[r][3] * b[3][c];
    copy4(tmp, out);
}

// The 3x3 minor of m leaving out row r and column c.
double minor3(const double m[4][4], int r, int c) {
    int rows[3], cols[3];
    for (int i = 0, k = 0; i < 4; ++i)
        if (i != r) rows[k++] = i;
    for (int i = 0, k = 0; i < 4; ++i)
        if (i != c) cols[k++] = i;
    auto e = [&](int i, int j) { return m[rows[i]][cols[j]]; };
    return e(0, 0) * (e(1, 1) * e(2, 2) - e(1, 2) * e(2, 1)) -
           e(0, 1) * (e(1, 0) * e(2, 2) - e(1, 2) * e(2, 0)) +
           e(0, 2) * (e(1, 0) * e(2, 1) - e(1, 1) * e(2, 0));
}

// The adjugate (transposed cofactor matrix); returns the determinant.
double adjugate(const double m[4][4], double adj[4][4]) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) adj[c][r] = ((r + c) % 2 ? -1.0 : 1.0) * minor3(m, r, c);
    return m[0][0] * adj[0][0] + m[0][1] * adj[1][0] + m[0][2] * adj[2][0] + m[0][3] * adj[3][0];
}

// Inverse in double; a singular matrix gives the identity.
template <class T>
void invert(const T src[4][4], T dst[4][4]) {
    double m[4][4], adj[4][4];
    copy4(src, m);
    double det = adjugate(m, adj);
    if (det == 0.0 || !std::isfinite(det)) {
        setIdentity(dst);
        return;
    }
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) dst[r][c] = T(adj[r][c] / det);
}

template <class T>
double det4(const T src[4][4]) {
    double m[4][4], adj[4][4];
    copy4(src, m);
    return adjugate(m, adj);
}

template <class T>
double det3(const T m[4][4]) {
    return double(m[0][0]) * (double(m[1][1]) * m[2][2] - double(m[1][2]) * m[2][1]) -
           double(m[0][1]) * (double(m[1][0]) * m[2][2] - double(m[1][2]) * m[2][0]) +
           double(m[0][2]) * (double(m[1][0]) * m[2][1] - double(m[1][1]) * m[2][0]);
}

template <class T>
bool equivalent(const T a[4][4], const T b[4][4], double tol) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (!(std::fabs(double(a[r][c]) - double(b[r][c])) <= tol)) return false;
    return true;
}

template <class T>
void print(std::ostream& os, const T m[4][4]) {
    os << "[";
    for (int r = 0; r < 4; ++r) {
        os << (r ? ", [" : "[");
        for (int c = 0; c < 4; ++c) os << (c ? ", " : "") << m[r][c];
        os << "]";
    }
    os << "]";
}

// --- the members the two matrix classes share ----------------------------------------------------------

template <class M>
M transposed(const M& m) {
    M r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) r.matrix[i][j] = m.matrix[j][i];
    return r;
}

// a = op(a, b), element by element.
template <class M, class Op>
M& combine(M& a, const M& b, Op op) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) a.matrix[r][c] = op(a.matrix[r][c], b.matrix[r][c]);
    return a;
}

template <class M, class T>
M& scaleBy(M& m, T s) {
    for (auto& row : m.matrix)
        for (T& v : row) v *= s;
    return m;
}

template <class M>
M product(const M& left, const M& right) {
    M r;
    multiply(left.matrix, right.matrix, r.matrix);
    return r;
}

template <class M>
M inverted(const M& m) {
    M r;
    invert(m.matrix, r.matrix);
    return r;
}

template <class M>
M adjugated(const M& m) {
    double d[4][4], adj[4][4];
    copy4(m.matrix, d);
    adjugate(d, adj);
    M r;
    copy4(adj, r.matrix);
    return r;
}

// Drops the projective part: column 3 becomes (0, 0, 0, 1).
template <class M>
M homogenized(const M& m) {
    using T = std::remove_reference_t<decltype(m.matrix[0][0])>;
    M r(m);
    r.matrix[0][3] = r.matrix[1][3] = r.matrix[2][3] = T(0);
    r.matrix[3][3] = T(1);
    return r;
}

}  // namespace

// ---- MMatrix ----

const MMatrix MMatrix::identity;

MMatrix::MMatrix() {
    setIdentity(matrix);
}
MMatrix::MMatrix(const double m[4][4]) {
    copy4(m, matrix);
}
MMatrix::MMatrix(const float m[4][4]) {
    copy4(m, matrix);
}

MStatus MMatrix::get(double dest[4][4]) const {
    copy4(matrix, dest);
    return MStatus::kSuccess;
}
MStatus MMatrix::get(float dest[4][4]) const {
    copy4(matrix, dest);
    return MStatus::kSuccess;
}
MMatrix MMatrix::transpose() const {
    return transposed(*this);
}
MMatrix& MMatrix::setToIdentity() {
    setIdentity(matrix);
    return *this;
}
MMatrix& MMatrix::setToProduct(const MMatrix& left, const MMatrix& right) {
    multiply(left.matrix, right.matrix, matrix);
    return *this;
}
MMatrix& MMatrix::operator+=(const MMatrix& right) {
    return combine(*this, right, std::plus<>());
}
MMatrix MMatrix::operator+(const MMatrix& right) const {
    return MMatrix(*this) += right;
}
MMatrix& MMatrix::operator-=(const MMatrix& right) {
    return combine(*this, right, std::minus<>());
}
MMatrix MMatrix::operator-(const MMatrix& right) const {
    return MMatrix(*this) -= right;
}
MMatrix& MMatrix::operator*=(const MMatrix& right) {
    multiply(matrix, right.matrix, matrix);
    return *this;
}
MMatrix MMatrix::operator*(const MMatrix& right) const {
    return product(*this, right);
}
MMatrix& MMatrix::operator*=(double s) {
    return scaleBy(*this, s);
}
MMatrix MMatrix::operator*(double s) const {
    return MMatrix(*this) *= s;
}
bool MMatrix::operator==(const MMatrix& other) const {
    return equivalent(matrix, other.matrix, 0.0);
}
MMatrix MMatrix::inverse() const {
    return inverted(*this);
}
MMatrix MMatrix::adjoint() const {
    return adjugated(*this);
}
MMatrix MMatrix::homogenize() const {
    return homogenized(*this);
}
double MMatrix::det4x4() const {
    return det4(matrix);
}
double MMatrix::det3x3() const {
    return det3(matrix);
}
bool MMatrix::isEquivalent(const MMatrix& other, double tolerance) const {
    return equivalent(matrix, other.matrix, tolerance);
}
bool MMatrix::isSingular() const {
    return std::fabs(det4x4()) < 1e-12;
}
std::ostream& operator<<(std::ostream& os, const MMatrix& m) {
    print(os, m.matrix);
    return os;
}

// ---- MFloatMatrix ----

MFloatMatrix::MFloatMatrix() {
    setIdentity(matrix);
}
MFloatMatrix::MFloatMatrix(const float m[4][4]) {
    copy4(m, matrix);
}
MFloatMatrix::MFloatMatrix(const double m[4][4]) {
    copy4(m, matrix);
}

MStatus MFloatMatrix::get(float dest[4][4]) const {
    copy4(matrix, dest);
    return MStatus::kSuccess;
}
MStatus MFloatMatrix::get(double dest[4][4]) const {
    copy4(matrix, dest);
    return MStatus::kSuccess;
}
MFloatMatrix MFloatMatrix::transpose() const {
    return transposed(*this);
}
MFloatMatrix& MFloatMatrix::setToIdentity() {
    setIdentity(matrix);
    return *this;
}
MFloatMatrix& MFloatMatrix::setToProduct(const MFloatMatrix& left, const MFloatMatrix& right) {
    multiply(left.matrix, right.matrix, matrix);
    return *this;
}
MFloatMatrix& MFloatMatrix::operator+=(const MFloatMatrix& right) {
    return combine(*this, right, std::plus<>());
}
MFloatMatrix MFloatMatrix::operator+(const MFloatMatrix& right) const {
    return MFloatMatrix(*this) += right;
}
MFloatMatrix& MFloatMatrix::operator-=(const MFloatMatrix& right) {
    return combine(*this, right, std::minus<>());
}
MFloatMatrix MFloatMatrix::operator-(const MFloatMatrix& right) const {
    return MFloatMatrix(*this) -= right;
}
MFloatMatrix& MFloatMatrix::operator*=(const MFloatMatrix& right) {
    multiply(matrix, right.matrix, matrix);
    return *this;
}
MFloatMatrix MFloatMatrix::operator*(const MFloatMatrix& right) const {
    return product(*this, right);
}
MFloatMatrix& MFloatMatrix::operator*=(float s) {
    return scaleBy(*this, s);
}
MFloatMatrix MFloatMatrix::operator*(float s) const {
    return MFloatMatrix(*this) *= s;
}
bool MFloatMatrix::operator==(const MFloatMatrix& other) const {
    return equivalent(matrix, other.matrix, 0.0);
}
MFloatMatrix MFloatMatrix::inverse() const {
    return inverted(*this);
}
MFloatMatrix MFloatMatrix::adjoint() const {
    return adjugated(*this);
}
MFloatMatrix MFloatMatrix::homogenize() const {
    return homogenized(*this);
}
float MFloatMatrix::det4x4() const {
    return float(det4(matrix));
}
float MFloatMatrix::det3x3() const {
    return float(det3(matrix));
}
bool MFloatMatrix::isEquivalent(const MFloatMatrix& other, float tolerance) const {
    return equivalent(matrix, other.matrix, tolerance);
}
std::ostream& operator<<(std::ostream& os, const MFloatMatrix& m) {
    print(os, m.matrix);
    return os;
}
