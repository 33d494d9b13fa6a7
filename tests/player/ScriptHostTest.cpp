// Running an action's code: clicks, the console, compile and run-time
// errors, scripts that never end, nested runs and Close.
#include "tests/player/PlayerFixture.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QTimer>
#include <chrono>
#include <functional>
#include <thread>

namespace {

using namespace testing_support;
using Kind = platform::ShownDialog::Kind;

model::QuestDocument SixActions() {
    std::initializer_list<std::pair<std::string, std::string>> actions = {
        {"a1", "AddText('one');"},  {"a2", "AddText('two');"},  {"a3", "AddText('three');"},
        {"a4", "AddText('four');"}, {"a5", "AddText('five');"}, {"a6", ""}};
    return Quest({Location("Start", actions), Location("Second"), Location("Third")});
}

TEST_F(PlayerTest, EachLabelRunsItsOwnCodeAndTheConsoleEchoesIt) {
    Load(SixActions());
    form->lblA5Click();
    EXPECT_EQ(Description(), "Start\nfive");
    form->lblA2Click();
    EXPECT_EQ(Description(), "Start\nfive\ntwo");
    form->lblA6Click(); // a caption with empty code: an empty console line
    EXPECT_EQ(form->ConsoleText(), "AddText('five');\nAddText('two');\n\n");
    EXPECT_EQ(Description(), "Start\nfive\ntwo");
    EXPECT_TRUE(Boxes().empty());

    // The console shows while its box is ticked.
    form->xpCon->setChecked(true);
    form->xpConClick();
    EXPECT_FALSE(form->MemoCon->isHidden());
    form->xpCon->setChecked(false);
    form->xpConClick();
    EXPECT_TRUE(form->MemoCon->isHidden());
}

TEST_F(PlayerTest, EachControlsSignalReachesItsNamedHandler) {
    Load(SixActions());
    emit form->lblA3->clicked();
    EXPECT_EQ(Description(), "Start\nthree");
    emit form->lblA4->mouseEntered();
    EXPECT_EQ(form->lblA4->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    emit form->lblA4->mouseLeft();
    EXPECT_EQ(form->lblA4->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    S().TimerCode = "AddText('tick');";
    QMetaObject::invokeMethod(form->Timer, "timeout"); // as the running timer would
    EXPECT_EQ(Description(), "Start\nthree\ntick");
    form->xpCon->setChecked(true);
    emit form->xpCon->clicked(true);
    EXPECT_FALSE(form->MemoCon->isHidden());
}

TEST_F(PlayerTest, ACompileErrorIsShownAndNothingRuns) {
    Load(SixActions());
    Run("goto(2); AddText('x'"); // unclosed call
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, Kind::Message);
    EXPECT_FALSE(boxes[0].text.empty());
    EXPECT_EQ(boxes[0].text.substr(boxes[0].text.size() - 2), "\r\n");
    EXPECT_EQ(S().CurrentLocation, 1);
    EXPECT_EQ(form->ConsoleText(), "goto(2); AddText('x'\n");

    // Variables do not outlive their run.
    Run("var kept: Integer;\nbegin kept := 1; end;");
    EXPECT_EQ(BoxTexts(), "");
    Run("kept := 2;");
    EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(PlayerTest, ARunTimeErrorEndsTheRunSilentlyKeepingWhatWasDone) {
    Load(SixActions());
    Run("goto(3); p('p1', StrToInt('12a')); AddText('after');");
    EXPECT_EQ(BoxTexts(), "");
    EXPECT_EQ(S().CurrentLocation, 3);
    EXPECT_EQ(Description(), "Third");
}

TEST_F(PlayerTest, AScriptThatNeverEndsIsStoppedAndThePlayerTold) {
    Load(SixActions());
    form->SetScriptTimeLimit(std::chrono::milliseconds(200));
    Run("p('p1', 5); while True do ; p('p1', 6);");
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find(Cp("слишком долго")), std::string::npos);
    EXPECT_EQ(S().QuestParams.Values[1], 5);
    // The player goes on: the next click works.
    form->lblA1Click();
    EXPECT_EQ(Description(), "Start\none");
}

// Boxes that keep the player waiting, as a slow reader would.
class SlowDialogs : public platform::ScriptedDialogs {
public:
    using ScriptedDialogs::ScriptedDialogs;
    std::optional<std::string> Input(const std::string& caption, const std::string& prompt,
                                     const std::string& initial) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        return ScriptedDialogs::Input(caption, prompt, initial);
    }
};

TEST(ScriptTime, WaitingInABoxDoesNotCountAsComputing) {
    App();
    SlowDialogs slow({"a", "b"});
    player::TForm1 form(player::PayloadTextSource(model::BuildPayload(SixActions()), "q"), slow);
    form.SetScriptTimeLimit(std::chrono::milliseconds(500));
    // After the boxes, some real work, so the clock is consulted again.
    form.RunScript("var i, s: Integer;\n"
                   "begin InputParam('param1', 'c', 'q'); InputParam('param2', 'c', 'q');"
                   "for i := 1 to 20000 do s := s + i; AddText('done'); end;");
    EXPECT_EQ(form.DescriptionText(), "Start\ndone");
    EXPECT_EQ(form.State.QuestParams.Names[2], "b");
    for (const auto& box : slow.Shown())
        EXPECT_EQ(box.kind, Kind::Input); // no "stopped" message
}

// Boxes during which another script runs, as a countdown tick would run one.
class ReentrantDialogs : public platform::ScriptedDialogs {
public:
    std::function<void()> whileOpen;
    void Message(platform::MessageKind kind, const std::string& text) override {
        ScriptedDialogs::Message(kind, text);
        if (whileOpen)
            whileOpen();
    }
};

TEST(NestedRuns, NestingIsBoundedAndTheOuterRunResumes) {
    App();
    ReentrantDialogs boxes;
    player::TForm1 form(player::PayloadTextSource(model::BuildPayload(SixActions()), "q"), boxes);
    boxes.whileOpen = [&] { form.RunScript("plus_p('p1', 1); ShowMessage('tick');"); };
    form.RunScript("ShowMessage('outer'); AddText('outer resumed');");
    // Every run opened one box and started one more run, up to the bound.
    EXPECT_EQ(form.State.QuestParams.Values[1], player::kMaxRunDepth - 1);
    EXPECT_EQ(boxes.Shown().size(), static_cast<std::size_t>(player::kMaxRunDepth));
    EXPECT_EQ(form.DescriptionText(), "Start\nouter resumed");
}

TEST_F(PlayerTest, CloseLetsTheRestOfTheScriptRun) {
    Load(SixActions());
    Run("Close; goto(2); AddText('still here');");
    EXPECT_TRUE(form->CloseRequested());
    EXPECT_EQ(S().CurrentLocation, 2);
    EXPECT_EQ(Description(), "Second\nstill here");
}

TEST_F(PlayerTest, TheEnginesDialogFunctionsGoThroughTheBoxes) {
    Load(SixActions());
    dialogs.AddAnswer("Ann");
    dialogs.AddAnswer("yes");
    dialogs.AddAnswer("cancel");
    Run("Params('param1', InputBox('Title', 'Name?', 'def'));"
        "if QuestionDlg('Sure?') then p('p1', 1);"
        "if not OkCancelDlg('Go?') then p('p2', 2);"
        "ShowMessage('hello'); ErrorDlg('bad'); InformationDlg('info');");
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 6u);
    EXPECT_EQ(boxes[0].kind, Kind::Input);
    EXPECT_EQ(boxes[0].caption, "Title");
    EXPECT_EQ(boxes[1].questionKind, platform::QuestionKind::YesNo);
    EXPECT_EQ(boxes[2].questionKind, platform::QuestionKind::OkCancel);
    EXPECT_EQ(boxes[3].text, "hello");
    EXPECT_EQ(boxes[4].messageKind, platform::MessageKind::Error);
    EXPECT_EQ(boxes[5].messageKind, platform::MessageKind::Information);
    EXPECT_EQ(S().QuestParams.Names[1], "Ann");
    EXPECT_EQ(S().QuestParams.Values[1], 1);
    EXPECT_EQ(S().QuestParams.Values[2], 2);
}

} // namespace
