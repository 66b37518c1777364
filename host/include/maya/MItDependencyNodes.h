#pragma once
// Iterates over every node of the scene, in creation order, optionally keeping only nodes of one MFn type.
#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <vector>

class MItDependencyNodes {
public:
    MItDependencyNodes(MFn::Type filter = MFn::kInvalid, MStatus* ReturnStatus = NULL);
    virtual ~MItDependencyNodes();

    MStatus reset(MFn::Type filter = MFn::kInvalid);
    bool isDone(MStatus* ReturnStatus = NULL) const;
    MStatus next();
    MObject item(MStatus* ReturnStatus = NULL) const;
    MObject thisNode(MStatus* ReturnStatus = NULL) const;

private:
    std::vector<MObject> nodes_;
    unsigned int index_ = 0;
};
