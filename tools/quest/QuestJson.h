// The JSON form of a quest, for reading and writing quests in a terminal or
// a script: UTF-8 text converted from and to cp1251 through the model's one
// mapping, with parameters and locations in number order.
//
//   {"params":[{"name":"...","value":0}, ... six ...],
//    "locations":[{"description":"...","captions":[six],"codes":[six]}, ...]}
#pragma once

#include "model/Quest.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace questtool {

// A JSON text that is no quest; what() is cp1251, like the model's errors,
// and names where in the JSON the fault is.
class QuestJsonError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The quest as UTF-8 JSON, indented, with locations 1..LocationCount.
std::string QuestToJson(const model::QuestDocument& quest);

// A quest from UTF-8 JSON. Throws QuestJsonError for broken JSON, a missing
// or mistyped member, a value outside 32 bits, no locations, or a character
// that has no cp1251 byte.
model::QuestDocument QuestFromJson(std::string_view json);

} // namespace questtool
