// MPxCommand and the life cycle of a plug-in command invocation.
#include <maya/MArgList.h>
#include <maya/MDoubleArray.h>
#include <maya/MIntArray.h>
#include <maya/MPxCommand.h>
#include <maya/MStringArray.h>

#include "cmds/plugin/CommandApi.h"
#include "cmds/plugin/PluginHost.h"
#include "foundation/Output.h"
#include "mel/Interpreter.h"

using kxh::mel::Value;

namespace kxh {

namespace {

struct ResultSlot {
    Value value;
    bool errorShown = false;
};

// Slot 0 catches results set outside any command (they go nowhere).
std::vector<ResultSlot>& slots() {
    static std::vector<ResultSlot> s(1);
    return s;
}

// Owns an undoable command object on the undo queue.
class CommandUndoEntry : public UndoEntry {
public:
    CommandUndoEntry(std::unique_ptr<MPxCommand> cmd, std::string description)
        : cmd_(std::move(cmd)), description_(std::move(description)) {}
    void undo() override {
        ResultScope scope;  // results set while undoing belong to no statement
        cmd_->undoIt();
    }
    void redo() override {
        ResultScope scope;
        cmd_->redoIt();
    }
    std::string description() const override { return description_; }

private:
    std::unique_ptr<MPxCommand> cmd_;
    std::string description_;
};

}  // namespace

ResultScope::ResultScope() {
    slots().emplace_back();
}
ResultScope::~ResultScope() {
    if (slots().size() > 1) slots().pop_back();
}
Value ResultScope::take() {
    return std::move(slots().back().value);
}
bool ResultScope::errorShown() const {
    return slots().back().errorShown;
}

Value& currentResult() {
    return slots().back().value;
}
void noteErrorShown() {
    slots().back().errorShown = true;
}

bool runPluginCommand(const std::string& name, MCreatorFunction creator, const MSyntax& syntax,
                      mel::Invocation& inv) {
    void* raw = creator ? creator() : nullptr;
    if (!raw) return inv.fail(name + ": the command could not be created.");
    std::unique_ptr<MPxCommand> cmd(static_cast<MPxCommand*>(raw));
    CommandApi::setSyntax(*cmd, syntax);
    cmd->setCommandString(MString(name));
    MArgList args = CommandApi::fromWords(inv.args);

    MStatus st;
    bool errorShown;
    {
        ResultScope scope;
        st = cmd->doIt(args);
        inv.result = scope.take();
        errorShown = scope.errorShown();
    }
    if (!st) {
        // An error the command displayed itself is the statement's message; otherwise name the command.
        if (errorShown) return false;
        return inv.fail(name + ": command failed");
    }
    if (cmd->isUndoable()) {
        std::string line = inv.commandLine.empty() ? name : inv.commandLine;
        inv.interp.undoQueue().push(std::make_unique<CommandUndoEntry>(std::move(cmd), line));
    }
    return true;
}

bool pushCommandUndo(std::unique_ptr<MPxCommand> cmd, const std::string& description) {
    if (!cmd) return false;
    return hostInterpreter().undoQueue().push(
        std::make_unique<CommandUndoEntry>(std::move(cmd), description));
}

}  // namespace kxh

using kxh::currentResult;

MPxCommand::MPxCommand() = default;
MPxCommand::~MPxCommand() = default;

MStatus MPxCommand::doIt(const MArgList&) {
    return MS::kSuccess;
}
MStatus MPxCommand::undoIt() {
    return MS::kSuccess;
}
MStatus MPxCommand::redoIt() {
    return MS::kSuccess;
}
bool MPxCommand::isUndoable() const {
    return false;
}
bool MPxCommand::hasSyntax() const {
    return true;
}
MSyntax MPxCommand::syntax() const {
    return syntax_;
}

bool MPxCommand::isHistoryOn() const {
    return historyOn_;
}
MString MPxCommand::commandString() const {
    return commandString_;
}
MStatus MPxCommand::setHistoryOn(bool state) {
    historyOn_ = state;
    return MS::kSuccess;
}
MStatus MPxCommand::setCommandString(const MString& name) {
    commandString_ = name;
    return MS::kSuccess;
}

void MPxCommand::displayInfo(const MString& theInfo) {
    kxh::output().info(theInfo.str());
}
void MPxCommand::displayWarning(const MString& theWarning, bool) {
    kxh::output().warning(theWarning.str());
}
void MPxCommand::displayError(const MString& theError, bool) {
    kxh::output().error(theError.str());
    kxh::noteErrorShown();
}

