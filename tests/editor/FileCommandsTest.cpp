// The document commands: New, Open, Save, Save as, Exit, Help, with what
// they refuse, what they ask before dropping or losing work, and what a
// failure leaves behind.
#include "tests/editor/EditorFixture.h"

#include "model/QuestFile.h"
#include "model/SafeFile.h"

#include <cstdlib>

namespace editor_test {
namespace {

using platform::DocumentRequest;

constexpr const char* kUnsavedQuestion = "В квесте есть несохраненные изменения. Сохранить их?";

class FileCommandsTest : public EditorTest {
protected:
    // A quest file of two locations on disk.
    std::string StoredQuest(const std::string& name) {
        model::QuestDocument quest = model::NewQuestDocument();
        quest.LocationCount = 2;
        quest.Quests.resize(3);
        quest.Quests[1].Description = Ru("Замок");
        quest.Quests[2].Caption1 = Ru("Назад");
        quest.QuestParams.Names[1] = Ru("Золото");
        quest.QuestParams.Values[1] = 7;
        const std::string path = Path(name);
        model::WriteQuestFile(path, quest);
        return path;
    }
    std::vector<DocumentRequest::Kind> RequestKinds() const {
        std::vector<DocumentRequest::Kind> kinds;
        for (const auto& request : files.Requests())
            kinds.push_back(request.kind);
        return kinds;
    }
};

TEST_F(FileCommandsTest, CommandsThatNeedAQuestRefuseBeforeNewOrOpen) {
    const std::vector<void (editor::TForm1::*)()> commands = {
        &editor::TForm1::N4Click, &editor::TForm1::N15Click, &editor::TForm1::imgSaveClick,
        &editor::TForm1::N9Click, &editor::TForm1::N16Click, &editor::TForm1::mnuPlayClick,
        &editor::TForm1::mnuCheckScriptsClick};
    for (auto command : commands) {
        files.AddAnswer(Path("never.nvx"));
        (form.get()->*command)();
        EXPECT_EQ(Shown(), std::vector<std::string>{
                               Ru("Сначала создайте новый квест или откройте существующий.")});
    }
    EXPECT_TRUE(files.Requests().empty());
    EXPECT_TRUE(desktop.Requests().empty());
    EXPECT_TRUE(form->State.Quests.empty());
    EXPECT_EQ(Caption(), "Norvo Creator v.0.7beta");
}

TEST_F(FileCommandsTest, SaveAfterNewAsksForSaveAsAndWritesNothing) {
    form->N2Click();
    TypeCaption(1, "typed");
    form->N4Click();
    EXPECT_EQ(Shown(), std::vector<std::string>{Ru("Произошла ошибка!\rНажмите Сохранить как...")});
    EXPECT_TRUE(files.Requests().empty());
    EXPECT_EQ(Location(1).Caption1, ""); // nothing committed either
}

TEST_F(FileCommandsTest, SaveAsThenSaveWriteTheSameFileAndSaveShowsNoDialog) {
    form->N2Click();
    TypeDescription("first");
    const std::string path = Path("Quests/Castle.nvx");
    files.AddAnswer(path);
    form->imgSaveClick();
    ASSERT_EQ(files.Requests().size(), 1u);
    const auto& request = files.Requests()[0].file;
    EXPECT_EQ(request.startPath, Path("Quests/New"));
    EXPECT_EQ(request.filter, Ru("Файлы квестов (*.nvx)"));
    EXPECT_EQ(request.defaultSuffix, "nvx");
    EXPECT_EQ(Caption(), "[Castle.nvx] - Norvo Creator");
    EXPECT_EQ(form->State.QuestFileName, path);
    EXPECT_EQ(model::ReadQuestFile(path).Quests[1].Description, "first");

    TypeDescription("second");
    form->N4Click();
    EXPECT_EQ(files.Requests().size(), 1u);
    EXPECT_EQ(model::ReadQuestFile(path).Quests[1].Description, "second");
    EXPECT_TRUE(Shown().empty());
}

TEST_F(FileCommandsTest, CancelledSaveAsStillCommitsTheShownLocation) {
    form->N2Click();
    form->State.Modified = false;
    TypeCaption(2, "kept");
    form->N15Click(); // no answer: cancelled
    EXPECT_EQ(Shown(), std::vector<std::string>{Ru("При сохранении произошла ошибка!\rПопробуйте еще раз.")});
    EXPECT_EQ(Location(1).Caption2, "kept");
    EXPECT_EQ(Caption(), "[New]* - Norvo Creator");
    EXPECT_EQ(form->State.QuestFileName, "");
}

TEST_F(FileCommandsTest, OpenShowsTheFileAndItsNameInTheCaption) {
    const std::string path = StoredQuest("Castle.nvx");
    files.AddAnswer(path);
    form->imgLodClick();
    EXPECT_EQ(files.Requests().at(0).file.startPath, Path("Quests/New"));
    EXPECT_EQ(Caption(), "[Castle.nvx] - Norvo Creator");
    EXPECT_EQ(form->State.QuestFileName, path);
    EXPECT_EQ(ListEntries(), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(LabelText(), Ru("ЛОКАЦИЯ № 1 / 2"));
    EXPECT_EQ(platform::FromQString(form->Memo->toPlainText()), Ru("Замок"));
    EXPECT_TRUE(form->MainBox->isEnabled());
}

TEST_F(FileCommandsTest, CancelledOrFailedOpenLeavesTheOpenQuestAsItWas) {
    files.AddAnswer(StoredQuest("Castle.nvx"));
    form->N5Click();
    const model::QuestDocument before = form->State;
    const auto check = [&] {
        EXPECT_EQ(static_cast<const model::QuestDocument&>(form->State), before);
        EXPECT_EQ(Caption(), "[Castle.nvx] - Norvo Creator");
        EXPECT_EQ(form->State.QuestFileName, Path("Castle.nvx"));
        EXPECT_EQ(ListEntries(), (std::vector<std::string>{"1", "2"}));
        EXPECT_EQ(LabelText(), Ru("ЛОКАЦИЯ № 1 / 2"));
    };
    form->N5Click(); // cancelled
    EXPECT_EQ(Shown(), std::vector<std::string>{Ru("Во время загрузки произошла ошибка!\rПопробуйтк еще раз.")});
    check();

    // A file whose count is not a number, and one that is not there at all.
    model::WriteFileAtomically(Path("broken.nvx"), "12a\r\nbanner\r\n");
    for (const std::string& bad : {Path("broken.nvx"), Path("missing.nvx")}) {
        files.AddAnswer(bad);
        form->N5Click();
        const auto shown = dialogs.TakeShown();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].messageKind, platform::MessageKind::Error);
        EXPECT_NE(shown[0].text.find(bad), std::string::npos) << shown[0].text;
        check();
    }
}

TEST_F(FileCommandsTest, AFileArgumentThatCannotBeReadLeavesAnEditorWithNoQuest) {
    EXPECT_FALSE(form->OpenQuestFile(Path("missing.nvx")));
    EXPECT_EQ(Shown().size(), 1u);
    EXPECT_FALSE(form->State.HasQuest);
    EXPECT_FALSE(form->MainBox->isEnabled());
    EXPECT_EQ(Caption(), "Norvo Creator v.0.7beta");

    EXPECT_TRUE(form->OpenQuestFile(StoredQuest("Castle.nvx")));
    EXPECT_EQ(Caption(), "[Castle.nvx] - Norvo Creator");
}

TEST_F(FileCommandsTest, EveryChangeMarksTheCaptionUntilSaved) {
    files.AddAnswer(StoredQuest("Castle.nvx"));
    form->N5Click();
    const std::vector<std::function<void()>> edits = {
        [&] { TypeCaption(1, "x"); form->A1Exit(); },
        [&] { form->A1Click(); TypeCode("goto(2);"); form->MemoCodeExit(); },
        [&] { form->btnAddLocClick(); },
        [&] { form->btnDelLocClick(); },
        [&] { form->N12Click(); form->fParam->NameBoxes[2]->setText("n"); form->fParam->btnOKClick(); },
    };
    for (const auto& edit : edits) {
        edit();
        EXPECT_EQ(Caption(), "[Castle.nvx]* - Norvo Creator");
        form->N4Click();
        EXPECT_EQ(Caption(), "[Castle.nvx] - Norvo Creator");
    }
    // Moving around changes nothing.
    form->btnRightClick();
    form->btnLeftClick();
    EXPECT_FALSE(form->State.Modified);
}

TEST_F(FileCommandsTest, UnsavedChangesAreNeverDroppedWithoutAQuestion) {
    form->N2Click();
    TypeDescription("work");

    files.AddAnswer("cancel");
    form->N2Click();
    EXPECT_EQ(files.Requests().back().text, Ru(kUnsavedQuestion));
    EXPECT_EQ(Location(1).Description, "work");

    // Yes with no file name yet is Save as; its cancelled dialog stops the New.
    files.AddAnswer("yes");
    files.AddAnswer("");
    form->N2Click();
    EXPECT_EQ(Location(1).Description, "work");
    EXPECT_EQ(RequestKinds().back(), DocumentRequest::Kind::Save);
    Shown();

    files.AddAnswer("yes");
    files.AddAnswer(Path("saved.nvx"));
    files.AddAnswer(Path("missing.nvx")); // Open then fails; the saved quest stays
    form->N5Click();
    EXPECT_EQ(model::ReadQuestFile(Path("saved.nvx")).Quests[1].Description, "work");
    EXPECT_EQ(Caption(), "[saved.nvx] - Norvo Creator");
    Shown();

    TypeDescription("more");
    files.AddAnswer("no");
    form->N2Click();
    EXPECT_EQ(Location(1).Description, "");
    EXPECT_EQ(Caption(), "[New] - Norvo Creator");
}

TEST_F(FileCommandsTest, OpenAsksAboutUnsavedWorkOnceAndThenOpens) {
    const std::string stored = StoredQuest("Castle.nvx");
    form->N2Click();
    TypeDescription("dropped");
    files.AddAnswer("no");
    files.AddAnswer(stored);
    form->N5Click();
    EXPECT_EQ(RequestKinds(), (std::vector<DocumentRequest::Kind>{
                                  DocumentRequest::Kind::YesNoCancel, DocumentRequest::Kind::Open}));
    EXPECT_EQ(Caption(), "[Castle.nvx] - Norvo Creator");
    EXPECT_EQ(Location(1).Description, Ru("Замок"));
    EXPECT_TRUE(Shown().empty());
}

TEST_F(FileCommandsTest, ClosingTheWindowWithUnsavedChangesAsks) {
    form->N2Click();
    form->show();
    TypeCaption(1, "work");
    files.AddAnswer("cancel");
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(files.Requests().back().text, Ru(kUnsavedQuestion));
    files.AddAnswer("no");
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(Shown().empty()); // no "do you really want to exit" on top
}

TEST_F(FileCommandsTest, ExitAsksForConfirmationOnlyWhenNothingIsUnsaved) {
    form->N2Click();
    form->show();
    form->N7Click(); // answered No
    EXPECT_EQ(Shown(), std::vector<std::string>{Ru("Вы действительно хотите выйти?")});
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(Caption(), "[New] - Norvo Creator");

    TypeCaption(1, "work");
    files.AddAnswer("yes");
    files.AddAnswer(Path("exit.nvx"));
    form->Image3Click();
    EXPECT_TRUE(Shown().empty());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(model::ReadQuestFile(Path("exit.nvx")).Quests[1].Caption1, "work");

    form->show();
    dialogs.AddAnswer("yes");
    form->N7Click();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(FileCommandsTest, ContentTheFileWouldLoseIsNamedBeforeSaving) {
    form->N2Click();
    TypeCaption(2, "a|b");
    files.AddAnswer(Path("lost.nvx"));
    form->N15Click(); // answered No
    const auto shown = Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], Ru("Локация 1, действие 2, заголовок: символ '|' будет потерян\r\r"
                           "Сохранить все равно?"));
    EXPECT_TRUE(files.Requests().empty());
    EXPECT_FALSE(fs::exists(Path("lost.nvx")));

