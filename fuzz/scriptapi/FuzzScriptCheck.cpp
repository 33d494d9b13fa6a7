// Checks arbitrary bytes as an action's script, as the editor and
// norvo-quest do: compiled against MyUnit's declarations, never run, and
// scanned for literal selectors that match nothing.
#include "scriptapi/ScriptCheck.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const scriptapi::ScriptChecker checker;
    const std::string_view code(reinterpret_cast<const char*>(data), size);
    for (const scriptapi::CodeProblem& problem : checker.Check(code))
        if (problem.message.empty())
            __builtin_trap(); // every problem says what it is
    return 0;
}
