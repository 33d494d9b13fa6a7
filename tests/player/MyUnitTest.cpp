// The script functions of MyUnit: the selector rule, parameter values at the
// 32-bit limits, rand, InputP's number rule, inventory, action, goto,
// AddText, FormName and restart.
#include "player/script/InputNumber.h"
#include "player/script/Random.h"
#include "scriptapi/ScriptFunctions.h"
#include "tests/player/PlayerFixture.h"

#include <QCheckBox>
#include <QImage>
#include <QPlainTextEdit>
#include <QTimer>
#include <limits>

namespace {

using namespace testing_support;
using Kind = platform::ShownDialog::Kind;

model::QuestDocument Rooms() {
    auto doc = Quest({Location("One <param1>:<p1>", {{"a1", ""}, {"a2", ""}, {"a3", ""}}),
                      Location("Two <param2>", {{"b1", ""}, {"b2", ""}}), Location("Three")});
    for (int n = 1; n <= 6; ++n) {
        doc.QuestParams.Names[n] = "name" + std::to_string(n);
        doc.QuestParams.Values[n] = n * 10;
    }
    return doc;
}

TEST_F(PlayerTest, EveryDeclaredFunctionOfTheUnitHasABody) {
    Load(Rooms());
    // Calls of all of them, compiled but never run: an unknown one would not compile.
    std::string calls;
    for (const auto& function : scriptapi::MyUnitFunctions()) {
        std::string args;
        for (const auto& param : function.params)
            args += std::string(args.empty() ? "" : ", ") +
                    (param.type == pascal::Type::String ? "''" : "0");
        const std::string call = function.name + (args.empty() ? "" : "(" + args + ")");
        calls += function.result ? "  if " + call + " = " + call + " then ;\n" : "  " + call + ";\n";
    }
    EXPECT_EQ(scriptapi::MyUnitFunctions().size(), 37u);
    Run("if False then\nbegin\n" + calls + "end;");
    EXPECT_EQ(BoxTexts(), "");
}

// --- Selectors ---------------------------------------------------------------

TEST_F(PlayerTest, ASelectorMatchingNothingMakesEveryFunctionDoNothing) {
    Load(Rooms());
    const char* wrong[] = {"Param1", "param 1", "param1 ", "param0",  "param7", "P1",     "p0",
                           "p7",     "1",       "",        "Action1", "p1 ",    "param12"};
    for (const char* s : wrong) {
        const std::string sel = std::string("'") + s + "'";
        Run("Params(" + sel + ", 'x'); TakeParam(" + sel + "); hint(" + sel + ", 'h');" +
            "InputParam(" + sel + ", 'c', 'q'); p(" + sel + ", 1); plus_p(" + sel +
            ", 2147483647); minus_p(" + sel + ", 2147483647); InputP(" + sel + ", 'c', 'q');" +
            "action(" + sel + ", 'param1'); action('action1', " + sel + "); AddText('ok');");
        EXPECT_EQ(BoxTexts(), "") << s;
        EXPECT_EQ(Description(), "One name1:10\nok") << s;
        EXPECT_EQ(S().QuestParams, Rooms().QuestParams) << s;
        for (int n = 1; n <= 6; ++n) {
            EXPECT_FALSE(S().Held[n]) << s;
            EXPECT_TRUE(form->InventoryHint(n).empty()) << s;
            EXPECT_TRUE(form->ActionLabelOf(n)->isEnabled()) << s;
        }
        Run("goto(1);");
    }
}

TEST_F(PlayerTest, EachSelectorChoosesItsOwnParameter) {
    Load(Rooms());
    for (int n = 1; n <= 6; ++n) {
        const std::string N = std::to_string(n);
        Run("Params('param" + N + "', 'new" + N + "'); p('p" + N + "', " + N + "00);" +
            "TakeParam('param" + N + "'); hint('param" + N + "', 'h" + N + "');" +
            "AddText(_param" + N + "_ + '=' + IntToStr(_p" + N + "_));");
        EXPECT_EQ(S().QuestParams.Names[n], "new" + N);
        EXPECT_EQ(S().QuestParams.Values[n], n * 100);
        EXPECT_TRUE(S().Held[n]);
        EXPECT_EQ(form->InventoryHint(n), "h" + N);
        EXPECT_NE(Description().find("new" + N + "=" + N + "00"), std::string::npos);
        for (int other = n + 1; other <= 6; ++other)
            EXPECT_EQ(S().QuestParams.Names[other], "name" + std::to_string(other));
    }
}

// --- Values ------------------------------------------------------------------

struct ValueCase {
    std::int32_t start;
    const char* call; // with the selector 'p1'
    bool completes;   // false: a range error stops the script
    std::int32_t result;
};

TEST_F(PlayerTest, ValuesAreExactAndOnlyTheResultMustFit) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    const ValueCase cases[] = {
        {kMax, "plus_p('p1', 1)", false, kMax},
        {kMax - 1, "plus_p('p1', 1)", true, kMax},
        {kMin, "minus_p('p1', 1)", false, kMin},
        {kMin, "plus_p('p1', -1)", false, kMin},
        {kMax, "minus_p('p1', -1)", false, kMax},
        {-5, "plus_p('p1', -5)", true, -10},
        {-5, "minus_p('p1', -5)", true, 0},
        {-1, "plus_p('p1', 2147483648)", true, kMax}, // the number beyond 32 bits
        {0, "plus_p('p1', 4294967296)", false, 0},
        {-1, "minus_p('p1', 2147483647)", true, kMin},
        {0, "p('p1', 2147483647)", true, kMax},
        {0, "p('p1', -2147483648)", true, kMin},
        {7, "p('p1', 2147483648)", false, 7}, // no silent truncation
        {7, "p('p1', -2147483649)", false, 7},
    };
    for (const auto& c : cases) {
        auto doc = Rooms();
        doc.QuestParams.Values[1] = c.start;
        Load(doc);
        Run(std::string(c.call) + "; AddText('after');");
        EXPECT_EQ(S().QuestParams.Values[1], c.result) << c.call << " from " << c.start;
        EXPECT_EQ(Description().ends_with("after"), c.completes) << c.call << " from " << c.start;
        EXPECT_TRUE(Boxes().empty());
    }
}

