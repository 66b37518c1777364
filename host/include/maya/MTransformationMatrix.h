#pragma once
// A transformation kept as its components: scale, shear, rotation (with its order and the rotate
// orientation), pivots and translation. For row vectors the composed matrix is
//   Sp^-1 * S * Sh * Sp * St * Rp^-1 * Ro * R * Rp * Rt * T
// (Sp/Rp scale and rotate pivots, St/Rt their translations, Ro the rotate orientation, Sh the shear
// [1 0 0; xy 1 0; xz yz 1]). A transform node keeps one of these and publishes asMatrix().
// The space arguments are accepted for compatibility; every component is read and written in the
// transform's own space.
#include <maya/MEulerRotation.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MQuaternion.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

class MTransformationMatrix {
public:
    enum RotationOrder { kInvalid, kXYZ, kYZX, kZXY, kXZY, kYXZ, kZYX, kLast };

    MTransformationMatrix() = default;
    MTransformationMatrix(const MTransformationMatrix& src) = default;
    // Decomposes an affine matrix into translation, rotation (order kXYZ), shear and scale, without pivots.
    MTransformationMatrix(const MMatrix& src);
    ~MTransformationMatrix() = default;

    MTransformationMatrix& operator=(const MTransformationMatrix& src) = default;
    MTransformationMatrix& operator=(const MMatrix& src);

    MMatrix asMatrix() const;
    // Interpolates every component from the identity (0) to this transformation (1).
    MMatrix asMatrix(double percent) const;
    MMatrix asMatrixInverse() const;
    MMatrix asScaleMatrix() const;
    MMatrix asRotateMatrix() const;

    MStatus getScale(double scale[3], MSpace::Space space) const;
    MStatus setScale(const double scale[3], MSpace::Space space);
    MStatus addScale(const double scale[3], MSpace::Space space);
    MStatus getShear(double shear[3], MSpace::Space space) const;
    MStatus setShear(const double shear[3], MSpace::Space space);
    MStatus addShear(const double shear[3], MSpace::Space space);

    MQuaternion rotation() const;
    MTransformationMatrix& rotateTo(const MQuaternion& q);
    MTransformationMatrix& rotateBy(const MQuaternion& q, MSpace::Space space, MStatus* ReturnStatus = NULL);
    MEulerRotation eulerRotation() const;
    MTransformationMatrix& rotateTo(const MEulerRotation& r);
    MTransformationMatrix& rotateBy(const MEulerRotation& r, MSpace::Space space,
                                    MStatus* ReturnStatus = NULL);
    MStatus getRotation(double rotation[3], RotationOrder& order) const;
    MStatus setRotation(const double rotation[3], RotationOrder order);
    MStatus addRotation(const double rotation[3], RotationOrder order, MSpace::Space space);
    RotationOrder rotationOrder(MStatus* ReturnStatus = NULL) const;
    // With preserve, the angles are converted so the rotation stays the same.
    MStatus setRotationOrder(RotationOrder order, bool preserve);
    MQuaternion rotationOrientation() const { return rotateOrientation_; }
    MTransformationMatrix& setRotationOrientation(const MQuaternion& q);

    MVector getTranslation(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MStatus setTranslation(const MVector& vector, MSpace::Space space);
    MStatus addTranslation(const MVector& vector, MSpace::Space space);

    // With balance, the pivot's translation is adjusted so the composed matrix does not change.
    MPoint scalePivot(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MStatus setScalePivot(const MPoint& point, MSpace::Space space, bool balance);
    MVector scalePivotTranslation(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MStatus setScalePivotTranslation(const MVector& vector, MSpace::Space space);
    MPoint rotatePivot(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MStatus setRotatePivot(const MPoint& point, MSpace::Space space, bool balance);
    MVector rotatePivotTranslation(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MStatus setRotatePivotTranslation(const MVector& vector, MSpace::Space space);

    bool isEquivalent(const MTransformationMatrix& other, double tolerance = 1.0e-10) const;
    bool operator==(const MTransformationMatrix& other) const;
    bool operator!=(const MTransformationMatrix& other) const { return !(*this == other); }

    static const MTransformationMatrix identity;

private:
    MVector translation_;
    MEulerRotation rotation_;
    MQuaternion rotateOrientation_;
    MVector scale_{1.0, 1.0, 1.0};
    MVector shear_;
    MPoint scalePivot_;
    MVector scalePivotTranslation_;
    MPoint rotatePivot_;
    MVector rotatePivotTranslation_;
};
