#pragma once
// A 4x4 single-precision transformation matrix (see MMatrix for the conventions).
#include <maya/MIOStreamFwd.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <iosfwd>

class MMatrix;

class MFloatMatrix {
public:
    MFloatMatrix();  // identity
    MFloatMatrix(const MFloatMatrix& src) = default;
    MFloatMatrix(const float m[4][4]);
    MFloatMatrix(const double m[4][4]);
    ~MFloatMatrix() = default;

    MFloatMatrix& operator=(const MFloatMatrix& src) = default;
    float operator()(unsigned int row, unsigned int col) const { return matrix[row][col]; }
    float& operator()(unsigned int row, unsigned int col) { return matrix[row][col]; }
    const float* operator[](unsigned int row) const { return matrix[row]; }
    float* operator[](unsigned int row) { return matrix[row]; }

    MStatus get(float dest[4][4]) const;
    MStatus get(double dest[4][4]) const;
    MFloatMatrix transpose() const;
    MFloatMatrix& setToIdentity();
    MFloatMatrix& setToProduct(const MFloatMatrix& left, const MFloatMatrix& right);
    MFloatMatrix& operator+=(const MFloatMatrix& right);
    MFloatMatrix operator+(const MFloatMatrix& right) const;
    MFloatMatrix& operator-=(const MFloatMatrix& right);
    MFloatMatrix operator-(const MFloatMatrix& right) const;
    MFloatMatrix& operator*=(const MFloatMatrix& right);
    MFloatMatrix operator*(const MFloatMatrix& right) const;
    MFloatMatrix& operator*=(float s);
    MFloatMatrix operator*(float s) const;
    bool operator==(const MFloatMatrix& other) const;
    bool operator!=(const MFloatMatrix& other) const { return !(*this == other); }
    MFloatMatrix inverse() const;
    MFloatMatrix adjoint() const;
    MFloatMatrix homogenize() const;
    float det4x4() const;
    float det3x3() const;
    bool isEquivalent(const MFloatMatrix& other, float tolerance = 1.0e-5f) const;

    friend MFloatMatrix operator*(float s, const MFloatMatrix& m) { return m * s; }
    friend std::ostream& operator<<(std::ostream& os, const MFloatMatrix& m);

    float matrix[4][4];
};