TEST_F(PlayerTest, AChangedValueShowsOnlyAtTheNextShow) {
    Load(Rooms());
    Run("p('p1', 7); Params('param1', 'key'); AddText(IntToStr(_p1_));");
    EXPECT_EQ(Description(), "One name1:10\n7");
    Run("goto(1);");
    EXPECT_EQ(Description(), "One key:7");
}

TEST(Rand, OneStepOfTheGeneratorAndTheUpperHalfOfTheProduct) {
    using player::script::RandFromSeed;
    // seed 0 steps to 1; seed 0xFFFFFFFF steps to 4,160,191,484.
    EXPECT_EQ(RandFromSeed(0, 10), 0);
    EXPECT_EQ(RandFromSeed(0xFFFFFFFFu, 10), 9);
    EXPECT_EQ(RandFromSeed(0xFFFFFFFFu, 1), 0);
    EXPECT_EQ(RandFromSeed(0xFFFFFFFFu, 0), 0);
    // A negative number is read as 2^32 + number: here 0xFFFFFFFF, giving
    // 4,160,191,483, which as a signed value is -134,775,813.
    EXPECT_EQ(RandFromSeed(0xFFFFFFFFu, -1), -134775813);
    EXPECT_EQ(RandFromSeed(12345u, 1000),
              static_cast<std::int32_t>((std::uint64_t{12345u * 134775813u + 1u} * 1000) >> 32));
}

TEST_F(PlayerTest, RandStaysWithinItsBounds) {
    Load(Rooms());
    Run("var i: Integer; for i := 1 to 300 do begin "
        "  if rand(1) <> 0 then p('p1', -1);"
        "  if rand(0) <> 0 then p('p1', -1);"
        "  if (rand(10) < 0) or (rand(10) > 9) then p('p1', -1);"
        "end; AddText('done');");
    EXPECT_EQ(Description(), "One name1:10\ndone");
    EXPECT_EQ(S().QuestParams.Values[1], 10);
    Run("p('p2', rand(2147483648)); AddText('x');"); // beyond 32 bits: a range error
    EXPECT_EQ(Description(), "One name1:10\ndone");
}

// --- Prompts -----------------------------------------------------------------

TEST(InputNumber, FollowsItsOwnRule) {
    using player::script::ParseInputNumber;
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"42", 42},
        {"   42", 42},
        {"-17", -17},
        {"+5", 5},
        {"$1F", 31},
        {"0x1F", 31},
        {"x1f", 31},
        {"0X1f", 31},
        {"$FFFFFFFF", -1},
        {"-$1", -1},
        {"-$FFFFFFFF", 1},
        {"$80000000", -2147483647 - 1},
        {"$000000001", 1},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"42 ", std::nullopt},
        {"\t42", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"-", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"- 5", std::nullopt},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"$100000000", std::nullopt},
        {"1e3", std::nullopt},
        {"$1G", std::nullopt},
        {"+-1", std::nullopt},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ParseInputNumber(text), value) << '"' << text << '"';
}

