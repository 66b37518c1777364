#pragma once
// Function set for generic attributes: an attribute that accepts data of several kinds (the kinds added
// with addDataAccept / addNumericDataAccept / addAccept).
#include <maya/MFnAttribute.h>
#include <maya/MFnData.h>
#include <maya/MFnNumericData.h>

class MTypeId;

class MFnGenericAttribute : public MFnAttribute {
public:
    MFnGenericAttribute();
    MFnGenericAttribute(MObject& object, MStatus* ReturnStatus = NULL);
    MFnGenericAttribute(const MObject& object, MStatus* ReturnStatus = NULL);
    virtual ~MFnGenericAttribute();

    MFn::Type type() const override;
    static const char* className();

    MObject create(const MString& fullName, const MString& briefName, MStatus* ReturnStatus = NULL);

    MStatus addAccept(MFnData::Type type);
    MStatus addAccept(MFnNumericData::Type type);
    MStatus addAccept(const MTypeId& id);
    MStatus removeAccept(MFnData::Type type);
    MStatus removeAccept(MFnNumericData::Type type);
    MStatus removeAccept(const MTypeId& id);

    MStatus addDataAccept(MFnData::Type type);
    MStatus addDataAccept(const MTypeId& id);
    MStatus addNumericDataAccept(MFnNumericData::Type type);
    MStatus removeDataAccept(MFnData::Type type);
    MStatus removeDataAccept(const MTypeId& id);
    MStatus removeNumericDataAccept(MFnNumericData::Type type);
};
