// Telling quest files, stand-alone quests and JSON quests apart, and loading
// each with the reader of its kind.
#include "tools/quest/QuestSource.h"

#include "model/Cp1251.h"
#include "model/Errors.h"
#include "model/ExeLayout.h"
#include "model/Payload.h"
#include "model/QuestFile.h"
#include "model/SafeFile.h"
#include "tools/quest/QuestJson.h"

namespace questtool {

QuestFileKind KindOf(std::string_view bytes) {
    if (bytes.starts_with("\x7F"
                          "ELF"))
        return QuestFileKind::StandAlone;
    const auto first = bytes.find_first_not_of(" \t\r\n");
    // A UTF-8 byte-order mark may come before a JSON text written elsewhere.
    if (bytes.starts_with("\xEF\xBB\xBF{"))
        return QuestFileKind::Json;
    if (first != std::string_view::npos && bytes[first] == '{')
        return QuestFileKind::Json;
    return QuestFileKind::QuestFile;
}

model::QuestDocument QuestFromBytes(std::string_view bytes, model::QuestFileLines* lines) {
    switch (KindOf(bytes)) {
    case QuestFileKind::StandAlone: {
        const std::string text = model::PayloadTextOf(bytes);
        if (text.empty())
            throw model::InOutError(model::Utf8ToCp1251("исполняемый файл не содержит квеста"));
        return model::ParsePayloadDocument(text);
    }
    case QuestFileKind::Json:
        if (bytes.starts_with("\xEF\xBB\xBF"))
            bytes.remove_prefix(3);
        return QuestFromJson(bytes);
    case QuestFileKind::QuestFile:
        break;
    }
    return model::ParseQuestFile(bytes, lines);
}

model::QuestDocument LoadQuest(const std::string& path, model::QuestFileLines* lines) {
    return QuestFromBytes(model::ReadFileBytes(path), lines);
}

} // namespace questtool
