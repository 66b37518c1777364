// The environment, file and timing procedures of the language: getenv/putenv/about, the file-id family
// (fopen, fprint, fwrite, fread, fgetline, fgetword, feof, frewind, fflush, fclose), filetest and
// getFileList, timerX, and the idle queue (evalDeferred, flushIdleQueue).
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>

#include "mel/Library.h"

namespace kxh::mel::lib {

namespace {

// The API version the host's headers declare (MAYA_API_VERSION); about -v answers its year.
constexpr long kApiVersion = 201104;

// Open files by the id fopen handed out. Ids are never reused, so a stale id fails instead of writing
// to a file opened later.
struct OpenFiles {
    std::map<long, std::FILE*> files;
    long next = 1;
};
OpenFiles& openFiles() {
    static OpenFiles f;
    return f;
}

std::FILE* fileArg(Invocation& inv, size_t i) {
    long id = at(inv, i).asInt();
    auto& m = openFiles().files;
    auto it = m.find(id);
    if (at(inv, i).isArray() || it == m.end()) {
        inv.fail(inv.name + ": invalid file identifier " + at(inv, i).asString() + ".");
        return nullptr;
    }
    return it->second;
}

void registerEnvironment(Interpreter& interp) {
    add(interp, "getenv", [](Invocation& inv) {
        if (!argCount(inv, 1, 1)) return false;
        const char* v = std::getenv(at(inv, 0).asString().c_str());
        inv.result = Value(std::string(v ? v : ""));
        return true;
    });
    add(interp, "putenv", [](Invocation& inv) {
        if (!argCount(inv, 2, 2)) return false;
        std::string name = at(inv, 0).asString();
        if (name.empty() || name.find('=') != std::string::npos)
            return inv.fail("putenv: invalid variable name \"" + name + "\".");
        ::setenv(name.c_str(), at(inv, 1).asString().c_str(), 1);
        return true;
    });
    auto syntax = std::make_shared<Syntax>();
    syntax->maxObjects = 0;
    syntax->flag("v", "version")
        .flag("api", "apiVersion")
        .flag("b", "batch")
        .flag("li", "linux")
        .flag("lnx", "linux64")
        .flag("win", "windows")
        .flag("mac", "macOS")
        .flag("nt", "ntOS")
        .flag("os", "operatingSystem")
        .flag("osv", "operatingSystemVersion")
        .flag("p", "product")
        .flag("x64", "is64")
        .flag("cd", "currentDate")
        .flag("ct", "currentTime")
        .flag("env", "environmentFile")
        .flag("uil", "uiLanguage");
    add(
        interp, "about",
        [syntax](Invocation& inv) {
            ParsedArgs pa;
            if (!parseArgs(inv, *syntax, pa)) return false;
            if (pa.flags.size() != 1) return inv.fail("about: exactly one flag is expected.");
            std::string f = pa.flags[0].def->shortName;
            std::time_t now = std::time(nullptr);
            char buf[32];
            if (f == "v")
                inv.result = Value(std::to_string(kApiVersion / 100));
            else if (f == "api")
                inv.result = Value(kApiVersion);
            else if (f == "b" || f == "win" || f == "mac" || f == "nt")
                inv.result = Value(0);  // the host runs interactively (it has a UI model), on Linux
            else if (f == "li" || f == "lnx" || f == "x64")
                inv.result = Value(1);
            else if (f == "os")
                inv.result = Value("linux64");
            else if (f == "osv")
                inv.result = Value("Linux");
            else if (f == "p")
                inv.result = Value("Kestrix host " + std::to_string(kApiVersion / 100));
            else if (f == "cd" || f == "ct") {
                std::strftime(buf, sizeof buf, f == "cd" ? "%Y/%m/%d" : "%H:%M:%S", std::localtime(&now));
                inv.result = Value(std::string(buf));
            } else if (f == "env")
                inv.result = Value(std::string());
            else
                inv.result = Value("en_US");
            return true;
        },
        syntax);
}

void registerFileIds(Interpreter& interp) {
    // fopen(name[, mode]): mode "w" by default; "r", "w", "a" with an optional "+". 0 when the file
    // cannot be opened.
    add(interp, "fopen", [](Invocation& inv) {
        if (!argCount(inv, 1, 2)) return false;
        std::string mode = inv.args.size() == 2 ? at(inv, 1).asString() : "w";
        if (mode != "r" && mode != "w" && mode != "a" && mode != "r+" && mode != "w+" && mode != "a+")
            return inv.fail("fopen: invalid mode \"" + mode + "\"; use r, w, a, r+, w+ or a+.");
        std::string name = at(inv, 0).asString();
        std::FILE* f = name.empty() ? nullptr : std::fopen(name.c_str(), (mode + "b").c_str());
        if (!f) {
            inv.result = Value(0);
            return true;
        }
        long id = openFiles().next++;
        openFiles().files[id] = f;
        inv.result = Value(id);
        return true;
    });
    add(interp, "fclose", [](Invocation& inv) {
        if (!argCount(inv, 1, 1)) return false;
        std::FILE* f = fileArg(inv, 0);
        if (!f) return false;
        std::fclose(f);
        openFiles().files.erase(at(inv, 0).asInt());
        return true;
    });
    add(interp, "fprint", [](Invocation& inv) {
        if (!argCount(inv, 2, 2)) return false;
        std::FILE* f = fileArg(inv, 0);
        if (!f) return false;
        std::string s = at(inv, 1).asString();
        std::fwrite(s.data(), 1, s.size(), f);
        return true;
    });
    // fwrite writes binary: ints as 4 bytes, floats as 4-byte floats, vectors as three, strings with a
    // terminating null. fread reads back a value of the kind of its second argument.
    add(interp, "fwrite", [](Invocation& inv) {
        if (!argCount(inv, 2, 2)) return false;
        std::FILE* f = fileArg(inv, 0);
        if (!f) return false;
        const Value& v = at(inv, 1);
        if (v.isArray()) return inv.fail("fwrite: arrays cannot be written; write their elements.");
        if (v.kind() == Value::Kind::Int) {
            int32_t x = int32_t(v.asInt());
            std::fwrite(&x, sizeof x, 1, f);
        } else if (v.kind() == Value::Kind::Float) {
            float x = float(v.asFloat());
            std::fwrite(&x, sizeof x, 1, f);
        } else if (v.kind() == Value::Kind::Vector) {
            for (double c : v.asVector()) {
                float x = float(c);
                std::fwrite(&x, sizeof x, 1, f);
            }
        } else {
            std::string s = v.asString();
            std::fwrite(s.c_str(), 1, s.size() + 1, f);
        }
        return true;
    });
    add(interp, "fread", [](Invocation& inv) {
        if (!argCount(inv, 2, 2)) return false;
        std::FILE* f = fileArg(inv, 0);
        if (!f) return false;
        const Value& like = at(inv, 1);
        if (like.kind() == Value::Kind::Int) {
            int32_t x = 0;
            inv.result = Value(std::fread(&x, sizeof x, 1, f) == 1 ? long(x) : 0L);
        } else if (like.kind() == Value::Kind::Float) {
            float x = 0;
            inv.result = Value(std::fread(&x, sizeof x, 1, f) == 1 ? double(x) : 0.0);
        } else if (like.kind() == Value::Kind::Vector) {
            float x[3] = {0, 0, 0};
            inv.result = Value(std::fread(x, sizeof x, 1, f) == 1 ? Value::Vec{x[0], x[1], x[2]}
                                                                  : Value::Vec{0, 0, 0});
        } else if (like.kind() == Value::Kind::String) {
            std::string s;
            for (int c; (c = std::fgetc(f)) != EOF && c != '\0';) s += char(c);
            inv.result = Value(s);
        } else {
            return inv.fail("fread: the second argument must be an int, float, vector or string.");
        }
        return true;
    });
    // fgetline: the next line with its "\n"; "" at the end of the file.
    add(interp, "fgetline", [](Invocation& inv) {
        if (!argCount(inv, 1, 1)) return false;
        std::FILE* f = fileArg(inv, 0);
        if (!f) return false;
        std::string s;
        for (int c; (c = std::fgetc(f)) != EOF;) {
            s += char(c);
            if (c == '\n') break;
        }
        inv.result = Value(s);
        return true;
    });
    // fgetword(id[, separators]): the next run of characters between separators (" \t\n" by default).
    add(interp, "fgetword", [](Invocation& inv) {
        if (!argCount(inv, 1, 2)) return false;
        std::FILE* f = fileArg(inv, 0);
        if (!f) return false;
        std::string seps = inv.args.size() == 2 ? at(inv, 1).asString() : " \t\n";
        if (seps.empty()) seps = " \t\n";
        std::string s;
        int c;
        while ((c = std::fgetc(f)) != EOF && seps.find(char(c)) != std::string::npos) {
        }
        for (; c != EOF && seps.find(char(c)) == std::string::npos; c = std::fgetc(f)) s += char(c);
        inv.result = Value(s);
        return true;
    });
    // feof: 1 when nothing is left to read.
    add(interp, "feof", [](Invocation& inv) {
        if (!argCount(inv, 1, 1)) return false;
        std::FILE* f = fileArg(inv, 0);
        if (!f) return false;
        int c = std::fgetc(f);
        if (c != EOF) std::ungetc(c, f);
        inv.result = Value(c == EOF);
        return true;
    });
    add(interp, "frewind", [](Invocation& inv) {
        if (!argCount(inv, 1, 1)) return false;
        std::FILE* f = fileArg(inv, 0);
        if (!f) return false;
        std::rewind(f);
        return true;
    });
    add(interp, "fflush", [](Invocation& inv) {
        if (!argCount(inv, 1, 1)) return false;
        std::FILE* f = fileArg(inv, 0);
        if (!f) return false;
        std::fflush(f);
        return true;
    });
}

void registerFileQueries(Interpreter& interp) {
    // filetest -f|-d|-r|-w|-x|-s|-h path
    add(interp, "filetest", [](Invocation& inv) {
        if (inv.args.size() != 2 || !inv.args[0].isFlag)
            return inv.fail("filetest: use filetest -f|-d|-r|-w|-x|-s|-h <path>.");
        std::string flag = inv.args[0].flagName(), path = at(inv, 1).asString();
        struct stat st;
        bool exists = ::stat(path.c_str(), &st) == 0;
        bool r;
        if (flag == "f")
            r = exists && S_ISREG(st.st_mode);
        else if (flag == "d")
            r = exists && S_ISDIR(st.st_mode);
        else if (flag == "r")
            r = ::access(path.c_str(), R_OK) == 0;
        else if (flag == "w")
            r = ::access(path.c_str(), W_OK) == 0;
        else if (flag == "x")
            r = ::access(path.c_str(), X_OK) == 0;
        else if (flag == "s")
            r = exists && st.st_size > 0;
        else if (flag == "h" || flag == "l")
            r = ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
        else
            return inv.fail("filetest: Invalid flag: -" + flag);
        inv.result = Value(r);
        return true;
    });
    // getFileList -fld folder [-fs pattern]: the names (not paths) in the folder, sorted; folders as well
    // as files, as the host lists them.
    auto syntax = std::make_shared<Syntax>();
    syntax->maxObjects = 0;
    syntax->flag("fld", "folder", {ArgType::String}).flag("fs", "filespec", {ArgType::String});
    add(
        interp, "getFileList",
        [syntax](Invocation& inv) {
            ParsedArgs pa;
            if (!parseArgs(inv, *syntax, pa)) return false;
            std::string dir = pa.arg("fld", Value(".")).asString(),
                        pattern = pa.arg("fs", Value("*")).asString();
            std::vector<std::string> names;
            std::error_code ec;
            for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
                std::string n = it->path().filename().string();
                if (::fnmatch(pattern.c_str(), n.c_str(), 0) == 0) names.push_back(n);
            }
            std::sort(names.begin(), names.end());
            inv.result = Value(names);
            return true;
        },
        syntax);
}

void registerTiming(Interpreter& interp) {
    // timerX: seconds since the host started; timerX -st t: seconds since t.
    auto syntax = std::make_shared<Syntax>();
    syntax->maxObjects = 0;
    syntax->flag("st", "startTime", {ArgType::Float});
    add(
        interp, "timerX",
        [syntax](Invocation& inv) {
            static const auto origin = std::chrono::steady_clock::now();
            ParsedArgs pa;
            if (!parseArgs(inv, *syntax, pa)) return false;
            double now = std::chrono::duration<double>(std::chrono::steady_clock::now() - origin).count();
            inv.result = Value(pa.has("st") ? now - pa.arg("st").asFloat() : now);
            return true;
        },
        syntax);
}

void registerIdleQueue(Interpreter& interp) {
    auto syntax = std::make_shared<Syntax>();
    syntax->maxObjects = 1;
    syntax->flag("en", "evaluateNext")
        .flag("ls", "list")
        .flag("low", "lowPriority")
        .flag("lp", "lowestPriority");
    add(
        interp, "evalDeferred",
        [syntax](Invocation& inv) {
            ParsedArgs pa;
            if (!parseArgs(inv, *syntax, pa)) return false;
            using P = Interpreter::IdlePriority;
            P prio = pa.has("lp") ? P::Lowest : pa.has("low") ? P::Low : P::Normal;
            if (pa.has("ls")) {
                bool some = pa.has("lp") || pa.has("low");
                inv.result = Value(inv.interp.deferredCommands(some ? &prio : nullptr));
                return true;
            }
            if (pa.objects.empty()) return inv.fail("evalDeferred: no script given.");
            inv.interp.deferCommand(pa.objects[0].asString(), prio, pa.has("en"));
            inv.result = Value(std::vector<std::string>());
            return true;
        },
        syntax);
    add(interp, "flushIdleQueue", [](Invocation& inv) {
        if (!argCount(inv, 0, 0)) return false;
        inv.interp.runIdleQueue();
        return true;
    });
}

}  // namespace

void registerSystemLibrary(Interpreter& interp) {
    registerEnvironment(interp);
    registerFileIds(interp);
    registerFileQueries(interp);
    registerTiming(interp);
    registerIdleQueue(interp);
}

}  // namespace kxh::mel::lib
