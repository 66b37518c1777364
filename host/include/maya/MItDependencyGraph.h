#pragma once
// Walks the dependency graph from a root node along connections: downstream (to the nodes its outputs
// feed) or upstream (to the nodes feeding it), depth or breadth first, each node once, optionally only
// nodes of one MFn type (the walk still passes through the others). The root is the first node visited.
#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>

#include <vector>

class MItDependencyGraph {
public:
    enum Direction { kDownstream, kUpstream };
    enum Traversal { kDepthFirst, kBreadthFirst };
    enum Level { kNodeLevel, kPlugLevel };

    MItDependencyGraph(MObject& rootNode, MFn::Type filter = MFn::kInvalid, Direction direction = kDownstream,
                       Traversal traversal = kDepthFirst, Level level = kNodeLevel,
                       MStatus* ReturnStatus = NULL);
    MItDependencyGraph(MPlug& rootPlug, MFn::Type filter = MFn::kInvalid, Direction direction = kDownstream,
                       Traversal traversal = kDepthFirst, Level level = kNodeLevel,
                       MStatus* ReturnStatus = NULL);
    virtual ~MItDependencyGraph();

    MStatus reset();
    MStatus resetTo(MObject& rootNode, MFn::Type filter = MFn::kInvalid, Direction direction = kDownstream,
                    Traversal traversal = kDepthFirst, Level level = kNodeLevel);
    bool isDone(MStatus* ReturnStatus = NULL) const;
    MStatus next();
    MStatus prune();  // skips what lies beyond the current node (depth first)
    MObject currentItem(MStatus* ReturnStatus = NULL);
    MObject thisNode(MStatus* ReturnStatus = NULL);
    MObject rootNode(MStatus* ReturnStatus = NULL);
    Direction getCurrentDirection() const { return direction_; }
    Traversal getCurrentTraversal() const { return traversal_; }
    MFn::Type currentFilter() const { return filter_; }
    MStatus setCurrentFilter(MFn::Type filter);

private:
    void walk();
    std::vector<MObject> neighbours(const MObject& node) const;

    MObject root_;
    MFn::Type filter_ = MFn::kInvalid;
    Direction direction_ = kDownstream;
    Traversal traversal_ = kDepthFirst;
    std::vector<MObject> nodes_;  // the walk, root first
    std::vector<int> depth_;      // each node's distance from the root
    size_t at_ = 0;
};
