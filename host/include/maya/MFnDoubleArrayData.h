#pragma once
// Function set for double array data objects.
#include <maya/MFnData.h>

class MDoubleArray;

class MFnDoubleArrayData : public MFnData {
public:
    MFnDoubleArrayData();
    MFnDoubleArrayData(MObject& object, MStatus* ReturnStatus = NULL);
    MFnDoubleArrayData(const MObject& object, MStatus* ReturnStatus = NULL);
    virtual ~MFnDoubleArrayData();

    MFn::Type type() const override;
    static const char* className();

    MObject create(MStatus* ReturnStatus = NULL);
    MObject create(const MDoubleArray& in, MStatus* ReturnStatus = NULL);
    unsigned int length(MStatus* ReturnStatus = NULL) const;
    double& operator[](unsigned int index);
    double operator[](unsigned int index) const;
    MStatus copyTo(MDoubleArray& out) const;
    MStatus set(const MDoubleArray& newArray);
    MStatus set(const double& element, unsigned int index);
    MDoubleArray array(MStatus* ReturnStatus = NULL);
};
