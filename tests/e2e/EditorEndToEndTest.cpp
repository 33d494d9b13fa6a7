// The editor end to end: its window driven through its handlers, with the
// real norvo-creator file as the carrier of the player; the files it writes
// are read back by norvo-quest and played by the built quest itself.
#include "editor/CodeEditor.h"
#include "editor/MainForm.h"
#include "editor/ParamForm.h"
#include "model/Cp1251.h"
#include "model/ExeLayout.h"
#include "model/SafeFile.h"
#include "platform/RecordingDesktop.h"
#include "platform/ScriptedDialogs.h"
#include "platform/ScriptedDocumentDialogs.h"
#include "platform/Text.h"
#include "tests/e2e/Programs.h"
#include "tests/platform/QtApp.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

using namespace e2e;

// The walkthrough of the example quest as norvo-engine takes it.
std::vector<std::string> WalkthroughArguments() {
    std::vector<std::string> args{"--transcript"};
    std::string steps = model::ReadFileBytes(Source("examples/lighthouse.walkthrough"));
    while (!steps.empty() && (steps.back() == '\n' || steps.back() == '\r'))
        steps.pop_back();
    args.push_back(steps);
    const std::string answers = model::ReadFileBytes(Source("examples/lighthouse.answers"));
    std::size_t start = 0;
    while (start < answers.size()) {
        std::size_t end = answers.find('\n', start);
        if (end == std::string::npos)
            end = answers.size();
        args.push_back("--answer");
        args.push_back(answers.substr(start, end - start));
        start = end + 1;
    }
    return args;
}

class EditorEndToEnd : public ::testing::Test {
protected:
    EditorEndToEnd() {
        testing_support::App();
        char pattern[] = "/tmp/norvo-editor-e2e-XXXXXX";
        if (mkdtemp(pattern))
            dir = pattern;
        form = std::make_unique<editor::TForm1>(
            editor::EditorServices{dialogs, files, desktop, Bin("norvo-creator")});
    }
    ~EditorEndToEnd() override {
        form.reset();
        fs::remove_all(dir);
    }

    std::string dir;
    platform::ScriptedDialogs dialogs;
    platform::ScriptedDocumentDialogs files;
    platform::RecordingDesktop desktop;
    std::unique_ptr<editor::TForm1> form;
};

TEST_F(EditorEndToEnd, WhatIsTypedIsWhatTheSavedFileHolds) {
    form->N2Click();
    form->Memo->setPlainText(QString::fromUtf8("Берег.\nМаяк вдали: <param1>"));
    form->Memo->document()->setModified(true);
    form->A1->setText(QString::fromUtf8("К маяку"));
    form->A1->setModified(true);
    form->A1Click();
    form->MemoCode->SetText("goto(2);");
    form->MemoCode->SetModified(true);
    form->MemoCodeExit();
    form->btnAddLocClick();
    form->btnRightClick();
    form->A2->setText(QString::fromUtf8("Назад"));
    form->A2->setModified(true);
    form->N12Click();
    form->fParam->NameBoxes[0]->setText(QString::fromUtf8("Фонарь"));
    form->fParam->ValueBoxes[5]->setText("-3");
    form->fParam->btnOKClick();
    const std::string path = dir + "/shore.nvx";
    files.AddAnswer(path);
    form->N15Click();
    ASSERT_TRUE(dialogs.Shown().empty()) << dialogs.Shown()[0].text;

    const Result dump = RunProgram({Bin("norvo-quest"), "dump", path});
    ASSERT_EQ(dump.exitCode, 0);
    const json quest = json::parse(dump.out);
    EXPECT_EQ(quest["params"][0], json({{"name", "Фонарь"}, {"value", 0}}));
    EXPECT_EQ(quest["params"][5], json({{"name", ""}, {"value", -3}}));
    ASSERT_EQ(quest["locations"].size(), 2u);
    EXPECT_EQ(quest["locations"][0]["description"], "Берег.\r\nМаяк вдали: <param1>");
    EXPECT_EQ(quest["locations"][0]["captions"][0], "К маяку");
    EXPECT_EQ(quest["locations"][0]["codes"][0], "goto(2);\r\n");
    EXPECT_EQ(quest["locations"][1]["captions"][1], "Назад");
    EXPECT_EQ(quest["locations"][1]["codes"][0], "");
}

TEST_F(EditorEndToEnd, OpeningAndSavingAStoredFileGivesTheSameBytes) {
    const std::string path = dir + "/lighthouse.nvx";
    fs::copy_file(Bin("Quests/lighthouse.nvx"), path);
    const std::string before = model::ReadFileBytes(path);
    ASSERT_TRUE(form->OpenQuestFile(path));
    form->btnRightClick();
    form->A3Click();
    form->N4Click();
    ASSERT_TRUE(dialogs.Shown().empty()) << dialogs.Shown()[0].text;
    EXPECT_EQ(model::ReadFileBytes(path), before);
}

TEST_F(EditorEndToEnd, ABuiltQuestCarriesThePlayerAndPlaysTheWalkthrough) {
    ASSERT_TRUE(form->OpenQuestFile(Bin("Quests/lighthouse.nvx")));
    // Both built files get the same name: the player's caption starts as it.
    fs::create_directories(dir + "/ours");
    fs::create_directories(dir + "/theirs");
    const std::string built = dir + "/ours/lighthouse";
    files.AddAnswer(built);
    form->N9Click();
    ASSERT_TRUE(dialogs.Shown().empty()) << dialogs.Shown()[0].text;

    // The player image in the built file is norvo-engine's own.
    std::string engine = model::ReadFileBytes(Bin("norvo-engine"));
    engine.resize(static_cast<std::size_t>(model::ExecutableImageSize(engine)));
    EXPECT_EQ(model::ReadFileBytes(built).substr(0, engine.size()), engine);

    // It plays exactly as the same quest built by norvo-quest.
    const std::string reference = dir + "/theirs/lighthouse";
    ASSERT_EQ(RunProgram({Bin("norvo-quest"), "build", Bin("Quests/lighthouse.nvx"), "-o",
                          reference})
                  .exitCode,
              0);
    std::vector<std::string> ours{built}, theirs{reference};
    for (const std::string& arg : WalkthroughArguments()) {
        ours.push_back(arg);
        theirs.push_back(arg);
    }
    const Result played = RunProgram(ours);
    ASSERT_EQ(played.exitCode, 0);
    EXPECT_GT(std::count(played.out.begin(), played.out.end(), '\n'), 3);
    EXPECT_TRUE(played.out == RunProgram(theirs).out) << "the transcripts differ";
}

TEST_F(EditorEndToEnd, WithoutADisplayTheEditorSaysSoInOneLine) {
    const Result run = RunProgram(
        {"env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM",
         Bin("norvo-creator"), Bin("Quests/lighthouse.nvx")},
        true);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
    EXPECT_NE(run.out.find("no display"), std::string::npos);
}

} // namespace
