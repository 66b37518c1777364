#pragma once
// The MEL commands of the headless UI: windows, layouts, controls, menus, radio collections, setParent,
// showWindow, deleteUI and the modal dialogs. They read and write the process's UI model (UiModel.h).
#include "mel/Command.h"

namespace kxh {

void registerUiCommands(mel::CommandRegistry& registry);

}  // namespace kxh
