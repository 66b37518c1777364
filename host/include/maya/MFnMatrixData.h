#pragma once
// Function set for matrix data objects.
#include <maya/MFnData.h>

class MMatrix;
class MTransformationMatrix;

class MFnMatrixData : public MFnData {
public:
    MFnMatrixData();
    MFnMatrixData(MObject& object, MStatus* ReturnStatus = NULL);
    MFnMatrixData(const MObject& object, MStatus* ReturnStatus = NULL);
    virtual ~MFnMatrixData();

    MFn::Type type() const override;
    static const char* className();

    MObject create(MStatus* ReturnStatus = NULL);
    MObject create(const MMatrix& in, MStatus* ReturnStatus = NULL);
    MObject create(const MTransformationMatrix& in, MStatus* ReturnStatus = NULL);
    const MMatrix& matrix(MStatus* ReturnStatus = NULL) const;
    MTransformationMatrix transformation(MStatus* ReturnStatus = NULL) const;
    MStatus set(const MMatrix& newMatrix);
    MStatus set(const MTransformationMatrix& newMatrix);
};
