// progressWindow and progressBar over the one progress display (see Progress.h).
#include "cmds/ui/Progress.h"

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>

#include "mel/Interpreter.h"

namespace kxh::ui {

using mel::ArgType;

namespace {

volatile std::sig_atomic_t gInterrupted = 0;
void (*gPreviousHandler)(int) = SIG_DFL;

void onInterrupt(int) {
    gInterrupted = 1;
}

}  // namespace

Progress& progress() {
    static Progress p;
    return p;
}

void Progress::setWriter(std::function<void(const std::string&)> writer) {
    writer_ = std::move(writer);
}

void Progress::write(const std::string& text) {
    if (writer_) {
        writer_(text);
    } else if (::isatty(STDERR_FILENO)) {
        std::fputs(text.c_str(), stderr);
        std::fflush(stderr);
    }
}

void Progress::interruptHandler(bool install) {
    if (install == handlerInstalled_) return;
    if (install) {
        gInterrupted = 0;
        gPreviousHandler = std::signal(SIGINT, onInterrupt);
    } else {
        std::signal(SIGINT, gPreviousHandler == SIG_ERR ? SIG_DFL : gPreviousHandler);
    }
    handlerInstalled_ = install;
}

std::string Progress::line() const {
    const ProgressState& s = state_;
    int span = std::max(1, s.maxValue - s.minValue);
    double f = std::clamp(double(s.progress - s.minValue) / span, 0.0, 1.0);
    const int width = 30;
    int filled = int(f * width + 0.5);
    std::string text = s.title.empty() ? s.status : s.status.empty() ? s.title : s.title + ": " + s.status;
    char pct[8];
    std::snprintf(pct, sizeof pct, "%3d%%", int(f * 100 + 0.5));
    return (text.empty() ? "" : text + " ") + "[" + std::string(size_t(filled), '#') +
           std::string(size_t(width - filled), ' ') + "] " + pct;
}

bool Progress::begin(const ProgressState& state) {
    if (state_.active) return false;
    state_ = state;
    state_.active = true;
    interruptHandler(state_.interruptable);
    update();
    return true;
}

void Progress::update() {
    if (!state_.active) return;
    state_.progress =
        std::clamp(state_.progress, state_.minValue, std::max(state_.minValue, state_.maxValue));
    interruptHandler(state_.interruptable);
    write("\r" + line() + "\x1b[K");
}

void Progress::end() {
    if (!state_.active) return;
    state_ = ProgressState();
    interruptHandler(false);
    gInterrupted = 0;
    write("\r\x1b[K");
}

bool Progress::cancelled() const {
    return state_.active && state_.interruptable && gInterrupted != 0;
}

void Progress::cancel() {
    gInterrupted = 1;
}

namespace {

// The flags both commands share: what they set and what they answer.
void commonFlags(mel::Syntax& s) {
    s.queryable = true;
    s.editable = true;
    s.flag("st", "status", {ArgType::String})
        .flag("pr", "progress", {ArgType::Int})
        .flag("min", "minValue", {ArgType::Int})
        .flag("max", "maxValue", {ArgType::Int})
        .flag("s", "step", {ArgType::Int})
        .flag("ii", "isInterruptable", {ArgType::Bool})
        .flag("ic", "isCancelled")
        .flag("ep", "endProgress");
}

void applyFlags(const mel::ParsedArgs& a, ProgressState& s) {
    if (a.has("st")) s.status = a.arg("st").asString();
    if (a.has("min")) s.minValue = int(a.arg("min").asInt());
    if (a.has("max")) s.maxValue = int(a.arg("max").asInt());
    if (a.has("pr")) s.progress = int(a.arg("pr").asInt());
    if (a.has("s")) s.progress += int(a.arg("s").asInt());
    if (a.has("ii")) s.interruptable = a.arg("ii").asBool();
}

bool query(mel::Invocation& inv, const mel::ParsedArgs& a) {
    Progress& p = progress();
    const ProgressState& s = p.state();
    if (a.has("ic"))
        inv.result = mel::Value(p.cancelled());
    else if (a.has("pr"))
        inv.result = mel::Value(s.progress);
    else if (a.has("st"))
        inv.result = mel::Value(s.status);
    else if (a.has("min"))
        inv.result = mel::Value(s.minValue);
    else if (a.has("max"))
        inv.result = mel::Value(s.maxValue);
    else if (a.has("ii"))
        inv.result = mel::Value(s.interruptable);
    else if (a.has("t"))
        inv.result = mel::Value(s.title);
    else
        return inv.fail(inv.name + ": no query flag given.");
    return true;
}

bool progressWindowCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    commonFlags(syn);
    syn.flag("t", "title", {ArgType::String});
    syn.maxObjects = 0;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    Progress& p = progress();
    if (a.query) return query(inv, a);
    if (a.has("ep")) {
        p.end();
        return true;
    }
    if (a.edit) {
        if (!p.state().active) return inv.fail("progressWindow: no progress window is showing.");
        if (a.has("t")) p.state().title = a.arg("t").asString();
        applyFlags(a, p.state());
        p.update();
        return true;
    }
    ProgressState s;
    s.title = a.arg("t", mel::Value("Progress")).asString();
    applyFlags(a, s);
    inv.result = mel::Value(p.begin(s));
    return true;
}

// Only the main window's bar exists in this host (there is no main window to hold others).
bool progressBarCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    commonFlags(syn);
    syn.flag("bp", "beginProgress").flag("imp", "isMainProgressBar", {ArgType::Bool});
    syn.minObjects = 1;
    syn.maxObjects = 1;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::string name = a.objects[0].asString();
    if (name != mainProgressBarName()) return inv.fail("progressBar: Object '" + name + "' not found.");
    if (!a.query && !a.edit) return inv.fail("progressBar: the main progress bar already exists; use -edit.");
    Progress& p = progress();
    if (a.query) {
        if (a.has("imp")) {
            inv.result = mel::Value(1);
            return true;
        }
        return query(inv, a);
    }
    if (a.has("ep")) {
        p.end();
        return true;
    }
    if (a.has("bp")) {
        ProgressState s;
        applyFlags(a, s);
        p.begin(s);
        return true;
    }
    applyFlags(a, p.state());
    p.update();
    return true;
}

}  // namespace

void registerProgressCommands(mel::CommandRegistry& registry) {
    registry.add({"progressWindow", progressWindowCmd, nullptr});
    registry.add({"progressBar", progressBarCmd, nullptr});
}

}  // namespace kxh::ui
