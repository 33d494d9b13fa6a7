// What the end-to-end tests share: where the built programs and the sources
// are, and running a program as a shell would, capturing what it prints.
#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace e2e {

// The environment's folder, else the one the build was configured with.
inline std::string Env(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

inline std::string Bin(const std::string& program) {
    return Env("NORVO_BIN_DIR", NORVO_BIN_DIR_DEFAULT) + "/" + program;
}

inline std::string Source(const std::string& path) {
    return Env("NORVO_SOURCE_DIR", NORVO_SOURCE_DIR_DEFAULT) + "/" + path;
}

// One shell word that stands for arg exactly.
inline std::string Quote(const std::string& arg) {
    std::string out = "'";
    for (char c : arg)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

struct Result {
    int exitCode = -1;
    std::string out; // standard output, and standard error when asked for
};

// Runs a program with its arguments; standard output is captured, standard
// error goes to the test's log unless withErrors joins it to the output.
inline Result RunProgram(const std::vector<std::string>& args, bool withErrors = false) {
    std::string command;
    for (const auto& arg : args)
        command += Quote(arg) + " ";
    if (withErrors)
        command += "2>&1";
    Result result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return result;
    std::array<char, 4096> buffer;
    std::size_t got;
    while ((got = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.out.append(buffer.data(), got);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace e2e
