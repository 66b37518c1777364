#pragma once
// Function set for point array data objects.
#include <maya/MFnData.h>

class MPointArray;
class MPoint;

class MFnPointArrayData : public MFnData {
public:
    MFnPointArrayData();
    MFnPointArrayData(MObject& object, MStatus* ReturnStatus = NULL);
    MFnPointArrayData(const MObject& object, MStatus* ReturnStatus = NULL);
    virtual ~MFnPointArrayData();

    MFn::Type type() const override;
    static const char* className();

    MObject create(MStatus* ReturnStatus = NULL);
    MObject create(const MPointArray& in, MStatus* ReturnStatus = NULL);
    unsigned int length(MStatus* ReturnStatus = NULL) const;
    MPoint& operator[](unsigned int index);
    MPoint operator[](unsigned int index) const;
    MStatus copyTo(MPointArray& out) const;
    MStatus set(const MPointArray& newArray);
    MStatus set(const MPoint& element, unsigned int index);
    MPointArray array(MStatus* ReturnStatus = NULL);
};
