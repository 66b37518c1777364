#pragma once
// The scene: every node, unique names, the DAG under the world root, connections, evaluation, the undo
// journal, construction history and the active and hilite selections.
//
// Every mutation goes through the scene. While a recording is active (beginRecording ... endRecording)
// each mutation also records its inverse; the entry returned by endRecording undoes and redoes them all in
// order. Mutations made with no recording active are not recorded (API edits outside commands). Undo of a
// delete brings the same node objects back under the same names; redo of a create does the same.
//
// Failures return false (or a null result) and, when an error string is given, a message in the host's
// own words; nothing throws.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "foundation/Undo.h"
#include "graph/core/Node.h"
#include "graph/core/Selection.h"

namespace kxh {

struct MeshDataChange;  // ScenePoints.h

using GraphCallbackId = uint64_t;

class Scene : public UndoJournal {
public:
    Scene();
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // The host's one scene (the API and commands use it). Tests may make their own scenes.
    static Scene& current();
    // Replaces the scene current() returns (null restores the default one).
    static void setCurrent(Scene* scene);
    // Empties the scene: deletes every node except the world, clears selections, drops recordings.
    // Not recorded. Destroyed callbacks fire; added/removed callbacks stay registered.
    void reset();

    // --- nodes ---------------------------------------------------------------------------------------
    const NodePtr& world() const { return world_; }
    // Creates a node of a registered type. `name` may be empty (the type's default name + number), may
    // contain '#' (replaced by the first free number) or be taken (made unique). DAG nodes go under
    // `parent` (the world when null); a shape needs a transform parent, which the caller provides (the
    // API's MDagModifier makes one). Returns null with a message for an unknown type or a bad parent.
    NodePtr createNode(const std::string& typeName, const std::string& name = "", Node* parent = nullptr,
                       std::string* error = nullptr);
    // Deletes a node: its DAG children first, then its connections; a transform left without children by
    // the deletion of its last child is deleted as well. The world cannot be deleted.
    bool deleteNode(Node& node, std::string* error = nullptr);
    // Deletes several nodes as one operation (nodes already gone through an earlier cascade are skipped).
    bool deleteNodes(const std::vector<NodePtr>& nodes, std::string* error = nullptr);
    // Renames; returns the name actually given (the exact name when free, else made unique as in
    // createNode). An empty name or an illegal one fails and returns "".
    std::string renameNode(Node& node, const std::string& newName, std::string* error = nullptr);
    // Re-parents a DAG node (null parent = world). Fails for cycles and for DG nodes.
    bool reparentNode(Node& node, Node* newParent, std::string* error = nullptr);

    // Lookup: a node name, a full path "|a|b" or a partial path "a|b" (the rightmost names must match the
    // end of the node's path). Null when nothing or several nodes match.
    NodePtr find(const std::string& nameOrPath) const;
    // Every node matching a pattern with '*' and '?' wildcards on names.
    std::vector<NodePtr> match(const std::string& pattern) const;
    bool nameTaken(const std::string& name) const { return byName_.count(name) != 0; }
    // Live nodes in creation order (the world excluded).
    std::vector<NodePtr> nodes() const;
    // Nodes of a type, including derived types unless exact.
    std::vector<NodePtr> nodesOfType(const std::string& typeName, bool exact = false) const;
    std::vector<NodePtr> nodesWithFn(int fnKind) const;
    size_t nodeCount() const { return nodes_.size(); }
    // The name createNode/renameNode would give for `wanted` right now.
    std::string uniqueName(const std::string& wanted) const;
    // "pCube1" -> "pCubeShape1", "box" -> "boxShape": a shape is named after its transform, with "Shape"
    // before the transform name's trailing digits.
    static std::string shapeNameFor(const std::string& transformName);

    // --- attributes ----------------------------------------------------------------------------------
    // Adds a dynamic attribute (top-level, unattached, name not used on the node). Recorded.
    bool addAttribute(Node& node, AttrPtr attr, std::string* error = nullptr);
    // Removes a dynamic attribute with its connections and values. Recorded (undo restores both).
    bool removeAttribute(Node& node, const Attribute* attr, std::string* error = nullptr);

