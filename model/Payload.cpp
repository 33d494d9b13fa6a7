// Building the payload text and parsing it back.
#include "model/Payload.h"

#include "model/Convert.h"
#include "model/Cp1251.h"
#include "model/Errors.h"
#include "model/LineCodec.h"

#include <array>
#include <limits>

namespace model {

std::string BuildPayload(const QuestDocument& quest) {
    // One allocation for the whole text: a large quest is tens of megabytes.
    const std::string params = JoinParamsLine(quest.QuestParams);
    std::size_t size = 16 + params.size() + 2;
    for (std::int32_t n = 1; n <= quest.LocationCount; ++n) {
        const auto slot = static_cast<std::size_t>(n);
        size += (slot < quest.Quests.size() ? LocationLineSize(quest.Quests[slot]) : 12) + 1;
    }
    std::string out;
    out.reserve(size);
    out += IntToStr(quest.LocationCount);
    out += SectionMark;
    out += params;
    out += SectionMark;
    const TQuest empty;
    for (std::int32_t n = 1; n <= quest.LocationCount; ++n) {
        const auto slot = static_cast<std::size_t>(n);
        AppendLocationLine(out, slot < quest.Quests.size() ? quest.Quests[slot] : empty);
        out += RecordMark;
    }
    return out;
}

namespace {

// The sections of a payload, in order; a section mark moves to the next.
enum Section { CountSection = 0, ParamsSection = 1, LocationsSection = 2 };

constexpr std::size_t ParamFields = 12;
constexpr std::size_t LocationFields = 13;

// Marks the bytes that end a run of plain text in the given section.
struct SpecialBytes {
    std::array<bool, 256> params{};
    std::array<bool, 256> locations{};
    constexpr SpecialBytes() {
        const auto mark = [](std::array<bool, 256>& table, char c) {
            table[static_cast<unsigned char>(c)] = true;
        };
        mark(params, SectionMark);
        mark(params, FieldSeparator);
        mark(locations, SectionMark);
        mark(locations, FieldSeparator);
        mark(locations, RecordMark);
    }
};
constexpr SpecialBytes Special;

// The end of the run of plain bytes starting at pos.
std::size_t runEnd(std::string_view text, std::size_t pos, const std::array<bool, 256>& stop) {
    while (pos < text.size() && !stop[static_cast<unsigned char>(text[pos])])
        ++pos;
    return pos;
}

// The string of a slot that location field `field` (line order) fills.
std::string& locationField(TQuest& slot, std::size_t field) {
    if (field == 0)
        return slot.Description;
    if (field <= 6)
        return slot.Caption(static_cast<int>(field));
    return slot.Code(static_cast<int>(field - 6));
}

// Reads the count: the bytes from pos up to the first section mark, leaving
// pos on that mark. The format converts the count after every byte and
// refuses the first prefix that does not convert or claims more locations
// than the text could hold (MaxLocationsIn). A prefix converts only while it is all decimal
// digits (a blank, a sign, '$' or "0x" alone does not) and within 32 bits,
// and its value never falls as digits arrive, so one pass over the digits
// finds that prefix; StrToInt of it then throws exactly its own error.
std::int32_t readCount(std::string_view text, std::size_t& pos) {
    const std::size_t start = pos;
    std::int64_t count = 0;
    for (; pos < text.size() && text[pos] != SectionMark; ++pos) {
        const char byte = text[pos];
        const std::string_view prefix = text.substr(start, pos + 1 - start);
        if (byte < '0' || byte > '9')
            return StrToInt(prefix); // throws: no such prefix converts
        count = count * 10 + (byte - '0');
        if (count > std::numeric_limits<std::int32_t>::max())
            return StrToInt(prefix); // throws: out of range
        // A larger count is no payload of ours; it would only exhaust memory.
        if (static_cast<std::uint64_t>(count) > MaxLocationsIn(text.size()))
            throw ConvertError(Utf8ToCp1251("Число локаций " + std::string(prefix) +
                                            " больше, чем может содержать квест"));
    }
    return static_cast<std::int32_t>(count);
}

} // namespace

void ParsePayload(std::string_view text, TQuests& Quests, TQuestParams& QuestParams) {
    std::size_t section = CountSection;
    std::size_t paramField = 0;
    std::size_t field = 0;
    std::size_t location = 1;
    std::array<std::string, 6> valueTexts;

    std::size_t pos = 0;
    while (pos < text.size()) {
        const char byte = text[pos];
        if (byte == SectionMark) {
            ++section;
            ++pos;
            continue;
        }
        if (section == CountSection) {
            // The table takes the count's size once, as converting after
            // every byte leaves it in an empty table.
            Quests.resize(static_cast<std::size_t>(readCount(text, pos)) + 1);
        } else if (section == ParamsSection) {
            if (byte == FieldSeparator) {
                ++paramField;
                ++pos;
                continue;
            }
            const std::size_t end = runEnd(text, pos, Special.params);
            const std::string_view run = text.substr(pos, end - pos);
            if (paramField < 6)
                QuestParams.Names[static_cast<int>(paramField) + 1] += run;
            else if (paramField < ParamFields)
                valueTexts[paramField - 6] += run;
            pos = end;
        } else if (section == LocationsSection) {
            if (byte == RecordMark) {
                ++location;
                field = 0;
                ++pos;
                continue;
            }
            if (byte == FieldSeparator) {
                ++field;
                ++pos;
                continue;
            }
            const std::size_t end = runEnd(text, pos, Special.locations);
            // Bytes of a slot the table does not have are dropped.
            if (location < Quests.size() && field < LocationFields)
                locationField(Quests[location], field).append(text.data() + pos, end - pos);
            pos = end;
        } else {
            break; // everything after a third section mark is ignored
        }
    }

    for (int i = 1; i <= 6; ++i) {
        const std::string& value = valueTexts[static_cast<std::size_t>(i) - 1];
        QuestParams.Values[i] = value.empty() ? 0 : StrToInt(value);
    }
}

QuestDocument ParsePayloadDocument(std::string_view text) {
    QuestDocument quest;
    ParsePayload(text, quest.Quests, quest.QuestParams);
    quest.LocationCount =
        quest.Quests.empty() ? 0 : static_cast<std::int32_t>(quest.Quests.size() - 1);
    return quest;
}

} // namespace model
