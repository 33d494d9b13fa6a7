// MyUnit's functions, registered in the unit's fixed order. Each reads its
// arguments by their declared names. A script Integer is 64-bit; where a
// value goes into the player's 32-bit state or a 32-bit argument and does not
// fit, the call fails with a range error instead of cutting the value down.
#include "player/script/MyUnit.h"

#include "model/Errors.h"
#include "platform/Dialogs.h"
#include "player/script/InputNumber.h"
#include "player/script/PlayerHost.h"
#include "player/script/Random.h"
#include "player/script/Selectors.h"

#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace player::script {
namespace {

using pascal::CallContext;
using pascal::HostFunction;
using pascal::Type;

// A run-time error of the script: a value outside the signed 32-bit range.
[[noreturn]] void RangeError(std::int64_t value) {
    throw std::range_error("Range check error: " + std::to_string(value) +
                           " does not fit a 32-bit integer");
}

std::int32_t CheckedInt32(std::int64_t value) {
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        RangeError(value);
    return static_cast<std::int32_t>(value);
}

std::int32_t Int32Arg(const CallContext& call, std::string_view name) {
    return CheckedInt32(call.getInteger(name));
}

HostFunction Procedure(std::string name, std::vector<pascal::HostParam> params,
                       std::function<void(CallContext&)> callback) {
    return {std::move(name), std::move(params), std::nullopt, std::move(callback)};
}

HostFunction Function(std::string name, Type result, std::function<void(CallContext&)> callback) {
    return {std::move(name), {}, result, std::move(callback)};
}

// plus_p and minus_p: the exact sum or difference, stored only if it fits.
void AddToValue(PlayerHost& host, const CallContext& call, bool subtract) {
    const int n = SelectorIndex(call.getString("p"), kValueSelector);
    if (n == 0)
        return;
    const std::int64_t number = call.getInteger("number");
    std::int32_t& value = host.RuntimeState().QuestParams.Values[n];
    std::int64_t result = 0;
    const bool overflow = subtract ? __builtin_sub_overflow(std::int64_t{value}, number, &result)
                                   : __builtin_add_overflow(std::int64_t{value}, number, &result);
    if (overflow)
        throw std::range_error("Range check error: the result does not fit a 64-bit integer");
    value = CheckedInt32(result);
}

void InputName(PlayerHost& host, const CallContext& call) {
    const int n = SelectorIndex(call.getString("param"), kNameSelector);
    if (n == 0)
        return;
    auto answer = host.ScriptDialogs().Input(call.getString("caption"), call.getString("question"),
                                             std::string());
    host.RuntimeState().QuestParams.Names[n] = answer.value_or(std::string());
}

void InputValue(PlayerHost& host, const CallContext& call) {
    const int n = SelectorIndex(call.getString("P"), kValueSelector);
    if (n == 0)
        return;
    const std::string answer =
        host.ScriptDialogs()
            .Input(call.getString("caption"), call.getString("question"), std::string())
            .value_or(std::string());
    const auto value = ParseInputNumber(answer);
    if (!value)
        throw model::ConvertError("'" + answer + "' is not a valid integer value");
    host.RuntimeState().QuestParams.Values[n] = *value;
}

void SetHeld(PlayerHost& host, const CallContext& call, bool held) {
    const int n = SelectorIndex(call.getString("param"), kNameSelector);
    if (n != 0)
        host.RuntimeState().Held[n] = held;
}

void RestrictAction(PlayerHost& host, const CallContext& call) {
    const int k = SelectorIndex(call.getString("action"), kActionSelector);
    if (k == 0)
        return;
    const int m = SelectorIndex(call.getString("param"), kNameSelector);
    if (m == 0)
        return;
    if (!host.RuntimeState().Held[m])
        host.DisableAction(k);
}

} // namespace

void RegisterMyUnit(pascal::Engine& engine, PlayerHost& host) {
    const pascal::HostParam param{"param", Type::String};
    const pascal::HostParam p{"p", Type::String};
    const pascal::HostParam number{"number", Type::Integer};
    const pascal::HostParam caption{"caption", Type::String};
    const pascal::HostParam question{"question", Type::String};
    PlayerHost* h = &host;

    std::vector<HostFunction> unit;
    unit.push_back(Procedure("goto", {{"location", Type::Integer}}, [h](CallContext& call) {
        h->GotoLocation(Int32Arg(call, "location"));
    }));
    unit.push_back(Procedure("Params", {param, {"name", Type::String}}, [h](CallContext& call) {
        const int n = SelectorIndex(call.getString("param"), kNameSelector);
        if (n != 0)
            h->RuntimeState().QuestParams.Names[n] = call.getString("name");
    }));
    unit.push_back(Procedure("p", {p, number}, [h](CallContext& call) {
        const int n = SelectorIndex(call.getString("p"), kValueSelector);
        if (n != 0)
            h->RuntimeState().QuestParams.Values[n] = Int32Arg(call, "number");
    }));
    unit.push_back(Procedure("InputParam", {param, caption, question},
                             [h](CallContext& call) { InputName(*h, call); }));
    unit.push_back(Procedure("InputP", {{"P", Type::String}, caption, question},
                             [h](CallContext& call) { InputValue(*h, call); }));
    unit.push_back(Procedure("FormName", {{"Name", Type::String}},
                             [h](CallContext& call) { h->SetCaption(call.getString("Name")); }));
    unit.push_back(Procedure("restart", {}, [h](CallContext&) { h->Restart(); }));
    unit.push_back(
        Procedure("TakeParam", {param}, [h](CallContext& call) { SetHeld(*h, call, true); }));
    unit.push_back(
        Procedure("LoseParam", {param}, [h](CallContext& call) { SetHeld(*h, call, false); }));
    unit.push_back(Procedure("action", {{"action", Type::String}, param},
                             [h](CallContext& call) { RestrictAction(*h, call); }));
    unit.push_back(Procedure("Close", {}, [h](CallContext&) { h->CloseWindow(); }));
    unit.push_back(
        Procedure("plus_p", {p, number}, [h](CallContext& call) { AddToValue(*h, call, false); }));
    unit.push_back(
        Procedure("minus_p", {p, number}, [h](CallContext& call) { AddToValue(*h, call, true); }));
    for (int n = 1; n <= 6; ++n)
        unit.push_back(
            Function("_p" + std::to_string(n) + "_", Type::Integer, [h, n](CallContext& call) {
                call.setInteger("result", h->RuntimeState().QuestParams.Values[n]);
            }));
    HostFunction rand = Function("rand", Type::Integer, [](CallContext& call) {
        call.setInteger("result", Rand(Int32Arg(call, "number")));
    });
    rand.params = {number};
    unit.push_back(std::move(rand));
    for (int n = 1; n <= 6; ++n)
        unit.push_back(
            Function("_param" + std::to_string(n) + "_", Type::String, [h, n](CallContext& call) {
                call.setString("result", h->RuntimeState().QuestParams.Names[n]);
            }));
    unit.push_back(Procedure("AddText", {{"text", Type::String}},
                             [h](CallContext& call) { h->AddText(call.getString("text")); }));
    unit.push_back(Procedure("hint", {param, {"hint", Type::String}}, [h](CallContext& call) {
        const int n = SelectorIndex(call.getString("param"), kNameSelector);
        if (n != 0)
            h->SetInventoryHint(n, call.getString("hint"));
    }));
    engine.registerUnit(kMyUnitName, std::move(unit));
}

} // namespace player::script
