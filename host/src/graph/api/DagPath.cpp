// MDagPath: a chain of nodes from a top-level transform down. A path is valid while every node on it is in
// the scene and each is still the parent of the next.
#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MMatrix.h>
#include <maya/MString.h>

#include "graph/api/ApiObject.h"
#include "graph/core/Scene.h"

using namespace kxh;

namespace {

// The shapes directly below a transform, intermediate objects included.
std::vector<Node*> shapesBelow(const Node& n) {
    std::vector<Node*> out;
    for (Node* c : n.children())
        if (c->isShape()) out.push_back(c);
    return out;
}

}  // namespace

MDagPath::MDagPath() = default;
MDagPath::MDagPath(const MDagPath& src) = default;
MDagPath::~MDagPath() = default;
MDagPath& MDagPath::operator=(const MDagPath& src) = default;

MStatus MDagPath::set(const MDagPath& src) {
    nodes_ = src.nodes_;
    return MS::kSuccess;
}

MStatus MDagPath::getAPathTo(const MObject& node, MDagPath& path) {
    NodePtr n = nodeOf(node);
    if (!n || !n->isDag() || n->isWorld()) {
        path = MDagPath();
        return MS::kInvalidParameter;
    }
    path = pathTo(*n);
    return MS::kSuccess;
}

MDagPath MDagPath::getAPathTo(const MObject& node, MStatus* ReturnStatus) {
    MDagPath p;
    MStatus st = getAPathTo(node, p);
    setStatus(ReturnStatus, st);
    return p;
}

MStatus MDagPath::getAllPathsTo(const MObject& node, MDagPathArray& allPaths) {
    allPaths.clear();
    MDagPath p;
    MStatus st = getAPathTo(node, p);
    if (st) allPaths.append(p);
    return st;
}

bool MDagPath::isValid(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    if (nodes_.empty()) return false;
    Node* prev = nullptr;
    for (const MObject& o : nodes_) {
        NodePtr n = nodeOf(o);
        if (!n || !n->alive()) return false;
        if (prev ? n->parent() != prev : (n->parent() && !n->parent()->isWorld())) return false;
        prev = n.get();
    }
    return true;
}

MObject MDagPath::node(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, nodes_.empty() ? MS::kFailure : MS::kSuccess);
    return nodes_.empty() ? MObject() : nodes_.back();
}

MObject MDagPath::transform(MStatus* ReturnStatus) const {
    for (auto it = nodes_.rbegin(); it != nodes_.rend(); ++it) {
        NodePtr n = nodeOf(*it);
        if (n && n->isTransform()) {
            setStatus(ReturnStatus, MS::kSuccess);
            return *it;
        }
    }
    setStatus(ReturnStatus, MS::kInvalidParameter);
    return MObject();
}

bool MDagPath::hasFn(MFn::Type type, MStatus* ReturnStatus) const {
    return node(ReturnStatus).hasFn(type);
}
MFn::Type MDagPath::apiType(MStatus* ReturnStatus) const {
    return node(ReturnStatus).apiType();
}

// The number of nodes below the world: "|pCube1|pCubeShape1" has length 2.
unsigned int MDagPath::length(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    return static_cast<unsigned int>(nodes_.size());
}

unsigned int MDagPath::childCount(MStatus* ReturnStatus) const {
    Node* n = pathNode(*this);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kFailure);
    return n ? static_cast<unsigned int>(n->children().size()) : 0;
}

