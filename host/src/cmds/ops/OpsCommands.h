#pragma once
// The host's polygon construction commands: polyCreateFacet (a new mesh of one face), polyAppendVertex
// (one more face on a mesh, from existing vertices and new points) and polyMergeVertex (welding vertices
// by distance). They edit the shape's geometry directly through the scene, inside one journal recording,
// so each is one step on the undo queue; the geometry work is done by the kernel in mesh/ops/.
#include "mel/Command.h"

namespace kxh {

void registerOpsCommands(mel::CommandRegistry& registry);

namespace opscmd {

// One registration per command (OpsCommands.cpp calls them all).
void registerCreateFacet(mel::CommandRegistry& registry);
void registerAppendVertex(mel::CommandRegistry& registry);
void registerMergeVertex(mel::CommandRegistry& registry);

}  // namespace opscmd

}  // namespace kxh
