// The shared script check: compile errors with their place, and literal
// selectors that match nothing as warnings, found exactly where the compiler
// would see a string.
#include "scriptapi/ScriptCheck.h"

#include "model/Cp1251.h"
#include "scriptapi/SelectorCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scriptapi {
namespace {

std::string Ru(std::string_view utf8) { return model::Utf8ToCp1251(utf8); }
std::string Utf8(std::string_view cp1251) { return model::Cp1251ToUtf8(cp1251); }

// "line:column message" of each warning, in UTF-8.
std::vector<std::string> Warnings(std::string_view code) {
    std::vector<std::string> out;
    for (const WrongSelector& w : FindWrongSelectors(Ru(code)))
        out.push_back(std::to_string(w.line) + ":" + std::to_string(w.column) + " " +
                      Utf8(w.message));
    return out;
}

TEST(SelectorCheckTest, LiteralSelectorsThatMatchNothingAreWarnedOfWithTheirPlace) {
    const struct {
        const char* code;
        std::vector<std::string> expected;
    } cases[] = {
        {"TakeParam('Param1');",
         {"1:11 селектор 'Param1' не существует; селекторы: param1 … param6"}},
        {"p('p7', 1);", {"1:3 селектор 'p7' не существует; селекторы: p1 … p6"}},
        {"action('action 1', 'param2');",
         {"1:8 селектор 'action 1' не существует; селекторы: action1 … action6"}},
        {"action('action1', 'p2');",
         {"1:19 селектор 'p2' не существует; селекторы: param1 … param6"}},
        {"InputP('param1', 'a', 'b');\r\n  INPUTPARAM('p1', 'a', 'b');",
         {"1:8 селектор 'param1' не существует; селекторы: p1 … p6",
          "2:14 селектор 'p1' не существует; селекторы: param1 … param6"}},
        {"MyUnit.plus_p('', 1);", {"1:15 селектор '' не существует; селекторы: p1 … p6"}},
        {"hint('param1'#13, 'x');",
         {"1:6 селектор 'param1#13' не существует; селекторы: param1 … param6"}},
        // Every right selector, in any way of writing the call.
        {"Params('param1', 'a'); p('p6', 1); plus_p('p2', 1); minus_p('p3', 1);\n"
         "TakeParam('param4'); LoseParam('param5'); hint('param6', 'h');\n"
         "action('action6', 'param1'); InputParam('param2', 'c', 'q'); InputP('p4', 'c', 'q');\n"
         "TakeParam('param'#49);",
         {}},
        // Not literals, not selectors' places, not calls of MyUnit.
        {"TakeParam('Param' + '1'); TakeParam(s); Params('param1', 'Param1'); "
         "ShowMessage('p7'); x.p('p7', 1); TakeParam(('Param1'));",
         {}},
        // Strings and comments as the compiler reads them.
        {"{ TakeParam('Param1') } // p('p7', 1)\n(* LoseParam('x') *) "
         "ShowMessage('TakeParam(''Param1'')');",
         {}},
        // A routine of the script's own under a MyUnit name is its own.
        {"procedure TakeParam(s: String); begin end; begin TakeParam('Param1'); end.", {}},
        // A selector inside another call's arguments is found in text order.
        {"AddText(IntToStr(rand(2)) + _param1_); hint(IfThen(True, 'a', 'b'), 'x'); "
         "p('p0', StrToInt(IntToStr(1))); action('Action1', 'param9');",
         {"1:77 селектор 'p0' не существует; селекторы: p1 … p6",
          "1:114 селектор 'Action1' не существует; селекторы: action1 … action6",
          "1:125 селектор 'param9' не существует; селекторы: param1 … param6"}},
        // Columns count characters, and a Russian letter is one.
        {"AddText('Ёж'); TakeParam('Ёж');",
         {"1:26 селектор 'Ёж' не существует; селекторы: param1 … param6"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(Warnings(c.code), c.expected);
    }
}

TEST(SelectorCheckTest, AnUnclosedStringEndsTheScanWithoutAWarningOfItsOwn) {
    EXPECT_EQ(Warnings("p('p7', 1); TakeParam('Param1);\nLoseParam('x');"),
              std::vector<std::string>{"1:3 селектор 'p7' не существует; селекторы: p1 … p6"});
}

TEST(ScriptCheckTest, ErrorsComeFirstWithoutTheirPlaceSuffixThenWarnings) {
    const ScriptChecker checker;
    EXPECT_TRUE(checker.Check("TakeParam('param1'); goto(2);").empty());
    const std::vector<CodeProblem> problems = checker.Check("TakeParam('Param1');\r\ngoto(2;");
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].kind, ProblemKind::Error);
    EXPECT_EQ(problems[0].line, 2);
    EXPECT_EQ(problems[0].column, 7);
    EXPECT_EQ(problems[0].message.find(Ru("[строка")), std::string::npos);
    EXPECT_EQ(problems[1].kind, ProblemKind::Warning);
    EXPECT_EQ(problems[1].line, 1);
    EXPECT_EQ(problems[1].column, 11);
}

TEST(ScriptCheckTest, AQuestIsCheckedActionByActionAndDialogsCompile) {
    model::QuestDocument quest = model::NewQuestDocument();
    quest.Quests.resize(3);
    quest.LocationCount = 2;
    quest.Quests[1].Code(3) = Ru("if QuestionDlg('Да?') then ShowMessage(InputBox('a', 'b', 'c'));");
    quest.Quests[2].Code(6) = "LoseParam('p1'); undefinedName;";
    const std::vector<ScriptProblem> problems = CheckQuestScripts(quest);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].location, 2);
    EXPECT_EQ(problems[0].action, 6);
    EXPECT_EQ(problems[0].problem.kind, ProblemKind::Error);
    EXPECT_EQ(problems[0].problem.column, 18);
    EXPECT_EQ(problems[1].problem.kind, ProblemKind::Warning);
    EXPECT_EQ(problems[1].problem.column, 11);
}

} // namespace
} // namespace scriptapi
