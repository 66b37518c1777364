#pragma once
// What the component commands (delete on components, polyDelEdge, polyCollapseEdge, polySubdivideEdge,
// polyConnectComponents) share: the components they act on, grouped per mesh shape, from the names on
// the command line or else the active selection; and the one write of every changed mesh.
#include <string>
#include <vector>

#include "graph/core/Scene.h"
#include "mel/Command.h"

namespace kxh::opscmd {

// The components of one mesh shape an operation acts on.
struct ComponentTarget {
    Node* shape = nullptr;
    MeshPtr before;  // the shape's evaluated mesh
    MeshPtr after;   // the edited copy, set by the command when the mesh changes
    bool whole = false;
    std::vector<int> vertices, edges, faces;
    bool hasComponents() const { return !vertices.empty() || !edges.empty() || !faces.empty(); }
};

// Groups items per mesh shape (whole objects set `whole`). Items on nodes without a mesh are skipped, or
// fail with "<command>: <name> is not a polygon mesh." when `strict`.
bool groupByMesh(const std::string& command, const std::vector<SelectionItem>& items, bool strict,
                 std::vector<ComponentTarget>& out, std::string& error);

// The items named on the command line (an unknown name or a component out of range fails with "No object
// matches name: <name>"), or the active selection's when none are named; grouped by groupByMesh.
bool gatherTargets(const std::string& command, const std::vector<mel::Value>& objects,
                   std::vector<ComponentTarget>& out, std::string& error);

// Writes every target that has an `after` mesh into its shape and drops the component items of those
// shapes from the active selection (their ids no longer name the same components). Call inside a
// journal recording; false with `error` set when a write fails.
bool writeTargets(const std::vector<ComponentTarget>& targets, std::string& error);

// Puts a modifier node (inputPolymesh -> output) in front of a mesh shape: the node's input takes the
// shape's upstream plug when the shape has history and no tweaks or edits of its own, else (after folding
// those in) a copy of the shape's mesh; its output feeds the shape's inMesh. Recorded.
bool insertModifier(Node& shape, Node& node, std::string& error);

// A kernel result must still be a valid manifold mesh; false with "<command>: <reason>" otherwise.
bool checkResult(const std::string& command, const Mesh& mesh, std::string& error);

}  // namespace kxh::opscmd
