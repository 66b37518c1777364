#include <gtest/gtest.h>
#include <maya/MEulerRotation.h>
#include <maya/MFloatMatrix.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MQuaternion.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MVector.h>

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

MMatrix translation(double x, double y, double z) {
    MMatrix m;
    m[3][0] = x, m[3][1] = y, m[3][2] = z;
    return m;
}
MMatrix scaling(double x, double y, double z) {
    MMatrix m;
    m[0][0] = x, m[1][1] = y, m[2][2] = z;
    return m;
}

// A general affine matrix: non-uniform scale, shear-free rotation, translation.
MMatrix sampleAffine() {
    return scaling(2.0, 0.5, 3.0) * MQuaternion(0.7, MVector(1, 2, 3)).asMatrix() * translation(4, -5, 6);
}

}  // namespace

TEST(MatrixMath, RowVectorConventionPointsAndVectors) {
    MMatrix t = translation(1, 2, 3);
    // Points take the translation (row 3); directions do not.
    EXPECT_TRUE((MPoint(1, 1, 1) * t).isEquivalent(MPoint(2, 3, 4)));
    EXPECT_TRUE((MVector(1, 1, 1) * t).isEquivalent(MVector(1, 1, 1)));
    // A * B applies A first: translate then scale doubles the translation too.
    MMatrix ts = t * scaling(2, 2, 2);
    EXPECT_TRUE((MPoint(0, 0, 0) * ts).isEquivalent(MPoint(2, 4, 6)));
    MMatrix st = scaling(2, 2, 2) * t;
    EXPECT_TRUE((MPoint(0, 0, 0) * st).isEquivalent(MPoint(1, 2, 3)));
    // M * p (column form) is p * M^T.
    MMatrix m = sampleAffine();
    MPoint p(0.3, -1.2, 2.5);
    EXPECT_TRUE((m * p).isEquivalent(p * m.transpose(), 1e-12));
    EXPECT_TRUE((m * MVector(p)).isEquivalent(MVector(p) * m.transpose(), 1e-12));
    // Homogeneous w participates in the product and cartesianize divides it out.
    MPoint h(1, 2, 3, 2);
    MPoint ht = h * t;
    EXPECT_DOUBLE_EQ(ht.x, 3.0);
    EXPECT_DOUBLE_EQ(ht.cartesianize().x, 1.5);
}

TEST(MatrixMath, InverseDeterminantAndSingular) {
    MMatrix m = sampleAffine();
    EXPECT_TRUE((m * m.inverse()).isEquivalent(MMatrix::identity, 1e-12));
    EXPECT_TRUE((m.inverse() * m).isEquivalent(MMatrix::identity, 1e-12));
    EXPECT_NEAR(m.det4x4(), 2.0 * 0.5 * 3.0, 1e-12);
    EXPECT_NEAR(m.det3x3(), 3.0, 1e-12);
    MPoint p(1, 2, 3);
    EXPECT_TRUE((p * m * m.inverse()).isEquivalent(p, 1e-12));
    MMatrix flat = scaling(1, 0, 1);
    EXPECT_TRUE(flat.isSingular());
    EXPECT_EQ(flat.inverse(), MMatrix::identity);
    double raw[4][4];
    m.get(raw);
    EXPECT_EQ(MMatrix(raw), m);
    EXPECT_TRUE(((m + m) - m).isEquivalent(m, 1e-12));
    EXPECT_TRUE((2.0 * m).isEquivalent(m + m));
    MMatrix acc = translation(1, 0, 0);
    acc *= scaling(3, 3, 3);
    EXPECT_EQ(acc, translation(1, 0, 0) * scaling(3, 3, 3));

    MFloatMatrix f(raw);
    EXPECT_TRUE((f * f.inverse()).isEquivalent(MFloatMatrix(), 1e-5f));
    EXPECT_TRUE((MFloatPoint(1, 2, 3) * f).isEquivalent(MFloatPoint(p * m), 1e-4f));
}

