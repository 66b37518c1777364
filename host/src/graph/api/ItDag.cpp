// MItDag: the walk is laid out as a list of paths when the iterator starts; next() moves along it.
#include <maya/MFnDagNode.h>
#include <maya/MItDag.h>
#include <maya/MItDependencyNodes.h>

#include <deque>

namespace {

std::vector<MDagPath> childrenOf(const MDagPath& path) {
    std::vector<MDagPath> kids;
    MFnDagNode fn(path);
    for (unsigned i = 0; i < fn.childCount(); ++i) {
        MDagPath child = path;
        if (child.push(fn.child(i))) kids.push_back(child);
    }
    return kids;
}

// The DAG nodes directly under the world, in scene order.
std::vector<MDagPath> worldChildren() {
    std::vector<MDagPath> top;
    for (MItDependencyNodes it(MFn::kDagNode); !it.isDone(); it.next()) {
        MDagPath path;
        if (MDagPath::getAPathTo(it.thisNode(), path) && path.length() == 1) top.push_back(path);
    }
    return top;
}

}  // namespace

MItDag::MItDag(TraversalType type, MFn::Type filter, MStatus* ReturnStatus) : type_(type), filter_(filter) {
    build(nullptr);
    if (ReturnStatus) *ReturnStatus = MS::kSuccess;
}

MItDag::~MItDag() = default;

void MItDag::build(const MDagPath* start) {
    paths_.clear();
    matches_.clear();
    at_ = 0;
    std::vector<MDagPath> roots = start ? std::vector<MDagPath>{*start} : worldChildren();
    if (type_ == kBreadthFirst) {
        std::deque<MDagPath> queue(roots.begin(), roots.end());
        while (!queue.empty()) {
            MDagPath p = queue.front();
            queue.pop_front();
            paths_.push_back(p);
            for (const MDagPath& c : childrenOf(p)) queue.push_back(c);
        }
    } else {
        std::vector<MDagPath> stack(roots.rbegin(), roots.rend());
        while (!stack.empty()) {
            MDagPath p = stack.back();
            stack.pop_back();
            paths_.push_back(p);
            std::vector<MDagPath> kids = childrenOf(p);
            stack.insert(stack.end(), kids.rbegin(), kids.rend());
        }
    }
    for (const MDagPath& p : paths_) matches_.push_back(filter_ == MFn::kInvalid || p.hasFn(filter_));
    while (at_ < paths_.size() && !matches_[at_]) ++at_;
}

MStatus MItDag::reset() {
    build(hasStart_ ? &start_ : nullptr);
    return MS::kSuccess;
}

MStatus MItDag::reset(const MObject& object, TraversalType type, MFn::Type filter) {
    MDagPath path;
    if (!object.isNull() && !MDagPath::getAPathTo(object, path)) return MS::kInvalidParameter;
    if (object.isNull()) return reset(MDagPath(), type, filter);
    return reset(path, type, filter);
}

MStatus MItDag::reset(const MDagPath& path, TraversalType type, MFn::Type filter) {
    type_ = type;
    filter_ = filter;
    hasStart_ = path.length() > 0;
    start_ = path;
    return reset();
}

MObject MItDag::item(MStatus* ReturnStatus) {
    return currentItem(ReturnStatus);
}

MObject MItDag::currentItem(MStatus* ReturnStatus) {
    if (isDone()) {
        if (ReturnStatus) *ReturnStatus = MS::kFailure;
        return MObject();
    }
    return paths_[at_].node(ReturnStatus);
}

MStatus MItDag::next() {
    if (isDone()) return MS::kFailure;
    ++at_;
    while (at_ < paths_.size() && !matches_[at_]) ++at_;
    return MS::kSuccess;
}

MStatus MItDag::prune() {
    if (isDone()) return MS::kFailure;
    // Skip every path below the current one (they follow it directly in a depth-first walk).
    const unsigned depth = paths_[at_].length();
    size_t end = at_ + 1;
    if (type_ != kBreadthFirst)
        while (end < paths_.size() && paths_[end].length() > depth) ++end;
    paths_.erase(paths_.begin() + long(at_) + 1, paths_.begin() + long(end));
    matches_.erase(matches_.begin() + long(at_) + 1, matches_.begin() + long(end));
    return MS::kSuccess;
}

bool MItDag::isDone(MStatus* ReturnStatus) const {
    if (ReturnStatus) *ReturnStatus = MS::kSuccess;
    return at_ >= paths_.size();
}

MObject MItDag::root(MStatus* ReturnStatus) {
    if (ReturnStatus) *ReturnStatus = MS::kSuccess;
    return hasStart_ ? start_.node() : MObject();
}

unsigned int MItDag::depth(MStatus* ReturnStatus) const {
    if (ReturnStatus) *ReturnStatus = isDone() ? MS::kFailure : MS::kSuccess;
    return isDone() ? 0 : paths_[at_].length();
}

MStatus MItDag::getPath(MDagPath& path) const {
    if (isDone()) return MS::kFailure;
    path = paths_[at_];
    return MS::kSuccess;
}

MStatus MItDag::getAllPaths(MDagPathArray& paths) const {
    if (isDone()) return MS::kFailure;
    paths.clear();
    paths.append(paths_[at_]);  // no instancing: one path per node
    return MS::kSuccess;
}

MString MItDag::fullPathName(MStatus* ReturnStatus) const {
    if (isDone()) {
        if (ReturnStatus) *ReturnStatus = MS::kFailure;
        return MString();
    }
    return paths_[at_].fullPathName(ReturnStatus);
}

MString MItDag::partialPathName(MStatus* ReturnStatus) const {
    if (isDone()) {
        if (ReturnStatus) *ReturnStatus = MS::kFailure;
        return MString();
    }
    return paths_[at_].partialPathName(ReturnStatus);
}

bool MItDag::isInstanced(bool, MStatus* ReturnStatus) const {
    if (ReturnStatus) *ReturnStatus = MS::kSuccess;
    return false;
}

MItDag::TraversalType MItDag::getType(MStatus* ReturnStatus) const {
    if (ReturnStatus) *ReturnStatus = MS::kSuccess;
    return type_;
}

bool MItDag::willTraverseUnderWorld(MStatus* ReturnStatus) const {
    if (ReturnStatus) *ReturnStatus = MS::kSuccess;
    return false;
}
