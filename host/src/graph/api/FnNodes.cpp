// MFnDependencyNode and MFnDagNode over the scene's nodes; MFnTransform is in FnTransform.cpp.
#include <maya/MBoundingBox.h>
#include <maya/MDagPathArray.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MMatrix.h>
#include <maya/MObjectArray.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MPoint.h>
#include <maya/MTypeId.h>
#include <maya/MVector.h>

#include <algorithm>
#include <functional>

#include "graph/api/ApiObject.h"
#include "graph/api/PluginNodes.h"
#include "graph/core/Scene.h"

using namespace kxh;

namespace {

// Every attribute of the node, children after their parent (the order attributeCount/attribute(i) use).
std::vector<AttrPtr> flatAttributes(const Node& node) {
    std::vector<AttrPtr> out;
    std::function<void(const AttrPtr&)> walk = [&](const AttrPtr& a) {
        out.push_back(a);
        for (const AttrPtr& c : a->children()) walk(c);
    };
    for (const AttrPtr& a : node.attributes()) walk(a);
    return out;
}

// A copy of an attribute's description (kind, names, defaults, flags), unattached.
AttrPtr cloneAttribute(const Attribute& a) {
    AttrPtr c;
    switch (a.kind()) {
        case AttrKind::Numeric:
            if (a.isEnum())
                c = Attribute::enumAttr(a.longName(), a.shortName(), a.defaultValue().asInt(),
                                        a.enumFields());
            else
                c = Attribute::numeric(a.longName(), a.shortName(), a.numericType(),
                                       a.defaultValue().asDouble());
            break;
        case AttrKind::Typed:
            c = Attribute::typed(a.longName(), a.shortName(), a.dataKind(), a.defaultValue().data());
            break;
        case AttrKind::Generic:
            c = Attribute::generic(a.longName(), a.shortName());
            for (DataKind k : a.accepts()) c->addAccept(k);
            for (NumericType t : a.numericAccepts()) c->addNumericAccept(t);
            break;
        case AttrKind::Message:
            c = Attribute::message(a.longName(), a.shortName());
            break;
        case AttrKind::Matrix:
            c = Attribute::matrix(a.longName(), a.shortName());
            break;
        case AttrKind::Compound: {
            std::vector<AttrPtr> kids;
            for (const AttrPtr& k : a.children()) kids.push_back(cloneAttribute(*k));
            c = Attribute::compound(a.longName(), a.shortName(), kids);
            break;
        }
    }
    c->array = a.array;
    c->readable = a.readable;
    c->writable = a.writable;
    c->storable = a.storable;
    c->keyable = a.keyable;
    c->hidden = a.hidden;
    c->connectable = a.connectable;
    c->cached = a.cached;
    c->indexMatters = a.indexMatters;
    c->usesArrayDataBuilder = a.usesArrayDataBuilder;
    c->affectsAppearance = a.affectsAppearance;
    c->setUnit(a.unit());
    return c;
}

// Copies the values stored under `from` onto `to` (same attribute shape), element by element.
void copyStoredValues(Scene& scene, Node& src, const Plug& from, const Plug& to) {
    const Attribute* a = from.attribute();
    if (from.isArray()) {
        for (int i : src.elementIndices(from))
            copyStoredValues(scene, src, from.elementByLogicalIndex(i), to.elementByLogicalIndex(i));
        return;
    }
    if (a->isCompound() && !a->isNumericCompound()) {
        for (unsigned i = 0; i < from.numChildren(); ++i)
            copyStoredValues(scene, src, from.child(i), to.child(i));
        return;
    }
    if (a->isMessage()) return;
    const PlugSlot* slot = src.slot(from);
    if (!slot) return;
    if (a->isNumericCompound()) {
        for (unsigned i = 0; i < from.numChildren(); ++i)
            copyStoredValues(scene, src, from.child(i), to.child(i));
        return;
    }
    if (slot->hasValue) scene.setValue(to, slot->value, nullptr, true);
}

// "pCube1" -> "pCube2": the first free name with the trailing number counted up.
std::string duplicateName(const std::string& name) {
    size_t digits = name.find_last_not_of("0123456789") + 1;
    return name.substr(0, digits) + "#";
}

NodePtr duplicateTree(Scene& scene, Node& src, Node* parent) {
    NodePtr dup = scene.createNode(src.typeName(), duplicateName(src.name()), parent);
    if (!dup) return nullptr;
    for (const AttrPtr& a : src.dynamicAttributes()) scene.addAttribute(*dup, cloneAttribute(*a));
    for (const AttrPtr& a : src.attributes()) {
        AttrPtr target = dup->findAttribute(a->longName());
        if (target) copyStoredValues(scene, src, src.plug(a), dup->plug(target));
    }
    // A mesh keeps its evaluated geometry as its own: the duplicate has no history.
    if (src.type().hasFn(MFn::kMesh)) {
        if (MeshPtr m = scene.shapeMesh(src)) scene.setShapeMesh(*dup, std::make_shared<Mesh>(*m));
    }
    std::vector<Node*> kids = src.children();
    for (Node* c : kids) duplicateTree(scene, *c, dup.get());
    return dup;
}

}  // namespace

