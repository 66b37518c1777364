#pragma once
// The host session: the one MEL interpreter of the process with every family of host commands
// registered, the script search path, and a way back to a fresh scene and UI for tests.
//
// Script path: the folders in the environment variable KX_SCRIPT_PATH (colon-separated, read when the
// session starts), then folders added with addScriptPath (kxhost adds the folder of each script it runs).
#include <functional>
#include <string>
#include <vector>

#include "mel/Interpreter.h"

namespace kxh {

namespace ui {
class UiModel;
}

class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    mel::Interpreter& interpreter() { return interp_; }
    ui::UiModel& ui();

    // Runs MEL text in the session (errors are reported through output and returned in the status).
    mel::Interpreter::Status execute(const std::string& text, const std::string& sourceName = "");
    mel::Interpreter::Status executeFile(const std::string& path);

    // Adds a folder to the MEL script path; a folder already on the path is not added twice.
    void addScriptPath(const std::string& dir);
    std::vector<std::string> scriptPaths() const { return interp_.scriptPaths(); }

    // Back to an empty scene and an empty UI: the scene is emptied, the reset hooks run in the order they
    // were added (the plug-in and view layers add theirs: startup cameras, views), then the UI model and
    // the undo queue are cleared.
    // MEL procedures and global variables stay, as they do in the host across "file -new".
    using ResetHook = std::function<void()>;
    void addResetHook(ResetHook hook);
    void reset();

private:
    mel::Interpreter interp_;
    std::vector<ResetHook> resetHooks_;
};

// The process's session, created on first use.
Session& session();

// Splits a colon-separated folder list, dropping empty entries.
std::vector<std::string> splitPathList(const std::string& list);

}  // namespace kxh
