#pragma once
// The flags of the UI commands: one syntax per item kind (window, layouts, controls, menus, radio
// collections), built from the flag groups the kinds share.
#include <memory>

#include "cmds/ui/UiModel.h"
#include "mel/Command.h"

namespace kxh::ui {

// Flags every control, layout and window answers to.
void commonFlags(mel::Syntax& s);
// The common flags and the ones layouts add (child list and count).
void layoutFlags(mel::Syntax& s);
// The full syntax of the command that creates, edits and queries items of a kind.
std::shared_ptr<mel::Syntax> syntaxFor(Kind kind);

}  // namespace kxh::ui
