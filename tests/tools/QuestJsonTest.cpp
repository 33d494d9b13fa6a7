// The JSON form of a quest: what it holds and how it refuses bad input.
#include "tools/quest/QuestJson.h"
#include "model/Cp1251.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace questtool {
namespace {

model::QuestDocument sample() {
    model::QuestDocument q = model::NewQuestDocument();
    q.LocationCount = 2;
    q.Quests.resize(3);
    q.Quests[1].Description = "\xCA\xEE\xEC\xED\xE0\xF2\xE0\r\n<param1>"; // "Комната"
    q.Quests[1].Caption2 = "go";
    q.Quests[1].Code6 = "goto(2);\r\n";
    q.Quests[2].Description = "two";
    q.QuestParams.Names[1] = "\xC7\xEE\xEB\xEE\xF2\xEE"; // "Золото"
    q.QuestParams.Values[1] = -7;
    q.QuestParams.Values[6] = -2147483647 - 1;
    return q;
}

TEST(QuestJson, LayoutOfTheForm) {
    const auto json = nlohmann::json::parse(QuestToJson(sample()));
    ASSERT_EQ(json["params"].size(), 6u);
    EXPECT_EQ(json["params"][0]["name"], "Золото");
    EXPECT_EQ(json["params"][0]["value"], -7);
    EXPECT_EQ(json["params"][5]["value"], -2147483648LL);
    ASSERT_EQ(json["locations"].size(), 2u);
    EXPECT_EQ(json["locations"][0]["description"], "Комната\r\n<param1>");
    EXPECT_EQ(json["locations"][0]["captions"][1], "go");
    EXPECT_EQ(json["locations"][0]["codes"][5], "goto(2);\r\n");
    EXPECT_EQ(json["locations"][1]["captions"].size(), 6u);
    // Members come in the documented order.
    const std::string text = QuestToJson(sample());
    EXPECT_LT(text.find("\"params\""), text.find("\"locations\""));
    EXPECT_LT(text.find("\"description\""), text.find("\"captions\""));
    EXPECT_LT(text.find("\"captions\""), text.find("\"codes\""));
}

TEST(QuestJson, WrittenAsOneIndentedDumpOfTheWholeQuest) {
    // The form is written location by location; it must read exactly as one
    // dump of the whole tree, line breaks inside texts included.
    for (int count : {0, 1, 2}) {
        model::QuestDocument q = sample();
        q.LocationCount = count;
        nlohmann::ordered_json params = nlohmann::ordered_json::array();
        for (int i = 1; i <= 6; ++i)
            params.push_back({{"name", model::Cp1251ToUtf8(q.QuestParams.Names[i])},
                              {"value", q.QuestParams.Values[i]}});
        nlohmann::ordered_json locations = nlohmann::ordered_json::array();
        for (int n = 1; n <= count; ++n) {
            const model::TQuest& l = q.Quests[static_cast<std::size_t>(n)];
            nlohmann::ordered_json captions = nlohmann::ordered_json::array(), codes = captions;
            for (int a = 1; a <= 6; ++a) {
                captions.push_back(model::Cp1251ToUtf8(l.Caption(a)));
                codes.push_back(model::Cp1251ToUtf8(l.Code(a)));
            }
            locations.push_back({{"description", model::Cp1251ToUtf8(l.Description)},
                                 {"captions", captions},
                                 {"codes", codes}});
        }
        const nlohmann::ordered_json root = {{"params", params}, {"locations", locations}};
        EXPECT_EQ(QuestToJson(q), root.dump(2) + "\n") << count;
    }
}

TEST(QuestJson, EveryByteValueSurvives) {
    model::QuestDocument q = sample();
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    q.Quests[2].Code3 = all;
    q.QuestParams.Names[4] = all;
    EXPECT_EQ(QuestFromJson(QuestToJson(q)), q);
}

TEST(QuestJson, RefusesWhatIsNoQuest) {
    const std::string params =
        R"("params":[{"name":"","value":0},{"name":"","value":0},{"name":"","value":0},)"
        R"({"name":"","value":0},{"name":"","value":0},{"name":"","value":0}])";
    const std::string location = R"({"description":"","captions":["","","","","",""],)"
                                 R"("codes":["","","","","",""]})";
    const auto withLocation = [&](const std::string& loc) {
        return "{" + params + R"(,"locations":[)" + location + "," + loc + "]}";
    };
    const struct {
        std::string json;
        std::string where; // the place the message must name
    } cases[] = {
        {"{\"params\":", "JSON"},
        // The parse error quotes a token that is not UTF-8.
        {"{\"par\x97ms\":[]}", "JSON"},
        {"{\"params\":[{\"na\x97me\":\"\"}", "JSON"},
        {"{\"params\":[{\"value\":1e999}]}", "JSON"},
        {"[]", "JSON"},
        {"{" + params + "}", "JSON"},
        {"{" + params + R"(,"locations":[]})", "locations"},
        {R"({"params":[],"locations":[]})", "params"},
        {withLocation(R"({"description":1,"captions":[],"codes":[]})"), "locations[1].description"},
        {withLocation(R"({"description":"","captions":["","","","","",""],"codes":[]})"),
         "locations[1].codes"},
        {withLocation(R"({"description":"","captions":["","","中","","",""],)"
                      R"("codes":["","","","","",""]})"),
         "locations[1].captions[2]"},
        {withLocation(R"({"captions":["","","","","",""],"codes":["","","","","",""]})"),
         "locations[1]"},
        {std::string("{") + R"("params":[{"name":"","value":2147483648})" +
             params.substr(params.find("},") + 1) + R"(,"locations":[)" + location + "]}",
         "params[0].value"},
        {std::string("{") + R"("params":[{"name":"","value":1.5})" +
             params.substr(params.find("},") + 1) + R"(,"locations":[)" + location + "]}",
         "params[0].value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        try {
            QuestFromJson(c.json);
            ADD_FAILURE() << "accepted";
        } catch (const QuestJsonError& e) {
            EXPECT_TRUE(model::Cp1251ToUtf8(e.what()).starts_with(c.where + ":"))
                << model::Cp1251ToUtf8(e.what());
        }
    }
    // The well-formed base case itself is accepted.
    EXPECT_EQ(QuestFromJson(withLocation(location)).LocationCount, 2);
}

TEST(QuestJson, DeepNestingIsRefusedAtItsPlace) {
    const auto nested = [](int levels) {
        return std::string(static_cast<std::size_t>(levels), '[') +
               std::string(static_cast<std::size_t>(levels), ']');
    };
    const struct {
        std::string json;
        std::string where; // the start of the message
    } cases[] = {
        // Nested far beyond any stack inside a member that is followed by
        // another, which is what used to copy the deep value recursively.
        {"{\"a\":" + nested(100000) + ",\"b\":0}", "a" + std::string(63 * 3, 'x')},
        {nested(100000), std::string(64 * 3, 'x')},
        {R"({"params":[],"locations":[{"description":"","captions":)" + nested(70) + "}]}",
         "locations[0].captions" + std::string(61 * 3, 'x')},
        // The array element count shows in the place: the third element nests.
        {"[0,{}," + nested(64) + "]", "[2]" + std::string(63 * 3, 'x')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json.substr(0, 80));
        std::string where = c.where;
        for (std::size_t at = where.find("xxx"); at != std::string::npos; at = where.find("xxx"))
            where.replace(at, 3, "[0]");
        try {
            QuestFromJson(c.json);
            ADD_FAILURE() << "accepted";
        } catch (const QuestJsonError& e) {
            EXPECT_EQ(model::Cp1251ToUtf8(e.what()), where + ": вложенность глубже 64 уровней");
        }
    }
    // Sixty-four levels are read; the text is then refused as no quest.
    try {
        QuestFromJson(nested(64));
        ADD_FAILURE() << "accepted";
    } catch (const QuestJsonError& e) {
        EXPECT_EQ(model::Cp1251ToUtf8(e.what()).find("вложенность"), std::string::npos);
    }
}

} // namespace
} // namespace questtool
