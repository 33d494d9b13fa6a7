// The script unit MyUnit as scripts see it: the 37 functions with their
// parameters and results, declared once. The player binds them to its window;
// the editor binds them to bodies that do nothing, so that it can compile an
// author's scripts against the same declarations without running them.
#pragma once

#include "pascal/Engine.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scriptapi {

// The unit's name as scripts see it.
inline constexpr const char* kMyUnitName = "MyUnit";

// One function of the unit.
struct ScriptFunction {
    std::string name;                      // the script name, as authors write it
    std::vector<pascal::HostParam> params; // in call order, read by these names
    std::optional<pascal::Type> result;    // nullopt: a procedure
};

// The unit's functions in their registration order.
const std::vector<ScriptFunction>& MyUnitFunctions();

// The declared function of that name (compared without regard to letter case,
// as the script language does), or nullptr.
const ScriptFunction* FindScriptFunction(std::string_view name);

// "goto(location: Integer)", "rand(number: Integer): Integer": the call as an
// author reads it in a hint.
std::string SignatureText(const ScriptFunction& function);

// What runs when a script calls a function.
using ScriptBody = std::function<void(pascal::CallContext&)>;

// Registers MyUnit on engine, in the unit's order, each declared function with
// the body that bodies holds under its exact declared name. A declared
// function without a body is left out of the unit, so scripts cannot call what
// the host does not serve. Throws std::invalid_argument for a body whose name
// the unit does not declare, or an empty body.
void RegisterMyUnit(pascal::Engine& engine, std::map<std::string, ScriptBody> bodies);

// Registers every function of MyUnit with a body that does nothing (a function
// returns 0 or the empty text): for compiling scripts, never for playing them.
void RegisterDeclarationsOnly(pascal::Engine& engine);

} // namespace scriptapi
