// MItDependencyGraph: the walk is laid out when the iterator starts; nodes not passing the filter stay in
// the walk (it goes through them) but next() skips them.
#include <maya/MFnDependencyNode.h>
#include <maya/MItDependencyGraph.h>
#include <maya/MPlugArray.h>

#include <deque>

MItDependencyGraph::MItDependencyGraph(MObject& rootNode, MFn::Type filter, Direction direction,
                                       Traversal traversal, Level, MStatus* ReturnStatus)
    : root_(rootNode), filter_(filter), direction_(direction), traversal_(traversal) {
    walk();
    if (ReturnStatus) *ReturnStatus = nodes_.empty() ? MS::kInvalidParameter : MS::kSuccess;
}

MItDependencyGraph::MItDependencyGraph(MPlug& rootPlug, MFn::Type filter, Direction direction,
                                       Traversal traversal, Level, MStatus* ReturnStatus)
    : root_(rootPlug.node()), filter_(filter), direction_(direction), traversal_(traversal) {
    walk();
    if (ReturnStatus) *ReturnStatus = nodes_.empty() ? MS::kInvalidParameter : MS::kSuccess;
}

MItDependencyGraph::~MItDependencyGraph() = default;

std::vector<MObject> MItDependencyGraph::neighbours(const MObject& node) const {
    std::vector<MObject> out;
    MStatus st;
    MFnDependencyNode fn(node, &st);
    if (!st) return out;
    MPlugArray plugs;
    fn.getConnections(plugs);
    for (unsigned i = 0; i < plugs.length(); ++i) {
        MPlugArray others;
        plugs[i].connectedTo(others, direction_ == kUpstream, direction_ == kDownstream);
        for (unsigned k = 0; k < others.length(); ++k) out.push_back(others[k].node());
    }
    return out;
}

void MItDependencyGraph::walk() {
    nodes_.clear();
    depth_.clear();
    at_ = 0;
    MStatus st;
    MFnDependencyNode check(root_, &st);
    if (!st) return;
    auto seen = [&](const MObject& o) {
        for (const MObject& n : nodes_)
            if (n == o) return true;
        return false;
    };
    if (traversal_ == kBreadthFirst) {
        std::deque<std::pair<MObject, int>> queue{{root_, 0}};
        while (!queue.empty()) {
            auto [node, d] = queue.front();
            queue.pop_front();
            if (seen(node)) continue;
            nodes_.push_back(node);
            depth_.push_back(d);
            for (const MObject& n : neighbours(node)) queue.emplace_back(n, d + 1);
        }
    } else {
        std::vector<std::pair<MObject, int>> stack{{root_, 0}};
        while (!stack.empty()) {
            auto [node, d] = stack.back();
            stack.pop_back();
            if (seen(node)) continue;
            nodes_.push_back(node);
            depth_.push_back(d);
            std::vector<MObject> next = neighbours(node);
            for (auto it = next.rbegin(); it != next.rend(); ++it) stack.emplace_back(*it, d + 1);
        }
    }
    while (at_ < nodes_.size() && filter_ != MFn::kInvalid && !nodes_[at_].hasFn(filter_)) ++at_;
}

MStatus MItDependencyGraph::reset() {
    walk();
    return nodes_.empty() ? MS::kFailure : MS::kSuccess;
}

MStatus MItDependencyGraph::resetTo(MObject& rootNode, MFn::Type filter, Direction direction,
                                    Traversal traversal, Level) {
    root_ = rootNode;
    filter_ = filter;
    direction_ = direction;
    traversal_ = traversal;
    return reset();
}

bool MItDependencyGraph::isDone(MStatus* ReturnStatus) const {
    if (ReturnStatus) *ReturnStatus = MS::kSuccess;
    return at_ >= nodes_.size();
}

MStatus MItDependencyGraph::next() {
    if (isDone()) return MS::kFailure;
    ++at_;
    while (at_ < nodes_.size() && filter_ != MFn::kInvalid && !nodes_[at_].hasFn(filter_)) ++at_;
    return MS::kSuccess;
}

MStatus MItDependencyGraph::prune() {
    if (isDone() || traversal_ != kDepthFirst) return MS::kFailure;
    // In a depth-first walk what lies beyond a node follows it, deeper than it.
    size_t end = at_ + 1;
    while (end < nodes_.size() && depth_[end] > depth_[at_]) ++end;
    nodes_.erase(nodes_.begin() + long(at_) + 1, nodes_.begin() + long(end));
    depth_.erase(depth_.begin() + long(at_) + 1, depth_.begin() + long(end));
    return MS::kSuccess;
}

MObject MItDependencyGraph::currentItem(MStatus* ReturnStatus) {
    if (ReturnStatus) *ReturnStatus = isDone() ? MS::kFailure : MS::kSuccess;
    return isDone() ? MObject() : nodes_[at_];
}

MObject MItDependencyGraph::thisNode(MStatus* ReturnStatus) {
    return currentItem(ReturnStatus);
}

MObject MItDependencyGraph::rootNode(MStatus* ReturnStatus) {
    if (ReturnStatus) *ReturnStatus = MS::kSuccess;
    return root_;
}

MStatus MItDependencyGraph::setCurrentFilter(MFn::Type filter) {
    filter_ = filter;
    return reset();
}
