#include "mel/Interpreter.h"

#include <cctype>
#include <cmath>
#include <fstream>
#include <sstream>

#include "foundation/Output.h"
#include "mel/Runtime.h"

namespace kxh::mel {

namespace {

// Arrays larger than this are refused rather than allocated ($a[2000000000] = 1 would exhaust memory).
constexpr long kMaxArrayIndex = 1L << 24;

std::string stripDollar(const std::string& name) {
    return !name.empty() && name[0] == '$' ? name.substr(1) : name;
}

std::string locationPrefix(const std::string& sourceName, int line) {
    std::string where = "line " + std::to_string(line) + ": ";
    return sourceName.empty() ? where : "file: " + sourceName + " " + where;
}

// Signed arithmetic that wraps instead of overflowing.
long wrapAdd(long a, long b) {
    return long((unsigned long)a + (unsigned long)b);
}
long wrapSub(long a, long b) {
    return long((unsigned long)a - (unsigned long)b);
}
long wrapMul(long a, long b) {
    return long((unsigned long)a * (unsigned long)b);
}

bool isFlagText(const std::string& s) {
    return s.size() > 1 && s[0] == '-' && std::isalpha(static_cast<unsigned char>(s[1]));
}

}  // namespace

// ---- frames ----------------------------------------------------------------------------------------

struct Runtime::FrameGuard {
    FrameGuard(Runtime& rt, Frame& f) : rt_(rt) { rt_.frames_.push_back(&f); }
    ~FrameGuard() { rt_.frames_.pop_back(); }
    Runtime& rt_;
};

namespace {
struct DepthCount {
    explicit DepthCount(int& d) : d_(d) { ++d_; }
    ~DepthCount() { --d_; }
    int& d_;
};
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

// ---- expressions -----------------------------------------------------------------------------------

Value Runtime::eval(const Expr& e) {
    switch (e.kind) {
        case ExprKind::Literal:
            return e.value;
        case ExprKind::Var:
            return lookupOrFail(e.name, e.line)->value;
        case ExprKind::Index: {
            long i = eval(*e.kids[1]).asInt();
            if (i < 0) fail(e.line, "Array index out of bounds.");
            if (e.kids[0]->kind == ExprKind::Var)
                return lookupOrFail(e.kids[0]->name, e.line)->value.element(size_t(i));
            return eval(*e.kids[0]).element(size_t(i));
        }
        case ExprKind::Member: {
            Value::Vec v = eval(*e.kids[0]).asVector();
            return Value(v[size_t(e.name[0] - 'x')]);
        }
        case ExprKind::Unary: {
            Value v = eval(*e.kids[0]);
            if (e.op == "!") return Value(!v.asBool());
            if (v.isArray()) fail(e.line, "Illegal operation on an array.");
            if (v.kind() == Value::Kind::Int) return Value(wrapSub(0, v.asInt()));
            if (v.kind() == Value::Kind::Vector) {
                Value::Vec x = v.asVector();
                return Value(Value::Vec{-x[0], -x[1], -x[2]});
            }
            return Value(-v.asFloat());
        }
        case ExprKind::Binary: {
            if (e.op == "&&") return Value(eval(*e.kids[0]).asBool() && eval(*e.kids[1]).asBool());
            if (e.op == "||") return Value(eval(*e.kids[0]).asBool() || eval(*e.kids[1]).asBool());
            Value a = eval(*e.kids[0]);
            Value b = eval(*e.kids[1]);
            return evalBinary(e.op, a, b, e.line);
        }
        case ExprKind::Assign: {
            Value rhs = eval(*e.kids[1]);
            if (e.op != "=") rhs = evalBinary(e.op.substr(0, 1), eval(*e.kids[0]), rhs, e.line);
            return assign(*e.kids[0], rhs);
        }
        case ExprKind::IncDec: {
            Value old = eval(*e.kids[0]);
            Value one(1);
            Value now = evalBinary(e.op == "++" ? "+" : "-", old, one, e.line);
            Value stored = assign(*e.kids[0], now);
            return e.prefix ? stored : old;
        }
        case ExprKind::Ternary:
            return eval(*e.kids[0]).asBool() ? eval(*e.kids[1]) : eval(*e.kids[2]);
        case ExprKind::Call:
            return evalCall(e);
        case ExprKind::Command:
            return evalCommand(e);
        case ExprKind::ArrayLit: {
            std::vector<Value> items;
            Value::Kind kind = Value::Kind::Int;
            bool anyString = false, anyVector = false, anyFloat = false;
            for (const auto& k : e.kids) {
                items.push_back(eval(*k));
                Value::Kind ek = Value::elementKind(items.back().kind());
                anyString |= ek == Value::Kind::String;
                anyVector |= ek == Value::Kind::Vector;
                anyFloat |= ek == Value::Kind::Float;
            }
            if (anyString)
                kind = Value::Kind::String;
            else if (anyVector)
                kind = Value::Kind::Vector;
            else if (anyFloat)
                kind = Value::Kind::Float;
            if (items.empty()) kind = Value::Kind::String;
            Value r = Value::zero(Value::arrayKind(kind));
            for (size_t i = 0; i < items.size(); ++i) r.setElement(i, items[i]);
            return r;
        }
        case ExprKind::VectorLit: {
            Value::Vec v;
            for (int i = 0; i < 3; ++i) v[size_t(i)] = eval(*e.kids[size_t(i)]).asFloat();
            return Value(v);
        }
    }
    return Value();
}

Value Runtime::evalBinary(const std::string& op, const Value& a, const Value& b, int line) {
    using K = Value::Kind;
    bool isCompare = op == "==" || op == "!=" || op == "<" || op == "<=" || op == ">" || op == ">=";
    if (a.isArray() || b.isArray()) {
        if (isCompare && a.isArray() && b.isArray() && (op == "==" || op == "!=")) {
            bool same = a.asStringArray() == b.asStringArray();
            return Value(op == "==" ? same : !same);
        }
        fail(line, "Illegal operation on an array.");
    }
    if (isCompare) {
        int c;
        if (a.isString() || b.isString()) {
            int r = a.asString().compare(b.asString());
            c = r < 0 ? -1 : r > 0 ? 1 : 0;
        } else if (a.kind() == K::Vector || b.kind() == K::Vector) {
            if (op != "==" && op != "!=") fail(line, "Illegal operation on a vector.");
            c = a.asVector() == b.asVector() ? 0 : 1;
        } else if (a.kind() == K::Int && b.kind() == K::Int) {
            c = a.asInt() < b.asInt() ? -1 : a.asInt() > b.asInt() ? 1 : 0;
        } else {
            double x = a.asFloat(), y = b.asFloat();
            c = x < y ? -1 : x > y ? 1 : 0;
        }
        if (op == "==") return Value(c == 0);
        if (op == "!=") return Value(c != 0);
        if (op == "<") return Value(c < 0);
        if (op == "<=") return Value(c <= 0);
        if (op == ">") return Value(c > 0);
        return Value(c >= 0);
    }
    if (op == "+" && (a.isString() || b.isString())) return Value(a.asString() + b.asString());
    if (a.isString() || b.isString()) fail(line, "Illegal operation on a string.");
    if (a.kind() == K::Vector || b.kind() == K::Vector) {
        Value::Vec x = a.asVector(), y = b.asVector(), r{};
        if (op == "*" && a.kind() == K::Vector && b.kind() == K::Vector)
            return Value(x[0] * y[0] + x[1] * y[1] + x[2] * y[2]);
        for (size_t i = 0; i < 3; ++i) {
            if (op == "+")
                r[i] = x[i] + y[i];
            else if (op == "-")
                r[i] = x[i] - y[i];
            else if (op == "*")
                r[i] = x[i] * y[i];
            else if (op == "/")
                r[i] = x[i] / y[i];
            else
                r[i] = std::fmod(x[i], y[i]);
        }
        return Value(r);
    }
    if (a.kind() == K::Int && b.kind() == K::Int) {
        long x = a.asInt(), y = b.asInt();
        if (op == "+") return Value(wrapAdd(x, y));
        if (op == "-") return Value(wrapSub(x, y));
        if (op == "*") return Value(wrapMul(x, y));
        if (y == 0) fail(line, "Divide by zero.");
        if (y == -1) return Value(op == "/" ? wrapSub(0, x) : 0L);
        return Value(op == "/" ? x / y : x % y);
    }
    double x = a.asFloat(), y = b.asFloat();
    if (op == "+") return Value(x + y);
    if (op == "-") return Value(x - y);
    if (op == "*") return Value(x * y);
    if (op == "/") return Value(x / y);
    return Value(std::fmod(x, y));
}

Value Runtime::assign(const Expr& target, const Value& v) {
    const Expr& varExpr = target.kind == ExprKind::Var ? target : *target.kids[0];
    VarPtr* found = lookup(varExpr.name);
    VarPtr var;
    if (found) {
        var = *found;
    } else {
        // Assigning to an undeclared variable declares it, untyped, in the current scope.
        var = std::make_shared<Variable>();
        currentScope()[varExpr.name] = var;
    }
    switch (target.kind) {
        case ExprKind::Var:
            if (var->kind == Value::Kind::None) {
                var->kind = v.kind();
                var->value = v;
            } else {
                var->value = convertFor(v, var->kind, target.line);
            }
            return var->value;
        case ExprKind::Index: {
            long i = eval(*target.kids[1]).asInt();
            if (i < 0 || i > kMaxArrayIndex) fail(target.line, "Array index out of bounds.");
            if (var->kind == Value::Kind::None && var->value.isNone())
                var->kind = Value::arrayKind(Value::elementKind(v.isNone() ? Value::Kind::Int : v.kind()));
            if (!Value::zero(var->kind).isArray())
                fail(target.line, "\"$" + varExpr.name + "\" is not an array.");
            if (var->value.isNone()) var->value = Value::zero(var->kind);
            var->value.setElement(size_t(i), v);
            return var->value.element(size_t(i));
        }
        case ExprKind::Member: {
            if (var->kind != Value::Kind::Vector && var->value.kind() != Value::Kind::Vector)
                fail(target.line, "\"$" + varExpr.name + "\" is not a vector.");
            Value::Vec x = var->value.asVector();
            x[size_t(target.name[0] - 'x')] = v.asFloat();
            var->value = Value(x);
            return Value(x[size_t(target.name[0] - 'x')]);
        }
        default:
            fail(target.line, "Syntax error");
    }
}

Value Runtime::evalCatch(const Expr* arg, bool quietCatch) {
    if (!arg) return Value(0);
    if (quietCatch) ++quiet;
    bool failed = false;
    try {
        eval(*arg);
    } catch (const MelError& e) {
        failed = true;
        if (!e.reported) report(e.message);
    }
    if (quietCatch) --quiet;
    return Value(failed);
}

Value Runtime::evalCall(const Expr& e) {
    const std::string& n = e.name;
    if (n == "catch" || n == "catchQuiet") {
        if (e.kids.size() > 1) fail(e.line, "Wrong number of arguments on call to " + n + ".");
        return evalCatch(e.kids.empty() ? nullptr : e.kids[0].get(), n == "catchQuiet");
    }
    // Casts: int($f), float($s), string($i), vector($s).
    Value::Kind castKind = Value::Kind::None;
    if (n == "int")
        castKind = Value::Kind::Int;
    else if (n == "float")
        castKind = Value::Kind::Float;
    else if (n == "string")
        castKind = Value::Kind::String;
    else if (n == "vector")
        castKind = Value::Kind::Vector;
    if (castKind != Value::Kind::None) {
        if (e.kids.size() != 1) fail(e.line, "Wrong number of arguments on call to " + n + ".");
        return convertFor(eval(*e.kids[0]), castKind, e.line);
    }
    std::vector<Arg> args;
    std::vector<VarPtr> refs;
    std::string text = n;
    bool isProc = findProc(n) != nullptr;
    for (const auto& k : e.kids) {
        Arg a;
        a.value = eval(*k);
        VarPtr ref;
        if (k->kind == ExprKind::Var) ref = lookupOrFail(k->name, k->line);
        // In function syntax a command's flags are passed as strings: ls("-sl").
        a.isFlag = !isProc && a.value.isString() && isFlagText(a.value.asString());
        text +=
            " " + (a.value.isString() && !a.isFlag ? "\"" + a.value.asString() + "\"" : a.value.toString());
        args.push_back(std::move(a));
        refs.push_back(std::move(ref));
    }
    return dispatch(n, args, refs, e.line, text);
}

Value Runtime::evalCommand(const Expr& e) {
    if (e.name == "catch" || e.name == "catchQuiet") {
        if (e.words.size() > 1) fail(e.line, "Wrong number of arguments on call to " + e.name + ".");
        return evalCatch(e.words.empty() ? nullptr : e.words[0].expr.get(), e.name == "catchQuiet");
    }
    std::vector<Arg> args;
    std::vector<VarPtr> refs;
    for (const auto& w : e.words) {
        Arg a;
        a.value = eval(*w.expr);
        a.isFlag = w.isFlag;
        VarPtr ref;
        if (w.expr->kind == ExprKind::Var) ref = lookupOrFail(w.expr->name, w.expr->line);
        args.push_back(std::move(a));
        refs.push_back(std::move(ref));
    }
    return dispatch(e.name, args, refs, e.line, e.text);
}

Value Runtime::dispatch(const std::string& name, std::vector<Arg>& args, std::vector<VarPtr>& refs, int line,
                        const std::string& text) {
    for (size_t i = 0; i < args.size(); ++i) args[i].ref = refs[i] ? &refs[i]->value : nullptr;
    if (frames_.empty()) fail(line, "No frame.");
    frames_.back()->line = line;
    if (const ProcEntry* p = findProc(name)) {
        if (p->def) {
            std::shared_ptr<ProcDef> keep = p->def;  // the entry may be redefined while it runs
            return callScriptProc(*keep, args, refs, line);
        }
        NativeProc fn = p->native;
        std::vector<Value> values;
        for (const auto& a : args) values.push_back(a.value);
        Value result;
        std::string error;
        bool ok = false;
        try {
            ok = fn(interp_, values, result, error);
        } catch (const std::exception& ex) {
            error = ex.what();
        }
        if (!ok) {
            if (error.empty()) throw MelError{where(line) + "Procedure \"" + name + "\" failed.", true};
            fail(line, error);
        }
        return result;
    }
    const CommandDef* cmd = commands.find(name);
    if (!cmd) fail(line, "Cannot find procedure \"" + name + "\".");
    Handler handler = cmd->handler;  // the command may unregister itself while running
    Invocation inv{interp_, name, args, text, Value(), std::string()};
    for (size_t i = 0; i < inv.args.size(); ++i) inv.args[i].ref = args[i].ref;
    bool ok = false;
    try {
        ok = handler && handler(inv);
    } catch (const MelError&) {
        throw;
    } catch (const std::exception& ex) {
        inv.error = ex.what();
    }
    if (!ok) {
        if (inv.error.empty()) throw MelError{where(line) + "Command \"" + name + "\" failed.", true};
        fail(line, inv.error);
    }
    return inv.result;
}

Value Runtime::callScriptProc(const ProcDef& def, const std::vector<Arg>& args,
                              const std::vector<VarPtr>& refs, int line) {
    if (args.size() != def.params.size())
        fail(line, "Wrong number of arguments on call to " + def.name + ".");
    if (depth_ >= maxDepth) fail(line, "Maximum nesting of scripts and procedures exceeded.");
    Frame f;
    f.sourceName = def.sourceName;
    f.scopes.emplace_back();
    for (size_t i = 0; i < args.size(); ++i) {
        const Param& p = def.params[i];
        bool isArray = Value::zero(p.type).isArray();
        if (isArray && refs[i] && refs[i]->value.kind() == p.type) {
            // Arrays pass by reference, as in MEL.
            f.scopes[0][p.name] = refs[i];
            continue;
        }
        auto var = std::make_shared<Variable>();
        var->kind = p.type;
        var->value = convertFor(args[i].value, p.type, line);
        f.scopes[0][p.name] = var;
    }
    DepthCount dc(depth_);
    FrameGuard guard(*this, f);
    Flow flow = execBody(def.body);
    if (def.returnType == Value::Kind::None) return Value();
    if (flow != Flow::Return || f.returnValue.isNone()) return Value::zero(def.returnType);
    return convertFor(f.returnValue, def.returnType, f.line);
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
    return rt_->execute(text, sourceName);
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
    return rt_->execute(ss.str(), path);
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
