// MPxNode and plug-in node types. registerPluginNodeType runs the type's initialize function once with a
// staging area that MPxNode::addAttribute / attributeAffects / inheritAttributesFrom fill, then registers a
// graph node type whose behaviour creates the plug-in's MPxNode object for each node.
#include "graph/api/PluginNodes.h"

#include <maya/MDataBlock.h>
#include <maya/MPlug.h>

#include "graph/api/ApiObject.h"
#include "graph/api/DataBlockState.h"
#include "graph/core/Scene.h"

namespace kxh {

namespace {

// What an initialize function declares.
struct TypeStaging {
    std::string parentName;
    std::vector<AttrPtr> attributes;
    std::vector<std::pair<AttrPtr, AttrPtr>> affects;
};

TypeStaging* staging = nullptr;

class PxBehavior : public NodeBehavior {
public:
    // `base` is the behaviour of the built-in type the plug-in type derives from (the DAG matrices of a
    // locator); it answers for the attributes the plug-in type inherits.
    PxBehavior(MPxNode* px, std::unique_ptr<NodeBehavior> base) : px_(px), base_(std::move(base)) {}
    ~PxBehavior() override { delete px_; }

    void postConstructor(Node& node) override {
        if (!px_) return;
        px_->setInternalNode(node.ptr());
        px_->postConstructor();
    }

    ComputeStatus compute(Node& node, const Plug& plug) override {
        // Inherited outputs are the host's to compute (a plug-in's compute that answers every plug, as
        // many do with setClean, must not leave worldMatrix stale).
        if (base_ && isInherited(node, plug)) {
            ComputeStatus st = base_->compute(node, plug);
            if (st != ComputeStatus::Unknown) return st;
        }
        if (!px_) return ComputeStatus::Unknown;
        auto block = std::make_shared<DataBlockState>();
        block->node = node.ptr();
        MDataBlock data(block);
        MStatus st = px_->compute(apiPlug(plug), data);
        block->commitAll();
        // Output handles point back at their block; dropping the block's list ends that cycle so the
        // compute's handles are freed with the last MDataHandle the plug-in kept.
        block->handles.clear();
        if (st == MS::kUnknownParameter) return ComputeStatus::Unknown;
        return st ? ComputeStatus::Done : ComputeStatus::Failed;
    }

    MPxNode* px() const { return px_; }

private:
    static bool isInherited(Node& node, const Plug& plug) {
        const NodeType* parent = node.type().parent();
        return parent && parent->hasAttribute(plug.attribute()->root());
    }

    MPxNode* px_;
    std::unique_ptr<NodeBehavior> base_;
};

// The behaviour of the nearest built-in ancestor type that has one.
std::unique_ptr<NodeBehavior> baseBehavior(const std::string& parentName) {
    for (const NodeType* t = NodeTypeRegistry::instance().find(parentName).get(); t; t = t->parent())
        if (t->factory) return t->factory();
    return nullptr;
}

// The attributes every node has, for MPxNode's static members.
void resolveBaseAttributes() {
    NodeTypePtr base = NodeTypeRegistry::instance().find("dependNode");
    if (!base) return;
    if (MPxNode::message.isNull()) MPxNode::message = wrapAttribute(base->findAttribute("message"));
    if (MPxNode::caching.isNull()) MPxNode::caching = wrapAttribute(base->findAttribute("caching"));
    if (MPxNode::state.isNull()) MPxNode::state = wrapAttribute(base->findAttribute("nodeState"));
    if (MPxNode::isHistoricallyInteresting.isNull())
        MPxNode::isHistoricallyInteresting = wrapAttribute(base->findAttribute("isHistoricallyInteresting"));
}

struct KindOfProxy {
    const char* parent;
    MFn::Type fn;
};

// The graph type a plug-in type of each MPxNode::Type derives from.
KindOfProxy kindOf(MPxNode::Type type) {
    switch (type) {
        case MPxNode::kLocatorNode:
            return {"locator", MFn::kPluginLocatorNode};
        case MPxNode::kTransformNode:
            return {"transform", MFn::kPluginTransformNode};
        case MPxNode::kSurfaceShape:
            return {"shape", MFn::kPluginShape};
        default:
            return {"dependNode", MFn::kPluginDependNode};
    }
}

}  // namespace

MPxNode* pxNodeOf(const Node& node) {
    auto* b = dynamic_cast<PxBehavior*>(node.behavior());
    return b ? b->px() : nullptr;
}

MStatus registerPluginNodeType(const MString& typeName, const MTypeId& typeId, MCreatorFunction creator,
                               MInitializeFunction initialize, MPxNode::Type type,
                               const MString* classification) {
    NodeTypeRegistry& registry = NodeTypeRegistry::instance();
    if (!creator || typeName.length() == 0 || staging) return MS::kInvalidParameter;
    if (registry.find(typeName.str()) || registry.findById(typeId.id())) return MS::kFailure;
    resolveBaseAttributes();
    resolveLocatorAttributes();

    KindOfProxy kind = kindOf(type);
    TypeStaging stage;
    stage.parentName = registry.find(kind.parent) ? kind.parent : "dependNode";
    if (initialize) {
        staging = &stage;
        MStatus st = initialize();
        staging = nullptr;
        if (!st) return st;
    }

    auto nodeType = std::make_shared<NodeType>(typeName.str(), typeId.id(), stage.parentName, int(kind.fn));
    nodeType->classification = classification ? classification->str() : std::string();
    nodeType->proxyKind = int(type);
    nodeType->isPlugin = true;
    const std::string parentName = stage.parentName;
    nodeType->factory = [creator, parentName]() -> std::unique_ptr<NodeBehavior> {
        return std::make_unique<PxBehavior>(static_cast<MPxNode*>(creator()), baseBehavior(parentName));
    };
    std::string error;
    if (!registry.add(nodeType, &error)) return MS::kFailure;
    for (const AttrPtr& a : stage.attributes) nodeType->addAttribute(a);
    for (const auto& af : stage.affects) nodeType->addAffects(af.first.get(), af.second.get());
    return MS::kSuccess;
}

std::vector<NodePtr> nodesOfPluginType(const MTypeId& typeId) {
    std::vector<NodePtr> found;
    for (const NodePtr& n : Scene::current().nodes())
        if (n->alive() && n->type().isPlugin && n->type().typeId() == typeId.id()) found.push_back(n);
    return found;
}

MStatus deregisterPluginNodeType(const MTypeId& typeId) {
    NodeTypeRegistry& registry = NodeTypeRegistry::instance();
    NodeTypePtr t = registry.findById(typeId.id());
    if (!t || !t->isPlugin) return MS::kFailure;
    if (!nodesOfPluginType(typeId).empty()) return MS::kFailure;
    return registry.removeById(typeId.id()) ? MS::kSuccess : MS::kFailure;
}

}  // namespace kxh