TEST(VectorMath, ProductsLengthsAndAngles) {
    MVector a(1, 0, 0), b(0, 2, 0);
    EXPECT_EQ(a ^ b, MVector(0, 0, 2));
    EXPECT_DOUBLE_EQ(a * b, 0.0);
    EXPECT_DOUBLE_EQ(b.length(), 2.0);
    EXPECT_EQ(b.normal(), MVector(0, 1, 0));
    EXPECT_NEAR(a.angle(b), kPi / 2, 1e-15);
    EXPECT_NEAR(a.angle(MVector(1, 1e-9, 0)), 1e-9, 1e-20);  // accurate for nearly parallel vectors
    EXPECT_NEAR(a.angle(-a), kPi, 1e-15);
    MVector zero;
    EXPECT_EQ(zero.normal(), zero);
    EXPECT_TRUE(zero.normalize());
    EXPECT_TRUE(a.isParallel(MVector(-3, 0, 0)));
    EXPECT_FALSE(a.isParallel(MVector(1, 0.01, 0)));
    EXPECT_EQ(2.0 * b, b * 2.0);
    // Point arithmetic: difference is a vector, point + point goes through the vector conversion.
    MPoint p(1, 2, 3), q(4, 6, 3);
    EXPECT_EQ(q - p, MVector(3, 4, 0));
    EXPECT_DOUBLE_EQ(p.distanceTo(q), 5.0);
    EXPECT_EQ(p + q, MPoint(5, 8, 6));
    EXPECT_EQ((p + MVector(1, 1, 1)).w, 1.0);
    MFloatPoint fp(p);
    MFloatVector fv(q - p);
    EXPECT_FLOAT_EQ(fv.length(), 5.0f);
    EXPECT_TRUE(MPoint(fp + fv).isEquivalent(q));
}

TEST(VectorMath, AxisRotationsAreCounterClockwise) {
    EXPECT_TRUE(MVector::xAxis.rotateBy(MVector::kZaxis, kPi / 2).isEquivalent(MVector::yAxis, 1e-15));
    EXPECT_TRUE(MVector::yAxis.rotateBy(MVector::kXaxis, kPi / 2).isEquivalent(MVector::zAxis, 1e-15));
    EXPECT_TRUE(MVector::zAxis.rotateBy(MVector::kYaxis, kPi / 2).isEquivalent(MVector::xAxis, 1e-15));
    // The same rotations through quaternions and Euler angles agree.
    MVector v(0.3, -0.4, 0.8);
    EXPECT_TRUE(
        v.rotateBy(MVector::kYaxis, 0.9).isEquivalent(v.rotateBy(MQuaternion(0.9, MVector::yAxis)), 1e-14));
    EXPECT_TRUE(v.rotateBy(MVector::kXaxis, 0.4).isEquivalent(v.rotateBy(MEulerRotation(0.4, 0, 0)), 1e-14));
}

TEST(QuaternionMath, RotateToTakesDirectionOntoTarget) {
    const MVector pairs[][2] = {
        {MVector(1, 0, 0), MVector(0, 1, 0)},  {MVector(0, 0, 1), MVector(0.3, -2, 0.5)},
        {MVector(1, 2, 3), MVector(1, 2, 3)},  {MVector(1, 2, 3), MVector(-2, -4, -6)},  // opposite
        {MVector(0, 0, 5), MVector(0, 0, -1)}, {MVector(1, 0, 0), MVector(-1, 0, 0)},
    };
    for (const auto& pr : pairs) {
        MQuaternion q = pr[0].rotateTo(pr[1]);
        MVector turned = pr[0].normal() * q.asMatrix();
        EXPECT_TRUE(turned.isEquivalent(pr[1].normal(), 1e-12))
            << pr[0] << " -> " << pr[1] << " gave " << turned;
        EXPECT_TRUE(pr[0].rotateBy(q).isEquivalent(pr[1].normal() * pr[0].length(), 1e-12));
    }
    // The rotation is the shortest one: its axis is perpendicular to both.
    MQuaternion q(MVector(1, 0, 0), MVector(0, 1, 0));
    MVector axis;
    double angle;
    EXPECT_TRUE(q.getAxisAngle(axis, angle));
    EXPECT_TRUE(axis.isEquivalent(MVector::zAxis, 1e-15));
    EXPECT_NEAR(angle, kPi / 2, 1e-15);
    // A zero vector gives no rotation.
    EXPECT_TRUE(MQuaternion(MVector::zero, MVector::xAxis).isEquivalent(MQuaternion::identity));
}

