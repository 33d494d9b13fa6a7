// The player's runtime state: what the quest is and where the play stands.
// One per main window, which lives as long as the process; nothing of it is
// ever saved.
#pragma once

#include "model/Quest.h"

#include <cstdint>
#include <string>

namespace player {

struct PlayerState {
    model::TQuests Quests;            // slot 0 is never a location; 1..count are
    std::int32_t CurrentLocation = 0; // the location on display
    model::TQuestParams QuestParams;  // the current names and values
    model::OneBased<bool, 6> Held;    // item N is in the inventory
    std::int32_t TimerValue = 0;      // the countdown's value (also "<time>")
    std::string TimerCaption;         // shown before the value in the timer label
    bool TimerUp = false;             // each tick adds 1
    bool TimerDown = false;           // each tick subtracts 1
    std::string TimerCode;            // the script run on every tick

    // The number of locations: slots beyond slot 0.
    std::int32_t LocationCount() const {
        return Quests.empty() ? 0 : static_cast<std::int32_t>(Quests.size() - 1);
    }
};

} // namespace player
