// The single-precision classes (MFloatMatrix, MFloatPoint, MFloatVector) share their bodies with the
// double ones: each operation is checked against known values and against its double twin.
#include <gtest/gtest.h>
#include <maya/MFloatMatrix.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MVector.h>

#include <sstream>

namespace {

// A matrix with a projective column, so that w and column 3 take part in every product.
const double kSample[4][4] = {{2, 1, 0, 0.5}, {0, 3, 1, 0}, {1, 0, 4, 0.25}, {5, -2, 3, 1}};

MMatrix sampleD() {
    return MMatrix(kSample);
}
MFloatMatrix sampleF() {
    return MFloatMatrix(kSample);
}

// Every element of a float matrix equals the double one within `tol`.
void expectSame(const MFloatMatrix& f, const MMatrix& d, double tol) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(f(r, c), d(r, c), tol) << "element " << r << "," << c;
}

template <class T>
std::string printed(const T& value) {
    std::ostringstream os;
    os << value;
    return os.str();
}

}  // namespace

TEST(MathTwins, MatrixOperationsAgreeWithTheDoubleMatrix) {
    const MMatrix d = sampleD();
    const MFloatMatrix f = sampleF();
    // Known values first, so that a fault shared by both twins shows too.
    EXPECT_EQ(d.transpose()(0, 3), 5.0);
    EXPECT_TRUE((d * d.inverse()).isEquivalent(MMatrix::identity, 1e-12));
    EXPECT_TRUE((d.adjoint() * (1.0 / d.det4x4())).isEquivalent(d.inverse(), 1e-12));
    const MMatrix h = d.homogenize();
    EXPECT_EQ(h(0, 3), 0.0);
    EXPECT_EQ(h(2, 3), 0.0);
    EXPECT_EQ(h(3, 3), 1.0);
    EXPECT_EQ(h(3, 0), 5.0);  // the translation row stays
    EXPECT_NEAR(d.det3x3(), 2 * 12 - 1 * (-1), 1e-12);

    expectSame(f.transpose(), d.transpose(), 0);
    expectSame(f + f, d + d, 0);
    expectSame(f - f.transpose(), d - d.transpose(), 0);
    expectSame(f * f, d * d, 1e-4);
    expectSame(f * 0.5f, d * 0.5, 0);
    expectSame(f.inverse(), d.inverse(), 1e-6);
    expectSame(f.adjoint(), d.adjoint(), 1e-4);
    expectSame(f.homogenize(), d.homogenize(), 0);
    EXPECT_NEAR(f.det4x4(), d.det4x4(), 1e-4);
    EXPECT_NEAR(f.det3x3(), d.det3x3(), 1e-4);
    MFloatMatrix acc = f;
    acc += f;
    acc -= f;
    acc *= f;
    expectSame(acc, d * d, 1e-4);
    MFloatMatrix product;
    product.setToProduct(f, f.inverse());
    EXPECT_TRUE(product.isEquivalent(MFloatMatrix(), 1e-5f));
    EXPECT_FALSE(f.isEquivalent(f * 1.001f, 1e-6f));
    EXPECT_EQ(printed(f), printed(d));
}

TEST(MathTwins, PointAndVectorProductsAgreeWithTheDoubleClasses) {
    const MMatrix d = sampleD();
    const MFloatMatrix f = sampleF();
    const MPoint pd(1, -2, 3, 2);
    const MFloatPoint pf(1, -2, 3, 2);
    // Row vector times matrix uses all four rows for a point (w = 2 scales the translation row).
    const MPoint rowProduct = pd * d;
    EXPECT_DOUBLE_EQ(rowProduct.x, 1 * 2 + -2 * 0 + 3 * 1 + 2 * 5);
    EXPECT_DOUBLE_EQ(rowProduct.w, 1 * 0.5 + 3 * 0.25 + 2 * 1);
    EXPECT_TRUE((pf * f).isEquivalent(MFloatPoint(rowProduct), 1e-5f));
    EXPECT_TRUE((f * pf).isEquivalent(MFloatPoint(d * pd), 1e-5f));
    MFloatPoint inPlace = pf;
    inPlace *= f;
    EXPECT_TRUE(inPlace.isEquivalent(pf * f));

    // A vector leaves out the translation row.
    const MVector vd(1, -2, 3);
    const MFloatVector vf(1, -2, 3);
    EXPECT_TRUE((vd * d).isEquivalent(MVector(5, -5, 10)));
    EXPECT_TRUE((vf * f).isEquivalent(MFloatVector(vd * d), 1e-5f));
    EXPECT_TRUE((f * vf).isEquivalent(MFloatVector(d * vd), 1e-5f));
    MFloatVector vInPlace = vf;
    vInPlace *= f;
    EXPECT_TRUE(vInPlace.isEquivalent(vf * f));

    EXPECT_EQ(printed(pf), printed(pd));
    EXPECT_EQ(printed(vf), printed(vd));
}