    // --- values -------------------------------------------------------------------------------------
    // Sets a plug: a number for numeric leaves, a tuple for numeric compounds (and for a compound array
    // element), a data object for typed/generic/matrix attributes, a string as StringData. Records the
    // previous stored value, dirties dependants, fires dirty callbacks on the node. Fails when the plug is
    // a connected destination (or lies under one), not writable (unless `force`), not fully indexed, or
    // the value does not fit.
    bool setValue(const Plug& plug, const Value& v, std::string* error = nullptr, bool force = false);
    // Evaluates a plug (see Plug::value).
    Value evaluate(const Plug& plug);
    // Removes an array element with its value and connections (removeMultiInstance). Recorded.
    bool removeElement(const Plug& element, std::string* error = nullptr);

    // --- connections -------------------------------------------------------------------------------
    // Connects src -> dst. One source per destination: an existing source fails unless `force`, which
    // replaces it. Compound plugs connect as a whole (their children follow); array elements are made to
    // exist. A message source may feed any attribute; the destination then keeps its own value.
    bool connect(const Plug& src, const Plug& dst, std::string* error = nullptr, bool force = false);
    bool disconnect(const Plug& src, const Plug& dst, std::string* error = nullptr);
    // Disconnects everything at this plug and below it (both directions).
    void disconnectAll(const Plug& plug);
    std::vector<Connection> connections(const Node& node) const;  // inputs then outputs
    // Sources of a plug (at most one) and destinations; include sub-plugs when `below`.
    std::vector<Connection> connectionsAt(const Plug& plug, bool asDst, bool asSrc, bool below = false) const;

    // --- dirty propagation ----------------------------------------------------------------------------
    // Marks `plug` changed: computed plugs it affects on its node and everything downstream through
    // connections become dirty, and the dirty callbacks of every touched node fire.
    void propagateDirty(const Plug& plug);

    // --- mesh shapes -------------------------------------------------------------------------------
    // The evaluated geometry of a mesh shape (outMesh). Null when the shape has no geometry.
    MeshPtr shapeMesh(Node& shape);
    // True when the shape's inMesh is connected (it has construction history).
    bool hasHistory(const Node& shape) const;
    // Writes a shape's geometry so that its outMesh becomes `mesh`:
    //  - no history: the mesh becomes the shape's own geometry and pnts tweaks are cleared;
    //  - history, same topology: point differences go to pnts, other data (UVs, colours, creases, normals)
    //    to the shape's edit layer that is applied over the evaluated input;
    //  - history, other topology: history is baked first, then as without history.
    // Recorded. The mesh is taken over (do not change it afterwards).
    bool setShapeMesh(Node& shape, MeshPtr mesh, std::string* error = nullptr);
    // Points only (object space), with the same rules; the count must match the vertex count.
    bool setShapePoints(Node& shape, const std::vector<V3>& points, std::string* error = nullptr);
    // A change of a shape's own UVs, colours or locked normals (see ScenePoints.h) applied in place: the
    // shape's mesh is copied only when something else holds it, the shape is dirtied once and the undo
    // record keeps the change itself. False (nothing done) on a shape with history, whose such data lives
    // in its edit layer: the caller then writes the whole mesh.
    bool changeShapeMeshData(Node& shape, std::shared_ptr<MeshDataChange> change);

    // --- history -----------------------------------------------------------------------------------
    // Upstream nodes of `node` along connections into attributes that feed computations (listHistory),
    // nearest first; the node itself first. pruneDagObjects drops DAG nodes from the result.
    std::vector<NodePtr> history(Node& node, bool pruneDagObjects = false);
    // delete -ch: the shape's evaluated geometry (pnts folded in) becomes its own, inMesh is disconnected,
    // pnts cleared, and upstream nodes that no longer feed anything (intermediate shapes included) are
    // deleted. Recorded. No-op (true) on a shape without history and tweaks.
    bool bakeHistory(Node& shape, std::string* error = nullptr);

    // --- selections -------------------------------------------------------------------------------------
    const SelectionList& activeSelection() const { return active_; }
    const SelectionList& hiliteList() const { return hilite_; }
    // Recorded; fire the selection-changed callbacks.
    void setActiveSelection(const SelectionList& list, ListAdjust adjust = ListAdjust::Replace);
    void setHiliteList(const SelectionList& list, ListAdjust adjust = ListAdjust::Replace);

