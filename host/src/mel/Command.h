#pragma once
// The seam between the MEL interpreter and the commands it runs. The interpreter evaluates a command's
// words into Args and hands them to the command's handler; built-in commands describe their flags with a
// Syntax and parse with parseArgs, plug-in commands turn the same Args into an MArgList. Everything here
// uses std types (and the foundation's undo interfaces) only, so the layers above (graph, commands, UI)
// can register commands without knowing the interpreter's insides.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Undo.h"
#include "mel/Value.h"

namespace kxh::mel {

class Interpreter;

// One word of a command line after evaluation. A word is a flag when it was written unquoted as '-'
// followed by a letter ("-ch", "-q"); "-1", ".5" and quoted "-x" are values.
struct Arg {
    Value value;
    bool isFlag = false;
    std::string flagName() const;  // the name without its dash; empty when not a flag
    // When the word was a plain variable ($a), its storage: commands that fill an array argument
    // (tokenize, clear) write through it. Null otherwise.
    Value* ref = nullptr;
};

enum class ArgType { Bool, Int, Float, String };

struct FlagDef {
    std::string shortName;  // without dash: "ch"
    std::string longName;   // without dash: "constructionHistory"
    std::vector<ArgType> args;
    bool multiUse = false;
    // In query mode flags take no arguments unless this is set (MSyntax::makeFlagQueryWithFullArgs).
    bool queryWithArgs = false;
};

struct Syntax {
    std::vector<FlagDef> flags;
    bool queryable = false;  // accepts -q/-query
    bool editable = false;   // accepts -e/-edit
    int minObjects = 0;
    int maxObjects = -1;  // -1: any number
    Syntax& flag(const std::string& shortName, const std::string& longName, std::vector<ArgType> args = {},
                 bool multiUse = false);
    const FlagDef* find(const std::string& name) const;  // by short or long name, no dash
};

struct ParsedFlag {
    const FlagDef* def = nullptr;
    std::vector<Value> args;
    int position = 0;  // index of the flag among all words, keeps interleaved order (-p ... -v ... -p)
};

struct ParsedArgs {
    bool query = false;
    bool edit = false;
    std::vector<ParsedFlag> flags;  // in command-line order, repeats kept
    std::vector<Value> objects;     // words after the flags (and any non-flag words)

    bool has(const std::string& name) const;  // short or long name
    int count(const std::string& name) const;
    // The i-th occurrence of a flag, or nullptr.
    const ParsedFlag* get(const std::string& name, int occurrence = 0) const;
    // Convenience: argument `index` of the flag (the first occurrence of a multi-use flag, the last of a
    // single-use flag given twice), or the fallback when the flag or the argument is absent.
    Value arg(const std::string& name, const Value& fallback = Value(), int index = 0) const;
};

// Parses words against a syntax. On error returns false and sets a message in the host's words:
// "Invalid flag: -x", "Flag '-p' must be passed a float argument.", "Too many objects or values.",
// "Not enough objects or values.". "-q"/"-query" and "-e"/"-edit" anywhere on the line set the mode when
// the syntax allows it; in query mode a flag takes no arguments unless it was made queryWithArgs.
bool parseArgs(const std::string& command, const Syntax& syntax, const std::vector<Arg>& words,
               ParsedArgs& out, std::string& error);

// What a running command sees.
struct Invocation {
    Interpreter& interp;
    std::string name;         // the name the command was invoked by
    std::vector<Arg> args;    // evaluated words
    std::string commandLine;  // the text of the statement, for undo descriptions
    Value result;             // set by the handler: the command's MEL return value
    std::string error;        // set by the handler on failure (shown as "// Error: <error>")
    bool fail(const std::string& message) {
        error = message;
        return false;
    }
};

// The two steps every built-in command shares.
// Parses the invocation's words against a syntax; on failure the message becomes the invocation's error
// and the result is false. The parsed flags point into `syntax`, which must outlive `out`.
bool parseArgs(Invocation& inv, const Syntax& syntax, ParsedArgs& out);
// Runs `body` inside one recording of `journal`. When the body succeeds the recorded edits become one
// entry on the interpreter's undo queue (described by the command line); when it fails everything it did
// is rolled back. Inside an enclosing recording (a command run by another command) the edits stay in the
// enclosing one and nothing is pushed.
bool undoable(Invocation& inv, UndoJournal& journal, const std::function<bool()>& body);

// A handler returns true on success. On failure it sets Invocation::error (or has already reported
// through Output) and returns false; the interpreter then stops the script.
using Handler = std::function<bool(Invocation&)>;

struct CommandDef {
    std::string name;
    Handler handler;
    // Optional: the flags, used by generic flag parsing and by the REPL's help; a plug-in command
    // carries its MSyntax instead and parses in its own handler.
    std::shared_ptr<Syntax> syntax;
};

class CommandRegistry {
public:
    // Fails (returns false) when a command of that name exists.
    bool add(CommandDef def);
    bool remove(const std::string& name);
    const CommandDef* find(const std::string& name) const;
    std::vector<std::string> names() const;

private:
    std::map<std::string, CommandDef> commands_;
};

}  // namespace kxh::mel
