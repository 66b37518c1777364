#pragma once
// Host-side insides of the command API classes (MSyntax, MArgList, MArgParser, MPxCommand) and the
// bridge between them and the MEL interpreter. Nothing here is visible to plug-ins.
#include <maya/MArgList.h>
#include <maya/MArgParser.h>
#include <maya/MPxCommand.h>
#include <maya/MSyntax.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "mel/Command.h"
#include "mel/Value.h"

namespace kxh {

struct FlagSpec {
    std::string shortName;  // without dash
    std::string longName;
    std::vector<MSyntax::MArgType> args;
    bool multiUse = false;
    bool queryWithArgs = false;      // makeFlagQueryWithFullArgs
    bool queryArgsOptional = false;  // ... with queryArgsAreOptional
};

struct SyntaxData {
    std::vector<FlagSpec> flags;
    std::vector<MSyntax::MArgType> commandArgs;
    MSyntax::MObjectFormat objectFormat = MSyntax::kNone;
    bool objectTypeSet = false;  // without setObjectType any number of string objects is accepted
    unsigned minObjects = 0;
    unsigned maxObjects = UINT_MAX;
    bool selectionAsDefault = false;
    bool query = false;
    bool edit = false;

    // By short or long name, with or without one leading dash.
    int findIndex(const std::string& name) const;
    const FlagSpec* find(const std::string& name) const;
};

struct ArgListData {
    std::vector<mel::Arg> words;
};

struct ParsedFlagUse {
    int flag = -1;          // index into ParsedData::syntax.flags
    unsigned position = 0;  // word index of the flag in the parsed MArgList
    std::vector<mel::Value> args;
};

struct ParsedData {
    bool ok = false;
    SyntaxData syntax;
    bool query = false;
    bool edit = false;
    std::vector<ParsedFlagUse> uses;  // command-line order, repeats kept
    std::vector<mel::Value> commandArgs;
    std::vector<mel::Value> objects;

    // Uses of the named flag, in order.
    std::vector<const ParsedFlagUse*> usesOf(const std::string& name) const;
};

// Strict conversions of one word: false when the value does not read as the type.
bool valueToBool(const mel::Value& v, bool& out);
bool valueToDouble(const mel::Value& v, double& out);
bool valueToInt(const mel::Value& v, int& out);
bool valueToUnsigned(const mel::Value& v, unsigned& out);

// A flag word: unquoted '-' followed by a letter.
bool looksLikeFlag(const std::string& text);
std::string stripDash(const std::string& name);

struct CommandApi {
    static SyntaxData& data(MSyntax& s) { return *s.data_; }
    static const SyntaxData& data(const MSyntax& s) { return *s.data_; }
    static ArgListData& data(MArgList& a) { return *a.data_; }
    static const ArgListData& data(const MArgList& a) { return *a.data_; }
    static const ParsedData& data(const MArgParser& p) { return *p.data_; }

    static MArgList fromWords(const std::vector<mel::Arg>& words);
    // The MEL-side description of a syntax (for help and generic tools; plug-in commands parse their
    // own MArgList).
    static std::shared_ptr<mel::Syntax> toMelSyntax(const MSyntax& syntax);

    static void setSyntax(MPxCommand& cmd, const MSyntax& syntax) { cmd.syntax_ = syntax; }

    // An MSyntax over data owned elsewhere (a context command's syntax): flags added through it land in
    // that data, and destroying it leaves the data alone. The owner calls releaseSyntax before freeing it.
    static MSyntax borrowSyntax(SyntaxData& data);
    static void releaseSyntax(SyntaxData& data);
    static bool isBorrowed(const SyntaxData* data);
};

// The running command's result. Each plug-in command invocation opens a scope; the MPxCommand result
// statics write into the innermost one, so a command that runs MEL (which runs another plug-in command)
// keeps its own result.
class ResultScope {
public:
    ResultScope();
    ~ResultScope();
    ResultScope(const ResultScope&) = delete;
    ResultScope& operator=(const ResultScope&) = delete;

    mel::Value take();
    // True when the command reported an error (MPxCommand::displayError) while this scope was innermost.
    bool errorShown() const;
};
mel::Value& currentResult();
void noteErrorShown();

// Runs one plug-in command invocation: creates the object, parses nothing itself, calls doIt, and either
// hands the object to the undo queue (undoable and successful) or deletes it.
bool runPluginCommand(const std::string& name, MCreatorFunction creator, const MSyntax& syntax,
                      mel::Invocation& inv);

// Records an already-done command object as one undo step (tool commands finalize this way). The queue
// may drop it (recording off); the object is then deleted. Returns whether it was kept.
bool pushCommandUndo(std::unique_ptr<MPxCommand> cmd, const std::string& description);

}  // namespace kxh
