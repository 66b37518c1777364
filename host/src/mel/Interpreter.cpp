// The interpreter: variables and frames, procedure definitions, running texts and files, and the
// statements. Expressions are evaluated in Evaluator.cpp.
#include "mel/Interpreter.h"

#include <cctype>
#include <cmath>
#include <fstream>
#include <sstream>

#include "foundation/Output.h"
#include "mel/Runtime.h"
#include "mel/RuntimeGuards.h"

namespace kxh::mel {

namespace {

std::string stripDollar(const std::string& name) {
    return !name.empty() && name[0] == '$' ? name.substr(1) : name;
}

std::string locationPrefix(const std::string& sourceName, int line) {
    std::string where = "line " + std::to_string(line) + ": ";
    return sourceName.empty() ? where : "file: " + sourceName + " " + where;
}

}  // namespace

// ---- frames ----------------------------------------------------------------------------------------

namespace {
struct ScopePush {
    explicit ScopePush(std::vector<Scope>& s) : s_(s) { s_.emplace_back(); }
    ~ScopePush() { s_.pop_back(); }
    std::vector<Scope>& s_;
};
}  // namespace

std::string Runtime::where(int line) const {
    if (frames_.empty()) return locationPrefix("", line);
    return locationPrefix(frames_.back()->sourceName, line);
}

void Runtime::report(const std::string& message) const {
    if (quiet == 0) output().error(message);
}

void Runtime::fail(int line, const std::string& message) const {
    throw MelError{where(line) + message, false};
}

Scope& Runtime::currentScope() {
    Frame& f = *frames_.back();
    return f.scopes.empty() ? *f.base : f.scopes.back();
}

VarPtr* Runtime::lookup(const std::string& name) {
    if (frames_.empty()) return nullptr;
    Frame& f = *frames_.back();
    for (auto it = f.scopes.rbegin(); it != f.scopes.rend(); ++it) {
        auto v = it->find(name);
        if (v != it->end()) return &v->second;
    }
    if (f.base) {
        auto v = f.base->find(name);
        if (v != f.base->end()) return &v->second;
    }
    return nullptr;
}

VarPtr& Runtime::lookupOrFail(const std::string& name, int line) {
    VarPtr* v = lookup(name);
    if (!v) fail(line, "\"$" + name + "\" is an undeclared variable.");
    return *v;
}

bool Runtime::variableKind(const std::string& name, Value::Kind& kind) {
    VarPtr* v = lookup(stripDollar(name));
    if (!v) {
        auto g = globals_.find(stripDollar(name));
        if (g == globals_.end()) return false;
        kind = g->second->kind;
        return true;
    }
    kind = (*v)->kind == Value::Kind::None ? (*v)->value.kind() : (*v)->kind;
    return true;
}

Value* Runtime::globalVariable(const std::string& name) {
    auto it = globals_.find(stripDollar(name));
    return it == globals_.end() ? nullptr : &it->second->value;
}

void Runtime::setGlobalVariable(const std::string& name, const Value& v) {
    VarPtr& p = globals_[stripDollar(name)];
    if (!p) {
        p = std::make_shared<Variable>();
        p->kind = v.kind();
        p->value = v;
    } else {
        p->value = p->kind == Value::Kind::None ? v : v.convertedTo(p->kind);
    }
}

Value* Runtime::topLevelVariable(const std::string& name) {
    auto it = topScope_.find(stripDollar(name));
    return it == topScope_.end() ? nullptr : &it->second->value;
}

// ---- procedures ------------------------------------------------------------------------------------

const ProcEntry* Runtime::findProc(const std::string& name) const {
    std::string source = frames_.empty() ? std::string() : frames_.back()->sourceName;
    auto local = localProcs.find(source);
    if (local != localProcs.end()) {
        auto p = local->second.find(name);
        if (p != local->second.end()) return &p->second;
    }
    auto g = globalProcs.find(name);
    return g == globalProcs.end() ? nullptr : &g->second;
}

void Runtime::defineProcs(const Unit& unit) {
    for (const auto& def : unit.procs) {
        ProcEntry e;
        e.def = def;
        if (def->isGlobal) {
            globalProcs[def->name] = e;
            // A global definition replaces an interactive local one of the same name.
            auto it = localProcs.find(unit.sourceName);
            if (it != localProcs.end()) it->second.erase(def->name);
        } else {
            localProcs[unit.sourceName][def->name] = e;
        }
    }
}

// ---- running texts ---------------------------------------------------------------------------------

Interpreter::Status Runtime::execute(const std::string& text, const std::string& sourceName) {
    Interpreter::Status st;
    int errorLine = 0;
    std::unique_ptr<Unit> unit = parseUnit(text, sourceName, errorLine);
    if (!unit) {
        st.ok = false;
        st.error = locationPrefix(sourceName, errorLine) + "Syntax error";
        report(st.error);
        return st;
    }
    if (depth_ >= maxDepth) {
        st.ok = false;
        st.error = "Maximum nesting of scripts and procedures exceeded.";
        report(st.error);
        return st;
    }
    if (depth_ == 0) steps_ = 0;
    DepthCount dc(depth_);
    defineProcs(*unit);
    Frame f;
    f.base = &topScope_;
    f.sourceName = sourceName;
    FrameGuard guard(*this, f);
    last_ = Value();
    try {
        for (const auto& s : unit->stmts) {
            Flow flow = exec(*s);
            if (flow == Flow::Return) break;
        }
        st.result = last_;
    } catch (const MelError& e) {
        st.ok = false;
        st.error = e.message;
        if (!e.reported) report(e.message);
    }
    return st;
}

Interpreter::Status Runtime::call(const std::string& name, const std::vector<Arg>& args,
                                  const std::string& line, bool procsOnly) {
    Interpreter::Status st;
    Frame f;
    f.base = &topScope_;
    FrameGuard guard(*this, f);
    if (depth_ == 0) steps_ = 0;
    try {
        if (procsOnly && !findProc(name)) fail(1, "Cannot find procedure \"" + name + "\".");
        std::vector<Arg> a = args;
        std::vector<VarPtr> refs(a.size());
        st.result = dispatch(name, a, refs, 1, line.empty() ? name : line);
    } catch (const MelError& e) {
        st.ok = false;
        st.error = e.message;
        if (!e.reported) report(e.message);
    }
    return st;
}

// ---- statements ------------------------------------------------------------------------------------

Runtime::Flow Runtime::execBody(const std::vector<StmtPtr>& body) {
    for (const auto& s : body) {
        Flow f = exec(*s);
        if (f != Flow::Normal) return f;
    }
    return Flow::Normal;
}

// Runs a loop body; sets stop on break, returns Return to propagate a return.
Runtime::Flow Runtime::execLoopBody(const Stmt& s, bool& stop) {
    Flow f = exec(*s.body[0]);
    if (f == Flow::Break) stop = true;
    return f == Flow::Return ? Flow::Return : Flow::Normal;
}

Runtime::Flow Runtime::exec(const Stmt& s) {
    if (maxSteps > 0 && ++steps_ > maxSteps) fail(s.line, "Execution limit reached.");
    if (!frames_.empty()) frames_.back()->line = s.line;
    switch (s.kind) {
        case StmtKind::Empty:
            return Flow::Normal;
        case StmtKind::Expr:
            last_ = eval(*s.expr);
            return Flow::Normal;
        case StmtKind::Decl:
            declare(s);
            return Flow::Normal;
        case StmtKind::Block: {
            ScopePush sp(frames_.back()->scopes);
            return execBody(s.body);
        }
        case StmtKind::If:
            if (eval(*s.expr).asBool()) return exec(*s.body[0]);
            if (s.elseBody) return exec(*s.elseBody);
            return Flow::Normal;
        case StmtKind::While: {
            bool stop = false;
            while (!stop && eval(*s.expr).asBool())
                if (execLoopBody(s, stop) == Flow::Return) return Flow::Return;
            return Flow::Normal;
        }
        case StmtKind::DoWhile: {
            bool stop = false;
            do {
                if (execLoopBody(s, stop) == Flow::Return) return Flow::Return;
            } while (!stop && eval(*s.expr).asBool());
            return Flow::Normal;
        }
        case StmtKind::For: {
            // The loop variable belongs to the enclosing scope: it keeps its last value after the loop.
            if (s.initDecl) declare(*s.initDecl);
            for (const auto& e : s.init) eval(*e);
            bool stop = false;
            while (!stop && (!s.expr || eval(*s.expr).asBool())) {
                if (execLoopBody(s, stop) == Flow::Return) return Flow::Return;
                if (stop) break;
                for (const auto& e : s.step) eval(*e);
            }
            return Flow::Normal;
        }
        case StmtKind::ForIn: {
            Value arr = eval(*s.expr);
            VarPtr* v = lookup(s.var);
            VarPtr var;
            if (v) {
                var = *v;
            } else {
                var = std::make_shared<Variable>();
                var->kind = Value::elementKind(arr.kind());
                currentScope()[s.var] = var;
            }
            bool stop = false;
            size_t n = arr.isArray() ? arr.size() : 0;
            for (size_t i = 0; i < n && !stop; ++i) {
                Value el = arr.element(i);
                var->value = var->kind == Value::Kind::None ? el : convertFor(el, var->kind, s.line);
                if (execLoopBody(s, stop) == Flow::Return) return Flow::Return;
            }
            return Flow::Normal;
        }
        case StmtKind::Switch: {
            Value v = eval(*s.expr);
            size_t start = s.cases.size();
            for (size_t i = 0; i < s.cases.size() && start == s.cases.size(); ++i)
                if (s.cases[i].value && evalBinary("==", v, eval(*s.cases[i].value), s.line).asBool())
                    start = i;
            if (start == s.cases.size())
                for (size_t i = 0; i < s.cases.size(); ++i)
                    if (!s.cases[i].value) start = i;
            for (size_t i = start; i < s.cases.size(); ++i) {
                Flow f = execBody(s.cases[i].body);
                if (f == Flow::Break) return Flow::Normal;
                if (f != Flow::Normal) return f;
            }
            return Flow::Normal;
        }
        case StmtKind::Break:
            return Flow::Break;
        case StmtKind::Continue:
            return Flow::Continue;
        case StmtKind::Return:
            frames_.back()->returnValue = s.expr ? eval(*s.expr) : Value();
            return Flow::Return;
    }
    return Flow::Normal;
}

Value Runtime::convertFor(const Value& v, Value::Kind kind, int line) const {
    if (kind == Value::Kind::None || v.kind() == kind) return v;
    bool wantArray = Value::zero(kind).isArray();
    if (!wantArray && v.isArray())
        fail(line, "Cannot convert data of type " + Value::kindName(v.kind()) + " to type " +
                       Value::kindName(kind) + ".");
    if (wantArray && v.isNone()) return Value::zero(kind);
    return v.convertedTo(kind);
}

void Runtime::declare(const Stmt& s) {
    for (const auto& d : s.decls) {
        Value::Kind kind = d.isArray ? Value::arrayKind(s.type) : s.type;
        VarPtr var;
        if (s.isGlobal) {
            VarPtr& g = globals_[d.name];
            if (!g) {
                g = std::make_shared<Variable>();
                g->kind = kind;
                g->value = Value::zero(kind);
            } else if (g->kind != kind && g->kind != Value::Kind::None) {
                fail(s.line, "Invalid redeclaration of variable \"$" + d.name + "\" as a different type.");
            }
            g->kind = kind;
            var = g;
            currentScope()[d.name] = var;
        } else {
            Scope& scope = currentScope();
            auto it = scope.find(d.name);
            if (it != scope.end() && it->second->kind != kind && it->second->kind != Value::Kind::None)
                fail(s.line, "Invalid redeclaration of variable \"$" + d.name + "\" as a different type.");
            var = std::make_shared<Variable>();
            var->kind = kind;
            var->value = Value::zero(kind);
            scope[d.name] = var;
        }
        if (d.size) {
            long n = eval(*d.size).asInt();
            if (n < 0 || n > kMaxArrayIndex) fail(s.line, "Array index out of bounds.");
            if (n > 0 && !s.isGlobal) var->value.setElement(size_t(n - 1), Value::zero(s.type));
        }
        if (d.init) var->value = convertFor(eval(*d.init), kind, s.line);
        last_ = var->value;
    }
}

// ---- Interpreter -----------------------------------------------------------------------------------

Interpreter::Interpreter() : rt_(std::make_unique<Runtime>(*this)) {
    registerLanguageCommands(*this);
}
Interpreter::~Interpreter() = default;

CommandRegistry& Interpreter::commands() {
    return rt_->commands;
}
UndoQueue& Interpreter::undoQueue() {
    return rt_->undo;
}

Interpreter::Status Interpreter::execute(const std::string& text, const std::string& sourceName) {
    return runTopLevel(text, sourceName);
}

Interpreter::Status Interpreter::runTopLevel(const std::string& text, const std::string& sourceName) {
    bool top = rt_->atTopLevel();
    Status st = rt_->execute(text, sourceName);
    if (top) runIdleQueue();
    return st;
}

void Interpreter::deferCommand(const std::string& text, IdlePriority priority, bool evaluateNext) {
    auto& q = idle_[int(priority)];
    if (evaluateNext)
        q.insert(q.begin(), text);
    else
        q.push_back(text);
}

std::vector<std::string> Interpreter::deferredCommands(const IdlePriority* only) const {
    std::vector<std::string> out;
    for (int p = 0; p < 3; ++p)
        if (!only || int(*only) == p) out.insert(out.end(), idle_[p].begin(), idle_[p].end());
    return out;
}

namespace {
constexpr int kMaxIdleEntries = 100000;
}

int Interpreter::runIdleQueue() {
    if (runningIdle_) return 0;
    runningIdle_ = true;
    int ran = 0;
    // A command that keeps deferring itself would never let the host rest; a pass stops after a
    // bounded number of entries and leaves the rest for the next idle time.
    for (; ran < kMaxIdleEntries;) {
        int p = 0;
        while (p < 3 && idle_[p].empty()) ++p;
        if (p == 3) break;
        std::string text = idle_[p].front();
        idle_[p].erase(idle_[p].begin());
        rt_->execute(text, "");  // a failure is reported by the run; the queue goes on
        ++ran;
    }
    runningIdle_ = false;
    return ran;
}

Interpreter::Status Interpreter::executeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        Status st;
        st.ok = false;
        st.error = "Cannot open file \"" + path + "\".";
        rt_->report(st.error);
        return st;
    }
    std::stringstream ss;
    ss << in.rdbuf();
    return runTopLevel(ss.str(), path);
}

