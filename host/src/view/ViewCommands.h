#pragma once
// MEL commands of the view layer: viewPlace, lookThru, camera, setFocus and refresh as the host names
// them, and the host's own kxhViewSize, kxhViewCursor and kxhScreenCursor (views and cursor for scripts and
// tests).
#include <functional>

#include "mel/Command.h"

namespace kxh {

// Registers the commands and the camera node type, creates the startup cameras and points the views at
// them, and hands the view layer's reset hooks to the session: `addResetHook` receives what a fresh session
// must run. A new scene made by "file -new" restores the startup cameras as well (through the after-new
// scene message).
void registerViewCommands(mel::CommandRegistry& registry,
                          const std::function<void(std::function<void()>)>& addResetHook);

}  // namespace kxh
