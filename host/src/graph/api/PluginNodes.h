#pragma once
// Plug-in node types: MFnPlugin::registerNode lands here. A plug-in type is a graph node type whose
// behaviour wraps the MPxNode object its creator makes: the host calls the object's postConstructor after
// the node is created and its compute when an output it does not have yet is read.
#include <maya/MPxNode.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>

#include <vector>

#include "graph/core/Node.h"

namespace kxh {

// Registers a node type named `typeName` with id `typeId`. The initialize function runs once, now: its
// MPxNode::addAttribute / attributeAffects / inheritAttributesFrom calls define the type's static
// attributes. kDependNode types derive from "dependNode", kLocatorNode types from "locator" (a shape).
// Fails when the name or the id is taken, the creator is missing, or initialize fails.
MStatus registerPluginNodeType(const MString& typeName, const MTypeId& typeId, MCreatorFunction creator,
                               MInitializeFunction initialize, MPxNode::Type type,
                               const MString* classification);
// Removes a plug-in node type. Fails while nodes of the type are in the scene: their code lives in the
// module that registered them, which is unloaded next.
MStatus deregisterPluginNodeType(const MTypeId& typeId);
// The scene's live nodes of a plug-in type, in creation order.
std::vector<NodePtr> nodesOfPluginType(const MTypeId& typeId);

// Points MPxLocatorNode's static attribute objects at the attributes of the host's "locator" and
// "dagNode" types (once; PxLocatorNode.cpp). Runs before any plug-in type's initialize.
void resolveLocatorAttributes();

// The MPxNode object behind a plug-in node (null for built-in nodes).
MPxNode* pxNodeOf(const Node& node);

}  // namespace kxh
