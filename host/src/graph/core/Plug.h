#pragma once
// A plug: one attribute on one node, with the logical indices of its array ancestors ("pnts[3].pntx").
//
// Plugs are light values (a node pointer, an attribute pointer and a few indices), compared by value. A
// plug whose attribute is an array and carries no index for it is the array plug ("pnts"); with an index
// it is an element ("pnts[3]"). Array elements are sparse: logical indices are the user's numbers, the
// physical index is the position among existing elements sorted by logical index. Elements exist once a
// value is set on them (or below them) or they take part in a connection.
//
// Reading a value evaluates: a connected destination reads its source (pulling upstream), a dirty computed
// plug runs its node's compute first. Writing goes through the scene (journal, dirty propagation).
#include <memory>
#include <string>
#include <vector>

#include "graph/core/Attribute.h"

namespace kxh {

class Node;
using NodePtr = std::shared_ptr<Node>;

class Plug {
public:
    Plug() = default;
    // The top-level (or, for a child attribute, the unindexed) plug of `attr` on `node`.
    Plug(NodePtr node, AttrPtr attr);
    Plug(NodePtr node, AttrPtr attr, std::vector<int> indices);

    bool isNull() const { return !node_ || !attr_; }
    Node* node() const { return node_.get(); }
    const NodePtr& nodePtr() const { return node_; }
    const Attribute* attribute() const { return attr_.get(); }
    const AttrPtr& attrPtr() const { return attr_; }
    // One entry per attribute of attribute()->chain(): the logical index for array attributes that carry
    // one, -1 otherwise.
    const std::vector<int>& indices() const { return indices_; }

    // --- shape ---------------------------------------------------------------------------------------
    bool isArray() const;     // the array plug itself (no index on the last attribute)
    bool isElement() const;   // an element of an array
    bool isCompound() const;  // a compound attribute's plug (element or not)
    bool isChild() const;     // the attribute has a compound parent
    // True when every array ancestor carries an index (plugs with values must be fully indexed).
    bool isFullyIndexed() const;
    int logicalIndex() const;  // for an element; -1 otherwise

    Plug parent() const;  // the compound parent plug of a child; null otherwise
    Plug array() const;   // the array plug of an element; null otherwise
    unsigned numChildren() const;
    Plug child(unsigned i) const;
    Plug child(const Attribute* childAttr) const;
    Plug elementByLogicalIndex(unsigned logical) const;    // does not create the element
    Plug elementByPhysicalIndex(unsigned physical) const;  // null when out of range
    unsigned numElements() const;                          // existing elements of an array plug
    std::vector<int> existingLogicalIndices() const;       // sorted
    // True when `other` is this plug or lies below it (a child or element, at any depth).
    bool contains(const Plug& other) const;
    // The plug at `other`'s relative position under `this`, given that `base.contains(other)`: maps a
    // sub-plug of `base` onto the corresponding sub-plug of this plug (used to follow compound and array
    // connections).
    Plug mapFrom(const Plug& base, const Plug& other) const;

    // "node.attr[3].child", long names by default; the node part uses the node's name.
    std::string name(bool longNames = true) const;
    std::string attributePath(bool longNames = true) const;  // without the node part

    // --- values (evaluating) ------------------------------------------------------------------------
    Value value() const;
    double asDouble() const { return value().asDouble(); }
    int asInt() const { return value().asInt(); }
    bool asBool() const { return value().asBool(); }
    std::string asString() const { return value().asString(); }
    MeshPtr asMesh() const { return value().asMesh(); }
    // Sets the value through the node's scene (recorded, dirties dependants). False when not writable,
    // connected as a destination, not fully indexed, or the value does not fit the attribute.
    bool setValue(const Value& v, std::string* error = nullptr) const;

    // --- connections --------------------------------------------------------------------------------
    bool isConnected() const;    // as source or destination, this plug itself
    bool isDestination() const;  // this plug has an incoming connection
    bool isSource() const;
    // Incoming source of this plug (null when none). Ancestors' connections are not reported here.
    Plug source() const;
    std::vector<Plug> destinations() const;
    // The plug that actually feeds this one: the source of this plug or of its nearest connected ancestor,
    // mapped down to this plug's position. Null when nothing feeds it.
    Plug effectiveSource() const;

    bool operator==(const Plug& o) const {
        return node_ == o.node_ && attr_ == o.attr_ && indices_ == o.indices_;
    }
    bool operator!=(const Plug& o) const { return !(*this == o); }
    bool operator<(const Plug& o) const;

private:
    NodePtr node_;
    AttrPtr attr_;
    std::vector<int> indices_;
};

}  // namespace kxh
