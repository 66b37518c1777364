#pragma once
// Running a MEL script with the build's kxhost, as ./kx demo runs the examples.
#include <cstdio>
#include <string>

namespace kxtest {

// Runs kxhost on `script` from `directory`; its output (standard output and error together), with its
// exit status in `status` (-1 when it could not be started).
inline std::string runKxhost(const std::string& script, int& status, const std::string& directory = ".") {
    const std::string command =
        "cd '" + directory + "' && '" + std::string(KX_BINARY_DIR) + "/bin/kxhost' '" + script + "' 2>&1";
    status = -1;
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return output;
    char buffer[512];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    status = ::pclose(pipe);
    return output;
}

}  // namespace kxtest