    // --- journal ---------------------------------------------------------------------------------------
    // Starts recording (nestable). Every op recorded while nested also belongs to the enclosing recordings.
    void beginRecording() override;
    // Ends the innermost recording and returns an entry that undoes/redoes what it recorded (null when it
    // recorded nothing). When an outer recording is still active its ops stay in the outer one as well, so
    // a caller inside another recording normally discards the returned entry.
    std::unique_ptr<UndoEntry> endRecording(const std::string& description = "") override;
    // Undoes what the innermost recording recorded so far and ends it (a failed command).
    void rollback() override;
    bool isRecording() const override { return !recordings_.empty(); }
    int recordingDepth() const { return int(recordings_.size()); }
    // True while a journal entry is undoing or redoing (mutations are not recorded then).
    bool replaying() const { return replaying_ > 0; }
    // Records an arbitrary reversible step (for layers above that keep state outside the graph).
    void recordCustom(std::function<void()> undo, std::function<void()> redo);

    // --- callbacks ---------------------------------------------------------------------------------------
    using NodeCallback = std::function<void(Node&)>;
    using PlugCallback = std::function<void(Node&, const Plug&)>;
    using BasicCallback = std::function<void()>;
    GraphCallbackId addNodeAddedCallback(NodeCallback cb);    // after a node enters the scene
    GraphCallbackId addNodeRemovedCallback(NodeCallback cb);  // before a node leaves the scene
    // Fires when this node is deleted from the scene (delete, undo of its creation).
    GraphCallbackId addNodeDestroyedCallback(Node& node, BasicCallback cb);
    // Fires for each plug of this node that is set or becomes dirty.
    GraphCallbackId addDirtyPlugCallback(Node& node, PlugCallback cb);
    // Fires after a plug of the node is set (attribute changed).
    GraphCallbackId addAttributeChangedCallback(Node& node, PlugCallback cb);
    GraphCallbackId addSelectionChangedCallback(BasicCallback cb);
    bool removeCallback(GraphCallbackId id);
    // Ids of callbacks attached to a node.
    std::vector<GraphCallbackId> nodeCallbacks(const Node& node) const;

private:
    friend class Node;
    friend class Plug;
    friend struct SceneOps;
    enum CallbackKind { kAdded = 0, kRemoved, kDestroyed, kDirty, kAttrChanged, kSelection };
    struct Recording;
    struct Callback;
    // A new callback of a kind (on `node` when given), registered with the next id.
    Callback& newCallback(CallbackKind kind, Node* node = nullptr);
    struct DirtyPass;

    NodePtr makeNode(const NodeTypePtr& type, bool world);
    void insertNode(const NodePtr& node, Node* parent, const std::string& name);  // unrecorded
    void detachNode(const NodePtr& node);                                         // unrecorded
    // Drops items of nodes no longer alive from the active and hilite lists.
    void pruneSelections();
    void deleteOne(Node& node);
    void setParentRaw(Node& node, Node* parent, int position = -1);
    void connectRaw(const Connection& c);
    void disconnectRaw(const Connection& c);
    void record(std::function<void()> undo, std::function<void()> redo);
    void fireNodeCallbacks(int kind, Node& node);
    void firePlugCallbacks(int kind, Node& node, const Plug& plug);
    void markDirty(DirtyPass& pass, const Plug& plug, bool changedHere);
    void dirtyDagBelow(DirtyPass& pass, Node& node);
    Value evaluateLocal(const Plug& plug);
    void setSlotRaw(const Plug& plug, const std::optional<PlugSlot>& slot);
    std::optional<PlugSlot> copySlot(const Plug& plug) const;

    NodePtr world_;
    std::map<uint64_t, NodePtr> nodes_;  // live nodes by creation serial
    std::unordered_map<std::string, Node*> byName_;
    uint64_t nextSerial_ = 1;
    SelectionList active_, hilite_;
    std::vector<std::unique_ptr<Recording>> recordings_;
    int replaying_ = 0;
    std::vector<std::unique_ptr<Callback>> callbacks_;
    GraphCallbackId nextCallbackId_ = 1;
    int evaluating_ = 0;
};

// Checks the scene's invariants; returns one line per problem (empty when sound): unique names matching
// the name index, parent/child links consistent both ways, connections stored on both ends and pointing
// at live nodes and existing attributes, one source per destination, selection items alive, and every
// stored mesh valid.
std::vector<std::string> validateScene(const Scene& scene);

// A full text dump of the scene (nodes in creation order with type, name, parent, dynamic attributes,
// every stored value and connection; the selections), for comparing states before and after undo.
std::string dumpScene(const Scene& scene);

}  // namespace kxh
