#pragma once
// Iterates the DAG from the world down, depth first (a node, then its children in order) or breadth
// first, optionally only over nodes of one MFn type. The walk is taken when the iterator is made or reset;
// nodes added later are not visited.
#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

#include <vector>

class MItDag {
public:
    enum TraversalType { kInvalidType, kDepthFirst, kBreadthFirst };

    MItDag(TraversalType type = kDepthFirst, MFn::Type filter = MFn::kInvalid, MStatus* ReturnStatus = NULL);
    virtual ~MItDag();

    MStatus reset();
    MStatus reset(const MObject& object, TraversalType type = kDepthFirst, MFn::Type filter = MFn::kInvalid);
    MStatus reset(const MDagPath& path, TraversalType type = kDepthFirst, MFn::Type filter = MFn::kInvalid);
    MObject item(MStatus* ReturnStatus = NULL);
    MObject currentItem(MStatus* ReturnStatus = NULL);
    MStatus next();
    MStatus prune();  // skips the children of the current node (depth first)
    bool isDone(MStatus* ReturnStatus = NULL) const;
    MObject root(MStatus* ReturnStatus = NULL);
    unsigned int depth(MStatus* ReturnStatus = NULL) const;
    MStatus getPath(MDagPath& path) const;
    MStatus getAllPaths(MDagPathArray& paths) const;
    MString fullPathName(MStatus* ReturnStatus = NULL) const;
    MString partialPathName(MStatus* ReturnStatus = NULL) const;
    bool isInstanced(bool indirect = true, MStatus* ReturnStatus = NULL) const;
    TraversalType getType(MStatus* ReturnStatus = NULL) const;
    void traverseUnderWorld(bool flag) { (void)flag; }
    bool willTraverseUnderWorld(MStatus* ReturnStatus = NULL) const;

private:
    void build(const MDagPath* start);

    TraversalType type_ = kDepthFirst;
    MFn::Type filter_ = MFn::kInvalid;
    bool hasStart_ = false;
    MDagPath start_;
    std::vector<MDagPath> paths_;  // every path in walk order
    std::vector<bool> matches_;    // whether paths_[i] passes the filter
    size_t at_ = 0;
};
