#pragma once
// The interpreter's insides: variables and scopes, procedures, and the tree walker. Only the mel layer
// includes this; everyone else goes through Interpreter.
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "mel/Ast.h"
#include "mel/Interpreter.h"

namespace kxh::mel {

// A runtime error on its way out. `reported` is set when it was already printed (a nested eval).
struct MelError {
    std::string message;
    bool reported = false;
};

struct Variable {
    Value value;
    Value::Kind kind = Value::Kind::None;  // None: untyped, takes the kind of its first value
};
using VarPtr = std::shared_ptr<Variable>;
using Scope = std::unordered_map<std::string, VarPtr>;

struct ProcEntry {
    std::shared_ptr<ProcDef> def;  // script procedure
    NativeProc native;             // or native
};

class Runtime {
public:
    explicit Runtime(Interpreter& interp) : interp_(interp) {}

    Interpreter::Status execute(const std::string& text, const std::string& sourceName);
    Interpreter::Status call(const std::string& name, const std::vector<Arg>& args, const std::string& line,
                             bool procsOnly);

    // True when no text, procedure or command is running (the host is idle once this call returns).
    bool atTopLevel() const { return frames_.empty(); }

    const ProcEntry* findProc(const std::string& name) const;
    Value* globalVariable(const std::string& name);
    void setGlobalVariable(const std::string& name, const Value& v);
    Value* topLevelVariable(const std::string& name);
    // The kind a variable visible here was declared with, for whatIs; false when none is visible.
    bool variableKind(const std::string& name, Value::Kind& kind);

    // Where the statement running now stands: "line 3: " or "file: x.mel line 3: ".
    std::string where(int line) const;
    void report(const std::string& message) const;

    CommandRegistry commands;
    UndoQueue undo;
    std::map<std::string, ProcEntry> globalProcs;
    // Procedures declared without "global", by the source that declared them ("" for interactive text).
    std::map<std::string, std::map<std::string, ProcEntry>> localProcs;
    std::vector<std::string> scriptPaths;
    int quiet = 0;
    int maxDepth = 400;
    long maxSteps = 0;

private:
    enum class Flow { Normal, Break, Continue, Return };
    struct Frame {
        std::vector<Scope> scopes;
        Scope* base = nullptr;  // the top-level scope for texts; null inside procedures
        std::string sourceName;
        Value returnValue;
        int line = 0;
    };
    struct FrameGuard;

    Flow exec(const Stmt& s);
    Flow execBody(const std::vector<StmtPtr>& body);
    Flow execLoopBody(const Stmt& s, bool& stop);
    void declare(const Stmt& s);
    Value eval(const Expr& e);
    Value evalBinary(const std::string& op, const Value& a, const Value& b, int line);
    Value evalCall(const Expr& e);
    Value evalCommand(const Expr& e);
    Value evalCatch(const Expr* arg, bool quietCatch);
    Value dispatch(const std::string& name, std::vector<Arg>& args, std::vector<VarPtr>& refs, int line,
                   const std::string& text);
    Value callScriptProc(const ProcDef& def, const std::vector<Arg>& args, const std::vector<VarPtr>& refs,
                         int line);
    Value assign(const Expr& target, const Value& v);
    Value convertFor(const Value& v, Value::Kind kind, int line) const;

    VarPtr* lookup(const std::string& name);
    VarPtr& lookupOrFail(const std::string& name, int line);
    Scope& currentScope();
    [[noreturn]] void fail(int line, const std::string& message) const;
    void defineProcs(const Unit& unit);

    Interpreter& interp_;
    std::map<std::string, VarPtr> globals_;
    Scope topScope_;
    std::vector<Frame*> frames_;
    int depth_ = 0;
    long steps_ = 0;
    Value last_;
};

}  // namespace kxh::mel