// --- MFnDependencyNode -------------------------------------------------------------------------------------

MFnDependencyNode::MFnDependencyNode() = default;
MFnDependencyNode::MFnDependencyNode(MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnDependencyNode::MFnDependencyNode(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnDependencyNode::~MFnDependencyNode() = default;
MFn::Type MFnDependencyNode::type() const {
    return MFn::kDependencyNode;
}
const char* MFnDependencyNode::className() {
    return "MFnDependencyNode";
}

namespace {
Node* attachedNode(const MObject& o, MStatus* st) {
    NodePtr n = nodeOf(o);
    setStatus(st, n ? MS::kSuccess : MS::kInvalidParameter);
    return n.get();
}
}  // namespace

MObject MFnDependencyNode::create(const MString& type, const MString& name, MStatus* ReturnStatus) {
    std::string error;
    NodePtr transform;
    NodePtr n = createNodeOfType(type.str(), name.str(), nullptr, &transform, &error);
    if (!n) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    object_ = wrapNode(n);
    setStatus(ReturnStatus, MS::kSuccess);
    return object_;
}
MObject MFnDependencyNode::create(const MString& type, MStatus* ReturnStatus) {
    return create(type, MString(), ReturnStatus);
}
MObject MFnDependencyNode::create(const MTypeId& typeId, const MString& name, MStatus* ReturnStatus) {
    std::string t = typeNameOfId(typeId.id());
    if (t.empty()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    return create(MString(t), name, ReturnStatus);
}
MObject MFnDependencyNode::create(const MTypeId& typeId, MStatus* ReturnStatus) {
    return create(typeId, MString(), ReturnStatus);
}

MTypeId MFnDependencyNode::typeId(MStatus* ReturnStatus) const {
    Node* n = attachedNode(object_, ReturnStatus);
    return n ? MTypeId(n->type().typeId()) : MTypeId();
}
MString MFnDependencyNode::typeName(MStatus* ReturnStatus) const {
    Node* n = attachedNode(object_, ReturnStatus);
    return n ? MString(n->typeName()) : MString();
}
MString MFnDependencyNode::name(MStatus* ReturnStatus) const {
    Node* n = attachedNode(object_, ReturnStatus);
    return n ? MString(n->name()) : MString();
}

MString MFnDependencyNode::setName(const MString& name, bool, MStatus* ReturnStatus) {
    Node* n = attachedNode(object_, ReturnStatus);
    if (!n) return MString();
    std::string given = Scene::current().renameNode(*n, name.str());
    if (given.empty()) setStatus(ReturnStatus, MS::kInvalidParameter);
    return MString(n->name());
}

MStatus MFnDependencyNode::getConnections(MPlugArray& array) const {
    array.clear();
    Node* n = nodeOf(object_).get();
    if (!n) return MS::kInvalidParameter;
    std::vector<Plug> seen;
    for (const Connection& c : n->scene().connections(*n)) {
        const Plug& mine = c.dst.node() == n ? c.dst : c.src;
        if (std::find(seen.begin(), seen.end(), mine) != seen.end()) continue;
        seen.push_back(mine);
        array.append(apiPlug(mine));
    }
    return MS::kSuccess;
}

unsigned int MFnDependencyNode::attributeCount(MStatus* ReturnStatus) const {
    Node* n = attachedNode(object_, ReturnStatus);
    return n ? static_cast<unsigned int>(flatAttributes(*n).size()) : 0;
}

MObject MFnDependencyNode::attribute(unsigned int index, MStatus* ReturnStatus) const {
    Node* n = attachedNode(object_, ReturnStatus);
    if (!n) return MObject();
    std::vector<AttrPtr> all = flatAttributes(*n);
    if (index >= all.size()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    return wrapAttribute(all[index]);
}

MObject MFnDependencyNode::attribute(const MString& attrName, MStatus* ReturnStatus) const {
    Node* n = attachedNode(object_, ReturnStatus);
    if (!n) return MObject();
    AttrPtr a = n->findAttribute(attrName.str());
    if (!a) setStatus(ReturnStatus, MS::kInvalidParameter);
    return wrapAttribute(a);
}

MFnDependencyNode::MAttrClass MFnDependencyNode::attributeClass(const MObject& attr,
                                                                MStatus* ReturnStatus) const {
    Node* n = attachedNode(object_, ReturnStatus);
    AttrPtr a = attributeOf(attr);
    if (!n || !a || !n->hasAttribute(a.get())) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return kInvalidAttr;
    }
    return n->isDynamic(a.get()) ? kLocalDynamicAttr : kNormalAttr;
}

MStatus MFnDependencyNode::getAffectedAttributes(const MObject& attr, MObjectArray& affected) const {
    affected.clear();
    Node* n = nodeOf(object_).get();
    AttrPtr a = attributeOf(attr);
    if (!n || !a) return MS::kInvalidParameter;
    for (const Attribute* t : n->affectedBy(a.get()))
        affected.append(wrapAttribute(const_cast<Attribute*>(t)->shared_from_this()));
    return MS::kSuccess;
}

MStatus MFnDependencyNode::getAffectedByAttributes(const MObject& attr, MObjectArray& affectedBy) const {
    affectedBy.clear();
    Node* n = nodeOf(object_).get();
    AttrPtr a = attributeOf(attr);
    if (!n || !a) return MS::kInvalidParameter;
    for (const AttrPtr& from : flatAttributes(*n)) {
        std::vector<const Attribute*> to = n->affectedBy(from.get());
        if (std::find(to.begin(), to.end(), a.get()) != to.end()) affectedBy.append(wrapAttribute(from));
    }
    return MS::kSuccess;
}

bool MFnDependencyNode::hasAttribute(const MString& name, MStatus* ReturnStatus) const {
    Node* n = attachedNode(object_, ReturnStatus);
    return n && n->findAttribute(name.str()) != nullptr;
}

MPlug MFnDependencyNode::findPlug(const MString& attrName, bool, MStatus* ReturnStatus) const {
    return findPlug(attrName, ReturnStatus);
}
MPlug MFnDependencyNode::findPlug(const MObject& attr, bool, MStatus* ReturnStatus) const {
    return findPlug(attr, ReturnStatus);
}

MPlug MFnDependencyNode::findPlug(const MString& attrName, MStatus* ReturnStatus) const {
    Node* n = attachedNode(object_, ReturnStatus);
    if (!n) return MPlug();
    Plug p = n->findPlug(attrName.str());
    if (p.isNull()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MPlug();
    }
    return apiPlug(p);
}

MPlug MFnDependencyNode::findPlug(const MObject& attr, MStatus* ReturnStatus) const {
    Node* n = attachedNode(object_, ReturnStatus);
    AttrPtr a = attributeOf(attr);
    if (!n) return MPlug();
    if (!a || !n->hasAttribute(a.get())) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MPlug();
    }
    return MPlug(object_, attr);
}

MStatus MFnDependencyNode::addAttribute(const MObject& attr, MAttrClass type) {
    Node* n = nodeOf(object_).get();
    AttrPtr a = attributeOf(attr);
    if (!n || !a || type != kLocalDynamicAttr) return MS::kInvalidParameter;
    return Scene::current().addAttribute(*n, a) ? MS::kSuccess : MS::kFailure;
}

MStatus MFnDependencyNode::removeAttribute(const MObject& attr, MAttrClass type) {
    Node* n = nodeOf(object_).get();
    AttrPtr a = attributeOf(attr);
    if (!n || !a || type != kLocalDynamicAttr) return MS::kInvalidParameter;
    return n->scene().removeAttribute(*n, a.get()) ? MS::kSuccess : MS::kFailure;
}

MPxNode* MFnDependencyNode::userNode(MStatus* ReturnStatus) const {
    Node* n = attachedNode(object_, ReturnStatus);
    MPxNode* px = n ? pxNodeOf(*n) : nullptr;
    if (n && !px) setStatus(ReturnStatus, MS::kFailure);
    return px;
}

bool MFnDependencyNode::isFromReferencedFile(MStatus* ReturnStatus) const {
    attachedNode(object_, ReturnStatus);
    return false;
}
bool MFnDependencyNode::isShared(MStatus* ReturnStatus) const {
    attachedNode(object_, ReturnStatus);
    return false;
}
bool MFnDependencyNode::hasUniqueName(MStatus* ReturnStatus) const {
    return attachedNode(object_, ReturnStatus) != nullptr;
}
MString MFnDependencyNode::parentNamespace(MStatus* ReturnStatus) const {
    attachedNode(object_, ReturnStatus);
    return MString();
}
bool MFnDependencyNode::isLocked(MStatus* ReturnStatus) const {
    Node* n = attachedNode(object_, ReturnStatus);
    return n && n->locked;
}
MStatus MFnDependencyNode::setLocked(bool locked) {
    Node* n = nodeOf(object_).get();
    if (!n) return MS::kInvalidParameter;
    n->locked = locked;
    return MS::kSuccess;
}
bool MFnDependencyNode::isDefaultNode(MStatus* ReturnStatus) const {
    attachedNode(object_, ReturnStatus);
    return false;
}
bool MFnDependencyNode::canBeWritten(MStatus* ReturnStatus) const {
    Node* n = attachedNode(object_, ReturnStatus);
    return n && !n->doNotWrite;
}
MStatus MFnDependencyNode::setDoNotWrite(bool flag) {
    Node* n = nodeOf(object_).get();
    if (!n) return MS::kInvalidParameter;
    n->doNotWrite = flag;
    return MS::kSuccess;
}
MString MFnDependencyNode::pluginName(MStatus* ReturnStatus) const {
    attachedNode(object_, ReturnStatus);
    return MString();
}
MString MFnDependencyNode::classification(const MString& nodeTypeName) {
    NodeTypePtr t = NodeTypeRegistry::instance().find(nodeTypeName.str());
    return t ? MString(t->classification) : MString();
}

// --- MFnDagNode --------------------------------------------------------------------------------------------

MFnDagNode::MFnDagNode() = default;
MFnDagNode::MFnDagNode(MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(object));
}
MFnDagNode::MFnDagNode(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(object));
}
MFnDagNode::MFnDagNode(const MDagPath& path, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(path));
}
MFnDagNode::~MFnDagNode() = default;
MFn::Type MFnDagNode::type() const {
    return MFn::kDagNode;
}
const char* MFnDagNode::className() {
    return "MFnDagNode";
}

