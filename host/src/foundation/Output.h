#pragma once
// The host's script-editor output. Everything the host or a plug-in reports goes through here: results,
// prints, info lines, warnings, errors and perror lines. Each line is kept in a log (tests read it) and
// echoed to the process's streams in the host's style: results and info on stdout, warnings and errors
// on stderr ("// Warning: ...", "// Error: ...").
#include <functional>
#include <string>
#include <vector>

namespace kxh {

enum class OutputKind { Print, Result, Info, Warning, Error, Perror };

struct OutputLine {
    OutputKind kind;
    std::string text;  // the message as given, without the "// Error: " decoration
};

class Output {
public:
    static Output& instance();

    void print(const std::string& text);    // MEL print: written as is, no newline added
    void result(const std::string& text);   // "// Result: text //"
    void info(const std::string& text);     // "// text"  (info lines have no label in the host)
    void warning(const std::string& text);  // "// Warning: text"
    void error(const std::string& text);    // "// Error: text"
    void perror(const std::string& text);   // MStatus::perror: "text: <status text>" on stderr

    const std::vector<OutputLine>& lines() const { return lines_; }
    void clear() { lines_.clear(); }
    // Lines of one kind, in order.
    std::vector<std::string> of(OutputKind kind) const;
    // True when any kept line of the kind contains the fragment.
    bool contains(OutputKind kind, const std::string& fragment) const;

    // Echo to stdout/stderr (on by default; tests may turn it off to keep their output short).
    void setEcho(bool on) { echo_ = on; }
    bool echo() const { return echo_; }
    // Results are echoed only when asked (kxhost turns it on for interactive and -c use).
    void setEchoResults(bool on) { echoResults_ = on; }

private:
    void add(OutputKind kind, const std::string& text, const std::string& decorated, bool toStderr);
    std::vector<OutputLine> lines_;
    bool echo_ = true;
    bool echoResults_ = false;
};

inline Output& output() {
    return Output::instance();
}

}  // namespace kxh
