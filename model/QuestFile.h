// The quest file (*.nvx): the count line, a banner, the scrambled parameter
// line and one scrambled line per location, each ending with CR LF.
#pragma once

#include "model/Quest.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace model {

// Line 2 of every quest file we write; the reader ignores whatever is there.
extern const std::string_view QuestFileBanner;

// The whole file as bytes.
std::string FormatQuestFile(const QuestDocument& quest);

// How many of its lines a quest file holds: the count line, the banner, the
// parameter line and one line per location are expected; a file cut short
// holds fewer, and its missing locations load empty.
struct QuestFileLines {
    std::int64_t present = 0;  // lines the file holds, up to the last one read
    std::int64_t expected = 0; // lines the count calls for
    bool cutShort() const { return present < expected; }
};

// A new model from a whole file's bytes; the caller swaps it in only when this
// returns. A count of 0 or below gives one empty location (and such a file is
// never taken as cut short). Throws NumericInputError ("Invalid numeric
// input", with the count's line), InOutError (a count beyond MaxLocationsIn
// the file) or ConvertError (a bad parameter value). Fills *lines when given.
QuestDocument ParseQuestFile(std::string_view bytes, QuestFileLines* lines = nullptr);

// Writes the file atomically: on failure InOutError, and the old file stays.
void WriteQuestFile(const std::string& path, const QuestDocument& quest);

// Reads and parses the file; a missing file gives InOutError "File not found".
QuestDocument ReadQuestFile(const std::string& path);

} // namespace model
