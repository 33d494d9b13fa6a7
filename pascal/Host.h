// Host units inside the engine: the registry of host functions and the node
// that calls one, handing it its arguments by name.
#pragma once

#include "pascal/Engine.h"
#include "pascal/Nodes.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace pascal {

struct HostEntry {
    std::string unit;  // the unit it was registered in
    std::string upper; // the function name, upper-cased, for lookup
    HostFunction fn;
};

// What an engine holds: the registered units. Programs keep it alive.
struct EngineState {
    std::vector<std::unique_ptr<HostEntry>> functions;
    std::unordered_map<std::string, const HostEntry*> byName; // upper name
    std::vector<std::string> units;                           // upper names
};

const TypeInfo* typeOf(Type t);

// A call of a host function.
struct HostCall final : Expr {
    const HostEntry* entry;
    std::vector<ExprPtr> args;
    Position at;
    HostCall(const HostEntry* e, std::vector<ExprPtr> a, Position p);
    // Calls the host and gives back the result's cell or string.
    void call(Ctx& c, Cell& n, std::string& s);
    std::int64_t evalInt(Ctx& c) override;
    double evalFloat(Ctx& c) override;
    std::string evalStr(Ctx& c) override;
    void evalVoid(Ctx& c) override;
};

} // namespace pascal
