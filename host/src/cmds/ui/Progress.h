#pragma once
// Progress on long work: progressWindow and the main window's progressBar ($gMainProgressBar) drive
// one progress display. On a terminal it is a single line on stderr rewritten in place; anywhere else
// (batch runs with output to a file or a pipe) nothing is shown. While an interruptable progress is up,
// Ctrl-C (SIGINT) marks it cancelled instead of ending the host; scripts poll -isCancelled.
#include <functional>
#include <string>

#include "mel/Command.h"

namespace kxh::ui {

struct ProgressState {
    bool active = false;
    std::string title, status;
    int minValue = 0, maxValue = 100, progress = 0;
    bool interruptable = false;
};

class Progress {
public:
    // Where display lines go (each one the whole line, starting with '\r'); by default stderr when it is
    // a terminal, else nowhere. Tests install their own writer; null restores the default.
    void setWriter(std::function<void(const std::string&)> writer);

    bool begin(const ProgressState& state);  // false when a progress is already up
    void update();                           // redraws after a change to state()
    void end();
    bool cancelled() const;
    void cancel();  // what Ctrl-C does (tests call it directly)
    ProgressState& state() { return state_; }

    // The display line for the current state: "title: status [#####     ]  50%".
    std::string line() const;

private:
    void write(const std::string& text);
    void interruptHandler(bool install);

    ProgressState state_;
    std::function<void(const std::string&)> writer_;
    bool handlerInstalled_ = false;
};

Progress& progress();

// The name $gMainProgressBar holds.
inline const char* mainProgressBarName() {
    return "MainProgressBar";
}

void registerProgressCommands(mel::CommandRegistry& registry);

}  // namespace kxh::ui
