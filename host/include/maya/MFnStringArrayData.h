#pragma once
// Function set for string array data objects.
#include <maya/MFnData.h>

class MStringArray;
class MString;

class MFnStringArrayData : public MFnData {
public:
    MFnStringArrayData();
    MFnStringArrayData(MObject& object, MStatus* ReturnStatus = NULL);
    MFnStringArrayData(const MObject& object, MStatus* ReturnStatus = NULL);
    virtual ~MFnStringArrayData();

    MFn::Type type() const override;
    static const char* className();

    MObject create(MStatus* ReturnStatus = NULL);
    MObject create(const MStringArray& in, MStatus* ReturnStatus = NULL);
    unsigned int length(MStatus* ReturnStatus = NULL) const;
    MString& operator[](unsigned int index);
    MString operator[](unsigned int index) const;
    MStatus copyTo(MStringArray& out) const;
    MStatus set(const MStringArray& newArray);
    MStatus set(const MString& element, unsigned int index);
    MStringArray array(MStatus* ReturnStatus = NULL);
};
