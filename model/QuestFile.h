// The quest file (*.nvx): the count line, a banner, the scrambled parameter
// line and one scrambled line per location, each ending with CR LF.
#pragma once

#include "model/Quest.h"

#include <string>
#include <string_view>

namespace model {

// Line 2 of every quest file we write; the reader ignores whatever is there.
extern const std::string_view QuestFileBanner;

// The whole file as bytes.
std::string FormatQuestFile(const QuestDocument& quest);

// A new model from a whole file's bytes; the caller swaps it in only when this
// returns. A count of 0 or below gives one empty location. Throws InOutError
// ("Invalid numeric input", or a count beyond MaxLocationsIn the file) or
// ConvertError (a bad parameter value).
QuestDocument ParseQuestFile(std::string_view bytes);

// Writes the file atomically: on failure InOutError, and the old file stays.
void WriteQuestFile(const std::string& path, const QuestDocument& quest);

// Reads and parses the file; a missing file gives InOutError "File not found".
QuestDocument ReadQuestFile(const std::string& path);

} // namespace model
