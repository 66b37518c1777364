#pragma once
// The MEL interpreter. A text is lexed and parsed as a whole before anything runs, so a syntax error
// anywhere runs nothing. Statements then run in order; a failing command stops the text. Errors are
// reported once, through kxh::output().error(), prefixed with where they happened ("line 3: ...",
// or "file: <source> line 3: ..." when the text has a source name) and returned in Status::error.
//
// Names: a procedure (defined by a script or registered natively) wins over a command of the same name.
// Variables: each execute() runs in the interpreter's top-level scope, which persists between calls (as
// the script editor keeps its variables); procedures see only their own locals and the globals they
// declare with "global".
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "mel/Command.h"
#include "mel/UndoQueue.h"
#include "mel/Value.h"

namespace kxh::mel {

class Runtime;

// A procedure written in C++ (tests and the UI model register these). Returns false on failure with
// `error` set (or empty when the failure was already reported through Output).
using NativeProc = std::function<bool(Interpreter& interp, const std::vector<Value>& args, Value& result,
                                      std::string& error)>;

class Interpreter {
public:
    // Registers the language's own commands (print, eval, source, undoInfo, ...).
    Interpreter();
    ~Interpreter();
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    CommandRegistry& commands();
    UndoQueue& undoQueue();

    struct Status {
        bool ok = true;
        Value result;
        std::string error;
    };

    // Runs a script or a single line. result = the value of the last statement run.
    Status execute(const std::string& text, const std::string& sourceName = "");
    // Runs a file (as "source" does). Fails with "Cannot open file ..." when it cannot be read.
    Status executeFile(const std::string& path);
    // Checks the syntax only. Returns false with "line N: Syntax error" in error.
    bool parses(const std::string& text, std::string* error = nullptr) const;

    // Procedures: script-defined and native.
    bool procExists(const std::string& name) const;
    Status callProc(const std::string& name, const std::vector<Value>& args);
    void addNativeProc(const std::string& name, NativeProc proc);
    bool removeProc(const std::string& name);
    std::vector<std::string> procNames() const;

    // Runs one command or procedure with evaluated words, as a statement "name words..." would.
    Status call(const std::string& name, const std::vector<Arg>& args, const std::string& commandLine = "");

    // Where "source name" looks (name, then name.mel, in each directory in order; a path with a slash
    // is taken as is).
    void addScriptPath(const std::string& dir);
    std::vector<std::string> scriptPaths() const;
    std::string findScript(const std::string& name) const;  // "" when not found

    // Global variables, named with or without the '$'. globalVariable returns nullptr when none exists.
    Value* globalVariable(const std::string& name);
    void setGlobalVariable(const std::string& name, const Value& value);
    // Top-level variables (those a script declares outside any block or procedure).
    Value* topLevelVariable(const std::string& name);

    // While quiet, errors are not printed (catchQuiet).
    void setQuiet(bool on);
    bool quiet() const;

    // Guards against runaway recursion: procedure calls nested deeper than this fail.
    void setMaxCallDepth(int depth);
    // Stops a text after this many statements have run (0, the default: no limit). Guards tests that run
    // generated scripts against endless loops.
    void setMaxSteps(long steps);

    // The idle queue (evalDeferred). The host is idle when a top-level text (a script, a -c text, a line
    // at the prompt) has finished: execute() and executeFile() then run the queue until it is empty.
    // Normal entries run first, then low, then lowest; an entry queued while the queue runs runs in the
    // same pass (a pass stops after 100000 entries). A failing entry reports its error and the queue goes
    // on.
    enum class IdlePriority { Normal, Low, Lowest };
    void deferCommand(const std::string& text, IdlePriority priority, bool evaluateNext = false);
    std::vector<std::string> deferredCommands(const IdlePriority* only = nullptr) const;
    // Runs the queue now; returns how many entries ran. Nested calls do nothing.
    int runIdleQueue();

    Runtime& runtime() { return *rt_; }

private:
    Status runTopLevel(const std::string& text, const std::string& sourceName);

    std::unique_ptr<Runtime> rt_;
    std::vector<std::string> idle_[3];
    bool runningIdle_ = false;
};

// The language's built-in commands; the Interpreter constructor calls it.
void registerLanguageCommands(Interpreter& interp);

}  // namespace kxh::mel
