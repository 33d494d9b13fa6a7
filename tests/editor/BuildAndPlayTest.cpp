// The builder, Compile and run, the script check and Play. The editor file
// here is a small system program with a copy of itself appended as the stub,
// which is all the builder looks at.
#include "tests/editor/EditorFixture.h"

#include "model/ExeLayout.h"
#include "model/Payload.h"
#include "model/QuestFile.h"
#include "model/SafeFile.h"

#include <QProgressBar>
#include <algorithm>
#include <sys/stat.h>

namespace editor_test {
namespace {

using platform::DesktopRequest;

// Any complete ELF program will do as both the editor's and the player's image.
constexpr const char* kSomeProgram = "/usr/bin/true";
// A program some hundred kilobytes long, written in several pieces.
constexpr const char* kLargerProgram = "/bin/bash";
constexpr const char* kBuildsAnyway = "В сценариях есть ошибки. Собрать все равно?";

class BuildAndPlayTest : public EditorTest {
protected:
    BuildAndPlayTest() {
        image = model::ReadFileBytes(kSomeProgram);
        image.resize(static_cast<std::size_t>(model::ExecutableImageSize(image)));
        WriteEditorFile(image + model::MakeStub(image));
        form->N2Click();
    }
    void WriteEditorFile(const std::string& bytes) {
        model::WriteFileAtomically(Path("norvo-creator"), bytes, 0755, false);
    }
    std::string Built(const std::string& name) { return Path("Stand-Alone Quests/" + name); }
    model::QuestDocument BuiltQuest(const std::string& path) {
        return model::ParsePayloadDocument(model::ReadPayloadText(path));
    }