    dialogs.AddAnswer("yes");
    form->N15Click();
    EXPECT_TRUE(fs::exists(Path("lost.nvx")));
}

TEST_F(FileCommandsTest, ALongListOfLostPlacesNamesTenAndCountsTheRest) {
    form->N2Click();
    form->State.QuestParams.Names[1] = "|";
    TypeDescription(std::string(14, '|'));
    form->State.QuestFileName = Path("lost.nvx");
    form->N4Click();
    const std::string text = Shown().at(0);
    EXPECT_NE(text.find(Ru("Параметры, название параметра 1: символ '|' будет потерян")),
              std::string::npos);
    EXPECT_NE(text.find(Ru("и еще мест: 5\r")), std::string::npos) << text;
    EXPECT_FALSE(fs::exists(Path("lost.nvx")));
}

TEST_F(FileCommandsTest, AFailedSaveReportsTheFileAndChangesNothing) {
    files.AddAnswer(StoredQuest("Castle.nvx"));
    form->N5Click();
    TypeCaption(1, "work");
    const std::string bad = Path("no such folder/quest.nvx");
    files.AddAnswer(bad);
    form->N15Click();
    const auto shown = dialogs.TakeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].messageKind, platform::MessageKind::Error);
    EXPECT_NE(shown[0].text.find(bad), std::string::npos);
    EXPECT_EQ(form->State.QuestFileName, Path("Castle.nvx"));
    EXPECT_EQ(Caption(), "[Castle.nvx]* - Norvo Creator");
}