TEST(QuaternionMath, ProductFollowsMatrixOrderAndMatrixRoundTrip) {
    MQuaternion a(0.5, MVector(1, 0, 0)), b(1.1, MVector(0, 1, 1));
    EXPECT_TRUE((a * b).asMatrix().isEquivalent(a.asMatrix() * b.asMatrix(), 1e-14));
    EXPECT_FALSE((a * b).asMatrix().isEquivalent(b.asMatrix() * a.asMatrix(), 1e-6));
    EXPECT_TRUE((a * a.inverse()).isEquivalent(MQuaternion::identity, 1e-15));
    MQuaternion fromMatrix;
    fromMatrix = (a * b).asMatrix();
    EXPECT_TRUE(fromMatrix.isEquivalent(a * b, 1e-14));
    // A half turn (trace -1) still converts back.
    MQuaternion half(kPi, MVector(0, 1, 0));
    MQuaternion back;
    back = half.asMatrix();
    EXPECT_TRUE(back.isEquivalent(half, 1e-14));
    // Scale in the matrix does not leak into the rotation.
    back = scaling(3, 3, 3) * a.asMatrix();
    EXPECT_TRUE(back.isEquivalent(a, 1e-14));
    // Slerp halfway is half the angle.
    MQuaternion mid = slerp(MQuaternion::identity, MQuaternion(1.0, MVector::zAxis), 0.5);
    EXPECT_TRUE(mid.isEquivalent(MQuaternion(0.5, MVector::zAxis), 1e-14));
}

TEST(EulerMath, DecomposeRoundTripsEveryOrder) {
    const MEulerRotation::RotationOrder orders[] = {MEulerRotation::kXYZ, MEulerRotation::kYZX,
                                                    MEulerRotation::kZXY, MEulerRotation::kXZY,
                                                    MEulerRotation::kYXZ, MEulerRotation::kZYX};
    for (auto ord : orders) {
        MEulerRotation r(0.3, -0.7, 1.2, ord);
        MEulerRotation d = MEulerRotation::decompose(r.asMatrix(), ord);
        EXPECT_TRUE(d.isEquivalent(r, 1e-12)) << ord << ": " << d;
        EXPECT_TRUE(r.asQuaternion().asMatrix().isEquivalent(r.asMatrix(), 1e-14)) << ord;
        // Gimbal lock: the middle angle at 90 degrees; the matrix must still be reproduced.
        MEulerRotation g(0.4, 0.4, 0.4, ord);
        (&g.x)[ord == MEulerRotation::kXYZ || ord == MEulerRotation::kZYX   ? 1
               : ord == MEulerRotation::kYZX || ord == MEulerRotation::kXZY ? 2
                                                                            : 0] = kPi / 2;
        MEulerRotation gd = MEulerRotation::decompose(g.asMatrix(), ord);
        EXPECT_TRUE(gd.asMatrix().isEquivalent(g.asMatrix(), 1e-12)) << ord;
        // Inverse undoes, reorder keeps the rotation.
        EXPECT_TRUE((r.asMatrix() * r.inverse().asMatrix()).isEquivalent(MMatrix::identity, 1e-14)) << ord;
        EXPECT_TRUE(r.reorder(MEulerRotation::kZXY).asMatrix().isEquivalent(r.asMatrix(), 1e-12)) << ord;
    }
    // kXYZ applies X first: a quarter turn about X then about Z takes y to z, then z stays.
    MEulerRotation xz(kPi / 2, 0, kPi / 2, MEulerRotation::kXYZ);
    EXPECT_TRUE((MVector::yAxis * xz.asMatrix()).isEquivalent(MVector::zAxis, 1e-15));
    EXPECT_TRUE(MEulerRotation(4.0, -4.0, 7.0)
                    .bound()
                    .isEquivalent(MEulerRotation(4.0 - 2 * kPi, -4.0 + 2 * kPi, 7.0 - 2 * kPi), 1e-12));
}