bool Interpreter::parses(const std::string& text, std::string* error) const {
    int line = 0;
    if (parseUnit(text, "", line)) return true;
    if (error) *error = "line " + std::to_string(line) + ": Syntax error";
    return false;
}

bool Interpreter::procExists(const std::string& name) const {
    return rt_->findProc(name) != nullptr;
}

Interpreter::Status Interpreter::callProc(const std::string& name, const std::vector<Value>& args) {
    std::vector<Arg> a;
    for (const auto& v : args) a.push_back(Arg{v, false});
    return rt_->call(name, a, name, true);
}

void Interpreter::addNativeProc(const std::string& name, NativeProc proc) {
    ProcEntry e;
    e.native = std::move(proc);
    rt_->globalProcs[name] = std::move(e);
}

bool Interpreter::removeProc(const std::string& name) {
    bool removed = rt_->globalProcs.erase(name) > 0;
    for (auto& kv : rt_->localProcs) removed |= kv.second.erase(name) > 0;
    return removed;
}

std::vector<std::string> Interpreter::procNames() const {
    std::vector<std::string> r;
    for (const auto& kv : rt_->globalProcs) r.push_back(kv.first);
    auto local = rt_->localProcs.find("");
    if (local != rt_->localProcs.end())
        for (const auto& kv : local->second) r.push_back(kv.first);
    return r;
}