TEST(MathTwins, NormalsAndHomogeneousPointsAgreeWithTheDoubleClasses) {
    // Normalising: a zero vector stays zero in both precisions.
    EXPECT_TRUE(MFloatVector(0, 0, 0).normal().isEquivalent(MFloatVector(0, 0, 0)));
    EXPECT_TRUE(MVector(0, 0, 0).normal().isEquivalent(MVector(0, 0, 0)));
    MFloatVector n(3, 0, 4);
    n.normalize();
    EXPECT_TRUE(n.isEquivalent(MFloatVector(0.6f, 0, 0.8f), 1e-6f));

    // A normal under a non-uniform scale follows the inverse transpose: the plane x = y, scaled by 2 in x,
    // has the normal (1, -2, 0) up to length.
    double scale[4][4] = {{2, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    const MVector expected = MVector(1, -2, 0).normal();
    EXPECT_TRUE(MVector(1, -1, 0).transformAsNormal(MMatrix(scale)).isEquivalent(expected, 1e-12));
    EXPECT_TRUE(MFloatVector(1, -1, 0)
                    .transformAsNormal(MFloatMatrix(scale))
                    .isEquivalent(MFloatVector(expected), 1e-6f));

    // Homogeneous points: cartesianize divides by w unless w is 0 or 1, rationalize keeps w, homogenize
    // multiplies it back.
    for (double w : {0.0, 1.0, 2.0, -4.0}) {
        MPoint d(2, -6, 8, w);
        MFloatPoint f(2, -6, 8, float(w));
        EXPECT_TRUE(MFloatPoint(d).isEquivalent(f));
        EXPECT_TRUE(MPoint(f.cartesianize()).isEquivalent(d.cartesianize(), 1e-6)) << "w = " << w;
        MPoint d2(2, -6, 8, w);
        MFloatPoint f2(2, -6, 8, float(w));
        EXPECT_TRUE(MPoint(f2.rationalize()).isEquivalent(d2.rationalize(), 1e-6)) << "w = " << w;
        EXPECT_TRUE(MPoint(f2.homogenize()).isEquivalent(d2.homogenize(), 1e-6)) << "w = " << w;
    }
    MPoint half(2, -6, 8, 2);
    EXPECT_TRUE(half.cartesianize().isEquivalent(MPoint(1, -3, 4, 1)));
    EXPECT_TRUE(MPoint(2, -6, 8, 2).rationalize().isEquivalent(MPoint(1, -3, 4, 2)));
    EXPECT_TRUE(MPoint(1, -3, 4, 2).homogenize().isEquivalent(MPoint(2, -6, 8, 2)));

    // Distances are measured between the cartesian points.
    EXPECT_DOUBLE_EQ(MPoint(0, 0, 0).distanceTo(MPoint(6, 8, 0, 2)), 5.0);
    EXPECT_FLOAT_EQ(MFloatPoint(0, 0, 0).distanceTo(MFloatPoint(6, 8, 0, 2)), 5.0f);
    // Equivalence looks at w too.
    EXPECT_FALSE(MFloatPoint(1, 2, 3, 1).isEquivalent(MFloatPoint(1, 2, 3, 2)));
    EXPECT_FALSE(MPoint(1, 2, 3, 1).isEquivalent(MPoint(1, 2, 3, 2)));
}
