// Words for the places FindLostContent reports. Positions count characters
// of the text as the author wrote it: cp1251 has one byte per character, so
// a field's byte offset is its character offset, split into line and column
// at its line feeds.
#include "tools/quest/LossReport.h"

#include "model/Convert.h"
#include "model/Cp1251.h"
#include "model/LineCodec.h"
#include "model/Payload.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <tuple>

namespace questtool {

namespace {

// The text of a field that FindLostContent names.
std::string FieldText(const model::QuestDocument& quest, const model::LostByte& place) {
    const std::string& f = place.field;
    const int n = f.empty() ? 0 : f.back() - '0';
    if (place.location == 0) {
        if (f.starts_with("Name"))
            return quest.QuestParams.Names[n];
        return model::IntToStr(quest.QuestParams.Values[n]);
    }
    const auto slot = static_cast<std::size_t>(place.location);
    if (slot >= quest.Quests.size())
        return {};
    const model::TQuest& location = quest.Quests[slot];
    if (f == "Description")
        return location.Description;
    if (f.starts_with("Caption"))
        return location.Caption(n);
    return location.Code(n);
}

// «локация 3, действие 2, код»: the field in the author's words.
std::string FieldWords(const model::LostByte& place, bool& multiLine) {
    const std::string& f = place.field;
    const std::string n(1, f.empty() ? '?' : f.back());
    multiLine = false;
    if (place.location == 0)
        return "параметр " + n + (f.starts_with("Name") ? ", имя" : ", значение");
    std::string words = "локация " + std::to_string(place.location);
    if (f == "Description") {
        multiLine = true;
        return words + ", описание";
    }
    if (f.starts_with("Caption"))
        return words + ", действие " + n + ", надпись";
    multiLine = true;
    return words + ", действие " + n + ", код";
}

// «, строка 4, знак 7»: the character's place in the text as written.
std::string PositionWords(const std::string& text, std::size_t offset, bool multiLine) {
    offset = std::min(offset, text.size());
    const std::size_t lineStart = [&] {
        const std::size_t feed = text.rfind('\n', offset == 0 ? std::string::npos : offset - 1);
        return offset == 0 || feed == std::string::npos ? 0 : feed + 1;
    }();
    const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<long>(offset), '\n');
    std::string words;
    if (multiLine || line > 1)
        words += ", строка " + std::to_string(line);
    return words + ", знак " + std::to_string(offset - lineStart + 1);
}

// «символ 'ё'», or a name for a character one cannot see.
std::string CharacterWords(unsigned char byte) {
    switch (byte) {
    case 0xA0:
        return "неразрывный пробел";
    case 0xAD:
        return "мягкий перенос";
    case 0x98:
        return "байт 0x98 (в кодировке cp1251 у него нет буквы)";
    default:
        break;
    }
    if (byte < 0x20 || byte == 0x7F) {
        char code[8];
        std::snprintf(code, sizeof code, "0x%02X", byte);
        return std::string("управляющий знак ") + code;
    }
    return "символ '" + model::Cp1251ToUtf8(std::string(1, static_cast<char>(byte))) + "'";
}

const char* FormsWords(bool questFile, bool payload) {
    if (questFile && payload)
        return "не сохранится ни в файле квеста, ни в автономном квесте";
    return questFile ? "не сохранится в файле квеста" : "не сохранится в автономном квесте";
}

// Description first, then action by action its caption and its code; the
// names before the values.
int FieldRank(const std::string& field) {
    const int n = field.empty() ? 0 : field.back() - '0';
    if (field.starts_with("Caption"))
        return 2 * n;
    if (field.starts_with("Code"))
        return 2 * n + 1;
    if (field.starts_with("Name"))
        return n;
    if (field.starts_with("Value"))
        return 6 + n;
    return 0;
}

// The kinds of character a place can be lost for; each gets its advice once.
enum class Kind { Separator, QuestFileLine, PayloadMark };

Kind KindOf(const model::LostByte& place) {
    if (place.byte == static_cast<unsigned char>(model::FieldSeparator))
        return Kind::Separator;
    return place.form == model::StoredForm::QuestFile ? Kind::QuestFileLine : Kind::PayloadMark;
}

const char* AdviceFor(Kind kind) {
    switch (kind) {
    case Kind::Separator:
        return "Что делать: символ '|' разделяет поля записи и не сохраняется нигде; "
               "замените его, например, на '/' или '¦', а в коде сценария пишите его "
               "кодом вне кавычек: 'a'#124'b'.";
    case Kind::QuestFileLine:
        return "Что делать: символы ё, Ё, «, №, ©, ®, •, неразрывный пробел и "
               "некоторые другие ломают строку файла квеста только на некоторых местах; "
               "замените их (ё на е, Ё на Е, « на \", № на N, неразрывный пробел на пробел) "
               "или сдвиньте на знак, добавив или убрав знак перед ними, а в коде сценария "
               "пишите их кодом вне кавычек: 'Ёлка' как #168'лка'.";
    case Kind::PayloadMark:
        return "Что делать: в автономном квесте символы '©' и '®' служат разметкой; пишите "
               "вместо них (c) и (R), а в коде сценария — кодом вне кавычек: #169 и #174.";
    }
    return "";
}

} // namespace

LossReport ReportLosses(const model::QuestDocument& quest, LossForms forms) {
    // Places in the order FindLostContent gives them, each with the forms
    // that lose it.
    using Key = std::tuple<std::int32_t, std::string, std::size_t>;
    struct Place {
        model::LostByte lost;
        bool questFile = false, payload = false;
    };
    std::vector<Place> places;
    std::map<Key, std::size_t> index;
    std::vector<Kind> kinds;
    for (const model::LostByte& lost : model::FindLostContent(quest)) {
        const bool inQuestFile = lost.form == model::StoredForm::QuestFile;
        if (inQuestFile ? !forms.questFile : !forms.payload)
            continue;
        if (std::find(kinds.begin(), kinds.end(), KindOf(lost)) == kinds.end())
            kinds.push_back(KindOf(lost));
        const Key key{lost.location, lost.field, lost.offset};
        auto [at, added] = index.try_emplace(key, places.size());
        if (added)
            places.push_back({lost});
        (inQuestFile ? places[at->second].questFile : places[at->second].payload) = true;
    }

    LossReport report;
    // Places in the order an author reads the quest: the parameters, then
    // each location's description and its actions one by one.
    std::sort(places.begin(), places.end(), [](const Place& a, const Place& b) {
        return std::tuple(a.lost.location, FieldRank(a.lost.field), a.lost.offset) <
               std::tuple(b.lost.location, FieldRank(b.lost.field), b.lost.offset);
    });
    for (const Place& place : places) {
        bool multiLine = false;
        const std::string field = FieldWords(place.lost, multiLine);
        report.places.push_back(
            field + PositionWords(FieldText(quest, place.lost), place.lost.offset, multiLine) +
            ": " + CharacterWords(place.lost.byte) + " " +
            FormsWords(place.questFile, place.payload));
    }
    std::sort(kinds.begin(), kinds.end());
    for (Kind kind : kinds)
        report.advice.push_back(AdviceFor(kind));
    return report;
}

} // namespace questtool
