#pragma once
// Function set for enum attributes: a short value with a name for each allowed value.
#include <maya/MFnAttribute.h>

class MFnEnumAttribute : public MFnAttribute {
public:
    MFnEnumAttribute();
    MFnEnumAttribute(MObject& object, MStatus* ReturnStatus = NULL);
    MFnEnumAttribute(const MObject& object, MStatus* ReturnStatus = NULL);
    virtual ~MFnEnumAttribute();

    MFn::Type type() const override;
    static const char* className();

    MObject create(const MString& fullName, const MString& briefName, short defaultValue = 0,
                   MStatus* ReturnStatus = NULL);
    MStatus addField(const MString& fieldString, short index);
    MString fieldName(short index, MStatus* ReturnStatus = NULL) const;
    short fieldIndex(const MString& fieldString, MStatus* ReturnStatus = NULL) const;
    MStatus getMin(short& minValue) const;
    MStatus getMax(short& maxValue) const;
    MStatus setDefault(short index);
    MStatus setDefault(const MString& fieldString);
    MStatus getDefault(short& index) const;
    short defaultValue(MStatus* ReturnStatus = NULL) const;
};
