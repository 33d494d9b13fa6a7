// Converting between the quest model and its JSON form.
#include "tools/quest/QuestJson.h"

#include "model/Cp1251.h"
#include "model/Errors.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <limits>

namespace questtool {

namespace {

using Json = nlohmann::ordered_json;

constexpr int Actions = 6;
constexpr int Params = 6;

// The message may quote the input (a parse error shows the last token read),
// which need not be valid UTF-8, so it converts without failing.
[[noreturn]] void fail(const std::string& where, const std::string& utf8What) {
    throw QuestJsonError(model::Utf8ToCp1251Lossy(where + ": " + utf8What));
}

const Json& member(const Json& object, const char* name, const std::string& where) {
    const auto it = object.find(name);
    if (it == object.end())
        fail(where, std::string("нет поля \u00AB") + name + "\u00BB");
    return *it;
}

std::string text(const Json& value, const std::string& where) {
    if (!value.is_string())
        fail(where, "ожидается строка");
    try {
        return model::Utf8ToCp1251(value.get_ref<const std::string&>());
    } catch (const model::EncodingError& e) {
        fail(where, model::Cp1251ToUtf8(e.what()));
    }
}

std::int32_t integer(const Json& value, const std::string& where) {
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

const Json& arrayOf(const Json& value, std::size_t size, const std::string& where) {
    if (!value.is_array() || value.size() != size)
        fail(where, "ожидается массив из " + std::to_string(size) + " элементов");
    return value;
}

} // namespace

std::string QuestToJson(const model::QuestDocument& quest) {
    Json params = Json::array();
    for (int i = 1; i <= Params; ++i)
        params.push_back({{"name", model::Cp1251ToUtf8(quest.QuestParams.Names[i])},
                          {"value", quest.QuestParams.Values[i]}});
    Json locations = Json::array();
    const model::TQuest empty;
    for (std::int32_t n = 1; n <= quest.LocationCount; ++n) {
        const auto slot = static_cast<std::size_t>(n);
        const model::TQuest& q = slot < quest.Quests.size() ? quest.Quests[slot] : empty;
        Json captions = Json::array(), codes = Json::array();
        for (int a = 1; a <= Actions; ++a) {
            captions.push_back(model::Cp1251ToUtf8(q.Caption(a)));
            codes.push_back(model::Cp1251ToUtf8(q.Code(a)));
        }
        locations.push_back({{"description", model::Cp1251ToUtf8(q.Description)},
                             {"captions", std::move(captions)},
                             {"codes", std::move(codes)}});
    }
    Json root = {{"params", std::move(params)}, {"locations", std::move(locations)}};
    return root.dump(2) + "\n";
}

model::QuestDocument QuestFromJson(std::string_view json) {
    Json root;
    try {
        root = Json::parse(json);
    } catch (const Json::exception& e) { // a syntax error, or a number too large for a double
        fail("JSON", std::string("ошибка разбора: ") + e.what());
    }
    if (!root.is_object())
        fail("JSON", "ожидается объект с полями \u00ABparams\u00BB и \u00ABlocations\u00BB");

    model::QuestDocument quest;
    const Json& params = arrayOf(member(root, "params", "JSON"), Params, "params");
    for (int i = 1; i <= Params; ++i) {
        const std::string where = "params[" + std::to_string(i - 1) + "]";
        const Json& param = params[static_cast<std::size_t>(i - 1)];
        if (!param.is_object())
            fail(where, "ожидается объект");
        quest.QuestParams.Names[i] = text(member(param, "name", where), where + ".name");
        quest.QuestParams.Values[i] = integer(member(param, "value", where), where + ".value");
    }

    const Json& locations = member(root, "locations", "JSON");
    if (!locations.is_array() || locations.empty())
        fail("locations", "ожидается массив хотя бы из одной локации");
    if (locations.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        fail("locations", "слишком много локаций");
    quest.LocationCount = static_cast<std::int32_t>(locations.size());
    quest.Quests.resize(locations.size() + 1);
    for (std::size_t n = 0; n < locations.size(); ++n) {
        const std::string where = "locations[" + std::to_string(n) + "]";
        const Json& location = locations[n];
        if (!location.is_object())
            fail(where, "ожидается объект");
        model::TQuest& q = quest.Quests[n + 1];
        q.Description = text(member(location, "description", where), where + ".description");
        const Json& captions =
            arrayOf(member(location, "captions", where), Actions, where + ".captions");
        const Json& codes = arrayOf(member(location, "codes", where), Actions, where + ".codes");
        for (int a = 1; a <= Actions; ++a) {
            const auto i = static_cast<std::size_t>(a - 1);
            q.Caption(a) = text(captions[i], where + ".captions[" + std::to_string(i) + "]");
            q.Code(a) = text(codes[i], where + ".codes[" + std::to_string(i) + "]");
        }
    }
    return quest;
}

} // namespace questtool
