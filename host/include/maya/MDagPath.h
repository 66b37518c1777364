#pragma once
// A path from the world down to a DAG node: the chain of nodes from a top-level transform to the node.
// Paths are how world-space queries are made (the matrices of every node on the path apply).
#include <maya/MFn.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

#include <memory>
#include <vector>

class MDagPathArray;
class MMatrix;
class MString;

class MDagPath {
public:
    MDagPath();
    MDagPath(const MDagPath& src);
    virtual ~MDagPath();

    static MStatus getAllPathsTo(const MObject& node, MDagPathArray& allPaths);
    static MStatus getAPathTo(const MObject& node, MDagPath& path);
    static MDagPath getAPathTo(const MObject& node, MStatus* ReturnStatus = NULL);

    bool hasFn(MFn::Type type, MStatus* ReturnStatus = NULL) const;
    MFn::Type apiType(MStatus* ReturnStatus = NULL) const;
    bool isValid(MStatus* ReturnStatus = NULL) const;
    MObject node(MStatus* ReturnStatus = NULL) const;
    MObject transform(MStatus* ReturnStatus = NULL) const;
    unsigned int length(MStatus* ReturnStatus = NULL) const;
    MStatus extendToShape();
    MStatus extendToShapeDirectlyBelow(unsigned int index);
    MStatus numberOfShapesDirectlyBelow(unsigned int& num) const;
    unsigned int childCount(MStatus* ReturnStatus = NULL) const;
    MObject child(unsigned int i, MStatus* ReturnStatus = NULL) const;
    MStatus push(const MObject& child);
    MStatus pop(unsigned int num = 1);
    unsigned int pathCount(MStatus* ReturnStatus = NULL) const;
    MStatus getPath(MDagPath& path, unsigned int i = 0) const;
    MStatus set(const MDagPath& src);

    MMatrix inclusiveMatrix(MStatus* ReturnStatus = NULL) const;
    MMatrix exclusiveMatrix(MStatus* ReturnStatus = NULL) const;
    MMatrix inclusiveMatrixInverse(MStatus* ReturnStatus = NULL) const;
    MMatrix exclusiveMatrixInverse(MStatus* ReturnStatus = NULL) const;

    MDagPath& operator=(const MDagPath& src);
    bool operator==(const MDagPath& other) const;
    bool operator!=(const MDagPath& other) const { return !(*this == other); }

    MString fullPathName(MStatus* ReturnStatus = NULL) const;
    MString partialPathName(MStatus* ReturnStatus = NULL) const;
    bool isInstanced(MStatus* ReturnStatus = NULL) const;
    unsigned int instanceNumber(MStatus* ReturnStatus = NULL) const;
    bool isVisible(MStatus* ReturnStatus = NULL) const;
    bool isTemplated(MStatus* ReturnStatus = NULL) const;

    // Host side: the nodes of the path, from the top-level transform down.
    const std::vector<MObject>& nodes() const { return nodes_; }
    explicit MDagPath(std::vector<MObject> nodes) : nodes_(std::move(nodes)) {}

private:
    std::vector<MObject> nodes_;
};
