#pragma once
// Function set for component list data: a list of component objects.
#include <maya/MFnData.h>

class MFnComponentListData : public MFnData {
public:
    MFnComponentListData();
    MFnComponentListData(MObject& object, MStatus* ReturnStatus = NULL);
    MFnComponentListData(const MObject& object, MStatus* ReturnStatus = NULL);
    virtual ~MFnComponentListData();

    MFn::Type type() const override;
    static const char* className();

    MObject create(MStatus* ReturnStatus = NULL);
    unsigned int length(MStatus* ReturnStatus = NULL) const;
    bool has(const MObject& comp, MStatus* ReturnStatus = NULL) const;
    MStatus add(MObject& comp);
    MStatus remove(const MObject& comp);
    MStatus remove(unsigned int index);
    MObject operator[](unsigned int index) const;
    MStatus clear();
};
