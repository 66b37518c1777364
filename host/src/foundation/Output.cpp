#include "foundation/Output.h"

#include <cstdio>

namespace kxh {

Output& Output::instance() {
    static Output out;
    return out;
}

void Output::add(OutputKind kind, const std::string& text, const std::string& decorated, bool toStderr) {
    lines_.push_back({kind, text});
    if (!echo_) return;
    std::FILE* f = toStderr ? stderr : stdout;
    std::fputs(decorated.c_str(), f);
    std::fflush(f);
}

void Output::print(const std::string& text) {
    add(OutputKind::Print, text, text, false);
}

void Output::result(const std::string& text) {
    lines_.push_back({OutputKind::Result, text});
    if (echo_ && echoResults_) {
        std::fputs(("// Result: " + text + " //\n").c_str(), stdout);
        std::fflush(stdout);
    }
}

void Output::info(const std::string& text) {
    add(OutputKind::Info, text, "// " + text + "\n", false);
}
void Output::warning(const std::string& text) {
    add(OutputKind::Warning, text, "// Warning: " + text + "\n", true);
}
void Output::error(const std::string& text) {
    add(OutputKind::Error, text, "// Error: " + text + "\n", true);
}
void Output::perror(const std::string& text) {
    add(OutputKind::Perror, text, text + "\n", true);
}

std::vector<std::string> Output::of(OutputKind kind) const {
    std::vector<std::string> r;
    for (const auto& l : lines_)
        if (l.kind == kind) r.push_back(l.text);
    return r;
}

bool Output::contains(OutputKind kind, const std::string& fragment) const {
    for (const auto& l : lines_)
        if (l.kind == kind && l.text.find(fragment) != std::string::npos) return true;
    return false;
}

}  // namespace kxh