MObject MDagPath::child(unsigned int i, MStatus* ReturnStatus) const {
    Node* n = pathNode(*this);
    if (!n || i >= n->children().size()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    setStatus(ReturnStatus, MS::kSuccess);
    return wrapNode(n->children()[i]);
}

MStatus MDagPath::push(const MObject& child) {
    NodePtr c = nodeOf(child);
    if (!c || !c->isDag()) return MS::kInvalidParameter;
    Node* n = pathNode(*this);
    if (n ? c->parent() != n : (c->parent() && !c->parent()->isWorld())) return MS::kInvalidParameter;
    nodes_.push_back(wrapNode(c));
    return MS::kSuccess;
}

MStatus MDagPath::pop(unsigned int num) {
    if (num > nodes_.size()) return MS::kInvalidParameter;
    nodes_.resize(nodes_.size() - num);
    return MS::kSuccess;
}

MStatus MDagPath::numberOfShapesDirectlyBelow(unsigned int& num) const {
    Node* n = pathNode(*this);
    if (!n) return MS::kFailure;
    num = static_cast<unsigned int>(shapesBelow(*n).size());
    return MS::kSuccess;
}

MStatus MDagPath::extendToShapeDirectlyBelow(unsigned int index) {
    Node* n = pathNode(*this);
    if (!n) return MS::kFailure;
    std::vector<Node*> shapes = shapesBelow(*n);
    if (index >= shapes.size()) return MS::kInvalidParameter;
    nodes_.push_back(wrapNode(shapes[index]));
    return MS::kSuccess;
}

// A shape path stays as it is; a transform path extends to its one shape below it. With several shapes,
// the single non-intermediate one is taken; otherwise the call fails.
MStatus MDagPath::extendToShape() {
    Node* n = pathNode(*this);
    if (!n) return MS::kFailure;
    if (n->isShape()) return MS::kSuccess;
    std::vector<Node*> shapes = shapesBelow(*n);
    if (shapes.size() != 1) {
        std::vector<Node*> visible;
        for (Node* s : shapes)
            if (!s->isIntermediate()) visible.push_back(s);
        shapes = visible;
    }
    if (shapes.size() != 1) return MS::kFailure;
    nodes_.push_back(wrapNode(shapes[0]));
    return MS::kSuccess;
}

unsigned int MDagPath::pathCount(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    return nodes_.empty() ? 0 : 1;
}

MStatus MDagPath::getPath(MDagPath& path, unsigned int i) const {
    if (i != 0 || nodes_.empty()) return MS::kInvalidParameter;
    path = *this;
    return MS::kSuccess;
}

MMatrix MDagPath::inclusiveMatrix(MStatus* ReturnStatus) const {
    Node* n = pathNode(*this);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kFailure);
    return n ? toMMatrix(n->inclusiveMatrix()) : MMatrix();
}

MMatrix MDagPath::exclusiveMatrix(MStatus* ReturnStatus) const {
    Node* n = pathNode(*this);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kFailure);
    return n ? toMMatrix(n->exclusiveMatrix()) : MMatrix();
}

MMatrix MDagPath::inclusiveMatrixInverse(MStatus* ReturnStatus) const {
    return inclusiveMatrix(ReturnStatus).inverse();
}

MMatrix MDagPath::exclusiveMatrixInverse(MStatus* ReturnStatus) const {
    return exclusiveMatrix(ReturnStatus).inverse();
}

bool MDagPath::operator==(const MDagPath& other) const {
    if (nodes_.size() != other.nodes_.size()) return false;
    for (size_t i = 0; i < nodes_.size(); ++i)
        if (nodes_[i] != other.nodes_[i]) return false;
    return true;
}

MString MDagPath::fullPathName(MStatus* ReturnStatus) const {
    if (nodes_.empty()) {
        setStatus(ReturnStatus, MS::kFailure);
        return MString();
    }
    setStatus(ReturnStatus, MS::kSuccess);
    std::string s;
    for (const MObject& o : nodes_) {
        NodePtr n = nodeOf(o);
        s += "|" + (n ? n->name() : std::string());
    }
    return MString(s);
}

MString MDagPath::partialPathName(MStatus* ReturnStatus) const {
    Node* n = pathNode(*this);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kFailure);
    return n ? MString(n->partialPathName()) : MString();
}

bool MDagPath::isInstanced(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    return false;
}

unsigned int MDagPath::instanceNumber(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    return 0;
}

// Visible when every node on the path has visibility on and is not an intermediate object.
bool MDagPath::isVisible(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    for (const MObject& o : nodes_) {
        NodePtr n = nodeOf(o);
        if (!n || !n->alive() || n->isIntermediate()) return false;
        Plug vis = n->findPlug(attr::kVisibility);
        if (!vis.isNull() && !vis.asBool()) return false;
    }
    return !nodes_.empty();
}

bool MDagPath::isTemplated(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    for (const MObject& o : nodes_) {
        NodePtr n = nodeOf(o);
        if (!n) continue;
        Plug t = n->findPlug("template");
        if (!t.isNull() && t.asBool()) return true;
    }
    return false;
}
