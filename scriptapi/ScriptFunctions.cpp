// The table of MyUnit's functions and the two ways of registering it.
#include "scriptapi/ScriptFunctions.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace scriptapi {
namespace {

using pascal::HostParam;
using pascal::Type;

std::vector<ScriptFunction> BuildTable() {
    const HostParam param{"param", Type::String};
    const HostParam p{"p", Type::String};
    const HostParam number{"number", Type::Integer};
    const HostParam caption{"caption", Type::String};
    const HostParam question{"question", Type::String};

    std::vector<ScriptFunction> table = {
        {"goto", {{"location", Type::Integer}}, std::nullopt},
        {"ShowImage", {{"filepath", Type::String}}, std::nullopt},
        {"Params", {param, {"name", Type::String}}, std::nullopt},
        {"p", {p, number}, std::nullopt},
        {"InputParam", {param, caption, question}, std::nullopt},
        {"InputP", {{"P", Type::String}, caption, question}, std::nullopt},
        {"FormName", {{"Name", Type::String}}, std::nullopt},
        {"restart", {}, std::nullopt},
        {"TakeParam", {param}, std::nullopt},
        {"LoseParam", {param}, std::nullopt},
        {"action", {{"action", Type::String}, param}, std::nullopt},
        {"Close", {}, std::nullopt},
        {"plus_p", {p, number}, std::nullopt},
        {"minus_p", {p, number}, std::nullopt},
    };
    for (int n = 1; n <= 6; ++n)
        table.push_back({"_p" + std::to_string(n) + "_", {}, Type::Integer});
    table.push_back({"rand", {number}, Type::Integer});
    for (int n = 1; n <= 6; ++n)
        table.push_back({"_param" + std::to_string(n) + "_", {}, Type::String});
    const std::vector<ScriptFunction> rest = {
        {"timer",
         {{"time", Type::Integer},
          {"examine", Type::String},
          {"caption", Type::String},
          {"code", Type::String}},
         std::nullopt},
        {"_time_", {}, Type::Integer},
        {"StopTimer", {}, std::nullopt},
        {"AddText", {{"text", Type::String}}, std::nullopt},
        {"hint", {param, {"hint", Type::String}}, std::nullopt},
        {"PlaySound", {{"Sound", Type::String}}, std::nullopt},
        {"StopSound", {}, std::nullopt},
        {"PlayEffect", {{"Effect", Type::String}}, std::nullopt},
        {"StopEffect", {}, std::nullopt},
        {"TITR",
         {{"Header", Type::String}, {"text", Type::String}, {"RollSpeed", Type::Integer}},
         std::nullopt},
    };
    table.insert(table.end(), rest.begin(), rest.end());
    return table;
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

const char* TypeName(Type type) {
    switch (type) {
    case Type::Integer:
        return "Integer";
    case Type::Float:
        return "Float";
    case Type::String:
        return "String";
    case Type::Boolean:
        return "Boolean";
    }
    return "?";
}

pascal::HostFunction Bind(const ScriptFunction& function, ScriptBody body) {
    return {function.name, function.params, function.result, std::move(body)};
}

} // namespace

const std::vector<ScriptFunction>& MyUnitFunctions() {
    static const std::vector<ScriptFunction> table = BuildTable();
    return table;
}

const ScriptFunction* FindScriptFunction(std::string_view name) {
    for (const ScriptFunction& function : MyUnitFunctions())
        if (SameNameIgnoringCase(function.name, name))
            return &function;
    return nullptr;
}

std::string SignatureText(const ScriptFunction& function) {
    std::string text = function.name;
    if (!function.params.empty()) {
        text += '(';
        for (std::size_t i = 0; i < function.params.size(); ++i) {
            if (i > 0)
                text += "; ";
            text += function.params[i].name + ": " + TypeName(function.params[i].type);
        }
        text += ')';
    }
    if (function.result)
        text += std::string(": ") + TypeName(*function.result);
    return text;
}

void RegisterMyUnit(pascal::Engine& engine, std::map<std::string, ScriptBody> bodies) {
    std::vector<pascal::HostFunction> unit;
    for (const ScriptFunction& function : MyUnitFunctions()) {
        auto found = bodies.find(function.name);
        if (found == bodies.end())
            continue;
        if (!found->second)
            throw std::invalid_argument("MyUnit: empty body for " + function.name);
        unit.push_back(Bind(function, std::move(found->second)));
        bodies.erase(found);
    }
    if (!bodies.empty())
        throw std::invalid_argument("MyUnit declares no function " + bodies.begin()->first);
    engine.registerUnit(kMyUnitName, std::move(unit));
}

void RegisterDeclarationsOnly(pascal::Engine& engine) {
    std::vector<pascal::HostFunction> unit;
    for (const ScriptFunction& function : MyUnitFunctions()) {
        ScriptBody inert = [result = function.result](pascal::CallContext& call) {
            if (result == Type::Integer)
                call.setInteger("result", 0);
            else if (result == Type::String)
                call.setString("result", std::string());
        };
        unit.push_back(Bind(function, std::move(inert)));
    }
    engine.registerUnit(kMyUnitName, std::move(unit));
}

} // namespace scriptapi
