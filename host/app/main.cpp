// kxhost: the headless host on the command line.
//
//   kxhost [-c "mel"] [-s dir] [script.mel ...]
//
// Runs the -c texts and the scripts in the order given, in one session. Results of -c texts and of
// interactive input are echoed as the script editor echoes them ("// Result: ... //"); errors go to
// stderr. The first failing statement ends a batch run with exit code 1. With nothing to run and a
// terminal on stdin, kxhost reads commands interactively; from a pipe, it runs stdin as one text.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cmds/Session.h"
#include "foundation/Output.h"

namespace {

const char* kUsage =
    "usage: kxhost [-c \"mel\"] [-s dir] [script.mel ...]\n"
    "  -c text    run MEL text (may be repeated; runs in order with the scripts)\n"
    "  -s dir     add a folder to the MEL script path (may be repeated)\n"
    "  --help     show this help\n"
    "With no -c and no script, reads MEL from stdin: a prompt on a terminal (\"quit\" or end of input\n"
    "leaves), otherwise the whole input runs as one text.\n"
    "Folders in KX_SCRIPT_PATH (colon-separated) and the folder of each script are on the script path.\n";

struct Job {
    bool isScript;
    std::string text;  // MEL text, or the script's path
};

size_t countLines(kxh::OutputKind kind) {
    size_t n = 0;
    for (const auto& l : kxh::output().lines())
        if (l.kind == kind) ++n;
    return n;
}

// Runs one text or file; echoes its result when asked and makes sure a failure was reported.
bool run(const Job& job, bool echoResult) {
    auto& session = kxh::session();
    size_t results = countLines(kxh::OutputKind::Result);
    size_t errors = countLines(kxh::OutputKind::Error);
    kxh::mel::Interpreter::Status st;
    if (job.isScript) {
        std::filesystem::path p(job.text);
        std::error_code ec;
        std::filesystem::path dir = std::filesystem::absolute(p, ec).parent_path();
        if (!ec) session.addScriptPath(dir.string());
        st = session.executeFile(job.text);
    } else {
        st = session.execute(job.text);
    }
    if (!st.ok) {
        if (countLines(kxh::OutputKind::Error) == errors)
            kxh::output().error(st.error.empty() ? std::string("Command failed.") : st.error);
        return false;
    }
    if (echoResult && !st.result.isNone() && countLines(kxh::OutputKind::Result) == results)
        kxh::output().result(st.result.toString());
    return true;
}

// Braces still open at the end of the text, ignoring strings and comments: the prompt keeps reading
// while a block is unfinished.
int openBraces(const std::string& text) {
    int depth = 0;
    bool inString = false, lineComment = false, blockComment = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (lineComment) {
            if (c == '\n') lineComment = false;
        } else if (blockComment) {
            if (c == '*' && next == '/') {
                blockComment = false;
                ++i;
            }
        } else if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '/' && next == '/') {
            lineComment = true;
        } else if (c == '/' && next == '*') {
            blockComment = true;
            ++i;
        } else if (c == '{') {
            ++depth;
        } else if (c == '}') {
            --depth;
        }
    }
    return depth;
}

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

int interactive() {
    std::string pending;
    std::string line;
    for (;;) {
        std::fputs(pending.empty() ? "kxhost> " : "   ...> ", stdout);
        std::fflush(stdout);
        if (!std::getline(std::cin, line)) break;
        if (pending.empty()) {
            std::string t = trim(line);
            if (t == "quit" || t == "quit;" || t == "exit" || t == "exit;") return 0;
            if (t.empty()) continue;
        }
        pending += line + "\n";
        if (openBraces(pending) > 0) continue;
        run({false, pending}, true);
        pending.clear();
    }
    if (!trim(pending).empty()) run({false, pending}, true);
    std::fputs("\n", stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<Job> jobs;
    std::vector<std::string> scriptDirs;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (a == "-c" || a == "-s") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "kxhost: %s needs an argument\n%s", a.c_str(), kUsage);
                return 2;
            }
            std::string value = argv[++i];
            if (a == "-c")
                jobs.push_back({false, value});
            else
                scriptDirs.push_back(value);
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "kxhost: unknown option %s\n%s", a.c_str(), kUsage);
            return 2;
        } else {
            jobs.push_back({true, a});
        }
    }

    auto& session = kxh::session();
    for (const auto& dir : scriptDirs) session.addScriptPath(dir);

    if (jobs.empty()) {
        kxh::output().setEchoResults(true);
        if (isatty(STDIN_FILENO)) return interactive();
        std::string text((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
        return run({false, text}, true) ? 0 : 1;
    }
    for (const auto& job : jobs) {
        // Scripts run quietly, as "source" does; -c texts echo their result.
        kxh::output().setEchoResults(!job.isScript);
        if (!run(job, !job.isScript)) return 1;
    }
    return 0;
}