void MPxCommand::clearResult() {
    currentResult() = Value();
}
void MPxCommand::setResult(unsigned int val) {
    currentResult() = Value(long(val));
}
void MPxCommand::setResult(int val) {
    currentResult() = Value(val);
}
void MPxCommand::setResult(double val) {
    currentResult() = Value(val);
}
void MPxCommand::setResult(bool val) {
    currentResult() = Value(val ? 1 : 0);
}
void MPxCommand::setResult(const char* val) {
    currentResult() = Value(std::string(val ? val : ""));
}
void MPxCommand::setResult(const MString& val) {
    currentResult() = Value(val.str());
}
void MPxCommand::setResult(const MIntArray& val) {
    currentResult() = Value(std::vector<int>(val.vec().begin(), val.vec().end()));
}
void MPxCommand::setResult(const MDoubleArray& val) {
    currentResult() = Value(std::vector<double>(val.vec().begin(), val.vec().end()));
}
void MPxCommand::setResult(const MStringArray& val) {
    std::vector<std::string> v;
    for (unsigned i = 0; i < val.length(); ++i) v.push_back(val[i].str());
    currentResult() = Value(std::move(v));
}

namespace {

// Appends one element: the result becomes (or stays) an array. Numbers appended to numbers stay numeric
// (ints widen to floats when a float arrives); anything with a string becomes a string array.
void append(const Value& item) {
    Value& r = currentResult();
    using K = Value::Kind;
    if (r.isNone()) {
        if (item.kind() == K::Int)
            r = Value(std::vector<int>{int(item.asInt())});
        else if (item.kind() == K::Float)
            r = Value(std::vector<double>{item.asFloat()});
        else
            r = Value(std::vector<std::string>{item.asString()});
        return;
    }
    K rk = Value::elementKind(r.kind());
    if (item.kind() == K::String || rk == K::String) {
        std::vector<std::string> v = r.asStringArray();
        v.push_back(item.asString());
        r = Value(std::move(v));
    } else if (rk == K::Float || item.kind() == K::Float) {
        std::vector<double> v = r.asFloatArray();
        v.push_back(item.asFloat());
        r = Value(std::move(v));
    } else {
        std::vector<long> l = r.asIntArray();
        std::vector<int> v(l.begin(), l.end());
        v.push_back(int(item.asInt()));
        r = Value(std::move(v));
    }
}

}  // namespace

void MPxCommand::appendToResult(unsigned int val) {
    append(Value(long(val)));
}
void MPxCommand::appendToResult(int val) {
    append(Value(val));
}
void MPxCommand::appendToResult(double val) {
    append(Value(val));
}
void MPxCommand::appendToResult(bool val) {
    append(Value(val ? 1 : 0));
}
void MPxCommand::appendToResult(const char* val) {
    append(Value(std::string(val ? val : "")));
}
void MPxCommand::appendToResult(const MString& val) {
    append(Value(val.str()));
}
void MPxCommand::appendToResult(const MStringArray& val) {
    for (unsigned i = 0; i < val.length(); ++i) append(Value(val[i].str()));
}

bool MPxCommand::isCurrentResultArray() {
    return currentResult().isArray();
}

MPxCommand::MResultType MPxCommand::currentResultType() {
    using K = Value::Kind;
    switch (Value::elementKind(currentResult().kind())) {
        case K::Int:
            return kLong;
        case K::Float:
            return kDouble;
        case K::String:
            return kString;
        default:
            return kNoArg;
    }
}

int MPxCommand::currentIntResult(MStatus* ReturnStatus) {
    const Value& r = currentResult();
    bool ok = r.kind() == Value::Kind::Int || r.kind() == Value::Kind::Float;
    if (ReturnStatus) *ReturnStatus = ok ? MS::kSuccess : MS::kInvalidParameter;
    return ok ? int(r.asInt()) : 0;
}

double MPxCommand::currentDoubleResult(MStatus* ReturnStatus) {
    const Value& r = currentResult();
    bool ok = r.isNumber();
    if (ReturnStatus) *ReturnStatus = ok ? MS::kSuccess : MS::kInvalidParameter;
    return ok ? r.asFloat() : 0.0;
}

MString MPxCommand::currentStringResult(MStatus* ReturnStatus) {
    const Value& r = currentResult();
    bool ok = r.kind() == Value::Kind::String;
    if (ReturnStatus) *ReturnStatus = ok ? MS::kSuccess : MS::kInvalidParameter;
    return ok ? MString(r.asString()) : MString();
}

MStatus MPxCommand::getCurrentResult(MIntArray& val) {
    const Value& r = currentResult();
    if (r.kind() != Value::Kind::IntArray) return MS::kInvalidParameter;
    val.clear();
    for (long x : r.asIntArray()) val.append(int(x));
    return MS::kSuccess;
}

MStatus MPxCommand::getCurrentResult(MDoubleArray& val) {
    const Value& r = currentResult();
    if (r.kind() != Value::Kind::FloatArray && r.kind() != Value::Kind::IntArray)
        return MS::kInvalidParameter;
    val.clear();
    for (double x : r.asFloatArray()) val.append(x);
    return MS::kSuccess;
}

MStatus MPxCommand::getCurrentResult(MStringArray& val) {
    const Value& r = currentResult();
    if (r.kind() != Value::Kind::StringArray) return MS::kInvalidParameter;
    val.clear();
    for (const auto& s : r.asStringArray()) val.append(MString(s));
    return MS::kSuccess;
}