TEST(TransformationMatrix, ComponentsComposeScaleRotateTranslate) {
    MTransformationMatrix tm;
    const double s[3] = {2, 3, 4}, r[3] = {0.1, 0.2, 0.3};
    tm.setScale(s, MSpace::kTransform);
    tm.setRotation(r, MTransformationMatrix::kXYZ);
    tm.setTranslation(MVector(5, 6, 7), MSpace::kTransform);
    MMatrix expected = scaling(2, 3, 4) * MEulerRotation(0.1, 0.2, 0.3).asMatrix() * translation(5, 6, 7);
    EXPECT_TRUE(tm.asMatrix().isEquivalent(expected, 1e-14));
    EXPECT_TRUE(tm.asMatrixInverse().isEquivalent(expected.inverse(), 1e-12));
    EXPECT_TRUE(tm.asMatrix(0.0).isEquivalent(MMatrix::identity, 1e-15));
    EXPECT_TRUE(tm.asMatrix(1.0).isEquivalent(expected, 1e-14));

    double rr[3];
    MTransformationMatrix::RotationOrder order;
    tm.getRotation(rr, order);
    EXPECT_EQ(order, MTransformationMatrix::kXYZ);
    EXPECT_DOUBLE_EQ(rr[1], 0.2);
    // Changing the order while preserving the rotation leaves the matrix alone.
    EXPECT_TRUE(tm.setRotationOrder(MTransformationMatrix::kZYX, true));
    EXPECT_TRUE(tm.asMatrix().isEquivalent(expected, 1e-12));
    EXPECT_FALSE(tm.setRotation(r, MTransformationMatrix::kInvalid));
}

TEST(TransformationMatrix, DecomposesMatrices) {
    MTransformationMatrix src;
    const double s[3] = {2, 0.5, -3}, sh[3] = {0.2, -0.1, 0.3}, r[3] = {0.4, -1.0, 2.0};
    src.setScale(s, MSpace::kTransform);
    src.setShear(sh, MSpace::kTransform);
    src.setRotation(r, MTransformationMatrix::kXYZ);
    src.setTranslation(MVector(-1, 2, 9), MSpace::kTransform);
    MTransformationMatrix back(src.asMatrix());
    EXPECT_TRUE(back.asMatrix().isEquivalent(src.asMatrix(), 1e-12));
    EXPECT_TRUE(back.getTranslation(MSpace::kTransform).isEquivalent(MVector(-1, 2, 9), 1e-14));
    double bs[3], bsh[3];
    back.getScale(bs, MSpace::kTransform);
    back.getShear(bsh, MSpace::kTransform);
    EXPECT_NEAR(bs[0], 2.0, 1e-12);
    EXPECT_NEAR(bs[1], 0.5, 1e-12);
    EXPECT_NEAR(bs[2], -3.0, 1e-12);  // the reflection lands in z
    EXPECT_NEAR(bsh[0], 0.2, 1e-12);
    EXPECT_NEAR(bsh[2], 0.3, 1e-12);
    EXPECT_TRUE(back.eulerRotation().isEquivalent(MEulerRotation(0.4, -1.0, 2.0), 1e-12));
}

TEST(TransformationMatrix, PivotsRotateAboutThePivotAndBalanceKeepsTheMatrix) {
    MTransformationMatrix tm;
    tm.setRotatePivot(MPoint(1, 0, 0), MSpace::kTransform, false);
    tm.rotateTo(MQuaternion(kPi / 2, MVector::zAxis));
    // The pivot stays put; the origin swings around it.
    EXPECT_TRUE((MPoint(1, 0, 0) * tm.asMatrix()).isEquivalent(MPoint(1, 0, 0), 1e-14));
    EXPECT_TRUE((MPoint(0, 0, 0) * tm.asMatrix()).isEquivalent(MPoint(1, -1, 0), 1e-14));

    const double s[3] = {2, 3, 1};
    tm.setScale(s, MSpace::kTransform);
    MMatrix before = tm.asMatrix();
    tm.setRotatePivot(MPoint(-2, 5, 1), MSpace::kTransform, true);
    tm.setScalePivot(MPoint(3, 1, -4), MSpace::kTransform, true);
    EXPECT_TRUE(tm.asMatrix().isEquivalent(before, 1e-12));
    EXPECT_TRUE(tm.scalePivot(MSpace::kTransform).isEquivalent(MPoint(3, 1, -4)));
    // Rotating in object space applies before the current rotation, in transform space after.
    MTransformationMatrix a, b;
    MQuaternion qa(0.3, MVector::xAxis), qb(0.8, MVector::yAxis);
    a.rotateTo(qa);
    a.rotateBy(qb, MSpace::kTransform);
    b.rotateTo(qa);
    b.rotateBy(qb, MSpace::kObject);
    EXPECT_TRUE(a.asMatrix().isEquivalent(qa.asMatrix() * qb.asMatrix(), 1e-12));
    EXPECT_TRUE(b.asMatrix().isEquivalent(qb.asMatrix() * qa.asMatrix(), 1e-12));
}
