// The commands that belong to the language itself: output, evaluation, strings, math and the undo queue.
// Scene commands live in the layers above and register themselves the same way.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <regex>

#include "foundation/Output.h"
#include "mel/Library.h"
#include "mel/Interpreter.h"
#include "mel/Runtime.h"

namespace kxh::mel {

namespace {

using Args = std::vector<Arg>;

bool argCount(Invocation& inv, size_t lo, size_t hi) {
    if (inv.args.size() < lo || inv.args.size() > hi) {
        inv.error = "Wrong number of arguments on call to " + inv.name + ".";
        return false;
    }
    return true;
}

const Value& at(const Invocation& inv, size_t i) {
    return inv.args[i].value;
}

void add(Interpreter& interp, const std::string& name, Handler h, std::shared_ptr<Syntax> syntax = nullptr) {
    CommandDef d;
    d.name = name;
    d.handler = std::move(h);
    d.syntax = std::move(syntax);
    interp.commands().add(std::move(d));
}

// Glob matching as gmatch does it: '*' any run, '?' one character, [abc] / [a-z] / [!a] classes,
// '\\' escapes the next character.
bool globMatch(const char* s, const char* p) {
    for (; *p; ++p) {
        switch (*p) {
            case '*':
                while (p[1] == '*') ++p;
                if (!p[1]) return true;
                for (const char* t = s; *t; ++t)
                    if (globMatch(t, p + 1)) return true;
                return globMatch(s + std::strlen(s), p + 1);
            case '?':
                if (!*s) return false;
                ++s;
                break;
            case '[': {
                if (!*s) return false;
                const char* q = p + 1;
                bool negate = *q == '!' || *q == '^';
                if (negate) ++q;
                bool found = false;
                const char* start = q;
                while (*q && (*q != ']' || q == start)) {
                    if (q[1] == '-' && q[2] && q[2] != ']') {
                        if (*s >= q[0] && *s <= q[2]) found = true;
                        q += 3;
                    } else {
                        if (*s == *q) found = true;
                        ++q;
                    }
                }
                if (!*q) return *s == '[' && globMatch(s + 1, p + 1);  // no closing bracket: literal
                if (found == negate) return false;
                ++s;
                p = q;
                break;
            }
            case '\\':
                if (p[1]) ++p;
                [[fallthrough]];
            default:
                if (*s != *p) return false;
                ++s;
        }
    }
    return !*s;
}

bool makeRegex(Invocation& inv, const std::string& pattern, std::regex& re) {
    try {
        re = std::regex(pattern, std::regex::ECMAScript);
    } catch (const std::regex_error&) {
        inv.error = inv.name + ": invalid regular expression \"" + pattern + "\".";
        return false;
    }
    return true;
}

std::string upper(std::string s) {
    for (auto& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}
std::string lower(std::string s) {
    for (auto& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> splitAny(const std::string& s, const std::string& delims) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : s) {
        if (delims.find(c) != std::string::npos) {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    return parts;
}

void registerOutputAndEval(Interpreter& interp) {
    add(interp, "print", [](Invocation& inv) {
        if (!argCount(inv, 1, 1)) return false;
        const Value& v = at(inv, 0);
        if (v.isArray()) {
            std::string text;
            for (size_t i = 0; i < v.size(); ++i) text += v.element(i).asString() + "\n";
            output().print(text);
        } else {
            output().print(v.asString());
        }
        return true;
    });
    add(interp, "eval", [](Invocation& inv) {
        if (inv.args.empty()) return inv.fail("Wrong number of arguments on call to eval.");
        std::string text;
        for (size_t i = 0; i < inv.args.size(); ++i) text += (i ? " " : "") + at(inv, i).asString();
        Interpreter::Status st = inv.interp.execute(text);
        inv.result = st.result;
        return st.ok;  // a failure was reported by the nested run
    });
    add(interp, "source", [](Invocation& inv) {
        if (!argCount(inv, 1, 1)) return false;
        std::string name = at(inv, 0).asString();
        std::string path = inv.interp.findScript(name);
        if (path.empty()) return inv.fail("Cannot find file \"" + name + "\" for source statement.");
        Interpreter::Status st = inv.interp.executeFile(path);
        return st.ok;
    });
    add(interp, "error", [](Invocation& inv) {
        std::string msg;
        for (const auto& a : inv.args) msg += (msg.empty() ? "" : " ") + a.value.asString();
        return inv.fail(msg.empty() ? "An error occurred." : msg);
    });
    add(interp, "warning", [](Invocation& inv) {
        std::string msg;
        for (const auto& a : inv.args) msg += (msg.empty() ? "" : " ") + a.value.asString();
        output().warning(msg);
        return true;
    });
    add(interp, "exists", [](Invocation& inv) {
        if (!argCount(inv, 1, 1)) return false;
        std::string n = at(inv, 0).asString();
        inv.result = Value(inv.interp.procExists(n) || inv.interp.commands().find(n) != nullptr);
        return true;
    });
    add(interp, "whatIs", [](Invocation& inv) {
        if (!argCount(inv, 1, 1)) return false;
        std::string n = at(inv, 0).asString();
        Runtime& rt = inv.interp.runtime();
        Value::Kind kind;
        if (!n.empty() && n[0] == '$') {
            inv.result =
                rt.variableKind(n, kind) ? Value(Value::kindName(kind) + " variable") : Value("Unknown");
        } else if (const ProcEntry* p = rt.findProc(n)) {
            if (!p->def)
                inv.result = Value("Mel procedure registered by the host.");
            else if (p->def->sourceName.empty())
                inv.result = Value("Mel procedure entered interactively.");
            else
                inv.result = Value("Mel procedure found in: " + p->def->sourceName);
        } else if (inv.interp.commands().find(n)) {
            inv.result = Value("Command");
        } else {
            std::string script = inv.interp.findScript(n);
            inv.result = Value(script.empty() ? "Unknown" : "Script found in: " + script);
        }
        return true;
    });
}

void registerStrings(Interpreter& interp) {
    add(interp, "size", [](Invocation& inv) {
        if (!argCount(inv, 1, 1)) return false;
        const Value& v = at(inv, 0);
        inv.result = Value(long(v.isArray() ? v.size() : v.asString().size()));
        return true;
    });
    add(interp, "clear", [](Invocation& inv) {
        if (!argCount(inv, 1, 1)) return false;
        if (!inv.args[0].ref) return inv.fail("clear: the argument must be an array variable.");
        inv.args[0].ref->clearElements();
        return true;
    });
    add(interp, "tokenize", [](Invocation& inv) {
        if (!argCount(inv, 2, 3)) return false;
        std::string delims = inv.args.size() == 3 ? at(inv, 1).asString() : std::string(" \t\n\r");
        Arg& buffer = inv.args.back();
        if (!buffer.ref) return inv.fail("tokenize: the last argument must be a string array variable.");
        std::vector<std::string> parts = splitAny(at(inv, 0).asString(), delims);
        *buffer.ref =
            Value(parts).convertedTo(buffer.ref->isNone() ? Value::Kind::StringArray : buffer.ref->kind());
        inv.result = Value(long(parts.size()));
        return true;
    });
    add(interp, "stringToStringArray", [](Invocation& inv) {
        if (!argCount(inv, 2, 2)) return false;
        inv.result = Value(splitAny(at(inv, 0).asString(), at(inv, 1).asString()));
        return true;
    });
    add(interp, "stringArrayToString", [](Invocation& inv) {
        if (!argCount(inv, 2, 2)) return false;
        std::string r, sep = at(inv, 1).asString();
        for (const auto& s : at(inv, 0).asStringArray()) r += s + sep;
        if (!r.empty() && !sep.empty()) r.erase(r.size() - sep.size());
        inv.result = Value(r);
        return true;
    });
    add(interp, "stringArrayContains", [](Invocation& inv) {
        if (!argCount(inv, 2, 2)) return false;
        auto arr = at(inv, 1).asStringArray();
        inv.result = Value(std::find(arr.begin(), arr.end(), at(inv, 0).asString()) != arr.end());
        return true;
    });
    add(interp, "strcmp", [](Invocation& inv) {
        if (!argCount(inv, 2, 2)) return false;
        int c = at(inv, 0).asString().compare(at(inv, 1).asString());
        inv.result = Value(c < 0 ? -1 : c > 0 ? 1 : 0);
        return true;
    });
    add(interp, "substring", [](Invocation& inv) {
        if (!argCount(inv, 3, 3)) return false;
        std::string s = at(inv, 0).asString();
        long b = std::max(1L, at(inv, 1).asInt());
        long e = std::min(long(s.size()), at(inv, 2).asInt());
        inv.result = Value(b > e ? std::string() : s.substr(size_t(b - 1), size_t(e - b + 1)));
        return true;
    });
    add(interp, "match", [](Invocation& inv) {
        if (!argCount(inv, 2, 2)) return false;
        std::regex re;
        if (!makeRegex(inv, at(inv, 0).asString(), re)) return false;
        std::smatch m;
        std::string s = at(inv, 1).asString();
        inv.result = Value(std::regex_search(s, m, re) ? m.str(0) : std::string());
        return true;
    });
    add(interp, "substitute", [](Invocation& inv) {
        if (!argCount(inv, 3, 3)) return false;
        std::regex re;
        if (!makeRegex(inv, at(inv, 0).asString(), re)) return false;
        std::string s = at(inv, 1).asString();
        std::smatch m;
        if (std::regex_search(s, m, re)) s = m.prefix().str() + at(inv, 2).asString() + m.suffix().str();
        inv.result = Value(s);
        return true;
    });
    add(interp, "gmatch", [](Invocation& inv) {
        if (!argCount(inv, 2, 2)) return false;
        std::string s = at(inv, 0).asString(), p = at(inv, 1).asString();
        inv.result = Value(globMatch(s.c_str(), p.c_str()));
        return true;
    });
    add(interp, "startsWith", [](Invocation& inv) {
        if (!argCount(inv, 2, 2)) return false;
        std::string s = at(inv, 0).asString(), p = at(inv, 1).asString();
        inv.result = Value(s.compare(0, p.size(), p) == 0 && s.size() >= p.size());
        return true;
    });
    add(interp, "endsWith", [](Invocation& inv) {
        if (!argCount(inv, 2, 2)) return false;
        std::string s = at(inv, 0).asString(), p = at(inv, 1).asString();
        inv.result = Value(s.size() >= p.size() && s.compare(s.size() - p.size(), p.size(), p) == 0);
        return true;
    });
    add(interp, "toupper", [](Invocation& inv) {
        if (!argCount(inv, 1, 1)) return false;
        inv.result = Value(upper(at(inv, 0).asString()));
        return true;
    });
    add(interp, "tolower", [](Invocation& inv) {
        if (!argCount(inv, 1, 1)) return false;
        inv.result = Value(lower(at(inv, 0).asString()));
        return true;
    });
    add(interp, "strip", [](Invocation& inv) {
        if (!argCount(inv, 1, 1)) return false;
        std::string s = at(inv, 0).asString();
        size_t b = s.find_first_not_of(" \t\n\r");
        size_t e = s.find_last_not_of(" \t\n\r");
        inv.result = Value(b == std::string::npos ? std::string() : s.substr(b, e - b + 1));
        return true;
    });
}

void registerMath(Interpreter& interp) {
    auto unary = [&interp](const std::string& name, double (*fn)(double)) {
        add(interp, name, [fn](Invocation& inv) {
            if (!argCount(inv, 1, 1)) return false;
            inv.result = Value(fn(at(inv, 0).asFloat()));
            return true;
        });
    };
    unary("floor", [](double x) { return std::floor(x); });
    unary("ceil", [](double x) { return std::ceil(x); });
    unary("sqrt", [](double x) { return std::sqrt(x); });
    add(interp, "abs", [](Invocation& inv) {
        if (!argCount(inv, 1, 1)) return false;
        const Value& v = at(inv, 0);
        if (v.kind() == Value::Kind::Int) {
            long x = v.asInt();
            inv.result = Value(x < 0 ? long(0UL - (unsigned long)x) : x);
        } else if (v.kind() == Value::Kind::Vector) {
            Value::Vec x = v.asVector();
            inv.result = Value(Value::Vec{std::fabs(x[0]), std::fabs(x[1]), std::fabs(x[2])});
        } else {
            inv.result = Value(std::fabs(v.asFloat()));
        }
        return true;
    });
    auto minMax = [&interp](const std::string& name, bool isMin) {
        add(interp, name, [isMin](Invocation& inv) {
            if (!argCount(inv, 2, 2)) return false;
            const Value &a = at(inv, 0), &b = at(inv, 1);
            if (a.kind() == Value::Kind::Int && b.kind() == Value::Kind::Int)
                inv.result = Value(isMin ? std::min(a.asInt(), b.asInt()) : std::max(a.asInt(), b.asInt()));
            else
                inv.result =
                    Value(isMin ? std::min(a.asFloat(), b.asFloat()) : std::max(a.asFloat(), b.asFloat()));
            return true;
        });
    };
    minMax("min", true);
    minMax("max", false);
    add(interp, "pow", [](Invocation& inv) {
        if (!argCount(inv, 2, 2)) return false;
        inv.result = Value(std::pow(at(inv, 0).asFloat(), at(inv, 1).asFloat()));
        return true;
    });
}

void registerUndo(Interpreter& interp) {
    add(interp, "undo", [](Invocation& inv) {
        if (!argCount(inv, 0, 0)) return false;
        inv.result = Value(inv.interp.undoQueue().undo());
        return true;
    });
    add(interp, "redo", [](Invocation& inv) {
        if (!argCount(inv, 0, 0)) return false;
        inv.result = Value(inv.interp.undoQueue().redo());
        return true;
    });
    auto syntax = std::make_shared<Syntax>();
    syntax->queryable = true;
    syntax->maxObjects = 0;
    syntax->flag("ock", "openChunk")
        .flag("cck", "closeChunk")
        .flag("cn", "chunkName", {ArgType::String})
        .flag("st", "state", {ArgType::Bool})
        .flag("swf", "stateWithoutFlush", {ArgType::Bool})
        .flag("fl", "flush")
        .flag("un", "undoName")
        .flag("rn", "redoName")
        .flag("uqe", "undoQueueEmpty")
        .flag("l", "length", {ArgType::Int})
        .flag("in", "infinity", {ArgType::Bool})
        .flag("pq", "printQueue");
    add(
        interp, "undoInfo",
        [syntax](Invocation& inv) {
            ParsedArgs pa;
            if (!parseArgs(inv, *syntax, pa)) return false;
            UndoQueue& q = inv.interp.undoQueue();
            if (pa.query) {
                if (pa.has("st") || pa.has("swf"))
                    inv.result = Value(q.state());
                else if (pa.has("un"))
                    inv.result = Value(q.undoName());
                else if (pa.has("rn"))
                    inv.result = Value(q.redoName());
                else if (pa.has("uqe"))
                    inv.result = Value(!q.canUndo());
                else if (pa.has("l"))
                    inv.result = Value(0);
                else if (pa.has("in"))
                    inv.result = Value(1);
                else if (pa.has("ock") || pa.has("cck"))
                    inv.result = Value(q.chunkDepth() > 0);
                else
                    return inv.fail("undoInfo: no query flag given.");
                return true;
            }
            if (pa.has("fl")) q.clear();
            if (pa.has("st")) q.setState(pa.arg("st").asBool(), true);
            if (pa.has("swf")) q.setState(pa.arg("swf").asBool(), false);
            if (pa.has("ock")) q.openChunk(pa.arg("cn", Value("")).asString());
            if (pa.has("cck")) q.closeChunk();
            if (pa.has("pq")) {
                auto names = q.undoNames();
                for (size_t i = 0; i < names.size(); ++i) output().info(std::to_string(i) + ": " + names[i]);
            }
            return true;
        },
        syntax);
}

}  // namespace

void registerLanguageCommands(Interpreter& interp) {
    registerOutputAndEval(interp);
    registerStrings(interp);
    registerMath(interp);
    registerUndo(interp);
    lib::registerMathLibrary(interp);
    lib::registerArrayLibrary(interp);
    lib::registerSystemLibrary(interp);
}

}  // namespace kxh::mel
