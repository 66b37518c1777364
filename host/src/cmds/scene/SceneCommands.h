#pragma once
// The host's built-in scene commands: selection and listing, node creation, deletion, renaming and
// parenting, attributes and connections, history, sets, transforms, units, polygon primitives and file
// import/export. They act on Scene::current() and every edit runs inside one journal recording, so each
// command is one step on the interpreter's undo queue.
#include "graph/core/Selection.h"
#include "mel/Command.h"

namespace kxh {

void registerSceneCommands(mel::CommandRegistry& registry);

namespace scenecmd {

// One registration per family (SceneCommands.cpp calls them all).
void registerSelectionCommands(mel::CommandRegistry& registry);
void registerNodeCommands(mel::CommandRegistry& registry);
void registerAttrCommands(mel::CommandRegistry& registry);
void registerAttrDefinitionCommands(mel::CommandRegistry& registry);
void registerTransformCommands(mel::CommandRegistry& registry);
void registerSetCommands(mel::CommandRegistry& registry);
void registerPolyCommands(mel::CommandRegistry& registry);
void registerFileCommands(mel::CommandRegistry& registry);
void registerTimeCommands(mel::CommandRegistry& registry);
void registerQueryCommands(mel::CommandRegistry& registry);
void registerComponentConversion(mel::CommandRegistry& registry);
void registerRotateScaleCommands(mel::CommandRegistry& registry);

// The members of an objectSet as selection items (objects and components).
SelectionList setMembers(Node& set);

}  // namespace scenecmd

}  // namespace kxh
