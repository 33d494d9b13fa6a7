// Which bytes of a quest a stored form would not bring back. The quest file
// loses a '|' anywhere and any byte that its line scrambling turns into a line
// end (10, 13) or the end-of-text byte 26; the payload loses a '|', a section
// mark, and inside a location a record mark.
#include "model/LostContent.h"

#include "model/Convert.h"
#include "model/LineCodec.h"
#include "model/Payload.h"

#include <string_view>
#include <utility>

namespace model {

namespace {

// One field of a stored record: its name and its bytes.
using Field = std::pair<std::string, std::string_view>;

std::vector<Field> paramFields(const TQuestParams& params, std::vector<std::string>& values) {
    std::vector<Field> fields;
    for (int i = 1; i <= 6; ++i)
        fields.emplace_back("Name" + std::to_string(i), params.Names[i]);
    for (int i = 1; i <= 6; ++i) {
        values.push_back(IntToStr(params.Values[i]));
        fields.emplace_back("Value" + std::to_string(i), values.back());
    }
    return fields;
}

std::vector<Field> locationFields(const TQuest& q) {
    std::vector<Field> fields{{"Description", q.Description}};
    for (int i = 1; i <= 6; ++i)
        fields.emplace_back("Caption" + std::to_string(i), q.Caption(i));
    for (int i = 1; i <= 6; ++i)
        fields.emplace_back("Code" + std::to_string(i), q.Code(i));
    return fields;
}

// A byte the quest file's reader would take for a line end or end of text
// once it is scrambled at position `pos` of its line.
bool breaksQuestLine(unsigned char plain, std::size_t pos) {
    const auto key = static_cast<unsigned char>(QuestFileKey[(pos + 1) % QuestFileKey.size()]);
    const auto stored = static_cast<unsigned char>(plain + key);
    return stored == 10 || stored == 13 || stored == 26;
}

void checkQuestLine(const std::vector<Field>& fields, std::int32_t location,
                    std::vector<LostByte>& lost) {
    std::size_t pos = 0; // position on the line, separators included
    for (const auto& [name, bytes] : fields) {
        for (std::size_t i = 0; i < bytes.size(); ++i, ++pos) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            if (bytes[i] == FieldSeparator || breaksQuestLine(byte, pos))
                lost.push_back({StoredForm::QuestFile, location, name, i, byte});
        }
        ++pos; // the separator after the field
    }
}

void checkPayloadRecord(const std::vector<Field>& fields, std::int32_t location,
                        std::vector<LostByte>& lost) {
    for (const auto& [name, bytes] : fields) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const char c = bytes[i];
            // The parameter section knows no record mark.
            const bool breaks =
                c == FieldSeparator || c == SectionMark || (location != 0 && c == RecordMark);
            if (breaks)
                lost.push_back(
                    {StoredForm::Payload, location, name, i, static_cast<unsigned char>(c)});
        }
    }
}

} // namespace

std::vector<LostByte> FindLostContent(const QuestDocument& quest) {
    std::vector<LostByte> lost;
    std::vector<std::string> values;
    values.reserve(6);
    const std::vector<Field> params = paramFields(quest.QuestParams, values);
    const TQuest empty;
    const auto location = [&](std::int32_t n) -> const TQuest& {
        const auto slot = static_cast<std::size_t>(n);
        return slot < quest.Quests.size() ? quest.Quests[slot] : empty;
    };

    checkQuestLine(params, 0, lost);
    for (std::int32_t n = 1; n <= quest.LocationCount; ++n)
        checkQuestLine(locationFields(location(n)), n, lost);

    checkPayloadRecord(params, 0, lost);
    for (std::int32_t n = 1; n <= quest.LocationCount; ++n)
        checkPayloadRecord(locationFields(location(n)), n, lost);
    return lost;
}

} // namespace model
