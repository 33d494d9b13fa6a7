// The payload of a stand-alone quest: count, section mark, parameter line,
// section mark, then each location line followed by a record mark. It is
// scrambled as one text with PayloadKey (see ExeLayout.h).
#pragma once

#include "model/Quest.h"

#include <string>
#include <string_view>

namespace model {

// Separates the count, the parameter line and the location records.
constexpr char SectionMark = static_cast<char>(0xAE);
// Ends every location record, the last one included.
constexpr char RecordMark = static_cast<char>(0xA9);

// The payload text, not yet scrambled.
std::string BuildPayload(const QuestDocument& quest);

// Parses an unscrambled payload byte by byte, appending to the strings it
// fills: the caller passes an empty table and six empty names. Sizes the
// table from the count (count + 1 slots; no count leaves it empty) and drops
// bytes that would belong to a slot the table does not have. Throws
// ConvertError on a count or value that does not convert, or on a count
// larger than MaxLocationsIn the text (no payload of ours has one); the count's
// errors are those of converting it after every byte, found in one pass.
void ParsePayload(std::string_view text, TQuests& Quests, TQuestParams& QuestParams);

// A whole model from an unscrambled payload: ParsePayload into a fresh table,
// LocationCount = slots - 1 (0 when there are none).
QuestDocument ParsePayloadDocument(std::string_view text);

} // namespace model
