#include "mel/Command.h"

#include <cctype>

#include "mel/Interpreter.h"

namespace kxh::mel {

std::string Arg::flagName() const {
    if (!isFlag) return {};
    std::string s = value.asString();
    return s.size() > 1 && s[0] == '-' ? s.substr(1) : std::string();
}

Syntax& Syntax::flag(const std::string& shortName, const std::string& longName, std::vector<ArgType> args,
                     bool multiUse) {
    FlagDef d;
    d.shortName = shortName;
    d.longName = longName;
    d.args = std::move(args);
    d.multiUse = multiUse;
    flags.push_back(std::move(d));
    return *this;
}

const FlagDef* Syntax::find(const std::string& name) const {
    for (const auto& f : flags)
        if (f.shortName == name || f.longName == name) return &f;
    return nullptr;
}

namespace {

bool sameFlag(const FlagDef* def, const std::string& name) {
    return def && (def->shortName == name || def->longName == name);
}

const char* typeWord(ArgType t) {
    switch (t) {
        case ArgType::Bool:
            return "boolean";
        case ArgType::Int:
            return "int";
        case ArgType::Float:
            return "float";
        case ArgType::String:
            return "string";
    }
    return "";
}

std::string lower(std::string s) {
    for (auto& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Converts one flag argument. Numbers given as words arrive as Int/Float values; strings are checked
// to be wholly numeric where a number is wanted.
bool convertArg(const Arg& a, ArgType t, Value& out) {
    if (a.isFlag) return false;
    const Value& v = a.value;
    switch (t) {
        case ArgType::String:
            out = Value(v.asString());
            return true;
        case ArgType::Bool: {
            if (v.isNumber()) {
                out = Value(v.asFloat() != 0);
                return true;
            }
            if (v.kind() != Value::Kind::String) return false;
            std::string l = lower(v.asString());
            if (l == "true" || l == "on" || l == "yes") {
                out = Value(true);
                return true;
            }
            if (l == "false" || l == "off" || l == "no") {
                out = Value(false);
                return true;
            }
            double d;
            if (!Value::parseNumber(l, d)) return false;
            out = Value(d != 0);
            return true;
        }
        case ArgType::Int:
        case ArgType::Float: {
            double d;
            if (v.isNumber()) {
                d = v.asFloat();
            } else if (v.kind() == Value::Kind::String) {
                if (!Value::parseNumber(v.asString(), d)) return false;
            } else {
                return false;
            }
            out = t == ArgType::Int ? Value(long(d)) : Value(d);
            return true;
        }
    }
    return false;
}

}  // namespace

bool ParsedArgs::has(const std::string& name) const {
    return get(name) != nullptr;
}

int ParsedArgs::count(const std::string& name) const {
    int n = 0;
    for (const auto& f : flags)
        if (sameFlag(f.def, name)) ++n;
    return n;
}

const ParsedFlag* ParsedArgs::get(const std::string& name, int occurrence) const {
    for (const auto& f : flags)
        if (sameFlag(f.def, name) && occurrence-- == 0) return &f;
    return nullptr;
}

Value ParsedArgs::arg(const std::string& name, const Value& fallback, int index) const {
    // A single-use flag given twice: the last occurrence wins.
    const ParsedFlag* found = nullptr;
    for (const auto& f : flags)
        if (sameFlag(f.def, name)) {
            found = &f;
            if (f.def->multiUse) break;
        }
    if (!found || index < 0 || size_t(index) >= found->args.size()) return fallback;
    return found->args[size_t(index)];
}

bool parseArgs(const std::string& command, const Syntax& syntax, const std::vector<Arg>& words,
               ParsedArgs& out, std::string& error) {
    (void)command;
    out = ParsedArgs();
    // The mode applies to the whole line, wherever -q/-e stands ("selectType -ocm -q -v").
    for (const auto& w : words) {
        std::string n = w.flagName();
        if ((n == "q" || n == "query") && syntax.queryable && !syntax.find(n)) out.query = true;
        if ((n == "e" || n == "edit") && syntax.editable && !syntax.find(n)) out.edit = true;
    }
    for (size_t i = 0; i < words.size(); ++i) {
        const Arg& w = words[i];
        if (!w.isFlag) {
            out.objects.push_back(w.value);
            continue;
        }
        std::string n = w.flagName();
        const FlagDef* def = syntax.find(n);
        if (!def) {
            bool mode = ((n == "q" || n == "query") && syntax.queryable) ||
                        ((n == "e" || n == "edit") && syntax.editable);
            if (mode) continue;
            error = "Invalid flag: -" + n;
            return false;
        }
        ParsedFlag pf;
        pf.def = def;
        pf.position = int(i);
        bool takesArgs = !out.query || def->queryWithArgs;
        if (takesArgs) {
            for (ArgType t : def->args) {
                Value v;
                if (i + 1 >= words.size() || !convertArg(words[i + 1], t, v)) {
                    error = "Flag '-" + n + "' must be passed a" + (t == ArgType::Int ? "n " : " ") +
                            typeWord(t) + " argument.";
                    return false;
                }
                ++i;
                pf.args.push_back(std::move(v));
            }
        }
        out.flags.push_back(std::move(pf));
    }
    if (int(out.objects.size()) < syntax.minObjects) {
        error = "Not enough objects or values.";
        return false;
    }
    if (syntax.maxObjects >= 0 && int(out.objects.size()) > syntax.maxObjects) {
        error = "Too many objects or values.";
        return false;
    }
    return true;
}

bool CommandRegistry::add(CommandDef def) {
    if (def.name.empty() || commands_.count(def.name)) return false;
    std::string name = def.name;
    commands_.emplace(std::move(name), std::move(def));
    return true;
}

bool CommandRegistry::remove(const std::string& name) {
    return commands_.erase(name) > 0;
}

const CommandDef* CommandRegistry::find(const std::string& name) const {
    auto it = commands_.find(name);
    return it == commands_.end() ? nullptr : &it->second;
}

std::vector<std::string> CommandRegistry::names() const {
    std::vector<std::string> r;
    r.reserve(commands_.size());
    for (const auto& kv : commands_) r.push_back(kv.first);
    return r;
}

bool parseArgs(Invocation& inv, const Syntax& syntax, ParsedArgs& out) {
    std::string error;
    if (!parseArgs(inv.name, syntax, inv.args, out, error)) return inv.fail(error);
    return true;
}

bool undoable(Invocation& inv, UndoJournal& journal, const std::function<bool()>& body) {
    const bool nested = journal.isRecording();
    journal.beginRecording();
    if (!body()) {
        journal.rollback();
        return false;
    }
    UndoEntryPtr entry = journal.endRecording(inv.commandLine.empty() ? inv.name : inv.commandLine);
    if (entry && !nested) inv.interp.undoQueue().push(std::move(entry));
    return true;
}

}  // namespace kxh::mel
