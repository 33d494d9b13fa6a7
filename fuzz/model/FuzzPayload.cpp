// Fuzzes what the player reads from its own file: the bytes as an executable
// (the image size from hostile ELF headers) and as an unscrambled payload.
// A payload that parses must rebuild into the same model when the
// lost-content finder lists nothing for it.
#include "model/Errors.h"
#include "model/ExeLayout.h"
#include "model/LineCodec.h"
#include "model/LostContent.h"
#include "model/Payload.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        if (model::ExecutableImageSize(bytes) > size)
            std::abort();
    } catch (const model::InOutError&) {
    }

    model::QuestDocument quest;
    try {
        quest = model::ParsePayloadDocument(bytes);
    } catch (const model::ConvertError&) {
        return 0;
    }
    // The count is held to what the bytes can carry.
    if (quest.Quests.size() > model::MaxLocationsIn(size) + 1)
        std::abort();
    // With no count at all there is no slot 0 to rebuild.
    if (quest.Quests.empty())
        return 0;

    bool lossless = true;
    for (const model::LostByte& lost : model::FindLostContent(quest))
        lossless = lossless && lost.form != model::StoredForm::Payload;
    if (lossless && model::ParsePayloadDocument(model::BuildPayload(quest)) != quest)
        std::abort();
    return 0;
}
