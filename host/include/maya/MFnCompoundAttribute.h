#pragma once
// Function set for compound attributes: an attribute made of child attributes.
#include <maya/MFnAttribute.h>

class MFnCompoundAttribute : public MFnAttribute {
public:
    MFnCompoundAttribute();
    MFnCompoundAttribute(MObject& object, MStatus* ReturnStatus = NULL);
    MFnCompoundAttribute(const MObject& object, MStatus* ReturnStatus = NULL);
    virtual ~MFnCompoundAttribute();

    MFn::Type type() const override;
    static const char* className();

    MObject create(const MString& fullName, const MString& briefName, MStatus* ReturnStatus = NULL);
    MStatus addChild(const MObject& child);
    MStatus removeChild(const MObject& child);
    unsigned int numChildren(MStatus* ReturnStatus = NULL) const;
    MObject child(unsigned int index, MStatus* ReturnStatus = NULL) const;
};