TEST_F(FileCommandsTest, OpenThenSaveGivesTheSameBytes) {
    const std::string path = StoredQuest("Castle.nvx");
    const std::string before = model::ReadFileBytes(path);
    files.AddAnswer(path);
    form->N5Click();
    form->btnRightClick();
    form->A1Click();
    form->btnLeftClick();
    form->N4Click();
    EXPECT_EQ(model::ReadFileBytes(path), before);
}

TEST_F(FileCommandsTest, HelpAsksTheDesktopToOpenTheGuideBesideTheEditor) {
    form->N14Click();
    ASSERT_EQ(desktop.Requests().size(), 1u);
    EXPECT_EQ(desktop.Requests()[0].kind, platform::DesktopRequest::Kind::Open);
    EXPECT_EQ(desktop.Requests()[0].path, Path("readme.html"));
    EXPECT_TRUE(Shown().empty());

    // An installed editor finds it in the doc folder beside its bin/.
    fs::create_directories(folder / "bin");
    fs::create_directories(folder / "share/doc/norvo");
    model::WriteFileAtomically(Path("share/doc/norvo/readme.html"), "<html></html>");
    editor::TForm1 installed({dialogs, files, desktop, Path("bin/norvo-creator")});
    installed.N14Click();
    EXPECT_EQ(desktop.Requests().back().path, Path("bin/../share/doc/norvo/readme.html"));
}

TEST_F(FileCommandsTest, DialogsStartInTheDocumentsFolderWhenNoneIsBesideTheProgram) {
    fs::remove_all(folder / "Quests");
    const char* oldHome = std::getenv("HOME");
    const std::string home = Path("home");
    fs::create_directories(home);
    setenv("HOME", home.c_str(), 1);
    form->N5Click();
    if (oldHome)
        setenv("HOME", oldHome, 1);
    ASSERT_EQ(files.Requests().size(), 1u);
    EXPECT_EQ(files.Requests()[0].file.startPath, home + "/Documents/Quests/New");
    EXPECT_TRUE(fs::is_directory(home + "/Documents/Quests"));
}

} // namespace
} // namespace editor_test
