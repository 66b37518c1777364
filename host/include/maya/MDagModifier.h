#pragma once
// A graph modifier that also creates DAG nodes under a parent and reparents them. A shape type created
// without a parent gets a new transform, and the transform is what createNode returns.
#include <maya/MDGModifier.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

class MDagModifier : public MDGModifier {
public:
    MDagModifier();
    virtual ~MDagModifier();

    MObject createNode(const MTypeId& typeId, const MObject& parent = MObject::kNullObj,
                       MStatus* ReturnStatus = NULL);
    MObject createNode(const MString& type, const MObject& parent = MObject::kNullObj,
                       MStatus* ReturnStatus = NULL);
    MStatus reparentNode(const MObject& node, const MObject& newParent = MObject::kNullObj);
};
