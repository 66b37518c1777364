#pragma once
// The base of the component function sets: a set of elements (vertices, edges, faces, UVs) of a shape.
#include <maya/MFnBase.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class MFnComponent : public MFnBase {
public:
    MFnComponent();
    MFnComponent(MObject& object, MStatus* ReturnStatus = NULL);
    MFnComponent(const MObject& object, MStatus* ReturnStatus = NULL);
    virtual ~MFnComponent();

    MFn::Type type() const override;
    static const char* className();

    int elementCount(MStatus* ReturnStatus = NULL) const;
    MFn::Type componentType(MStatus* ReturnStatus = NULL) const;
    bool isEmpty(MStatus* ReturnStatus = NULL) const;
    bool isEqual(const MObject& other, MStatus* ReturnStatus = NULL) const;
    bool isComplete(MStatus* ReturnStatus = NULL) const;
    MStatus setComplete(bool complete);
};
