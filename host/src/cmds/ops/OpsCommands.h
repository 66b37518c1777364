#pragma once
// The host's polygon construction commands: polyCreateFacet (a new mesh of one face), polyAppendVertex
// (one more face on a mesh, from existing vertices and new points) and polyMergeVertex (welding vertices
// by distance). They edit the shape's geometry directly through the scene, inside one journal recording,
// so each is one step on the undo queue; the geometry work is done by the kernel in mesh/ops/.
#include <string>
#include <vector>

#include "graph/core/Selection.h"
#include "mel/Command.h"

namespace kxh {

void registerOpsCommands(mel::CommandRegistry& registry);

namespace opscmd {

// One registration per command (OpsCommands.cpp calls them all).
void registerCreateFacet(mel::CommandRegistry& registry);
void registerAppendVertex(mel::CommandRegistry& registry);
void registerMergeVertex(mel::CommandRegistry& registry);
// polyDelEdge, polyCollapseEdge, polySubdivideEdge, polyConnectComponents.
void registerEdgeCommands(mel::CommandRegistry& registry);
void registerExtrudeFacet(mel::CommandRegistry& registry);
void registerBevel(mel::CommandRegistry& registry);
// polyTriangulate, polyNormal.
void registerFaceCommands(mel::CommandRegistry& registry);
// polyUnite, polySeparate.
void registerUniteSeparate(mel::CommandRegistry& registry);

// The component part of delete: deletes the faces, vertices and edges among the items (whole objects are
// left to the caller) and drops the edited meshes' component items from the selection. Runs inside the
// caller's journal recording; false with `error` set when a mesh cannot be written.
bool deleteComponents(const std::vector<SelectionItem>& items, std::string& error);

}  // namespace opscmd

}  // namespace kxh
