// Fuzzes the JSON reader of norvo-quest. A quest that reads must write back
// to JSON that reads as the same quest.
#include "tools/quest/QuestJson.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view json(reinterpret_cast<const char*>(data), size);
    model::QuestDocument quest;
    try {
        quest = questtool::QuestFromJson(json);
    } catch (const questtool::QuestJsonError&) {
        return 0;
    }
    if (questtool::QuestFromJson(questtool::QuestToJson(quest)) != quest)
        std::abort();
    return 0;
}
