// Transcript mode: plays a quest without a screen. The window is built but
// never shown; the steps click action labels, fire countdown and roll ticks
// or press the roll's OK, and after loading and after each step one JSON
// object (UTF-8) is printed on a line of its own, telling what the windows
// show, what the channels play and which boxes opened. Time passes only by
// steps: a sound that was started counts as playing until it is stopped or
// its channel opens another file.
#pragma once

#include "platform/ScriptedDialogs.h"
#include "player/QuestSource.h"

#include <cstddef>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace player {

class TForm1;

// "3,1,t" -> {"3", "1", "t"}; an empty text gives no steps; blanks around a
// step are dropped. nullopt (with error set) for anything but action numbers
// 1..6, "t" (a countdown tick), "r" (a roll tick) and "o" (the roll's OK).
std::optional<std::vector<std::string>> ParseSteps(const std::string& steps, std::string& error);

// A box with no answer left is cancelled or answered No, so a script that
// asks in a loop would never end: past this many such boxes in one
// transcript the quest is taken to be asking forever and the transcript ends.
inline constexpr std::size_t kMaxUnansweredBoxes = 1000;

// What the window shows after a step, and the boxes the step opened; with
// dialogsLeftOut boxes more than were kept, the line says how many.
nlohmann::ordered_json Snapshot(const TForm1& form, const std::string& step,
                                const std::vector<platform::ShownDialog>& dialogs,
                                std::size_t dialogsLeftOut = 0);

// Loads the quest from source, performs the steps, answers the boxes from
// answers (cp1251) and writes the JSON lines to out. Stops early when a
// script closes the window. Returns false when the transcript was ended
// because more than kMaxUnansweredBoxes boxes found no answer; the line of
// the step that passed the bound is written first.
bool RunTranscript(std::unique_ptr<QuestSource> source, const std::vector<std::string>& steps,
                   const std::vector<std::string>& answers, std::ostream& out);

} // namespace player
