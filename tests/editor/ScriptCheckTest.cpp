// The script check over a whole quest and the text of its box.
#include "editor/ScriptCheck.h"

#include "model/Cp1251.h"

#include <gtest/gtest.h>

namespace {

using editor::ScriptProblem;

std::string Ru(const char* utf8) { return model::Utf8ToCp1251(utf8); }

model::QuestDocument QuestOfThree() {
    model::QuestDocument quest = model::NewQuestDocument();
    quest.Quests.resize(4);
    quest.LocationCount = 3;
    return quest;
}

TEST(ScriptCheckTest, FindsEveryFaultyScriptWithItsPlaceAndPassesGoodOnes) {
    model::QuestDocument quest = QuestOfThree();
    quest.Quests[1].Code(1) = "TakeParam('param1');\r\ngoto(2);\r\n";
    quest.Quests[1].Code(2) = "goto(2;\r\n";
    quest.Quests[2].Code(1) = Ru("if QuestionDlg('Идти?') then\r\n  goto(3)\r\nelse\r\n  ShowMessage(InputBox('a', 'b', 'c'));\r\n");
    quest.Quests[3].Code(4) = "x := 1;\r\n";
    quest.Quests[3].Code(6) = "  plus_p('p1');\r\n";

    const std::vector<ScriptProblem> problems = editor::CheckQuestScripts(quest);
    std::vector<std::tuple<int, int, int, int>> places;
    for (const ScriptProblem& p : problems) {
        places.emplace_back(p.location, p.action, p.line, p.column);
        EXPECT_FALSE(p.message.empty());
        EXPECT_EQ(p.message.find(Ru("[строка")), std::string::npos) << p.message;
    }
    const std::vector<std::tuple<int, int, int, int>> expected = {
        {1, 2, 1, 7}, {3, 4, 1, 1}, {3, 6, 1, 3}};
    EXPECT_EQ(places, expected);
}

TEST(ScriptCheckTest, AWrongLiteralSelectorIsAWarningAfterTheErrorsInTheBoxAndTheCodeEditor) {
    model::QuestDocument quest = QuestOfThree();
    quest.Quests[2].Code(3) = "TakeParam('Param1');\r\ngoto(;\r\n";
    const std::vector<ScriptProblem> problems = editor::CheckQuestScripts(quest);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].line, 2);
    EXPECT_EQ(problems[1].line, 1);
    EXPECT_EQ(problems[1].column, 11);
    EXPECT_EQ(problems[1].message,
              Ru("предупреждение: селектор 'Param1' не существует; селекторы: param1 … param6"));

    const std::vector<editor::CompileProblem> marks =
        editor::ScriptChecker().Check("LoseParam('p1');");
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0].column, 11);
    EXPECT_TRUE(marks[0].message.starts_with(Ru("предупреждение: "))) << marks[0].message;
}

TEST(ScriptCheckTest, QuestWithoutScriptsOrWithoutLocationsHasNoProblems) {
    EXPECT_TRUE(editor::CheckQuestScripts(QuestOfThree()).empty());
    EXPECT_TRUE(editor::CheckQuestScripts(model::QuestDocument{}).empty());
}

TEST(ScriptCheckTest, TheBoxListsPlacesAndCountsWhatItLeavesOut) {
    EXPECT_EQ(editor::DescribeScriptProblems({}), Ru("Ошибок в сценариях нет."));

    const std::vector<ScriptProblem> two = {{3, 2, 4, 5, Ru("Неизвестное имя Foo")},
                                            {7, 6, 0, 0, Ru("Слишком много ошибок")}};
    EXPECT_EQ(editor::DescribeScriptProblems(two),
              Ru("Ошибки в сценариях:\rЛокация 3, действие 2, строка 4, столбец 5: Неизвестное "
                 "имя Foo\rЛокация 7, действие 6: Слишком много ошибок"));

    std::vector<ScriptProblem> many(25, ScriptProblem{1, 1, 1, 1, "x"});
    const std::string text = editor::DescribeScriptProblems(many);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 21);
    EXPECT_TRUE(text.ends_with(Ru("\rЕщё ошибок: 5."))) << text;
}

} // namespace
