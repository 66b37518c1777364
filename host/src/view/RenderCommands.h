#pragma once
// MEL commands of the view rendering: playblast (one frame of the active view written as a PNG image) and
// modelEditor (the display of a model panel's view: shading, wireframe on shaded).
#include <functional>

#include "mel/Command.h"

namespace kxh {

// Registers the commands; `addResetHook` receives what a fresh session must run (display options and
// rendered frames back to their start).
void registerRenderCommands(mel::CommandRegistry& registry,
                            const std::function<void(std::function<void()>)>& addResetHook);

}  // namespace kxh
