// The countdown: timer, _time_, StopTimer and the tick, and how ticks nest
// inside the boxes of a running script.
#include "tests/player/PlayerFixture.h"

#include <QTimer>
#include <functional>

namespace {

using namespace testing_support;
using Kind = platform::ShownDialog::Kind;

model::QuestDocument Clock() {
    return Quest({Location("Time <time>"), Location("Second <time>")});
}

QString Label(const player::TForm1& form) {
    return form.lblTimer->text();
}

TEST_F(PlayerTest, ACountdownChangesTheCounterThenTheLabelThenRunsItsCode) {
    Load(Clock());
    Run(Cp("timer(10, 'minus', 'Осталось:', 'AddText(IntToStr(_time_));'); AddText(IntToStr(_time_));"));
    EXPECT_EQ(Description(), "Time 0\n10");
    EXPECT_TRUE(form->Timer->isActive());
    EXPECT_FALSE(form->lblTimer->isHidden());
    EXPECT_EQ(Label(*form), QString::fromUtf8("Время: 0")); // untouched until the first tick
    Run("goto(2);");
    EXPECT_EQ(Description(), "Second 10");

    EXPECT_TRUE(form->FireTimer());
    EXPECT_EQ(Label(*form), QString::fromUtf8("Осталось: 9"));
    EXPECT_EQ(Description(), "Second 10\n9"); // the code sees the changed value
    EXPECT_TRUE(form->ConsoleText().ends_with("AddText(IntToStr(_time_));\n"));
    EXPECT_EQ(form->lblTimer->width(), form->lblTimer->sizeHint().width()); // grown to fit
    form->Timer->stop();
}

TEST_F(PlayerTest, OnlyPlusAndMinusMoveTheCounter) {
    const std::pair<const char*, int> cases[] = {
        {"plus", 11}, {"minus", 9}, {"", 10}, {"Plus", 10}, {"plus ", 10}, {"hold", 10},
    };
    for (const auto& [examine, shown] : cases) {
        Load(Clock());
        Run(std::string("timer(10, '") + examine + "', '', 'p(''p1'', _time_);');");
        form->FireTimer();
        EXPECT_EQ(S().TimerValue, shown) << examine;
        EXPECT_EQ(S().QuestParams.Values[1], shown) << examine; // the code ran
        EXPECT_EQ(Label(*form), " " + QString::number(shown)) << examine; // empty caption
        form->FireTimer();
        const int second = shown == 10 ? 10 : (shown > 10 ? 12 : 8);
        EXPECT_EQ(S().TimerValue, second) << examine;
        form->Timer->stop();
    }
}

TEST_F(PlayerTest, StopTimerHidesTheLabelAndKeepsEverythingElse) {
    Load(Clock());
    Run("timer(3, 'minus', 'T', 'AddText(''tick'');');");
    form->FireTimer();
    Run("StopTimer; StopTimer;"); // a second stop changes nothing
    EXPECT_FALSE(form->Timer->isActive());
    EXPECT_TRUE(form->lblTimer->isHidden());
    EXPECT_FALSE(form->FireTimer());
    Run("AddText(IntToStr(_time_)); goto(1);");
    EXPECT_EQ(Description(), "Time 2");
    EXPECT_EQ(S().TimerCaption, "T");
    EXPECT_TRUE(S().TimerDown);
    // Started again, the label shows its old text until the next tick.
    Run("timer(7, 'plus', 'U', '');");
    EXPECT_FALSE(form->lblTimer->isHidden());
    EXPECT_EQ(Label(*form), "T 2");
    form->FireTimer();
    EXPECT_EQ(Label(*form), "U 8");
    form->Timer->stop();
}

TEST_F(PlayerTest, ASecondTimerTakesOverWithoutRestartingThePeriod) {
    Load(Clock());
    Run("timer(5, 'minus', 'a', 'AddText(''a'');');");
    const int id = form->Timer->timerId();
    // Called from the tick's own code: the new settings count from the next tick.
    S().TimerCode = "timer(100, 'plus', 'b', 'AddText(''b'');');";
    form->FireTimer();
    EXPECT_EQ(form->Timer->timerId(), id); // the running period went on
    EXPECT_EQ(Label(*form), "a 4");
    EXPECT_EQ(S().TimerValue, 100);
    form->FireTimer();
    EXPECT_EQ(Label(*form), "b 101");
    EXPECT_EQ(Description(), "Time 0\nb");
    form->Timer->stop();
}

TEST_F(PlayerTest, TimerTakesA32BitStartValue) {
    Load(Clock());
    Run("timer(2147483648, 'plus', '', ''); AddText('after');");
    EXPECT_EQ(Description(), "Time 0"); // a range error ends the run at the call
    EXPECT_FALSE(form->Timer->isActive());
    Run("timer(-2147483648, 'minus', '', '');");
    form->FireTimer();
    EXPECT_EQ(S().TimerValue, 2147483647);
    form->Timer->stop();
}

// Boxes during which the window timer fires, as a box's event loop lets it.
class TickingDialogs : public platform::ScriptedDialogs {
public:
    using ScriptedDialogs::ScriptedDialogs;
    std::function<void()> whileOpen;
    int ticksPerBox = 1;
    void Message(platform::MessageKind kind, const std::string& text) override {
        ScriptedDialogs::Message(kind, text);
        Tick();
    }
    std::optional<std::string> Input(const std::string& caption, const std::string& prompt,
                                     const std::string& initial) override {
        auto answer = ScriptedDialogs::Input(caption, prompt, initial);
        Tick();
        return answer;
    }

private:
    void Tick() {
        for (int i = 0; i < ticksPerBox && whileOpen; ++i)
            whileOpen();
    }
};

class NestingTest : public ::testing::Test {
protected:
    NestingTest() {
        App();
        form = std::make_unique<player::TForm1>(
            player::PayloadTextSource(model::BuildPayload(Clock()), "q"), boxes);
        boxes.whileOpen = [this] { form->FireTimer(); };
    }
    ~NestingTest() override { form->Timer->stop(); }

