// Compiles and runs a script for the tests, collecting what it printed.
#pragma once

#include "pascal/Engine.h"

#include <string>

namespace pascal::test {

struct Outcome {
    bool compiled = false;
    RunStatus status = RunStatus::NotRun;
    std::string output;   // Print and PrintLn
    std::string messages; // all messages, CR LF after each
};

inline Outcome runScript(Engine& engine, const std::string& text, RunOptions options = {}) {
    Outcome o;
    auto program = engine.compile(text);
    o.compiled = !program->hasErrors();
    options.output = [&o](std::string_view s) { o.output += s; };
    if (!options.randomSeed)
        options.randomSeed = 1;
    o.status = program->run(options);
    o.messages = program->messagesText();
    return o;
}

inline Outcome runScript(const std::string& text, RunOptions options = {}) {
    Engine engine;
    return runScript(engine, text, std::move(options));
}

} // namespace pascal::test
