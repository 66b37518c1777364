// Registration of the tool layer's MEL commands and its part in a session reset.
#include "cmds/tools/ToolCommands.h"

#include "cmds/tools/Tools.h"

namespace kxh {

void registerToolCommands(mel::CommandRegistry& registry,
                          const std::function<void(std::function<void()>)>& addResetHook) {
    registerContextCommands(registry);
    registerEventCommands(registry);
    registerTimerCommands(registry);
    registerSelectModeCommands(registry);
    if (addResetHook) addResetHook([] { tools::resetToolState(); });
}

namespace tools {

void resetToolState() {
    resetEvents();
    resetContexts();
    resetSelectModes();
}

}  // namespace tools

}  // namespace kxh
