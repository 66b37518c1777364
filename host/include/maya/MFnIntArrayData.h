#pragma once
// Function set for integer array data objects.
#include <maya/MFnData.h>

class MIntArray;

class MFnIntArrayData : public MFnData {
public:
    MFnIntArrayData();
    MFnIntArrayData(MObject& object, MStatus* ReturnStatus = NULL);
    MFnIntArrayData(const MObject& object, MStatus* ReturnStatus = NULL);
    virtual ~MFnIntArrayData();

    MFn::Type type() const override;
    static const char* className();

    MObject create(MStatus* ReturnStatus = NULL);
    MObject create(const MIntArray& in, MStatus* ReturnStatus = NULL);
    unsigned int length(MStatus* ReturnStatus = NULL) const;
    int& operator[](unsigned int index);
    int operator[](unsigned int index) const;
    MStatus copyTo(MIntArray& out) const;
    MStatus set(const MIntArray& newArray);
    MStatus set(const int& element, unsigned int index);
    MIntArray array(MStatus* ReturnStatus = NULL);
};
