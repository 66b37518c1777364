#include "cmds/Session.h"

#include <algorithm>
#include <cstdlib>

#include "cmds/ops/OpsCommands.h"
#include "cmds/plugin/PluginHost.h"
#include "cmds/scene/SceneCommands.h"
#include "cmds/tools/Tools.h"
#include "cmds/ui/Progress.h"
#include "cmds/ui/UiCommands.h"
#include "cmds/ui/UiModel.h"
#include "view/ViewCommands.h"
#include "graph/api/Hooks.h"
#include "graph/core/Scene.h"

namespace kxh {

namespace {

// Every family of host commands, one registration call each.
void registerHostCommands(mel::CommandRegistry& registry) {
    registerUiCommands(registry);
    registerPluginCommands(registry);
    registerSceneCommands(registry);
    registerOpsCommands(registry);
    ui::registerProgressCommands(registry);
}

}  // namespace

std::vector<std::string> splitPathList(const std::string& list) {
    std::vector<std::string> dirs;
    std::string cur;
    for (char ch : list) {
        if (ch == ':') {
            if (!cur.empty()) dirs.push_back(cur);
            cur.clear();
        } else {
            cur += ch;
        }
    }
    if (!cur.empty()) dirs.push_back(cur);
    return dirs;
}

Session::Session() {
    registerHostCommands(interp_.commands());
    registerViewCommands(interp_.commands(), [this](ResetHook hook) { addResetHook(std::move(hook)); });
    registerToolCommands(interp_.commands(), [this](ResetHook hook) { addResetHook(std::move(hook)); });
    ui::uiModel().setScriptRunner([this](const std::string& script) { return interp_.execute(script).ok; });
    // MDGModifier::commandToExecute: the modifier records and undoes the command's graph edits itself,
    // so the text runs with the undo queue suspended.
    melExecutor = [this](const std::string& text) {
        mel::UndoQueue::Suspend quiet(interp_.undoQueue());
        return interp_.execute(text).ok;
    };
    // The main window's progress bar, as scripts find it.
    interp_.setGlobalVariable("gMainProgressBar", mel::Value(ui::mainProgressBarName()));
    if (const char* env = std::getenv("KX_SCRIPT_PATH"))
        for (const auto& dir : splitPathList(env)) addScriptPath(dir);
}

Session::~Session() {
    ui::uiModel().setScriptRunner(nullptr);
    melExecutor = nullptr;
}

ui::UiModel& Session::ui() {
    return ui::uiModel();
}

mel::Interpreter::Status Session::execute(const std::string& text, const std::string& sourceName) {
    return interp_.execute(text, sourceName);
}

mel::Interpreter::Status Session::executeFile(const std::string& path) {
    return interp_.executeFile(path);
}

void Session::addScriptPath(const std::string& dir) {
    if (dir.empty()) return;
    std::vector<std::string> paths = interp_.scriptPaths();
    if (std::find(paths.begin(), paths.end(), dir) == paths.end()) interp_.addScriptPath(dir);
}

void Session::addResetHook(ResetHook hook) {
    resetHooks_.push_back(std::move(hook));
}

void Session::reset() {
    Scene::current().reset();  // first: the hooks rebuild what a new scene starts with (cameras, views)
    for (auto& hook : resetHooks_) hook();
    ui::uiModel().clear();
    interp_.undoQueue().clear();
}

Session& session() {
    static Session s;
    return s;
}

}  // namespace kxh
