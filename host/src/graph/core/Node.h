#pragma once
// A node of the dependency graph: its type, its name, its plug values, its connections, and (for DAG
// nodes) its parent and children.
//
// Nodes are owned by shared pointers: the scene holds every live node, the undo journal holds deleted
// ones so that undo brings back the very same object, and API handles may hold them too. alive() tells
// whether the node is in its scene right now; handles and paths to a node that is not alive are invalid.
//
// Everything that changes a node goes through its Scene (naming, journal, callbacks, dirty propagation);
// the accessors here only read, except setComputed, which compute hooks use to deliver results.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "graph/core/NodeType.h"
#include "graph/core/Plug.h"

namespace kxh {

class Scene;
std::vector<std::string> validateScene(const Scene& scene);
std::string dumpScene(const Scene& scene);

// Storage of one plug instance and everything below it.
struct PlugSlot {
    Value value;                                    // leaf value (meaningful when hasValue)
    bool hasValue = false;                          // false: the attribute's default applies
    bool dirty = true;                              // computed plugs: true until compute delivers a value
    std::map<const Attribute*, PlugSlot> children;  // compound children
    std::map<int, PlugSlot> elements;               // array elements by logical index
    bool operator==(const PlugSlot& o) const;
};

// One connection, stored on both nodes.
struct Connection {
    Plug src, dst;
    bool operator==(const Connection& o) const { return src == o.src && dst == o.dst; }
};

class Node : public std::enable_shared_from_this<Node> {
public:
    Node(Scene& scene, NodeTypePtr type, uint64_t serial);
    ~Node();
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    Scene& scene() const { return *scene_; }
    const NodeType& type() const { return *type_; }
    const NodeTypePtr& typePtr() const { return type_; }
    const std::string& typeName() const { return type_->name(); }
    const std::string& name() const { return name_; }
    bool alive() const { return alive_; }
    // Creation order number, unique in the scene; scene iteration follows it.
    uint64_t serial() const { return serial_; }
    bool isDag() const { return type_->isDag(); }
    bool isTransform() const { return type_->isTransform(); }
    bool isShape() const { return type_->isShape(); }
    bool isWorld() const { return isWorld_; }
    NodeBehavior* behavior() const { return behavior_.get(); }
    NodePtr ptr() { return shared_from_this(); }

    // --- attributes ----------------------------------------------------------------------------------
    // Static attributes first, then dynamic ones in the order added; top-level only.
    std::vector<AttrPtr> attributes() const;
    const std::vector<AttrPtr>& dynamicAttributes() const { return dynamic_; }
    // By long or short name, top-level or child ("pntx"); static before dynamic.
    AttrPtr findAttribute(const std::string& name) const;
    bool hasAttribute(const Attribute* attr) const;  // static or dynamic, at any depth
    bool isDynamic(const Attribute* attr) const;
    // Plug of a top-level attribute by name, or a plug path such as "pnts[3].pntx" or "worldMatrix[0]".
    // Null when the name does not resolve.
    Plug findPlug(const std::string& path) const;
    Plug plug(const AttrPtr& attr) const { return Plug(const_cast<Node*>(this)->ptr(), attr); }

    // Affects within this node (the type's table).
    std::vector<const Attribute*> affectedBy(const Attribute* attr) const;
    bool isComputed(const Attribute* attr) const;

    // --- stored values (no evaluation) --------------------------------------------------------------
    // The slot of a fully indexed plug; null when nothing is stored there.
    const PlugSlot* slot(const Plug& p) const;
    // Whether an element exists (has a slot or takes part in a connection).
    std::vector<int> elementIndices(const Plug& arrayPlug) const;
    // The value stored in a leaf or numeric-compound plug, or the default when unset. No evaluation.
    Value storedValue(const Plug& p) const;
    // For compute hooks: stores `v` in the output plug `p` and marks it clean, without dirtying anything
    // and without recording. A numeric compound takes a tuple.
    void setComputed(const Plug& p, const Value& v);
    // For compute hooks: marks `p` clean keeping its current value (MDataBlock::setClean).
    void setClean(const Plug& p);
    bool isDirty(const Plug& p) const;

    // --- connections -------------------------------------------------------------------------------
    const std::vector<Connection>& inputs() const { return inputs_; }    // this node is the destination
    const std::vector<Connection>& outputs() const { return outputs_; }  // this node is the source

    // --- DAG -------------------------------------------------------------------------------------
    Node* parent() const { return parent_; }  // null for the world and for DG nodes
    const std::vector<Node*>& children() const { return children_; }
    // "|a|b" for DAG nodes ("" for the world); the node name for DG nodes.
    std::string fullPathName() const;
    // The shortest name that resolves uniquely; names are unique per scene, so this is the node's name.
    std::string partialPathName() const;
    bool isIntermediate() const;  // intermediateObject is on
    // Local matrix (a transform's TRS matrix, identity for other nodes), and world matrices.
    Matrix44 localMatrix() const;
    Matrix44 inclusiveMatrix() const;  // local * parent chain: object space -> world
    Matrix44 exclusiveMatrix() const;  // parent chain only
    // The first non-intermediate shape child of a transform (or this node when it is a shape), else null.
    Node* shape() const;

    // --- misc --------------------------------------------------------------------------------------
    bool doNotWrite = false;  // skipped by scene save
    bool locked = false;      // lockNode: refuses delete and rename

private:
    friend class Scene;
    friend std::vector<std::string> validateScene(const Scene& scene);
    friend std::string dumpScene(const Scene& scene);
    PlugSlot* slotFor(const Plug& p, bool create);
    PlugSlot* topSlot(const Attribute* root, bool create);

    Scene* scene_;
    NodeTypePtr type_;
    uint64_t serial_;
    std::string name_;
    bool alive_ = false;
    bool isWorld_ = false;
    std::unique_ptr<NodeBehavior> behavior_;
    std::vector<AttrPtr> dynamic_;
    std::map<const Attribute*, PlugSlot> slots_;
    std::vector<Connection> inputs_, outputs_;
    Node* parent_ = nullptr;
    std::vector<Node*> children_;
};

}  // namespace kxh
