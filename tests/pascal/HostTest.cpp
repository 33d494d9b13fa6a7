// The host interface: units, arguments by name, results, errors thrown by
// callbacks, nested runs from a callback, cancellation and the dialog unit.
#include "tests/pascal/ScriptRun.h"

#include "pascal/Cp1251.h"
#include "pascal/DialogUnit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>

namespace pascal {
namespace {

using test::runScript;

// A small unit like the player's: a parameter store, selectors by text.
class HostUnit : public testing::Test {
protected:
    Engine engine;
    std::int64_t values[7] = {};
    std::vector<std::string> log;

    void SetUp() override {
        engine.registerUnit(
            "MyUnit",
            {
                {"p",
                 {{"p", Type::String}, {"number", Type::Integer}},
                 std::nullopt,
                 [this](CallContext& c) {
                     std::string sel = c.getString("p");
                     for (int i = 1; i <= 6; ++i)
                         if (sel == "p" + std::to_string(i))
                             values[i] = c.getInteger("number");
                 }},
                {"_p1_",
                 {},
                 Type::Integer,
                 [this](CallContext& c) { c.setInteger("result", values[1]); }},
                {"goto",
                 {{"location", Type::Integer}},
                 std::nullopt,
                 [this](CallContext& c) { log.push_back("goto " + c.getString("location")); }},
                {"Describe",
                 {{"s", Type::String},
                  {"i", Type::Integer},
                  {"f", Type::Float},
                  {"b", Type::Boolean}},
                 Type::String,
                 [](CallContext& c) {
                     c.setString("result", c.getString("s") + "/" +
                                               std::to_string(c.getInteger("I")) + "/" +
                                               c.getString("f") + "/" + c.getString("b"));
                 }},
                {"AsNumber",
                 {{"text", Type::String}},
                 Type::Integer,
                 [](CallContext& c) { c.setInteger("result", c.getInteger("text")); }},
                {"Fail",
                 {{"why", Type::String}},
                 std::nullopt,
                 [](CallContext& c) { throw std::runtime_error(c.getString("why")); }},
                {"BadRead", {}, std::nullopt, [](CallContext& c) { c.getString("missing"); }},
                {"Half",
                 {{"x", Type::Float}},
                 Type::Float,
                 [](CallContext& c) { c.setFloat("result", c.getFloat("x") / 2); }},
            });
    }
};

TEST_F(HostUnit, ArgumentsByNameAndResults) {
    test::Outcome o = runScript(engine, "uses MyUnit; p('p1', 41); P('p7', 9); p('P1', 5);\n"
                                        "PrintLn(_p1_ + 1, ' ', Describe('a', 2, 1.5, True), ' ', "
                                        "Half(3), ' ', MyUnit.AsNumber(' $10'));\n"
                                        "goto(3); GOTO(4)");
    ASSERT_EQ(o.status, RunStatus::Completed) << o.messages;
    EXPECT_EQ(o.output, "42 a/2/1.5/True 1.5 16\n");
    EXPECT_EQ(values[1], 41); // selectors are the host's business: 'P1' matched nothing
    EXPECT_EQ(log, (std::vector<std::string>{"goto 3", "goto 4"}));
}

TEST_F(HostUnit, CallbackErrorsBecomeRunTimeErrorsAtTheCall) {
    test::Outcome o = runScript(engine, "goto(1);\n  Fail('no file'); goto(2)");
    EXPECT_EQ(o.status, RunStatus::Failed);
    EXPECT_EQ(o.messages, std::string("Ошибка выполнения: no file [строка 2, столбец 3]\r\n"_cp));
    EXPECT_EQ(log, std::vector<std::string>{"goto 1"});

    o = runScript(engine, "goto(1); PrintLn(AsNumber('12a')); goto(2)");
    EXPECT_EQ(o.status, RunStatus::Failed);
    EXPECT_NE(o.messages.find("'12a'"), std::string::npos) << o.messages;

    o = runScript(engine, "BadRead");
    EXPECT_EQ(o.status, RunStatus::Failed);
    EXPECT_NE(o.messages.find("missing"), std::string::npos);
}

TEST_F(HostUnit, TryExceptCatchesCallbackErrors) {
    test::Outcome o = runScript(
        engine, "try Fail('x') except on E: Exception do PrintLn('caught ', E.Message) end");
    EXPECT_EQ(o.status, RunStatus::Completed);
    EXPECT_EQ(o.output, "caught x\n");
}

TEST_F(HostUnit, WrongCallsAreCompileErrors) {
    for (const char* text : {"goto('a')", "goto(1, 2)", "var s: String; s := _p1_", "p('p1')",
                             "Nothing.goto(1)", "uses Nothing; goto(1)"}) {
        auto program = engine.compile(text);
        EXPECT_TRUE(program->hasErrors()) << text;
    }
}

TEST_F(HostUnit, EachCompileIsIndependent) {
    EXPECT_EQ(runScript(engine, "var keep: Integer; keep := 5").status, RunStatus::Completed);
    test::Outcome o = runScript(engine, "keep := 6");
    EXPECT_FALSE(o.compiled);
    EXPECT_NE(o.messages.find("keep"), std::string::npos);
}

TEST(HostRegistration, RejectsBadUnits) {
    Engine engine;
    auto noop = [](CallContext&) {};
    engine.registerUnit("A", {{"f", {}, std::nullopt, noop}});
    EXPECT_THROW(engine.registerUnit("a", {{"g", {}, std::nullopt, noop}}), std::invalid_argument);
    EXPECT_THROW(engine.registerUnit("B", {{"F", {}, std::nullopt, noop}}), std::invalid_argument);
    EXPECT_THROW(engine.registerUnit("C", {{"h", {}, std::nullopt, nullptr}}),
                 std::invalid_argument);
    EXPECT_THROW(engine.registerUnit("D", {{"two words", {}, std::nullopt, noop}}),
                 std::invalid_argument);
    EXPECT_THROW(engine.registerUnit(
                     "E", {{"k", {{"x", Type::Integer}, {"X", Type::String}}, std::nullopt, noop}}),
                 std::invalid_argument);
    // A rejected unit left nothing behind.
    EXPECT_TRUE(engine.compile("h").get()->hasErrors());
    EXPECT_FALSE(engine.compile("f").get()->hasErrors());
}

TEST(HostReentrancy, NestedRunInsideCallbackLeavesOuterRunUnharmed) {
    Engine engine;
    std::string tick;
    int depth = 0;
    engine.registerUnit(
        "MyUnit", {{"Dialog",
                    {},
                    std::nullopt,
                    [&](CallContext&) {
                        // A countdown tick while the dialog waits: another program on the same
                        // engine.
                        ++depth;
                        auto inner =
                            engine.compile("var i, s: Integer; s := 0; for i := 1 to 10 do s := s "
                                           "+ i; Tick(IntToStr(s)); if s > 0 then Fail('inner')");
                        EXPECT_FALSE(inner->hasErrors()) << inner->messagesText();
                        EXPECT_EQ(inner->run(), RunStatus::Failed);
                        --depth;
                    }},
                   {"Tick",
                    {{"s", Type::String}},
                    std::nullopt,
                    [&](CallContext& c) { tick += c.getString("s"); }},
                   {"Fail", {{"why", Type::String}}, std::nullopt, [](CallContext& c) {
                        throw std::runtime_error(c.getString("why"));
                    }}});
    test::Outcome o = runScript(engine, "function F(n: Integer): Integer;\n"
                                        "var local: String;\n"
                                        "begin local := 'v' + IntToStr(n); Dialog; Result := "
                                        "Length(local) * 10 + n end;\n"
                                        "var s: String; s := 'before'; PrintLn(F(7), s)");
    EXPECT_EQ(o.status, RunStatus::Completed) << o.messages;
    EXPECT_EQ(o.output, "27before\n");
    EXPECT_EQ(tick, "55");
    EXPECT_EQ(depth, 0);
}

TEST(HostReentrancy, NestedRunsShareOneStackBudget) {
    // Every run recurses deeply, then its callback starts another such run:
    // each run alone stays within its limits, but the chain must end in a
    // recursion error, not in a native stack overflow.
    Engine engine;
    int levels = 0;
    bool deepestFailed = false;
    const std::string dive =
        "procedure R(n: Integer); begin if n > 0 then R(n - 1) else Dive end;\n"
        "R(2000)";
    std::function<void()> nest = [&] {
        ++levels;
        auto inner = engine.compile(dive);
        ASSERT_FALSE(inner->hasErrors()) << inner->messagesText();
        if (levels < 1000 && inner->run() == RunStatus::Failed)
            deepestFailed = deepestFailed || inner->messagesText().find(
                                                 std::string("рекурсия"_cp)) != std::string::npos;
    };
    engine.registerUnit("MyUnit", {{"Dive", {}, std::nullopt, [&](CallContext&) { nest(); }}});
    nest();
    EXPECT_TRUE(deepestFailed);
    EXPECT_LT(levels, 1000);
}

TEST(Cancellation, StopsEndlessLoopsAndRecursion) {
    for (const char* text :
         {"while True do ;", "repeat until False",
          "var i: Integer; for i := 0 to 9223372036854775807 do ;",
          "procedure P(n: Integer); begin if n < 100 then P(n + 1) end; while True do P(0)",
          "var s: String; while True do begin s := s + 'x'; if Length(s) > 1000 then s := '' "
          "end"}) {
        auto start = std::chrono::steady_clock::now();
        RunOptions options;
        options.cancelled = [&] {
            return std::chrono::steady_clock::now() - start > std::chrono::milliseconds(30);
        };
        test::Outcome o = runScript(text, options);
        EXPECT_EQ(o.status, RunStatus::Stopped) << text << o.messages;
        EXPECT_NE(o.messages.find("выполнение остановлено"_cp), std::string::npos) << text;
    }
}

TEST(Cancellation, TryExceptDoesNotSwallowTheStop) {
    RunOptions options;
    int calls = 0;
    options.cancelled = [&] { return ++calls > 2; };
    test::Outcome o =
        runScript("while True do try while True do ; except PrintLn('no') end", options);
    EXPECT_EQ(o.status, RunStatus::Stopped);
    EXPECT_EQ(o.output, "");
}

TEST(Cancellation, StepBudgetStopsTheRun) {
    RunOptions options;
    options.stepBudget = 10000;
    test::Outcome o = runScript("var i: Integer; while True do Inc(i)", options);
    EXPECT_EQ(o.status, RunStatus::Stopped);
    o = runScript("var i: Integer; for i := 1 to 100 do ; PrintLn(i)", options);
    EXPECT_EQ(o.status, RunStatus::Completed);
    EXPECT_EQ(o.output, "100\n");
}

TEST(Cancellation, StepBudgetWeighsTheStringWorkOfStandardFunctions) {
    // 100,000 turns, each moving the whole string: quadratic work that the
    // turns alone would let through a budget of twice as many steps.
    RunOptions options;
    options.stepBudget = 200000;
    for (const char* loop : {"Insert('abcd', t, 1)", "t := UpperCase(t) + 'abcd'",
                             "begin t := t + 'abcd'; Delete(t, 1, 0) end"}) {
        test::Outcome o = runScript(std::string("var t: String; while Length(t) < 400000 do ") +
                                        loop + "; PrintLn('done')",
                                    options);
        EXPECT_EQ(o.status, RunStatus::Stopped) << loop;
        EXPECT_EQ(o.output, "") << loop;
    }
}

struct FakeDialogs : DialogHost {
    std::vector<std::string> shown;
    std::optional<std::string> answer;
    bool yes = false;
    void showMessage(const std::string& m) override { shown.push_back("show:" + m); }
    std::optional<std::string> inputBox(const std::string& c, const std::string& p,
                                        const std::string& d) override {
        shown.push_back("input:" + c + "|" + p + "|" + d);
        return answer;
    }
    void errorDlg(const std::string& m) override { shown.push_back("error:" + m); }
    void informationDlg(const std::string& m) override { shown.push_back("info:" + m); }
    bool questionDlg(const std::string& m) override {
        shown.push_back("question:" + m);
        return yes;
    }
    bool okCancelDlg(const std::string& m) override {
        shown.push_back("okcancel:" + m);
        return !yes;
    }
};

TEST(DialogUnit, CallsTheHostAndCancelGivesTheDefault) {
    Engine engine;
    FakeDialogs dialogs;
    registerDialogUnit(engine, dialogs);
    const char* script = "ShowMessage('hi'); PrintLn(InputBox('T', 'Name?', 'def'));"
                         "ErrorDlg('e'); InformationDlg('i'); PrintLn(QuestionDlg('q'), "
                         "OkCancelDlg('o'))";
    test::Outcome o = runScript(engine, script);
    EXPECT_EQ(o.output, "def\nFalseTrue\n");
    dialogs.answer = "Ann";
    dialogs.yes = true;
    o = runScript(engine, script);
    EXPECT_EQ(o.output, "Ann\nTrueFalse\n");
    EXPECT_EQ(dialogs.shown[0], "show:hi");
    EXPECT_EQ(dialogs.shown[1], "input:T|Name?|def");
    EXPECT_EQ(dialogs.shown[2], "error:e");
}

} // namespace
} // namespace pascal