using namespace kxh;

MObject MPxNode::message;
MObject MPxNode::isHistoricallyInteresting;
MObject MPxNode::caching;
MObject MPxNode::state;

MPxNode::MPxNode() = default;
MPxNode::~MPxNode() = default;

void MPxNode::postConstructor() {}
MStatus MPxNode::compute(const MPlug&, MDataBlock&) {
    return MS::kUnknownParameter;
}
MStatus MPxNode::connectionMade(const MPlug&, const MPlug&, bool) {
    return MS::kUnknownParameter;
}
MStatus MPxNode::connectionBroken(const MPlug&, const MPlug&, bool) {
    return MS::kUnknownParameter;
}

MTypeId MPxNode::typeId() const {
    NodePtr n = node_.lock();
    return n ? MTypeId(n->type().typeId()) : MTypeId();
}
MString MPxNode::typeName() const {
    NodePtr n = node_.lock();
    return n ? MString(n->typeName()) : MString();
}
MString MPxNode::name() const {
    NodePtr n = node_.lock();
    return n ? MString(n->name()) : MString();
}
MPxNode::Type MPxNode::type() const {
    NodePtr n = node_.lock();
    return n && n->type().proxyKind >= 0 ? Type(n->type().proxyKind) : kDependNode;
}
bool MPxNode::isAbstractClass() const {
    return false;
}
MObject MPxNode::thisMObject() const {
    return wrapNode(node_.lock());
}

// Only inside a node type's initialize function. A child of a compound comes with its parent.
MStatus MPxNode::addAttribute(const MObject& attr) {
    AttrPtr a = attributeOf(attr);
    if (!staging) return MS::kFailure;
    if (!a) return MS::kInvalidParameter;
    if (a->parent()) {
        for (const AttrPtr& s : staging->attributes)
            if (s.get() == a->root()) return MS::kSuccess;
        return MS::kInvalidParameter;
    }
    if (a->attached()) return MS::kFailure;
    for (const AttrPtr& s : staging->attributes)
        if (s == a || s->hasName(a->longName()) || s->hasName(a->shortName())) return MS::kFailure;
    staging->attributes.push_back(a);
    return MS::kSuccess;
}

MStatus MPxNode::attributeAffects(const MObject& whenChanges, const MObject& isAffected) {
    AttrPtr from = attributeOf(whenChanges), to = attributeOf(isAffected);
    if (!staging) return MS::kFailure;
    if (!from || !to) return MS::kInvalidParameter;
    staging->affects.emplace_back(from, to);
    return MS::kSuccess;
}

MStatus MPxNode::inheritAttributesFrom(const MString& parentClassName) {
    if (!staging) return MS::kFailure;
    if (!NodeTypeRegistry::instance().find(parentClassName.str())) return MS::kInvalidParameter;
    staging->parentName = parentClassName.str();
    return MS::kSuccess;
}
