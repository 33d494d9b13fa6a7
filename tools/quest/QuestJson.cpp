// Converting between the quest model and its JSON form.
#include "tools/quest/QuestJson.h"

#include "model/Cp1251.h"
#include "model/Errors.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <limits>
#include <vector>

namespace questtool {

namespace {

// Written with members in the documented order. Read into std::map objects:
// an ordered object looks up every new member linearly, which makes an
// object of many members quadratic to read, and order is not needed there.
using Json = nlohmann::ordered_json;
using ReadJson = nlohmann::json;

// A quest nests four levels deep (locations, a location, its captions); a
// deeper text is no quest, and every level costs stack when a value is
// copied or compared, so nesting is refused well before the stack ends.
constexpr int MaxJsonDepth = 64;

constexpr int Actions = 6;
constexpr int Params = 6;

// The message may quote the input (a parse error shows the last token read),
// which need not be valid UTF-8, so it converts without failing.
[[noreturn]] void fail(const std::string& where, const std::string& utf8What) {
    throw QuestJsonError(model::Utf8ToCp1251Lossy(where + ": " + utf8What));
}

const ReadJson& member(const ReadJson& object, const char* name, const std::string& where) {
    const auto it = object.find(name);
    if (it == object.end())
        fail(where, std::string("нет поля \u00AB") + name + "\u00BB");
    return *it;
}

std::string text(const ReadJson& value, const std::string& where) {
    if (!value.is_string())
        fail(where, "ожидается строка");
    try {
        return model::Utf8ToCp1251(value.get_ref<const std::string&>());
    } catch (const model::EncodingError& e) {
        fail(where, model::Cp1251ToUtf8(e.what()));
    }
}

std::int32_t integer(const ReadJson& value, const std::string& where) {
    constexpr auto min = std::numeric_limits<std::int32_t>::min();
    constexpr auto max = std::numeric_limits<std::int32_t>::max();
    if (value.is_number_unsigned()) {
        if (value.get<std::uint64_t>() <= static_cast<std::uint64_t>(max))
            return static_cast<std::int32_t>(value.get<std::uint64_t>());
    } else if (value.is_number_integer()) {
        const auto v = value.get<std::int64_t>();
        if (v >= min && v <= max)
            return static_cast<std::int32_t>(v);
    } else {
        fail(where, "ожидается целое число");
    }
    fail(where, "число вне диапазона от -2147483648 до 2147483647");
}

const ReadJson& arrayOf(const ReadJson& value, std::size_t size, const std::string& where) {
    if (!value.is_array() || value.size() != size)
        fail(where, "ожидается массив из " + std::to_string(size) + " элементов");
    return value;
}

// A dumped value one level deeper: its line breaks all come from the
// indentation, since a dumped string escapes its own.
std::string indented(const std::string& dumped) {
    std::string out;
    out.reserve(dumped.size() + dumped.size() / 8);
    for (const char c : dumped) {
        out += c;
        if (c == '\n')
            out += "  ";
    }
    return out;
}

// Follows the parser through the text, keeping the path of the value being
// read, so that nesting beyond MaxJsonDepth is refused with its place named.
class DepthGuard {
public:
    bool operator()(int depth, ReadJson::parse_event_t event, ReadJson& parsed) {
        using Event = ReadJson::parse_event_t;
        switch (event) {
        case Event::object_start:
        case Event::array_start:
            if (depth >= MaxJsonDepth)
                fail(path(), "вложенность глубже " + std::to_string(MaxJsonDepth) + " уровней");
            open_.push_back({event == Event::array_start, {}, 0});
            break;
        case Event::key:
            open_.back().key = parsed.get<std::string>();
            break;
        case Event::object_end:
        case Event::array_end:
            open_.pop_back();
            valueDone();
            break;
        case Event::value:
            valueDone();
            break;
        }
        return true;
    }

private:
    struct Level {
        bool array;
        std::string key;   // of the member being read, in an object
        std::size_t index; // of the element being read, in an array
    };

    // One value of the innermost open level is complete.
    void valueDone() {
        if (!open_.empty() && open_.back().array)
            ++open_.back().index;
    }

