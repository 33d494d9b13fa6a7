// Fuzzes the quest file reader with arbitrary file bytes. A file that loads
// must give a well-formed model, and saving it again must bring back
// everything the lost-content finder does not list.
#include "model/Errors.h"
#include "model/LineCodec.h"
#include "model/LostContent.h"
#include "model/QuestFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    model::QuestDocument quest;
    try {
        quest = model::ParseQuestFile(bytes);
    } catch (const model::InOutError&) {
        return 0;
    } catch (const model::ConvertError&) {
        return 0;
    }
    if (quest.LocationCount < 1 ||
        quest.Quests.size() != static_cast<std::size_t>(quest.LocationCount) + 1 ||
        quest.Quests.size() > model::MaxLocationsIn(size) + 2)
        std::abort();

    bool lossless = true;
    for (const model::LostByte& lost : model::FindLostContent(quest))
        lossless = lossless && lost.form != model::StoredForm::QuestFile;
    if (lossless && model::ParseQuestFile(model::FormatQuestFile(quest)) != quest)
        std::abort();
    return 0;
}
