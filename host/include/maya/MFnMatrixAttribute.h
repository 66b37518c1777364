#pragma once
// Function set for matrix attributes (a 4x4 matrix, float or double).
#include <maya/MFnAttribute.h>

class MMatrix;

class MFnMatrixAttribute : public MFnAttribute {
public:
    enum Type { kFloat, kDouble };

    MFnMatrixAttribute();
    MFnMatrixAttribute(MObject& object, MStatus* ReturnStatus = NULL);
    MFnMatrixAttribute(const MObject& object, MStatus* ReturnStatus = NULL);
    virtual ~MFnMatrixAttribute();

    MFn::Type type() const override;
    static const char* className();

    MObject create(const MString& fullName, const MString& briefName, Type matrixType = kDouble,
                   MStatus* ReturnStatus = NULL);
    MStatus getDefault(MMatrix& defaultValue);
    MStatus setDefault(const MMatrix& defaultValue);
};
