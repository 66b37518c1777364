#pragma once
// Function set for message attributes: value-less attributes that only carry connections.
#include <maya/MFnAttribute.h>

class MFnMessageAttribute : public MFnAttribute {
public:
    MFnMessageAttribute();
    MFnMessageAttribute(MObject& object, MStatus* ReturnStatus = NULL);
    MFnMessageAttribute(const MObject& object, MStatus* ReturnStatus = NULL);
    virtual ~MFnMessageAttribute();

    MFn::Type type() const override;
    static const char* className();

    MObject create(const MString& fullName, const MString& briefName, MStatus* ReturnStatus = NULL);
};