    std::string image;
};

TEST_F(BuildAndPlayTest, AnEmptyQuestBuildsToTheImageAnd33BytesOfPayloadWithTheRunMode) {
    const std::string path = Built("Quest1");
    files.AddAnswer(path);
    form->N9Click();
    EXPECT_TRUE(Shown().empty());
    const auto& request = files.Requests().at(0).file;
    EXPECT_EQ(request.startPath, Built("Quest1"));
    EXPECT_EQ(request.filter, Ru("Stand-Alone файлы (*)"));
    EXPECT_EQ(request.defaultSuffix, "");
    EXPECT_EQ(fs::file_size(path), image.size() + 33);
    EXPECT_EQ(model::ReadFileBytes(path).substr(0, image.size()), image);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0111, 0111u);
    EXPECT_EQ(form->State.BuiltExeName, path);
    EXPECT_FALSE(form->Panel3->isVisible());
    EXPECT_EQ(form->PBar->maximum(), static_cast<int>(image.size()));
    EXPECT_EQ(form->PBar->value(), form->PBar->maximum());
}

TEST_F(BuildAndPlayTest, TheProgressBarRunsUpThroughTheImageWhileItIsWritten) {
    std::string player = model::ReadFileBytes(kLargerProgram);
    player.resize(static_cast<std::size_t>(model::ExecutableImageSize(player)));
    WriteEditorFile(image + model::MakeStub(player));
    TypeCaption(1, "go");
    std::vector<int> values;
    bool panelUp = true;
    QObject::connect(form->PBar, &QProgressBar::valueChanged, [&](int value) {
        values.push_back(value);
        panelUp = panelUp && !form->Panel3->isHidden();
    });
    files.AddAnswer(Built("large"));
    form->N9Click();
    EXPECT_TRUE(Shown().empty());

    ASSERT_GE(values.size(), 4u);
    EXPECT_EQ(values.front(), 0);
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    EXPECT_EQ(std::adjacent_find(values.begin(), values.end()), values.end());
    EXPECT_EQ(values.back(), static_cast<int>(player.size()));
    EXPECT_TRUE(panelUp);
    EXPECT_TRUE(form->Panel3->isHidden());
    // Written in pieces, the file is the one the model's writer makes.
    model::WriteStandAlone(Path("whole"), player, model::BuildPayload(form->State));
    EXPECT_EQ(model::ReadFileBytes(Built("large")), model::ReadFileBytes(Path("whole")));
}

TEST_F(BuildAndPlayTest, ACaptionTypedBeforeF7IsInTheBuild) {
    TypeCaption(3, Ru("Открыть дверь"));
    files.AddAnswer(Built("door"));
    form->N9Click();
    EXPECT_EQ(BuiltQuest(Built("door")).Quests.at(1).Caption3, Ru("Открыть дверь"));
}

TEST_F(BuildAndPlayTest, ASecondShorterBuildTruncatesTheFile) {
    TypeDescription(std::string(5000, 'x'));
    files.AddAnswer(Built("again"));
    form->N9Click();
    TypeDescription("");
    form->Memo->document()->setModified(true);
    files.AddAnswer(Built("again"));
    form->N9Click();
    EXPECT_EQ(fs::file_size(Built("again")), image.size() + 33);
}

TEST_F(BuildAndPlayTest, ACancelledBuildSaysSoWritesNothingAndStartsNothing) {
    files.AddAnswer(Built("first"));
    form->N9Click();
    EXPECT_EQ(form->State.BuiltExeName, Built("first"));
    form->N9Click(); // cancelled
    EXPECT_EQ(Shown(), std::vector<std::string>{Ru("Произошла ошибка. Попробуйте еще раз.")});
    EXPECT_EQ(form->State.BuiltExeName, "");
    form->Image2Click(); // cancelled too
    Shown();
    EXPECT_TRUE(desktop.Requests().empty());
}

TEST_F(BuildAndPlayTest, AMissingOrCutStubIsAnErrorAndNoFileIsWritten) {
    // A good quest built before stays as it was.
    files.AddAnswer(Built("good"));
    form->N9Click();
    const std::string good = model::ReadFileBytes(Built("good"));
    WriteEditorFile(image);
    files.AddAnswer(Built("good"));
    form->N9Click();
    EXPECT_EQ(Shown().size(), 1u);
    EXPECT_EQ(model::ReadFileBytes(Built("good")), good);

    for (const std::string& editorFile : {image, image + model::MakeStub(image).substr(0, 1000),
                                          image + image}) {
        WriteEditorFile(editorFile);
        files.AddAnswer(Built("broken"));
        form->N16Click();
        const auto shown = dialogs.TakeShown();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].messageKind, platform::MessageKind::Error);
        EXPECT_NE(shown[0].text.find(Path("norvo-creator")), std::string::npos) << shown[0].text;
        EXPECT_FALSE(fs::exists(Built("broken")));
        EXPECT_FALSE(form->Panel3->isVisible());
        EXPECT_EQ(form->State.BuiltExeName, "");
    }
    EXPECT_TRUE(desktop.Requests().empty());
}

TEST_F(BuildAndPlayTest, CompileAndRunStartsTheBuiltFileInItsOwnFolder) {
    files.AddAnswer(Built("run"));
    form->N16Click();
    ASSERT_EQ(desktop.Requests().size(), 1u);
    const DesktopRequest& start = desktop.Requests()[0];
    EXPECT_EQ(start.kind, DesktopRequest::Kind::Start);
    EXPECT_EQ(start.path, Built("run"));
    EXPECT_TRUE(start.arguments.empty());
    EXPECT_EQ(start.workingDir, Path("Stand-Alone Quests/"));

    desktop.startFailure = "No such file or directory";
    files.AddAnswer(Built("run"));
    form->N16Click();
    const auto shown = Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], Ru("Не удалось запустить ") + Built("run") + ": No such file or directory");
}

TEST_F(BuildAndPlayTest, ContentThePayloadWouldLoseIsNamedBeforeBuilding) {
    TypeDescription(std::string("mark ") + model::RecordMark);
    files.AddAnswer(Built("lost"));
    form->N9Click(); // answered No
    const auto shown = Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], Ru("Локация 1, описание: символ '©' будет потерян\r\rСобрать все равно?"));
    EXPECT_TRUE(files.Requests().empty());
    EXPECT_FALSE(fs::exists(Built("lost")));
}

