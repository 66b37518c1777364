#pragma once
// What the built-in scene commands share beyond flag parsing and undo (mel::parseArgs, and mel::undoable
// over the scene's journal): resolution of names to nodes, plugs and component items, and the printing
// of nodes and selection items as the host lists them.
#include <string>
#include <vector>

#include "cmds/scene/ComponentName.h"
#include "graph/core/Scene.h"
#include "mel/Command.h"

namespace kxh::scenecmd {

// The scene the commands act on.
inline Scene& scene() {
    return Scene::current();
}

// --- names -------------------------------------------------------------------------------------------
bool hasWildcard(const std::string& s);
// One node by name or path; sets "No object matches name: <name>" when none.
NodePtr findNode(const std::string& name, std::string& error);
// Every node a name or pattern stands for (empty when none).
std::vector<NodePtr> findNodes(const std::string& nameOrPattern);
// The mesh shape a name stands for: the shape itself, or a transform's non-intermediate mesh shape.
Node* meshShapeOf(Node& node);

// A new transform named `wanted` (or the scene's next free name for it), with an empty mesh shape under it
// named after the transform (Scene::shapeNameFor). Returns the shape and sets `xform`; null with `error` set
// when either node cannot be made.
NodePtr createMeshTransform(const std::string& wanted, NodePtr& xform, std::string& error);
// Makes `node` the whole active selection, as a command that creates a node leaves it.
void selectOnly(const NodePtr& node);

// The name a node is listed by: its (unique) name, or its full path when longNames.
std::string nodeName(const Node& node, bool longNames);
// The object name components are listed on: the shape's transform when it is that transform's shape,
// otherwise the shape itself; full paths of the shape when longNames.
std::string componentOwnerName(const Node& shape, bool longNames);

// Number of components of a kind on a mesh shape (0 without geometry).
int componentCount(Node& shape, ComponentKind kind);

// Resolves object names, patterns and component names ("pCube1.vtx[1:4]", "|a|b.f[*]") into selection
// items, in the order written. Fails with "No object matches name: <name>" on the first name that matches
// nothing (or names only components out of range).
bool resolveItems(const std::vector<std::string>& names, std::vector<SelectionItem>& out, std::string& error);

// The strings a selection lists as: objects by name (full path with longNames), components per item as
// merged ranges, or one per id when flatten.
std::vector<std::string> itemStrings(const SelectionItem& item, bool longNames, bool flatten);
std::vector<std::string> selectionStrings(const SelectionList& list, bool longNames, bool flatten);

// The items named on the command line from objects[first] on (objects, patterns, components), or the
// active selection's items when none are named. Fails as resolveItems does.
bool itemsOrSelection(const std::vector<mel::Value>& objects, std::vector<SelectionItem>& out,
                      std::string& error, size_t first = 0);

// Objects named on the command line, or the active selection's objects (component items stand for their
// shapes) when none are named. Unique, in order.
bool objectsOrSelection(const std::vector<mel::Value>& objects, std::vector<NodePtr>& out, std::string& error,
                        bool required = true);

// --- plugs -------------------------------------------------------------------------------------------
// "node.attr", "node.attr[3]", "node.attr[3].child", "node.tx" into a plug. Errors in the host's words:
// "No object matches name: node.attr".
bool resolvePlug(const std::string& text, Plug& out, std::string& error);

// --- units -------------------------------------------------------------------------------------------
// Factor from the UI linear unit to centimetres (1 for cm, 0.1 for mm, 2.54 for in ...).
double uiToCm();
// Factor from the UI angle unit to radians.
double uiToRadians();

}  // namespace kxh::scenecmd

namespace kxh::scenecmd {

// --- transforms --------------------------------------------------------------------------------------
struct Trs {
    V3 translate, rotate{0, 0, 0}, scale{1, 1, 1};  // centimetres, radians (xyz order)
};
// Splits a matrix without shear into translate, xyz Euler rotation and scale.
Trs decompose(const Matrix44& m);
// Sets a transform's translate, rotate (xyz order) and scale so that its local matrix becomes `m`
// (pivots are left as they are). Recorded.
bool setLocalMatrix(Node& xform, const Matrix44& m, std::string& error);
// Sets a numeric compound (translate ...) from three numbers; recorded.
bool setDouble3(Node& node, const char* attrName, const V3& v, std::string& error);
V3 getDouble3(Node& node, const char* attrName);

}  // namespace kxh::scenecmd
