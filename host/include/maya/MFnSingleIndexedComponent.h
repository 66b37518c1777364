#pragma once
// Function set for components addressed by one index: mesh vertices, edges, faces and UVs.
// A component marked complete with n elements holds the elements 0 .. n-1.
#include <maya/MFnComponent.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class MIntArray;

class MFnSingleIndexedComponent : public MFnComponent {
public:
    MFnSingleIndexedComponent();
    MFnSingleIndexedComponent(MObject& object, MStatus* ReturnStatus = NULL);
    MFnSingleIndexedComponent(const MObject& object, MStatus* ReturnStatus = NULL);
    virtual ~MFnSingleIndexedComponent();

    MFn::Type type() const override;
    static const char* className();

    MObject create(MFn::Type compType, MStatus* ReturnStatus = NULL);
    MStatus addElement(int element);
    MStatus addElements(MIntArray& elements);
    int element(int index, MStatus* ReturnStatus = NULL) const;
    MStatus getElements(MIntArray& elements) const;
    MStatus setCompleteData(int numElements);
    MStatus getCompleteData(int& numElements) const;
};