TEST_F(BuildAndPlayTest, ScriptErrorsAreListedByF8AndAskedAboutBeforeBuildingAndPlaying) {
    form->mnuCheckScriptsClick();
    EXPECT_EQ(Shown(), std::vector<std::string>{Ru("Ошибок в сценариях нет.")});

    form->A2Click();
    TypeCode("goto(;");
    form->mnuCheckScriptsClick(); // commits the code first
    const auto listed = Shown();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_NE(listed[0], Ru("Ошибок в сценариях нет."));

    files.AddAnswer(Built("errors"));
    form->N9Click(); // answered No
    EXPECT_EQ(Shown(), std::vector<std::string>{Ru(kBuildsAnyway)});
    EXPECT_TRUE(files.Requests().empty());

    dialogs.AddAnswer("yes");
    form->N9Click();
    EXPECT_TRUE(fs::exists(Built("errors")));
    Shown();

    model::WriteFileAtomically(Path("norvo-engine"), image, 0755, false);
    form->mnuPlayClick(); // answered No
    EXPECT_EQ(Shown(), std::vector<std::string>{Ru("В сценариях есть ошибки. Играть все равно?")});
    EXPECT_TRUE(desktop.Requests().empty());
}

TEST_F(BuildAndPlayTest, PlayStartsThePlayerBesideTheEditorOnATemporaryQuestFile) {
    model::WriteFileAtomically(Path("norvo-engine"), image, 0755, false);
    TypeCaption(1, "play me");
    form->mnuPlayClick();
    EXPECT_TRUE(Shown().empty());
    ASSERT_EQ(desktop.Requests().size(), 1u);
    const DesktopRequest& start = desktop.Requests()[0];
    EXPECT_EQ(start.path, Path("norvo-engine"));
    ASSERT_EQ(start.arguments.size(), 1u);
    EXPECT_EQ(start.arguments[0], form->PlayFolder() + "/New.nvx"); // the player shows its name
    EXPECT_EQ(model::ReadQuestFile(start.arguments[0]).Quests.at(1).Caption1, "play me");
    EXPECT_EQ(start.workingDir, form->State.ProgramDir); // a new quest has no folder
    EXPECT_TRUE(files.Requests().empty());
    EXPECT_EQ(Caption(), "[New]* - Norvo Creator"); // nothing was saved

    // A saved quest plays under its own name, in its own folder.
    files.AddAnswer(Path("Quests/Castle.nvx"));
    form->N15Click();
    form->mnuPlayClick();
    ASSERT_EQ(desktop.Requests().size(), 2u);
    EXPECT_EQ(desktop.Requests()[1].arguments.at(0), form->PlayFolder() + "/Castle.nvx");
    EXPECT_EQ(desktop.Requests()[1].workingDir, Path("Quests/"));

    const std::string playFolder = form->PlayFolder();
    form.reset();
    EXPECT_FALSE(fs::exists(playFolder));
}

TEST_F(BuildAndPlayTest, ContentTheQuestFileWouldLoseIsNamedBeforePlaying) {
    model::WriteFileAtomically(Path("norvo-engine"), image, 0755, false);
    TypeCaption(2, "a|b");
    form->mnuPlayClick(); // answered No
    EXPECT_EQ(Shown(), std::vector<std::string>{Ru(
                           "Локация 1, действие 2, заголовок: символ '|' будет потерян\r\r"
                           "Играть все равно?")});
    EXPECT_TRUE(desktop.Requests().empty());

    dialogs.AddAnswer("yes");
    form->mnuPlayClick();
    EXPECT_EQ(Shown().size(), 1u); // the question, answered Yes
    EXPECT_EQ(desktop.Requests().size(), 1u);
}

TEST_F(BuildAndPlayTest, PlayWithoutThePlayerSaysWhereItLooked) {
    form->mnuPlayClick();
    const auto shown = Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find(Path("norvo-engine")), std::string::npos) << shown[0];
    EXPECT_TRUE(desktop.Requests().empty());
}

} // namespace
} // namespace editor_test