TEST_F(PlayerTest, InputPSetsTheValueOrStopsTheScript) {
    Load(Rooms());
    dialogs.AddAnswer("  -17");
    Run("InputP('p3', 'Title', 'How many?'); AddText('a');");
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, Kind::Input);
    EXPECT_EQ(boxes[0].caption, "Title");
    EXPECT_EQ(boxes[0].text, "How many?");
    EXPECT_EQ(S().QuestParams.Values[3], -17);
    EXPECT_TRUE(Description().ends_with("a"));

    dialogs.AddAnswer("12 "); // a trailing blank fails
    Run("InputP('p3', 'c', 'q'); AddText('b');");
    EXPECT_EQ(S().QuestParams.Values[3], -17);
    EXPECT_FALSE(Description().ends_with("b"));
    Run("InputP('p3', 'c', 'q'); AddText('c');"); // no answer left: Cancel
    EXPECT_EQ(S().QuestParams.Values[3], -17);
    EXPECT_FALSE(Description().ends_with("c"));
    EXPECT_EQ(Boxes().size(), 2u);
}

TEST_F(PlayerTest, InputParamTakesTheAnswerAndCancelEmptiesTheName) {
    Load(Rooms());
    dialogs.AddAnswer(Cp("Старый ключ"));
    Run("InputParam('param2', 'c', 'q');");
    EXPECT_EQ(S().QuestParams.Names[2], Cp("Старый ключ"));
    Run("InputParam('param2', 'c', 'q'); AddText('went on');"); // Cancel
    EXPECT_EQ(S().QuestParams.Names[2], "");
    EXPECT_TRUE(Description().ends_with("went on"));
}

// --- Inventory and action ------------------------------------------------------

TEST_F(PlayerTest, TheInventoryFollowsHeldFlagsAtTheNextShow) {
    Load(Rooms());
    Run("TakeParam('param2'); hint('param5', 'shiny');");
    EXPECT_TRUE(form->lblParam2->text().isEmpty()); // not before a goto
    Run("goto(2);");
    EXPECT_EQ(form->lblParam2->text(), "name2");
    for (int n : {1, 3, 4, 5, 6})
        EXPECT_TRUE(form->InventoryLabelOf(n)->text().isEmpty()) << n;

    // A hint survives losing and taking the item and every goto.
    Run("TakeParam('param5'); LoseParam('param5'); TakeParam('param5'); TakeParam('param5');"
        "LoseParam('param5'); goto(1);");
    EXPECT_TRUE(form->lblParam5->text().isEmpty()); // a flag, not a count
    EXPECT_EQ(form->InventoryHint(5), "shiny");
    form->lblParam5MouseEnter();
    EXPECT_TRUE(form->lblParam5->showHint);
    form->lblParam4MouseEnter();
    EXPECT_FALSE(form->lblParam4->showHint); // no hint text: no hint display

    Run("Params('param2', ''); goto(1);"); // held, with an empty name: an empty row
    EXPECT_TRUE(S().Held[2]);
    EXPECT_TRUE(form->lblParam2->text().isEmpty());
}

TEST_F(PlayerTest, ActionSwitchesALabelOffUnlessTheItemIsHeld) {
    Load(Rooms());
    Run("TakeParam('param1'); action('action1', 'param1'); action('action1', 'param2');"
        "action('action2', 'param1'); action('Action3', 'param3');");
    EXPECT_FALSE(form->lblA1->isEnabled()); // both calls must pass
    EXPECT_TRUE(form->lblA2->isEnabled());
    EXPECT_TRUE(form->lblA3->isEnabled());
    EXPECT_FALSE(form->ClickAction(1));

    Run("TakeParam('param2');"); // taking the item later does not switch it on
    EXPECT_FALSE(form->lblA1->isEnabled());
    Run("action('action2', 'param3'); goto(2); action('action1', 'param4');");
    EXPECT_FALSE(form->lblA1->isEnabled()); // after the goto: applies to the new location
    EXPECT_TRUE(form->lblA2->isEnabled());  // before it: undone by the show
    Run("goto(2);");
    EXPECT_TRUE(form->lblA1->isEnabled());
}

// --- Flow ----------------------------------------------------------------------

