// The two text records both stored forms are made of (the parameter line and
// the location line), and the additive byte scrambler applied to them.
#pragma once

#include "model/Quest.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace model {

// The only separator inside a record; it cannot be escaped.
constexpr char FieldSeparator = '|';

// Scrambles every parameter and location line of a quest file.
constexpr std::string_view QuestFileKey = "bremulka";
// Scrambles the whole payload of a stand-alone quest.
constexpr std::string_view PayloadKey = "tornabi";

// Adds (or, when decode, subtracts) key[(j + 1) mod L] to byte j, modulo 256.
// An empty key leaves the text unchanged.
void ScrambleText(std::string& text, std::string_view key, bool decode);

// Same, over a raw byte range, for callers that own their buffers. `start` is
// the position of bytes[0] within the text, so a text may be scrambled in
// pieces.
void ScrambleBytes(char* bytes, std::size_t size, std::string_view key, bool decode,
                   std::size_t start = 0);

// Names 1..6, then values 1..6 as decimal text, joined by '|'.
std::string JoinParamsLine(const TQuestParams& params);

// Replaces names 1..6, then converts values 1..6 in order (empty gives 0).
// Throws ConvertError on a bad value; the names and the values before it are
// already replaced then.
void SplitParamsLine(std::string_view line, TQuestParams& params);

// Description, Caption1..6, Code1..6, joined by '|'.
std::string JoinLocationLine(const TQuest& location);

// The length of JoinLocationLine(location), for sizing a buffer once.
std::size_t LocationLineSize(const TQuest& location);

// Appends JoinLocationLine(location) to out, saving a copy.
void AppendLocationLine(std::string& out, const TQuest& location);

// Replaces all 13 strings of the slot from the line's fields; missing fields
// are empty, bytes past the last field are dropped.
void SplitLocationLine(std::string_view line, TQuest& slot);

// The most locations a stored form of `bytes` bytes may claim. Every location
// we write takes at least its twelve separators and a line end or record
// mark (13 bytes), while a slot of the table costs some 400 bytes even when
// empty; so a count is held to what the bytes could carry, plus a thousand
// for a file cut short, and never more than one location per byte. The
// table then stays within about 32 times the file's size.
std::uint64_t MaxLocationsIn(std::uint64_t bytes);

} // namespace model
