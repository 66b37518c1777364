#pragma once
// Node types: the registry of every type the scene can create, built-in and plug-in.
//
// A type has a name, a type id number, a parent type (attributes, affects and MFn kinds are inherited:
// "dependNode" <- "dagNode" <- "transform"), the MFn kind number of the host's MFn::Type, its static
// attributes, the attributeAffects table, a factory for per-node behaviour (compute and postConstructor
// hooks; the API layer plugs MPxNode subclasses in through it) and a classification string.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "graph/core/Attribute.h"

namespace kxh {

class Node;
class Plug;
class Scene;

// MFn::Type numbers used by the built-in types, as maya/detail/MFnTypeList.h numbers them (published
// values below 1000, kinds this host adds from 1000 on).
namespace fn {
constexpr int kInvalid = 0;
constexpr int kBase = 1;
constexpr int kDependencyNode = 4;
constexpr int kDagNode = 107;
constexpr int kTransform = 110;
constexpr int kShape = 1001;
constexpr int kCamera = 250;
constexpr int kLocator = 281;
constexpr int kMesh = 296;
constexpr int kPolyCube = 1014;
constexpr int kPolyPlane = 1015;
constexpr int kPolySphere = 1016;
constexpr int kPolyTweak = 395;
constexpr int kPluginDependNode = 452;
constexpr int kPluginLocatorNode = 453;
constexpr int kSet = 1006;
constexpr int kMeshData = 581;
constexpr int kPolyTweakUV = 701;
}  // namespace fn

enum class ComputeStatus {
    Done,     // the plug (and whatever else the node chose to set) now holds fresh values
    Unknown,  // the node does not compute this plug (MS::kUnknownParameter)
    Failed    // compute failed; the plug is marked clean with its previous value
};

// Per-node behaviour, made by the type's factory when a node is created. Built-in types implement their
// computations here; the API layer wraps an MPxNode in one.
class NodeBehavior {
public:
    virtual ~NodeBehavior() = default;
    // Called once after the node is created and named, with its static attributes in place.
    virtual void postConstructor(Node& node) { (void)node; }
    // Computes the output `plug` of `node`. Read inputs with Scene::evaluate / Node helpers (that pulls
    // upstream), write results with Node::setComputed (which marks them clean without propagating).
    virtual ComputeStatus compute(Node& node, const Plug& plug) {
        (void)node;
        (void)plug;
        return ComputeStatus::Unknown;
    }
    // Called when the node leaves the scene (deleted) and when it comes back (undo of the delete).
    virtual void removedFromScene(Node& node) { (void)node; }
    virtual void addedToScene(Node& node) { (void)node; }
};

using BehaviorFactory = std::function<std::unique_ptr<NodeBehavior>()>;

class NodeType {
public:
    NodeType(std::string name, unsigned typeId, std::string parentName, int fnKind);

    const std::string& name() const { return name_; }
    unsigned typeId() const { return typeId_; }
    const std::string& parentName() const { return parentName_; }
    const NodeType* parent() const { return parent_; }
    int fnKind() const { return fnKind_; }
    // MFn kinds of this type and its ancestors, most derived first.
    std::vector<int> fnKinds() const;
    bool hasFn(int kind) const;
    // True when this type is `typeName` or derives from it.
    bool isA(const std::string& typeName) const;
    bool isDag() const { return isA("dagNode"); }
    bool isTransform() const { return isA("transform"); }
    bool isShape() const { return isDag() && !isTransform(); }

    // Static attributes: this type's own (in the order added) and all, inherited first.
    void addAttribute(AttrPtr attr);  // marks it attached; top-level attributes only
    const std::vector<AttrPtr>& ownAttributes() const { return attrs_; }
    std::vector<AttrPtr> attributes() const;
    // Finds a static attribute (top-level or any descendant) by long or short name.
    AttrPtr findAttribute(const std::string& name) const;
    bool hasAttribute(const Attribute* attr) const;

    // attributeAffects: a change of `from` (or of any of its descendants) dirties `to` (and its
    // descendants). Inherited entries apply too.
    void addAffects(const Attribute* from, const Attribute* to);
    void addAffects(const std::string& from, const std::string& to);  // by name, resolved now
    // Attributes directly affected by `attr` itself (not by its ancestors).
    std::vector<const Attribute*> affectedBy(const Attribute* attr) const;
    // True when `attr` affects anything (an input of some computation of the type).
    bool affectsAnything(const Attribute* attr) const;
    // True when something affects `attr` (it is computed).
    bool isAffected(const Attribute* attr) const;
    // Declares `attr` computed even though no attribute of the node affects it (DAG matrices, which
    // depend on the parent chain).
    void markComputed(const Attribute* attr) { affected_[attr] = true; }

    BehaviorFactory factory;  // may be empty: the node has the default (no compute) behaviour
    std::string classification;
    std::string defaultName;  // base of generated names ("polySurfaceShape" for mesh); type name if empty
    int proxyKind = -1;  // MPxNode::Type of plug-in types (kDependNode 0, kLocatorNode 1, ...), -1 built-in
    bool isPlugin = false;

    void setParent(const NodeType* p) { parent_ = p; }

private:
    std::string name_;
    unsigned typeId_;
    std::string parentName_;
    const NodeType* parent_ = nullptr;
    int fnKind_;
    std::vector<AttrPtr> attrs_;
    std::multimap<const Attribute*, const Attribute*> affects_;
    std::map<const Attribute*, bool> affected_;
};

using NodeTypePtr = std::shared_ptr<NodeType>;

// The process-wide registry of node types. The built-in types are registered on first use of instance().
class NodeTypeRegistry {
public:
    static NodeTypeRegistry& instance();

    // Registers a type; fails (returns false, message in *error) when the name or id is taken or the
    // parent type is unknown.
    bool add(NodeTypePtr type, std::string* error = nullptr);
    // Removes a type by name or id; existing nodes keep their type object.
    bool remove(const std::string& name);
    bool removeById(unsigned typeId);
    NodeTypePtr find(const std::string& name) const;
    NodeTypePtr findById(unsigned typeId) const;
    std::vector<NodeTypePtr> all() const;

private:
    NodeTypeRegistry();
    std::vector<NodeTypePtr> types_;
};

// Registers the built-in types into a registry (called by NodeTypeRegistry's constructor).
void registerBuiltinTypes(NodeTypeRegistry& registry);
// The history nodes of the live polygon edits (polyExtrudeFace); registerBuiltinTypes calls it.
void registerPolyModifierTypes(NodeTypeRegistry& registry);

// Attribute names of the built-in types, as the host spells them, for code that looks them up often.
namespace attr {
inline constexpr const char* kMessage = "message";
inline constexpr const char* kInMesh = "inMesh";
inline constexpr const char* kOutMesh = "outMesh";
inline constexpr const char* kWorldMesh = "worldMesh";
inline constexpr const char* kPnts = "pnts";
inline constexpr const char* kCachedInMesh = "cachedInMesh";  // a shape's own geometry (internal)
inline constexpr const char* kMeshEdits = "kxhMeshEdits";     // non-point edits over history (internal)
inline constexpr const char* kIntermediateObject = "intermediateObject";
inline constexpr const char* kVisibility = "visibility";
inline constexpr const char* kMatrix = "matrix";
inline constexpr const char* kWorldMatrix = "worldMatrix";
inline constexpr const char* kParentMatrix = "parentMatrix";
inline constexpr const char* kInputPolymesh = "inputPolymesh";
inline constexpr const char* kOutput = "output";
inline constexpr const char* kTweak = "tweak";
}  // namespace attr

}  // namespace kxh