    TickingDialogs boxes{{"41", "42", "43", "44", "45"}};
    std::unique_ptr<player::TForm1> form;
};

TEST_F(NestingTest, TheCountdownGoesOnWhileAnActionWaitsInItsInputBox) {
    form->RunScript("timer(10, 'minus', '', 'plus_p(''p2'', 1);');");
    boxes.ticksPerBox = 3;
    form->RunScript("InputP('p1', 'c', 'q'); AddText(IntToStr(_time_));");
    EXPECT_EQ(form->State.TimerValue, 7);
    EXPECT_EQ(form->State.QuestParams.Values[2], 3); // each tick's code ran
    EXPECT_EQ(form->State.QuestParams.Values[1], 41);
    EXPECT_EQ(form->DescriptionText(), "Time 0\n7"); // the outer run resumed
}

TEST_F(NestingTest, ATickThatArrivesWhileATickWaitsIsDroppedWhole) {
    // The tick's code waits in an input box; three ticks come meanwhile.
    boxes.ticksPerBox = 3;
    form->RunScript("timer(10, 'minus', '', 'InputP(''p1'', ''c'', ''q'');');");
    form->FireTimer();
    EXPECT_EQ(form->State.TimerValue, 9); // only the first tick counted
    EXPECT_EQ(form->State.QuestParams.Values[1], 41);
    EXPECT_EQ(boxes.Shown().size(), 1u);
    // The next tick, after that run ended, runs as usual.
    form->FireTimer();
    EXPECT_EQ(form->State.TimerValue, 8);
    EXPECT_EQ(form->State.QuestParams.Values[1], 42);
}

TEST_F(NestingTest, ABrokenTickCodeOpensOneErrorBoxPerTickNotOnePerSecondOfWaiting) {
    boxes.ticksPerBox = 5;
    form->RunScript("timer(0, 'plus', '', 'AddText(');");
    form->FireTimer();
    ASSERT_EQ(boxes.Shown().size(), 1u); // the ticks during its box were dropped
    EXPECT_EQ(boxes.Shown()[0].kind, Kind::Message);
    EXPECT_EQ(form->State.TimerValue, 1);
    // The console echoes the code once per tick that ran.
    EXPECT_EQ(form->ConsoleText(), "timer(0, 'plus', '', 'AddText(');\nAddText(\n");
}

TEST_F(NestingTest, InsideAnActionsBoxATicksOwnBoxStillDropsFurtherTicks) {
    // Action's box -> a tick runs -> its box -> further ticks are dropped.
    boxes.ticksPerBox = 2;
    form->RunScript("timer(10, 'minus', '', 'InputP(''p2'', ''c'', ''q'');');");
    form->RunScript("InputP('p1', 'c', 'q');");
    // The action's box let two ticks through, one after the other; each
    // tick's own box dropped the two that came while it waited.
    EXPECT_EQ(form->State.TimerValue, 8);
    EXPECT_EQ(boxes.Shown().size(), 3u);
}

} // namespace
