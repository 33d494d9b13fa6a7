// Finds the content of a quest that a stored form would not bring back as it
// was: the editor warns with it before saving and building.
#pragma once

#include "model/Quest.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace model {

enum class StoredForm {
    QuestFile, // a '|', or a byte that scrambles to 10, 13 or 26 on its line
    Payload,   // a '|', a section mark 0xAE, or in a location a record mark 0xA9
};

// One byte that would be lost or would break the record it is in.
struct LostByte {
    StoredForm form;       // which stored form loses it
    std::int32_t location; // location number, 0 for the parameters
    std::string field;  // "Description", "Caption1".."Caption6", "Code1".."Code6", "Name1".."Name6"
    std::size_t offset; // byte offset within the field
    unsigned char byte; // the byte itself
};

// Every such place, quest-file places first, each form in line order.
std::vector<LostByte> FindLostContent(const QuestDocument& quest);

} // namespace model
