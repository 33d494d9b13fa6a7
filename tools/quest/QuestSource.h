// Loading a quest from whichever file holds one: a quest file, a stand-alone
// quest (an ELF image with the payload behind it) or the JSON form.
#pragma once

#include "model/Quest.h"
#include "model/QuestFile.h"

#include <string>
#include <string_view>

namespace questtool {

enum class QuestFileKind { QuestFile, StandAlone, Json };

// Tells the kinds apart by their first bytes: the ELF magic, or a '{' after
// blanks; anything else is read as a quest file.
QuestFileKind KindOf(std::string_view bytes);

// The quest the bytes hold. Throws the model's errors or QuestJsonError, and
// InOutError for a stand-alone file with nothing behind its image. For a
// quest file, fills *lines when given (other kinds leave it as it is).
model::QuestDocument QuestFromBytes(std::string_view bytes, model::QuestFileLines* lines = nullptr);

// QuestFromBytes of a whole file.
model::QuestDocument LoadQuest(const std::string& path, model::QuestFileLines* lines = nullptr);

} // namespace questtool
