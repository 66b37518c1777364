#pragma once
// Function set for mesh data objects: a polygon mesh held as a value (a typed attribute's data, a node's
// compute output) rather than as a shape in the DAG. MFnMesh fills one when it is the parentOrOwner.
#include <maya/MFnData.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class MFnMeshData : public MFnData {
public:
    MFnMeshData();
    MFnMeshData(MObject& object, MStatus* ReturnStatus = NULL);
    MFnMeshData(const MObject& object, MStatus* ReturnStatus = NULL);
    virtual ~MFnMeshData();

    MFn::Type type() const override;
    static const char* className();

    // An empty mesh data object.
    MObject create(MStatus* ReturnStatus = NULL);
};
