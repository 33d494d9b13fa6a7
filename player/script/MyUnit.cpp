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
#include "scriptapi/ScriptFunctions.h"

#include <limits>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace player::script {
namespace {

using pascal::CallContext;

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

// timer: the Part of the countdown that scripts set, in its fixed order.
void StartTimer(PlayerHost& host, const CallContext& call) {
    PlayerState& state = host.RuntimeState();
    const std::int32_t time = Int32Arg(call, "time");
    state.TimerUp = false;
    state.TimerDown = false;
    state.TimerValue = time;
    // Whole texts, byte for byte: "Plus" or "plus " hold the counter.
    const std::string examine = call.getString("examine");
    if (examine == "plus")
        state.TimerUp = true;
    if (examine == "minus")
        state.TimerDown = true;
    host.StartCountdown();
    state.TimerCaption = call.getString("caption");
    state.TimerCode = call.getString("code");
}

} // namespace

void RegisterMyUnit(pascal::Engine& engine, PlayerHost& host) {
    PlayerHost* h = &host;
    std::map<std::string, scriptapi::ScriptBody> unit;
    unit["goto"] = [h](CallContext& call) { h->GotoLocation(Int32Arg(call, "location")); };
    unit["Params"] = [h](CallContext& call) {
        const int n = SelectorIndex(call.getString("param"), kNameSelector);
        if (n != 0)
            h->RuntimeState().QuestParams.Names[n] = call.getString("name");
    };
    unit["p"] = [h](CallContext& call) {
        const int n = SelectorIndex(call.getString("p"), kValueSelector);
        if (n != 0)
            h->RuntimeState().QuestParams.Values[n] = Int32Arg(call, "number");
    };
    unit["InputParam"] = [h](CallContext& call) { InputName(*h, call); };
    unit["InputP"] = [h](CallContext& call) { InputValue(*h, call); };
    unit["FormName"] = [h](CallContext& call) { h->SetCaption(call.getString("Name")); };
    unit["restart"] = [h](CallContext&) { h->Restart(); };
    unit["TakeParam"] = [h](CallContext& call) { SetHeld(*h, call, true); };
    unit["LoseParam"] = [h](CallContext& call) { SetHeld(*h, call, false); };
    unit["action"] = [h](CallContext& call) { RestrictAction(*h, call); };
    unit["Close"] = [h](CallContext&) { h->CloseWindow(); };
    unit["plus_p"] = [h](CallContext& call) { AddToValue(*h, call, false); };
    unit["minus_p"] = [h](CallContext& call) { AddToValue(*h, call, true); };
    for (int n = 1; n <= 6; ++n) {
        unit["_p" + std::to_string(n) + "_"] = [h, n](CallContext& call) {
            call.setInteger("result", h->RuntimeState().QuestParams.Values[n]);
        };
        unit["_param" + std::to_string(n) + "_"] = [h, n](CallContext& call) {
            call.setString("result", h->RuntimeState().QuestParams.Names[n]);
        };
    }
    unit["rand"] = [](CallContext& call) {
        call.setInteger("result", Rand(Int32Arg(call, "number")));
    };
    unit["AddText"] = [h](CallContext& call) { h->AddText(call.getString("text")); };
    unit["hint"] = [h](CallContext& call) {
        const int n = SelectorIndex(call.getString("param"), kNameSelector);
        if (n != 0)
            h->SetInventoryHint(n, call.getString("hint"));
    };
    unit["ShowImage"] = [h](CallContext& call) { h->ShowImage(call.getString("filepath")); };
    unit["timer"] = [h](CallContext& call) { StartTimer(*h, call); };
    unit["_time_"] = [h](CallContext& call) {
        call.setInteger("result", h->RuntimeState().TimerValue);
    };
    unit["StopTimer"] = [h](CallContext&) { h->StopCountdown(); };
    unit["PlaySound"] = [h](CallContext& call) {
        h->SoundChannels().Play(SoundChannel::Sound, call.getString("Sound"));
    };
    unit["StopSound"] = [h](CallContext&) { h->SoundChannels().Stop(SoundChannel::Sound); };
    unit["PlayEffect"] = [h](CallContext& call) {
        h->SoundChannels().Play(SoundChannel::Effect, call.getString("Effect"));
    };
    unit["StopEffect"] = [h](CallContext&) { h->SoundChannels().Stop(SoundChannel::Effect); };
    unit["TITR"] = [h](CallContext& call) {
        // The interval is a 32-bit value read as unsigned: -1 is 2^32 - 1 ms.
        const auto interval = static_cast<std::uint32_t>(Int32Arg(call, "RollSpeed"));
        h->RollCredits(call.getString("Header"), call.getString("text"), interval);
    };
    scriptapi::RegisterMyUnit(engine, std::move(unit));
}

} // namespace player::script
