// Expression evaluation for the interpreter: operators, assignment, catch, procedure calls and command
// invocations. The statements are run in Interpreter.cpp.
#include <cctype>
#include <cmath>
#include <string>

#include "mel/Runtime.h"
#include "mel/RuntimeGuards.h"

namespace kxh::mel {

namespace {

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
        if (op == "^")
            return Value(
                Value::Vec{x[1] * y[2] - x[2] * y[1], x[2] * y[0] - x[0] * y[2], x[0] * y[1] - x[1] * y[0]});
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
    if (op == "^") fail(line, "The ^ operator takes two vectors.");
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

}  // namespace kxh::mel
