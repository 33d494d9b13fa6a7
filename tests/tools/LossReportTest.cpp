// The words norvo-quest finds for content a stored form would lose: places in
// characters of the text as written, both forms in one line, advice per kind.
#include "tools/quest/LossReport.h"

#include "model/Cp1251.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace questtool {
namespace {

std::string Ru(std::string_view utf8) { return model::Utf8ToCp1251(utf8); }

model::QuestDocument QuestOfThree() {
    model::QuestDocument quest = model::NewQuestDocument();
    quest.Quests.resize(4);
    quest.LocationCount = 3;
    return quest;
}

TEST(LossReportTest, EachPlaceIsNamedInTheAuthorsWords) {
    const struct {
        const char* what;
        std::function<void(model::QuestDocument&)> edit;
        LossForms forms;
        std::vector<std::string> places;
    } cases[] = {
        {"an 'ё' that breaks the quest file's line at its place, on line 4 of a code",
         [](model::QuestDocument& q) { q.Quests[3].Code2 = Ru("a\r\nb\r\nc\r\nабвгдеё"); },
         {true, true},
         {"локация 3, действие 2, код, строка 4, знак 7: символ 'ё' не сохранится в файле "
          "квеста"}},
        {"the same 'ё' one character later is safe",
         [](model::QuestDocument& q) { q.Quests[3].Code2 = Ru("a\r\nb\r\nc\r\nабвгдеж ё"); },
         {true, true},
         {}},
        {"a '|' is lost by both forms, one line",
         [](model::QuestDocument& q) { q.Quests[2].Caption5 = "a|b"; },
         {true, true},
         {"локация 2, действие 5, надпись, знак 2: символ '|' не сохранится ни в файле "
          "квеста, ни в автономном квесте"}},
        {"only the asked form is reported",
         [](model::QuestDocument& q) { q.Quests[2].Caption5 = "a|b"; },
         {false, true},
         {"локация 2, действие 5, надпись, знак 2: символ '|' не сохранится в автономном "
          "квесте"}},
        {"the marks of the payload, in a name and a description; in reading order",
         [](model::QuestDocument& q) {
             q.Quests[1].Description = Ru("Маяк\r\n© 2026");
             q.QuestParams.Names[4] = Ru("Ключ®");
         },
         {false, true},
         {"параметр 4, имя, знак 5: символ '®' не сохранится в автономном квесте",
          "локация 1, описание, строка 2, знак 1: символ '©' не сохранится в автономном "
          "квесте"}},
        {"characters one cannot see get a name",
         [](model::QuestDocument& q) {
             q.Quests[1].Description = "xx\xA0";
             q.Quests[1].Caption1 = "1234567\x98";
         },
         {true, false},
         {"локация 1, описание, строка 1, знак 3: неразрывный пробел не сохранится в файле "
          "квеста",
          "локация 1, действие 1, надпись, знак 8: байт 0x98 (в кодировке cp1251 у него нет "
          "буквы) не сохранится в файле квеста"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        model::QuestDocument quest = QuestOfThree();
        c.edit(quest);
        const LossReport report = ReportLosses(quest, c.forms);
        EXPECT_EQ(report.places, c.places);
        EXPECT_EQ(report.advice.empty(), c.places.empty());
    }
}

TEST(LossReportTest, AdviceComesOncePerKindOfCharacter) {
    model::QuestDocument quest = QuestOfThree();
    quest.Quests[1].Caption1 = "a|b|c";
    quest.Quests[2].Caption1 = "x|y";
    quest.Quests[3].Description = Ru("©");
    const LossReport report = ReportLosses(quest, {true, true});
    ASSERT_EQ(report.places.size(), 4u);
    ASSERT_EQ(report.advice.size(), 2u);
    EXPECT_TRUE(report.advice[0].starts_with("Что делать: символ '|'")) << report.advice[0];
    EXPECT_NE(report.advice[1].find("(c) и (R)"), std::string::npos) << report.advice[1];
}

} // namespace
} // namespace questtool