Interpreter::Status Interpreter::call(const std::string& name, const std::vector<Arg>& args,
                                      const std::string& commandLine) {
    return rt_->call(name, args, commandLine, false);
}

void Interpreter::addScriptPath(const std::string& dir) {
    rt_->scriptPaths.push_back(dir);
}
std::vector<std::string> Interpreter::scriptPaths() const {
    return rt_->scriptPaths;
}

std::string Interpreter::findScript(const std::string& name) const {
    auto readable = [](const std::string& p) { return std::ifstream(p).good(); };
    if (name.empty()) return {};
    std::vector<std::string> candidates{name};
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".mel") != 0) candidates.push_back(name + ".mel");
    if (name.find('/') != std::string::npos) {
        for (const auto& c : candidates)
            if (readable(c)) return c;
        return {};
    }
    for (const auto& dir : rt_->scriptPaths)
        for (const auto& c : candidates) {
            std::string p = dir.empty() || dir.back() == '/' ? dir + c : dir + "/" + c;
            if (readable(p)) return p;
        }
    for (const auto& c : candidates)
        if (readable(c)) return c;
    return {};
}

Value* Interpreter::globalVariable(const std::string& name) {
    return rt_->globalVariable(name);
}
void Interpreter::setGlobalVariable(const std::string& name, const Value& value) {
    rt_->setGlobalVariable(name, value);
}
Value* Interpreter::topLevelVariable(const std::string& name) {
    return rt_->topLevelVariable(name);
}

void Interpreter::setQuiet(bool on) {
    rt_->quiet = on ? 1 : 0;
}
bool Interpreter::quiet() const {
    return rt_->quiet > 0;
}
void Interpreter::setMaxCallDepth(int depth) {
    rt_->maxDepth = depth;
}
void Interpreter::setMaxSteps(long steps) {
    rt_->maxSteps = steps;
}

}  // namespace kxh::mel