MStatus MFnDagNode::setObject(const MDagPath& path) {
    MStatus st = attach(path.node());
    path_ = st ? path : MDagPath();
    return st;
}
MStatus MFnDagNode::setObject(MObject& object) {
    return setObject(static_cast<const MObject&>(object));
}
MStatus MFnDagNode::setObject(const MObject& object) {
    path_ = MDagPath();
    return attach(object);
}

namespace {
Node* dagNode(const MObject& o, MStatus* st) {
    NodePtr n = nodeOf(o);
    bool ok = n && n->isDag();
    setStatus(st, ok ? MS::kSuccess : MS::kInvalidParameter);
    return ok ? n.get() : nullptr;
}
}  // namespace

MObject MFnDagNode::create(const MString& type, const MString& name, MObject& parent, MStatus* ReturnStatus) {
    Node* p = nullptr;
    if (!dagParentOf(parent, p)) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    std::string error;
    NodePtr transform;
    NodePtr n = createNodeOfType(type.str(), name.str(), p, &transform, &error);
    if (!n || !n->isDag()) {
        if (n) Scene::current().deleteNode(*n);
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    setObject(wrapNode(n));
    setStatus(ReturnStatus, MS::kSuccess);
    return transform ? wrapNode(transform) : object_;
}
MObject MFnDagNode::create(const MString& type, MObject& parent, MStatus* ReturnStatus) {
    return create(type, MString(), parent, ReturnStatus);
}
MObject MFnDagNode::create(const MTypeId& typeId, const MString& name, MObject& parent,
                           MStatus* ReturnStatus) {
    std::string t = typeNameOfId(typeId.id());
    if (t.empty()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    return create(MString(t), name, parent, ReturnStatus);
}
MObject MFnDagNode::create(const MTypeId& typeId, MObject& parent, MStatus* ReturnStatus) {
    return create(typeId, MString(), parent, ReturnStatus);
}

// Every DAG node has one parent; a top-level node's parent is the world.
unsigned int MFnDagNode::parentCount(MStatus* ReturnStatus) const {
    Node* n = dagNode(object_, ReturnStatus);
    return n && n->parent() ? 1 : 0;
}
MObject MFnDagNode::parent(unsigned int i, MStatus* ReturnStatus) const {
    Node* n = dagNode(object_, ReturnStatus);
    if (!n || i != 0 || !n->parent()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    return wrapNode(n->parent());
}

MStatus MFnDagNode::addChild(MObject& child, unsigned int, bool keepExistingParents) {
    Node* n = dagNode(object_, nullptr);
    NodePtr c = nodeOf(child);
    if (!n || !c || keepExistingParents) return MS::kInvalidParameter;
    return Scene::current().reparentNode(*c, n) ? MS::kSuccess : MS::kFailure;
}

// The child goes under the world.
MStatus MFnDagNode::removeChild(MObject& child) {
    Node* n = dagNode(object_, nullptr);
    NodePtr c = nodeOf(child);
    if (!n || !c || c->parent() != n) return MS::kInvalidParameter;
    return Scene::current().reparentNode(*c, nullptr) ? MS::kSuccess : MS::kFailure;
}

MStatus MFnDagNode::removeChildAt(unsigned int index) {
    Node* n = dagNode(object_, nullptr);
    if (!n || index >= n->children().size()) return MS::kInvalidParameter;
    MObject c = wrapNode(n->children()[index]);
    return removeChild(c);
}

unsigned int MFnDagNode::childCount(MStatus* ReturnStatus) const {
    Node* n = dagNode(object_, ReturnStatus);
    return n ? static_cast<unsigned int>(n->children().size()) : 0;
}
MObject MFnDagNode::child(unsigned int i, MStatus* ReturnStatus) const {
    Node* n = dagNode(object_, ReturnStatus);
    if (!n || i >= n->children().size()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    return wrapNode(n->children()[i]);
}

MObject MFnDagNode::dagRoot(MStatus* ReturnStatus) {
    Node* n = dagNode(object_, ReturnStatus);
    if (!n) return MObject();
    while (n->parent() && !n->parent()->isWorld()) n = n->parent();
    return wrapNode(n);
}

bool MFnDagNode::hasParent(const MObject& node, MStatus* ReturnStatus) const {
    Node* n = dagNode(object_, ReturnStatus);
    NodePtr p = nodeOf(node);
    return n && p && n->parent() == p.get();
}
bool MFnDagNode::hasChild(const MObject& node, MStatus* ReturnStatus) const {
    Node* n = dagNode(object_, ReturnStatus);
    NodePtr c = nodeOf(node);
    return n && c && c->parent() == n;
}
bool MFnDagNode::isChildOf(const MObject& node, MStatus* ReturnStatus) const {
    return hasParent(node, ReturnStatus);
}
bool MFnDagNode::isParentOf(const MObject& node, MStatus* ReturnStatus) const {
    return hasChild(node, ReturnStatus);
}
bool MFnDagNode::isInstanced(bool, MStatus* ReturnStatus) const {
    dagNode(object_, ReturnStatus);
    return false;
}

// Copies the node and everything below it (values and dynamic attributes, not connections) under the same
// parent, with names counted up ("pCube1" -> "pCube2"). A mesh gets its evaluated geometry as its own.
// Duplicating a shape duplicates its transform with it. Returns the new top node (the transform).
MObject MFnDagNode::duplicate(bool instance, bool, MStatus* ReturnStatus) const {
    Node* n = dagNode(object_, ReturnStatus);
    if (!n || instance) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    Scene& scene = n->scene();
    NodePtr dup;
    if (n->isShape()) {
        Node* xform = n->parent();
        NodePtr newXform = scene.createNode(xform->typeName(), duplicateName(xform->name()), xform->parent());
        if (!newXform) {
            setStatus(ReturnStatus, MS::kFailure);
            return MObject();
        }
        for (const AttrPtr& a : xform->attributes())
            if (AttrPtr t = newXform->findAttribute(a->longName()))
                copyStoredValues(scene, *xform, xform->plug(a), newXform->plug(t));
        duplicateTree(scene, *n, newXform.get());
        dup = newXform;
    } else {
        Node* parent = n->parent() && !n->parent()->isWorld() ? n->parent() : nullptr;
        dup = duplicateTree(scene, *n, parent);
    }
    setStatus(ReturnStatus, dup ? MS::kSuccess : MS::kFailure);
    return wrapNode(dup);
}

MStatus MFnDagNode::getPath(MDagPath& path) const {
    if (!path_.nodes().empty()) {
        path = path_;
        return MS::kSuccess;
    }
    Node* n = dagNode(object_, nullptr);
    if (!n) return MS::kInvalidParameter;
    path = pathTo(*n);
    return MS::kSuccess;
}

MStatus MFnDagNode::getAllPaths(MDagPathArray& paths) const {
    paths.clear();
    MDagPath p;
    MStatus st = getPath(p);
    if (st) paths.append(p);
    return st;
}

MDagPath MFnDagNode::dagPath(MStatus* ReturnStatus) const {
    MDagPath p;
    setStatus(ReturnStatus, getPath(p));
    return p;
}

MString MFnDagNode::fullPathName(MStatus* ReturnStatus) const {
    return dagPath(ReturnStatus).fullPathName();
}
MString MFnDagNode::partialPathName(MStatus* ReturnStatus) const {
    return dagPath(ReturnStatus).partialPathName();
}

MMatrix MFnDagNode::transformationMatrix(MStatus* ReturnStatus) const {
    Node* n = dagNode(object_, ReturnStatus);
    return n ? toMMatrix(n->localMatrix()) : MMatrix();
}

bool MFnDagNode::isIntermediateObject(MStatus* ReturnStatus) const {
    Node* n = dagNode(object_, ReturnStatus);
    return n && n->isIntermediate();
}

MStatus MFnDagNode::setIntermediateObject(bool isIntermediate) {
    Node* n = dagNode(object_, nullptr);
    if (!n) return MS::kInvalidParameter;
    Plug p = n->findPlug(attr::kIntermediateObject);
    if (p.isNull()) return MS::kFailure;
    return n->scene().setValue(p, Value(isIntermediate)) ? MS::kSuccess : MS::kFailure;
}

namespace {
// The node's bounds in its own object space: a mesh's points; a transform's children's bounds mapped by
// their local matrices.
MBoundingBox objectBounds(Node& n) {
    MBoundingBox box;
    if (n.type().hasFn(MFn::kMesh)) {
        if (MeshPtr m = n.scene().shapeMesh(n))
            for (const V3& p : m->points) box.expand(MPoint(p.x, p.y, p.z));
        return box;
    }
    for (Node* c : n.children()) {
        if (c->isIntermediate()) continue;
        MBoundingBox cb = objectBounds(*c);
        if (cb.isEmpty()) continue;
        cb.transformUsing(toMMatrix(c->localMatrix()));
        box.expand(cb);
    }
    return box;
}
}  // namespace

MBoundingBox MFnDagNode::boundingBox(MStatus* ReturnStatus) const {
    Node* n = dagNode(object_, ReturnStatus);
    return n ? objectBounds(*n) : MBoundingBox();
}
