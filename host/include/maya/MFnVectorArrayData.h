#pragma once
// Function set for vector array data objects.
#include <maya/MFnData.h>

class MVectorArray;
class MVector;

class MFnVectorArrayData : public MFnData {
public:
    MFnVectorArrayData();
    MFnVectorArrayData(MObject& object, MStatus* ReturnStatus = NULL);
    MFnVectorArrayData(const MObject& object, MStatus* ReturnStatus = NULL);
    virtual ~MFnVectorArrayData();

    MFn::Type type() const override;
    static const char* className();

    MObject create(MStatus* ReturnStatus = NULL);
    MObject create(const MVectorArray& in, MStatus* ReturnStatus = NULL);
    unsigned int length(MStatus* ReturnStatus = NULL) const;
    MVector& operator[](unsigned int index);
    MVector operator[](unsigned int index) const;
    MStatus copyTo(MVectorArray& out) const;
    MStatus set(const MVectorArray& newArray);
    MStatus set(const MVector& element, unsigned int index);
    MVectorArray array(MStatus* ReturnStatus = NULL);
};
