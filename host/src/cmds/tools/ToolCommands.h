#pragma once
// The parts of the tool layer, each registering its own MEL commands (ToolCommands.cpp calls them all),
// and what each part puts back when the session resets.
#include <string>

#include "mel/Command.h"

namespace kxh {

struct ContextRecord;

void registerContextCommands(mel::CommandRegistry& registry);  // setToolTo, currentCtx, contextInfo
void registerEventCommands(
    mel::CommandRegistry& registry);  // kxhPress, kxhDrag, kxhRelease, kxhHold, kxhToolKey
void registerTimerCommands(mel::CommandRegistry& registry);  // kxhAdvanceTime, kxhIdle
// selectMode, selectType, doMenuComponentSelection, tumbleCtx, paneLayout, isolateSelect
void registerSelectModeCommands(mel::CommandRegistry& registry);

void resetContexts();
void resetEvents();
void resetSelectModes();

// A new host tumble context (what "tumbleCtx <name>" makes); null when the name is taken.
ContextRecord* addTumbleContext(const std::string& name);

}  // namespace kxh
