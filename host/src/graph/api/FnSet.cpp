// MFnSet over the objectSet node: DAG members connect their message to dagSetMembers, other nodes to
// dnSetMembers, as the sets command connects them.
#include <maya/MFnSet.h>

#include "graph/api/ApiObject.h"
#include "graph/core/Node.h"
#include "graph/core/Plug.h"
#include "graph/core/Scene.h"

using namespace kxh;

namespace {

bool memberOf(const Node& set, const Node& member) {
    for (const auto& c : set.inputs())
        if (c.src.node() == &member &&
            c.dst.attribute()->root()->longName().find("SetMembers") != std::string::npos)
            return true;
    return false;
}

MStatus connectMember(Node& set, Node& member) {
    if (memberOf(set, member)) return MS::kSuccess;
    Plug members = set.findPlug(member.isDag() ? "dagSetMembers" : "dnSetMembers");
    Plug message = member.findPlug("message");
    if (members.isNull() || message.isNull()) return MS::kInvalidParameter;
    std::vector<int> used = members.existingLogicalIndices();
    const int next = used.empty() ? 0 : used.back() + 1;
    return set.scene().connect(message, members.elementByLogicalIndex(unsigned(next)))
               ? MStatus(MS::kSuccess)
               : MStatus(MS::kFailure);
}

MStatus disconnectMember(Node& set, Node& member) {
    const std::vector<Connection> inputs = set.inputs();
    for (const auto& c : inputs)
        if (c.src.node() == &member) {
            if (!set.scene().disconnect(c.src, c.dst) || !set.scene().removeElement(c.dst))
                return MS::kFailure;
        }
    return MS::kSuccess;
}

// The node a member stands for: a path's last node (a component stands for its shape) or a node object.
Node* memberNode(const MDagPath& path) {
    return pathNode(path);
}

}  // namespace

MFnSet::MFnSet() = default;
MFnSet::MFnSet(MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnSet::MFnSet(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnSet::~MFnSet() = default;
MFn::Type MFnSet::type() const {
    return MFn::kSet;
}
const char* MFnSet::className() {
    return "MFnSet";
}

MObject MFnSet::create(const MSelectionList& members, Restriction restriction, MStatus* ReturnStatus) {
    NodePtr set = Scene::current().createNode("objectSet", "set1");
    if (!set) {
        setStatus(ReturnStatus, MS::kFailure);
        return MObject();
    }
    object_ = wrapNode(set);
    restriction_ = restriction;
    setStatus(ReturnStatus, addMembers(members));
    return object_;
}

MStatus MFnSet::getMembers(MSelectionList& members, bool) const {
    NodePtr set = nodeOf(object_);
    if (!set) return MS::kFailure;
    members.clear();
    for (const auto& c : set->inputs()) {
        if (c.dst.attribute()->root()->longName().find("SetMembers") == std::string::npos) continue;
        Node* n = c.src.node();
        if (n->isDag())
            members.add(pathTo(*n));
        else
            members.add(wrapNode(n));
    }
    return MS::kSuccess;
}

MStatus MFnSet::addMember(const MDagPath& dagPath, const MObject&) {
    NodePtr set = nodeOf(object_);
    Node* member = memberNode(dagPath);
    if (!set || !member) return MS::kInvalidParameter;
    return connectMember(*set, *member);
}

MStatus MFnSet::addMember(const MObject& obj) {
    NodePtr set = nodeOf(object_);
    NodePtr member = nodeOf(obj);
    if (!set || !member) return MS::kInvalidParameter;
    return connectMember(*set, *member);
}

MStatus MFnSet::addMembers(const MSelectionList& list) {
    for (unsigned i = 0; i < list.length(); ++i) {
        MDagPath path;
        MObject node;
        MStatus st = list.getDagPath(i, path)
                         ? addMember(path)
                         : (list.getDependNode(i, node) ? addMember(node) : MStatus(MS::kFailure));
        if (!st) return st;
    }
    return MS::kSuccess;
}

MStatus MFnSet::removeMember(const MDagPath& dagPath, const MObject&) {
    NodePtr set = nodeOf(object_);
    Node* member = memberNode(dagPath);
    if (!set || !member) return MS::kInvalidParameter;
    return disconnectMember(*set, *member);
}

MStatus MFnSet::removeMember(const MObject& obj) {
    NodePtr set = nodeOf(object_);
    NodePtr member = nodeOf(obj);
    if (!set || !member) return MS::kInvalidParameter;
    return disconnectMember(*set, *member);
}

MStatus MFnSet::removeMembers(const MSelectionList& list) {
    for (unsigned i = 0; i < list.length(); ++i) {
        MDagPath path;
        MObject node;
        MStatus st = list.getDagPath(i, path)
                         ? removeMember(path, MObject::kNullObj)
                         : (list.getDependNode(i, node) ? removeMember(node) : MStatus(MS::kFailure));
        if (!st) return st;
    }
    return MS::kSuccess;
}

MStatus MFnSet::clear() {
    MSelectionList members;
    MStatus st = getMembers(members, false);
    return st ? removeMembers(members) : st;
}

bool MFnSet::isMember(const MDagPath& object, const MObject&, MStatus* ReturnStatus) const {
    NodePtr set = nodeOf(object_);
    Node* member = memberNode(object);
    setStatus(ReturnStatus, set && member ? MS::kSuccess : MS::kInvalidParameter);
    return set && member && memberOf(*set, *member);
}

bool MFnSet::isMember(const MObject& object, MStatus* ReturnStatus) const {
    NodePtr set = nodeOf(object_);
    NodePtr member = nodeOf(object);
    setStatus(ReturnStatus, set && member ? MS::kSuccess : MS::kInvalidParameter);
    return set && member && memberOf(*set, *member);
}

MFnSet::Restriction MFnSet::restriction(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, object_.isNull() ? MS::kFailure : MS::kSuccess);
    return restriction_;
}

MString MFnSet::annotation(MStatus* ReturnStatus) const {
    NodePtr set = nodeOf(object_);
    Plug p = set ? set->findPlug("annotation") : Plug();
    setStatus(ReturnStatus, p.isNull() ? MS::kFailure : MS::kSuccess);
    return p.isNull() ? MString() : MString(set->scene().evaluate(p).asString().c_str());
}

MStatus MFnSet::setAnnotation(const MString& annotation) {
    NodePtr set = nodeOf(object_);
    Plug p = set ? set->findPlug("annotation") : Plug();
    if (p.isNull()) return MS::kFailure;
    return set->scene().setValue(p, Value::string(annotation.str())) ? MStatus(MS::kSuccess)
                                                                     : MStatus(MS::kFailure);
}