    // Where the value being read sits, as the other messages name places.
    std::string path() const {
        std::string out;
        for (const Level& level : open_) {
            if (level.array)
                out += "[" + std::to_string(level.index) + "]";
            else
                out += (out.empty() ? "" : ".") + level.key;
        }
        return out.empty() ? "JSON" : out;
    }

    std::vector<Level> open_;
};

} // namespace

std::string QuestToJson(const model::QuestDocument& quest) {
    Json params = Json::array();
    for (int i = 1; i <= Params; ++i)
        params.push_back({{"name", model::Cp1251ToUtf8(quest.QuestParams.Names[i])},
                          {"value", quest.QuestParams.Values[i]}});
    // Each location is dumped by itself and indented into place: a tree of
    // the whole quest costs far more than its text.
    std::string out = "{\n  \"params\": " + indented(params.dump(2)) + ",\n  \"locations\": [";
    const model::TQuest empty;
    for (std::int32_t n = 1; n <= quest.LocationCount; ++n) {
        const auto slot = static_cast<std::size_t>(n);
        const model::TQuest& q = slot < quest.Quests.size() ? quest.Quests[slot] : empty;
        Json captions = Json::array(), codes = Json::array();
        for (int a = 1; a <= Actions; ++a) {
            captions.push_back(model::Cp1251ToUtf8(q.Caption(a)));
            codes.push_back(model::Cp1251ToUtf8(q.Code(a)));
        }
        const Json location = {{"description", model::Cp1251ToUtf8(q.Description)},
                               {"captions", std::move(captions)},
                               {"codes", std::move(codes)}};
        out += n == 1 ? "\n    " : ",\n    ";
        out += indented(indented(location.dump(2)));
    }
    out += quest.LocationCount >= 1 ? "\n  ]\n}\n" : "]\n}\n";
    return out;
}

model::QuestDocument QuestFromJson(std::string_view json) {
    ReadJson root;
    try {
        root = ReadJson::parse(json, DepthGuard());
    } catch (const ReadJson::exception& e) { // a syntax error, or a number too large for a double
        fail("JSON", std::string("ошибка разбора (\"") + e.what() + "\")");
    }
    if (!root.is_object())
        fail("JSON", "ожидается объект с полями \u00ABparams\u00BB и \u00ABlocations\u00BB");

    model::QuestDocument quest;
    const ReadJson& params = arrayOf(member(root, "params", "JSON"), Params, "params");
    for (int i = 1; i <= Params; ++i) {
        const std::string where = "params[" + std::to_string(i - 1) + "]";
        const ReadJson& param = params[static_cast<std::size_t>(i - 1)];
        if (!param.is_object())
            fail(where, "ожидается объект");
        quest.QuestParams.Names[i] = text(member(param, "name", where), where + ".name");
        quest.QuestParams.Values[i] = integer(member(param, "value", where), where + ".value");
    }

    const ReadJson& locations = member(root, "locations", "JSON");
    if (!locations.is_array() || locations.empty())
        fail("locations", "ожидается массив хотя бы из одной локации");
    if (locations.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        fail("locations", "слишком много локаций");
    quest.LocationCount = static_cast<std::int32_t>(locations.size());
    // The table grows as locations check out: a long array of anything else
    // must not first cost a whole table.
    quest.Quests.resize(1);
    for (std::size_t n = 0; n < locations.size(); ++n) {
        const std::string where = "locations[" + std::to_string(n) + "]";
        const ReadJson& location = locations[n];
        if (!location.is_object())
            fail(where, "ожидается объект");
        model::TQuest& q = quest.Quests.emplace_back();
        q.Description = text(member(location, "description", where), where + ".description");
        const ReadJson& captions =
            arrayOf(member(location, "captions", where), Actions, where + ".captions");
        const ReadJson& codes =
            arrayOf(member(location, "codes", where), Actions, where + ".codes");
        for (int a = 1; a <= Actions; ++a) {
            const auto i = static_cast<std::size_t>(a - 1);
            q.Caption(a) = text(captions[i], where + ".captions[" + std::to_string(i) + "]");
            q.Code(a) = text(codes[i], where + ".codes[" + std::to_string(i) + "]");
        }
    }
    return quest;
}

} // namespace questtool
