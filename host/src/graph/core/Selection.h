#pragma once
// Selection lists as the host keeps them: an ordered list of items, each a node (a DAG node stands for
// its path; there is no instancing) with an optional mesh component (vertex, edge, face or uv ids).
//
// Component ids of one (node, kind) pair live in a single item, kept sorted and unique; a vertex item and
// an edge item of the same mesh are separate items, in the order they were first added. A whole-object
// item and a component item of the same node are separate items too.
#include <memory>
#include <string>
#include <vector>

#include "graph/core/Value.h"

namespace kxh {

class Node;
using NodePtr = std::shared_ptr<Node>;

struct SelectionItem {
    NodePtr node;
    ComponentKind kind = ComponentKind::None;  // None: the whole object
    std::vector<int> ids;                      // sorted, unique; empty for whole objects
    bool hasComponents() const { return kind != ComponentKind::None; }
    bool operator==(const SelectionItem& o) const { return node == o.node && kind == o.kind && ids == o.ids; }
};

// The host's list adjustments (MGlobal::ListAdjustment).
enum class ListAdjust { Replace = 0, Toggle = 1, Add = 2, Remove = 3, AddToHead = 4 };

class SelectionList {
public:
    bool empty() const { return items_.empty(); }
    size_t size() const { return items_.size(); }
    const std::vector<SelectionItem>& items() const { return items_; }
    const SelectionItem& operator[](size_t i) const { return items_[i]; }
    void clear() { items_.clear(); }

    // Adds an item, merging component ids into the existing (node, kind) item; a whole-object item that is
    // already present is not repeated. atHead puts a new item first.
    void add(const SelectionItem& item, bool atHead = false);
    void add(const NodePtr& node) { add(SelectionItem{node, ComponentKind::None, {}}); }
    void add(const NodePtr& node, ComponentKind kind, const std::vector<int>& ids);
    // Removes the ids (or the whole-object item); an item left without ids is dropped.
    void remove(const SelectionItem& item);
    // Exclusive or: ids present are removed, absent ones added.
    void toggle(const SelectionItem& item);
    void removeAt(size_t i);

    // Applies every item of `other` with the adjustment (Replace: this becomes a copy of other).
    void merge(const SelectionList& other, ListAdjust adjust);

    // Whether the exact item is contained (every id of a component item; the whole-object item).
    bool has(const SelectionItem& item) const;
    // Whether any part of the item is contained (any id; or anything of the node for a whole object).
    bool hasPartly(const SelectionItem& item) const;
    // Drops items whose node is no longer alive.
    void prune();

    bool operator==(const SelectionList& o) const { return items_ == o.items_; }
    // "pCube1", "pCubeShape1.vtx[3:7]" ... one string per contiguous run of ids.
    std::vector<std::string> strings() const;

private:
    int find(const NodePtr& node, ComponentKind kind) const;
    std::vector<SelectionItem> items_;
};

// Sorted-unique merges of id lists.
std::vector<int> idsUnion(const std::vector<int>& a, const std::vector<int>& b);
std::vector<int> idsDifference(const std::vector<int>& a, const std::vector<int>& b);
std::vector<int> idsSymmetricDifference(const std::vector<int>& a, const std::vector<int>& b);
std::vector<int> idsNormalize(std::vector<int> ids);  // sort and unique

}  // namespace kxh
