// The string and array procedures of the language: format, sort, the stringArray*/intArray* family,
// number arrays to strings, and path helpers. A scalar where an array is expected fails with the host's
// conversion message; procedures that edit an array in place need the array as a variable.
#include <algorithm>
#include <cctype>

#include "mel/Library.h"

namespace kxh::mel::lib {

namespace {

using Strings = std::vector<std::string>;

bool arrayArg(Invocation& inv, size_t i, Value::Kind want) {
    const Value& v = at(inv, i);
    if (v.isArray()) return true;
    return inv.fail("Cannot convert data of type " + Value::kindName(v.kind()) + " to type " +
                    Value::kindName(want) + ".");
}

bool strings(Invocation& inv, size_t i, Strings& out) {
    if (!arrayArg(inv, i, Value::Kind::StringArray)) return false;
    out = at(inv, i).asStringArray();
    return true;
}

std::string lowerCase(std::string s) {
    for (auto& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// format -s a -s b "^1s and ^2s": each ^Ns is replaced by the N-th -stringArg; "^^" is a literal "^".
void registerFormat(Interpreter& interp) {
    auto syntax = std::make_shared<Syntax>();
    syntax->minObjects = 1;
    syntax->maxObjects = 1;
    syntax->flag("s", "stringArg", {ArgType::String}, true);
    add(
        interp, "format",
        [syntax](Invocation& inv) {
            ParsedArgs pa;
            if (!parseArgs(inv, *syntax, pa)) return false;
            Strings args;
            for (int i = 0; i < pa.count("s"); ++i) args.push_back(pa.get("s", i)->args[0].asString());
            std::string text = pa.objects[0].asString(), out;
            for (size_t i = 0; i < text.size(); ++i) {
                if (text[i] == '^' && i + 1 < text.size() && text[i + 1] == '^') {
                    out += '^';
                    ++i;
                    continue;
                }
                size_t j = i + 1;
                while (text[i] == '^' && j < text.size() && std::isdigit(static_cast<unsigned char>(text[j])))
                    ++j;
                if (text[i] == '^' && j > i + 1 && j < text.size() && text[j] == 's') {
                    size_t n = std::stoul(text.substr(i + 1, j - i - 1));
                    if (n < 1 || n > args.size())
                        return inv.fail("format: no -stringArg for ^" + std::to_string(n) + "s.");
                    out += args[n - 1];
                    i = j;
                    continue;
                }
                out += text[i];
            }
            inv.result = Value(out);
            return true;
        },
        syntax);
}

void registerSort(Interpreter& interp) {
    add(interp, "sort", [](Invocation& inv) {
        if (!argCount(inv, 1, 1) || !arrayArg(inv, 0, Value::Kind::StringArray)) return false;
        const Value& v = at(inv, 0);
        switch (v.kind()) {
            case Value::Kind::IntArray: {
                auto a = v.asIntArray();
                std::sort(a.begin(), a.end());
                inv.result = Value(std::vector<int>(a.begin(), a.end()));
                break;
            }
            case Value::Kind::FloatArray: {
                auto a = v.asFloatArray();
                std::sort(a.begin(), a.end());
                inv.result = Value(a);
                break;
            }
            case Value::Kind::StringArray: {
                auto a = v.asStringArray();
                std::sort(a.begin(), a.end());
                inv.result = Value(a);
                break;
            }
            default:
                return inv.fail("sort: cannot sort an array of type " + Value::kindName(v.kind()) + ".");
        }
        return true;
    });
    add(interp, "sortCaseInsensitive", [](Invocation& inv) {
        Strings a;
        if (!argCount(inv, 1, 1) || !strings(inv, 0, a)) return false;
        std::stable_sort(a.begin(), a.end(), [](const std::string& x, const std::string& y) {
            return lowerCase(x) < lowerCase(y);
        });
        inv.result = Value(a);
        return true;
    });
}

void registerStringArrays(Interpreter& interp) {
    // stringArrayRemove(items, list): the list without any of the items.
    add(interp, "stringArrayRemove", [](Invocation& inv) {
        Strings items, list, out;
        if (!argCount(inv, 2, 2) || !strings(inv, 0, items) || !strings(inv, 1, list)) return false;
        for (const auto& s : list)
            if (std::find(items.begin(), items.end(), s) == items.end()) out.push_back(s);
        inv.result = Value(out);
        return true;
    });
    // stringArrayRemoveExact(items, list): each item removes one occurrence only.
    add(interp, "stringArrayRemoveExact", [](Invocation& inv) {
        Strings items, list;
        if (!argCount(inv, 2, 2) || !strings(inv, 0, items) || !strings(inv, 1, list)) return false;
        for (const auto& s : items) {
            auto it = std::find(list.begin(), list.end(), s);
            if (it != list.end()) list.erase(it);
        }
        inv.result = Value(list);
        return true;
    });
    add(interp, "stringArrayCount", [](Invocation& inv) {
        Strings list;
        if (!argCount(inv, 2, 2) || !strings(inv, 1, list)) return false;
        inv.result = Value(long(std::count(list.begin(), list.end(), at(inv, 0).asString())));
        return true;
    });
    add(interp, "stringArrayRemoveDuplicates", [](Invocation& inv) {
        Strings list, out;
        if (!argCount(inv, 1, 1) || !strings(inv, 0, list)) return false;
        for (const auto& s : list)
            if (std::find(out.begin(), out.end(), s) == out.end()) out.push_back(s);
        inv.result = Value(out);
        return true;
    });
    add(interp, "stringArrayCatenate", [](Invocation& inv) {
        Strings a, b;
        if (!argCount(inv, 2, 2) || !strings(inv, 0, a) || !strings(inv, 1, b)) return false;
        a.insert(a.end(), b.begin(), b.end());
        inv.result = Value(a);
        return true;
    });
    // stringArrayFind(item, startIndex, list): the index of the first match at or after start, or -1.
    add(interp, "stringArrayFind", [](Invocation& inv) {
        Strings list;
        if (!argCount(inv, 3, 3) || !strings(inv, 2, list)) return false;
        long start = std::max(0L, at(inv, 1).asInt());
        long found = -1;
        for (size_t i = size_t(start); i < list.size() && found < 0; ++i)
            if (list[i] == at(inv, 0).asString()) found = long(i);
        inv.result = Value(found);
        return true;
    });
    // stringArrayInsertAtIndex(index, list, item): edits the list variable; an index past the end
    // appends; a negative index inserts nothing and answers 0.
    add(interp, "stringArrayInsertAtIndex", [](Invocation& inv) {
        Strings list;
        if (!argCount(inv, 3, 3) || !strings(inv, 1, list)) return false;
        Value* ref = arrayRef(inv, 1);
        if (!ref) return false;
        long i = at(inv, 0).asInt();
        if (i < 0) {
            inv.result = Value(0);
            return true;
        }
        list.insert(list.begin() + std::min(long(list.size()), i), at(inv, 2).asString());
        *ref = Value(list);
        inv.result = Value(1);
        return true;
    });
    add(interp, "stringArrayRemoveAtIndex", [](Invocation& inv) {
        Strings list;
        if (!argCount(inv, 2, 2) || !strings(inv, 1, list)) return false;
        long i = at(inv, 0).asInt();
        if (i >= 0 && i < long(list.size())) list.erase(list.begin() + i);
        inv.result = Value(list);
        return true;
    });
    // appendStringArray(to, from, count): appends the first count items of from to the variable to.
    add(interp, "appendStringArray", [](Invocation& inv) {
        Strings to, from;
        if (!argCount(inv, 3, 3) || !strings(inv, 0, to) || !strings(inv, 1, from)) return false;
        Value* ref = arrayRef(inv, 0);
        if (!ref) return false;
        long n = std::min(long(from.size()), at(inv, 2).asInt());
        for (long i = 0; i < n; ++i) to.push_back(from[size_t(i)]);
        *ref = Value(to);
        return true;
    });
}

void registerNumberArrays(Interpreter& interp) {
    add(interp, "intArrayCount", [](Invocation& inv) {
        if (!argCount(inv, 2, 2) || !arrayArg(inv, 1, Value::Kind::IntArray)) return false;
        auto a = at(inv, 1).asIntArray();
        inv.result = Value(long(std::count(a.begin(), a.end(), at(inv, 0).asInt())));
        return true;
    });
    add(interp, "intArrayContains", [](Invocation& inv) {
        if (!argCount(inv, 2, 2) || !arrayArg(inv, 1, Value::Kind::IntArray)) return false;
        auto a = at(inv, 1).asIntArray();
        inv.result = Value(std::find(a.begin(), a.end(), at(inv, 0).asInt()) != a.end());
        return true;
    });
    add(interp, "intArrayFind", [](Invocation& inv) {
        if (!argCount(inv, 3, 3) || !arrayArg(inv, 2, Value::Kind::IntArray)) return false;
        auto a = at(inv, 2).asIntArray();
        long found = -1;
        for (size_t i = size_t(std::max(0L, at(inv, 1).asInt())); i < a.size() && found < 0; ++i)
            if (a[i] == at(inv, 0).asInt()) found = long(i);
        inv.result = Value(found);
        return true;
    });
    auto toString = [&interp](const std::string& name, Value::Kind kind) {
        add(interp, name, [kind](Invocation& inv) {
            if (!argCount(inv, 2, 2) || !arrayArg(inv, 0, kind)) return false;
            std::string sep = at(inv, 1).asString(), out;
            const Value& a = at(inv, 0);
            for (size_t i = 0; i < a.size(); ++i) out += (i ? sep : "") + a.element(i).asString();
            inv.result = Value(out);
            return true;
        });
    };
    toString("floatArrayToString", Value::Kind::FloatArray);
    toString("intArrayToString", Value::Kind::IntArray);
}

void registerPaths(Interpreter& interp) {
    // basename(path, suffix): the last part of the path, without the suffix when it ends with it.
    add(interp, "basename", [](Invocation& inv) {
        if (!argCount(inv, 2, 2)) return false;
        std::string p = at(inv, 0).asString(), suffix = at(inv, 1).asString();
        size_t slash = p.find_last_of("/\\");
        if (slash != std::string::npos) p = p.substr(slash + 1);
        if (!suffix.empty() && p.size() >= suffix.size() &&
            p.compare(p.size() - suffix.size(), suffix.size(), suffix) == 0)
            p.erase(p.size() - suffix.size());
        inv.result = Value(p);
        return true;
    });
    add(interp, "dirname", [](Invocation& inv) {
        if (!argCount(inv, 1, 1)) return false;
        std::string p = at(inv, 0).asString();
        size_t slash = p.find_last_of("/\\");
        inv.result = Value(slash == std::string::npos ? std::string() : p.substr(0, slash));
        return true;
    });
    add(interp, "fileExtension", [](Invocation& inv) {
        if (!argCount(inv, 1, 1)) return false;
        std::string p = at(inv, 0).asString();
        size_t dot = p.find_last_of('.'), slash = p.find_last_of("/\\");
        bool has = dot != std::string::npos && (slash == std::string::npos || dot > slash);
        inv.result = Value(has ? p.substr(dot + 1) : std::string());
        return true;
    });
    add(interp, "capitalizeString", [](Invocation& inv) {
        if (!argCount(inv, 1, 1)) return false;
        std::string s = at(inv, 0).asString();
        if (!s.empty()) s[0] = char(std::toupper(static_cast<unsigned char>(s[0])));
        inv.result = Value(s);
        return true;
    });
    // substituteAllString(text, find, replace): every literal occurrence, left to right.
    add(interp, "substituteAllString", [](Invocation& inv) {
        if (!argCount(inv, 3, 3)) return false;
        std::string s = at(inv, 0).asString(), f = at(inv, 1).asString(), r = at(inv, 2).asString(), out;
        if (f.empty()) {
            inv.result = Value(s);
            return true;
        }
        size_t pos = 0;
        for (size_t hit; (hit = s.find(f, pos)) != std::string::npos; pos = hit + f.size())
            out += s.substr(pos, hit - pos) + r;
        inv.result = Value(out + s.substr(pos));
        return true;
    });
    auto ends = [&interp](const std::string& name, bool fromEnd) {
        add(interp, name, [fromEnd](Invocation& inv) {
            if (!argCount(inv, 2, 2)) return false;
            std::string s = at(inv, 0).asString();
            size_t n = size_t(std::max(0L, std::min(long(s.size()), at(inv, 1).asInt())));
            inv.result = Value(fromEnd ? s.substr(s.size() - n) : s.substr(0, n));
            return true;
        });
    };
    ends("startString", false);
    ends("endString", true);
}

}  // namespace

void registerArrayLibrary(Interpreter& interp) {
    registerFormat(interp);
    registerSort(interp);
    registerStringArrays(interp);
    registerNumberArrays(interp);
    registerPaths(interp);
}

}  // namespace kxh::mel::lib
