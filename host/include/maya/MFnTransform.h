#pragma once
// Function set for transform nodes: translation, rotation (Euler or quaternion) and scale.
// Rotation is applied in the node's rotate order; the local matrix is scale * rotation * translation
// (row vectors), with pivots at the origin.
#include <maya/MEulerRotation.h>
#include <maya/MFnDagNode.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MQuaternion.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

class MEulerRotation;
class MQuaternion;
class MTransformationMatrix;
class MVector;

class MFnTransform : public MFnDagNode {
public:
    MFnTransform();
    MFnTransform(MObject& object, MStatus* ReturnStatus = NULL);
    MFnTransform(const MObject& object, MStatus* ReturnStatus = NULL);
    MFnTransform(const MDagPath& object, MStatus* ReturnStatus = NULL);
    virtual ~MFnTransform();

    MFn::Type type() const override;
    static const char* className();

    MObject create(MObject& parent = MObject::kNullObj, MStatus* ReturnStatus = NULL);

    MTransformationMatrix transformation(MStatus* ReturnStatus = NULL) const;
    MStatus set(const MTransformationMatrix& transform);

    MVector translation(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MStatus setTranslation(const MVector& vec, MSpace::Space space);
    MStatus translateBy(const MVector& vec, MSpace::Space space);

    MStatus getScale(double scale[3]) const;
    MStatus setScale(const double scale[3]);
    MStatus scaleBy(const double scale[3]);

    MStatus getRotation(MQuaternion& quaternion, MSpace::Space space = MSpace::kTransform) const;
    MStatus setRotation(const MQuaternion& quaternion, MSpace::Space space = MSpace::kTransform);
    MStatus rotateBy(const MQuaternion& quaternion, MSpace::Space space = MSpace::kTransform);
    MStatus getRotation(MEulerRotation& rotation) const;
    MStatus setRotation(const MEulerRotation& rotation);
    MStatus rotateBy(const MEulerRotation& rotation, MSpace::Space space = MSpace::kTransform);
};