TEST_F(PlayerTest, GotoShowsAfreshAndAddTextIsLiteral) {
    Load(Rooms());
    Run("AddText('<p1> one'); AddText('two'); AddText('three');");
    EXPECT_EQ(Description(), "One name1:10\n<p1> one\ntwo\nthree");
    Run("goto(1); AddText('after');");
    EXPECT_EQ(Description(), "One name1:10\nafter");
    EXPECT_EQ(S().CurrentLocation, 1);
}

TEST_F(PlayerTest, ABitmapStaysAcrossAGotoAndOtherPicturesGo) {
    Load(Rooms());
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    form->ShowPicture(picture, platform::PictureKind::Bitmap, "a.bmp");
    Run("goto(2);");
    EXPECT_FALSE(form->img->pixmap().isNull());
    form->ShowPicture(picture, platform::PictureKind::Jpeg, "a.jpg");
    Run("goto(2);");
    EXPECT_TRUE(form->img->pixmap().isNull());
}

TEST_F(PlayerTest, GotoOutsideTheTableIsAnErrorAndGotoZeroShowsTheEmptySlot) {
    Load(Rooms());
    for (const char* bad : {"goto(4)", "goto(-1)", "goto(2147483647)", "goto(4294967297)"}) {
        Run(std::string(bad) + "; AddText('x');");
        EXPECT_EQ(S().CurrentLocation, 1) << bad;
        EXPECT_EQ(Description(), "One name1:10") << bad;
        EXPECT_TRUE(Boxes().empty());
    }
    Run("goto(0);");
    EXPECT_EQ(S().CurrentLocation, 0);
    EXPECT_TRUE(Description().empty());
    Run("AddText('only line');"); // the first line of an empty box
    EXPECT_EQ(Description(), "only line");
    for (int n = 1; n <= 6; ++n)
        EXPECT_TRUE(form->ActionLabelOf(n)->isHidden());
}

TEST_F(PlayerTest, RestartResetsExactlyTheLoadedStateAndNothingMore) {
    Load(Rooms());
    Run("Params('param1', 'renamed'); p('p2', 99); TakeParam('param3'); hint('param3', 'h');"
        "FormName(''); goto(2);");
    EXPECT_EQ(form->CaptionText(), "");
    // What restart must leave alone: the countdown, the console box's state.
    S().TimerValue = 42;
    S().TimerCaption = "left";
    S().TimerCode = "code";
    S().TimerDown = true;
    form->Timer->start();
    form->lblTimer->show();
    form->xpCon->setChecked(true);
    form->xpConClick();

    Run("restart; AddText('<time> after');");
    EXPECT_EQ(S().QuestParams, Rooms().QuestParams);
    for (int n = 1; n <= 6; ++n) {
        EXPECT_FALSE(S().Held[n]);
        EXPECT_TRUE(form->InventoryHint(n).empty());
        EXPECT_TRUE(form->InventoryLabelOf(n)->text().isEmpty());
    }
    EXPECT_EQ(S().CurrentLocation, 1);
    EXPECT_EQ(Description(), "One name1:10\n<time> after");
    EXPECT_EQ(form->CaptionText(), "quest.exe");
    EXPECT_TRUE(form->ConsoleText().empty()); // emptied, and the restart's own run echoed before it

    EXPECT_EQ(S().TimerValue, 42);
    EXPECT_EQ(S().TimerCaption, "left");
    EXPECT_EQ(S().TimerCode, "code");
    EXPECT_TRUE(S().TimerDown);
    EXPECT_TRUE(form->Timer->isActive());
    EXPECT_FALSE(form->lblTimer->isHidden());
    EXPECT_TRUE(form->xpCon->isChecked());
    EXPECT_FALSE(form->MemoCon->isHidden());
    form->Timer->stop();
}

TEST_F(PlayerTest, ATickMovesTheCounterAndRunsTheTickCode) {
    Load(Rooms());
    S().TimerValue = std::numeric_limits<std::int32_t>::min();
    S().TimerDown = true;
    S().TimerCaption = Cp("Осталось:");
    S().TimerCode = "AddText('tick');";
    EXPECT_FALSE(form->FireTimer()); // a stopped timer does not tick
    form->Timer->start();
    EXPECT_TRUE(form->FireTimer());
    form->Timer->stop();
    EXPECT_EQ(S().TimerValue, std::numeric_limits<std::int32_t>::max()); // wraps
    EXPECT_EQ(form->lblTimer->text(), QString::fromUtf8("Осталось: 2147483647"));
    EXPECT_EQ(Description(), "One name1:10\ntick");
    EXPECT_EQ(form->ConsoleText(), "AddText('tick');\n");
}

} // namespace
