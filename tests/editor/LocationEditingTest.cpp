// The main window's location editing: what is committed when, navigation,
// adding and deleting, the list, and the state before any quest.
#include "tests/editor/EditorFixture.h"

#include <QFrame>
#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QToolButton>

namespace editor_test {
namespace {

class LocationEditingTest : public EditorTest {
protected:
    // A new quest with `count` locations, location 1 shown.
    void NewQuestWith(int count) {
        form->N2Click();
        for (int i = 1; i < count; ++i)
            form->btnAddLocClick();
        form->State.Modified = false;
    }
};

TEST_F(LocationEditingTest, BeforeAnyQuestTheLocationControlsAreDisabledAndNothingIsTouched) {
    EXPECT_EQ(Caption(), "Norvo Creator v.0.7beta");
    EXPECT_EQ(LabelText(), Ru("ЛОКАЦИЯ № 1 / 1"));
    EXPECT_EQ(form->ShownLocation(), 0);
    EXPECT_FALSE(form->GroupBox1->isEnabled());
    EXPECT_FALSE(form->Memo->isEnabled());
    EXPECT_FALSE(form->MainBox->isEnabled());
    EXPECT_FALSE(form->imgSave->isEnabled());
    EXPECT_FALSE(form->btnSaveLoc->isEnabled());
    EXPECT_TRUE(form->imgLoad->isEnabled());
    // The handlers themselves leave the missing model alone.
    form->btnSaveLocClick();
    form->MemoCodeExit();
    form->btnAddLocClick();
    form->btnRightClick();
    EXPECT_TRUE(form->State.Quests.empty());
    EXPECT_TRUE(Shown().empty());
}

TEST_F(LocationEditingTest, NewGivesOneEmptyLocationAndEnablesTheControls) {
    form->N2Click();
    EXPECT_EQ(Caption(), "[New] - Norvo Creator");
    EXPECT_EQ(LabelText(), Ru("ЛОКАЦИЯ № 1 / 1"));
    EXPECT_EQ(ListEntries(), std::vector<std::string>{"1"});
    EXPECT_EQ(form->State.LocationCount, 1);
    EXPECT_EQ(form->State.Quests.size(), 2u);
    EXPECT_TRUE(form->GroupBox1->isEnabled() && form->Memo->isEnabled() &&
                form->MainBox->isEnabled() && form->imgSave->isEnabled() &&
                form->btnSaveLoc->isEnabled());
}

TEST_F(LocationEditingTest, ClickingAnotherCaptionStoresTheCodeUnderTheActionChosenBefore) {
    NewQuestWith(1);
    Location(1).Code5 = "goto(5);";
    form->A3Click();
    TypeCode("goto(3);");
    form->MemoCodeExit(); // the focus leaves the code editor for the click
    form->A5Click();
    EXPECT_EQ(Location(1).Code3, "goto(3);\r\n");
    EXPECT_EQ(form->MemoCode->Text(), "goto(5);\r\n");
    EXPECT_EQ(platform::FromQString(form->lblCode->text()), Ru("Код для действия 5"));
    EXPECT_EQ(form->State.CurrentAction, 5);
}

TEST_F(LocationEditingTest, ARealClickInACaptionBoxFirstCommitsTheCodeThenChoosesTheAction) {
    NewQuestWith(1);
    form->show();
    QApplication::setActiveWindow(form.get());
    QTest::mouseClick(form->A2, Qt::LeftButton);
    EXPECT_EQ(form->State.CurrentAction, 2);
    form->MemoCode->setFocus();
    TypeCode("x := 1;");
    QTest::mouseClick(form->A4, Qt::LeftButton);
    EXPECT_EQ(Location(1).Code2, "x := 1;\r\n");
    EXPECT_EQ(form->State.CurrentAction, 4);
    // Reaching a box with the keyboard chooses nothing.
    form->A6->setFocus();
    EXPECT_EQ(form->State.CurrentAction, 4);
}

TEST_F(LocationEditingTest, CodeTypedBeforeAnyActionIsChosenIsNeverStored) {
    NewQuestWith(2);
    TypeCode("lost");
    form->MemoCodeExit();
    form->btnRightClick();
    EXPECT_EQ(form->ShownLocation(), 2);
    EXPECT_EQ(form->MemoCode->Text(), "");
    form->btnLeftClick();
    EXPECT_EQ(form->MemoCode->Text(), "");
    for (int i = 1; i <= 6; ++i)
        EXPECT_EQ(Location(1).Code(i), "");
}

TEST_F(LocationEditingTest, TheChosenActionSurvivesNew) {
    NewQuestWith(1);
    form->A2Click();
    Location(1).Code2 = "old";
    form->N2Click();
    EXPECT_EQ(form->MemoCode->Text(), "");
    EXPECT_EQ(platform::FromQString(form->lblCode->text()), Ru("Код для действия 2"));
    TypeCode("new code");
    form->MemoCodeExit();
    EXPECT_EQ(Location(1).Code2, "new code\r\n");
}

TEST_F(LocationEditingTest, NavigationCommitsFirstAndStopsAtBothEnds) {
    NewQuestWith(2);
    form->btnRightClick();
    TypeDescription(Ru("Башня\nвторой этаж"));
    TypeCaption(1, Ru("Вниз"));
    form->btnRightClick(); // on the last location
    EXPECT_EQ(form->ShownLocation(), 2);
    EXPECT_EQ(Location(2).Description, Ru("Башня\r\nвторой этаж"));
    EXPECT_EQ(Location(2).Caption1, Ru("Вниз"));
    form->btnLeftClick();
    form->btnLeftClick(); // on the first location
    EXPECT_EQ(form->ShownLocation(), 1);
    EXPECT_EQ(LabelText(), Ru("ЛОКАЦИЯ № 1 / 2"));
    EXPECT_EQ(form->ListBox->currentIndex().row(), 0);
}

TEST_F(LocationEditingTest, ChoosingAListEntryShowsThatLocation) {
    NewQuestWith(3);
    TypeCaption(2, "two");
    form->ListBox->setCurrentIndex(form->ListModel->index(2));
    EXPECT_EQ(form->ShownLocation(), 3);
    EXPECT_EQ(Location(1).Caption2, "two");
    EXPECT_EQ(LabelText(), Ru("ЛОКАЦИЯ № 3 / 3"));
}

TEST_F(LocationEditingTest, AddKeepsTheShownLocationAndAppendsAnEntry) {
    NewQuestWith(3);
    form->btnRightClick();
    TypeCaption(3, "kept");
    form->btnAddLocClick();
    EXPECT_EQ(form->ShownLocation(), 2);
    EXPECT_EQ(LabelText(), Ru("ЛОКАЦИЯ № 2 / 4"));
    EXPECT_EQ(ListEntries(), (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(form->State.Quests.size(), 5u);
    EXPECT_EQ(Location(2).Caption3, "kept");
}

TEST_F(LocationEditingTest, DeleteDropsTheLastLocationAndShowsTheNewLast) {
    NewQuestWith(3);
    Location(3).Description = "third";
    form->btnDelLocClick();
    EXPECT_EQ(form->ShownLocation(), 2);
    EXPECT_EQ(LabelText(), Ru("ЛОКАЦИЯ № 2 / 2"));
    EXPECT_EQ(ListEntries(), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(form->State.Quests.size(), 3u);

    form->btnDelLocClick();
    form->btnDelLocClick(); // one location left: nothing happens, nothing is said
    EXPECT_EQ(form->State.LocationCount, 1);
    EXPECT_EQ(ListEntries(), std::vector<std::string>{"1"});
    EXPECT_TRUE(Shown().empty());
}

TEST_F(LocationEditingTest, TheInvisibleSaveButtonIsInTheTabOrderAndCommits) {
    NewQuestWith(1);
    EXPECT_EQ(form->btnSaveLoc->geometry(), QRect(8, 464, 777, 25));
    EXPECT_EQ(form->centralWidget()->size(), QSize(794, 463));
    form->show();
    QApplication::setActiveWindow(form.get());
    // The button closes the tab ring: one step back from the location list.
    form->ListBox->setFocus();
    QTest::keyClick(form->ListBox, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), form->btnSaveLoc);
    QTest::keyClick(form->btnSaveLoc, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form->ListBox);

    TypeCaption(1, "by keyboard");
    form->btnSaveLoc->setFocus();
    QTest::keyClick(form->btnSaveLoc, Qt::Key_Space);
    EXPECT_EQ(Location(1).Caption1, "by keyboard");
}

TEST_F(LocationEditingTest, LeavingACaptionBoxCommitsTheLocation) {
    NewQuestWith(1);
    TypeCaption(4, "four");
    TypeDescription("desc");
    form->A4Exit();
    EXPECT_EQ(Location(1).Caption4, "four");
    EXPECT_EQ(Location(1).Description, "desc");
}

TEST_F(LocationEditingTest, UntouchedBoxesKeepTheStoredBytes) {
    NewQuestWith(1);
    // Line breaks other than CR LF, as a file may hold them.
    Location(1).Description = "a\nb\rc";
    form->A1Click();
    Location(1).Code1 = "no final line break";
    form->ShowLocationFields();
    form->btnSaveLocClick();
    form->MemoCodeExit();
    EXPECT_EQ(Location(1).Description, "a\nb\rc");
    EXPECT_EQ(Location(1).Code1, "no final line break");
    EXPECT_FALSE(form->State.Modified);
}

} // namespace
} // namespace editor_test

namespace editor_test {
namespace {

// Every text box undoes and redoes with the keys authors know.
TEST_F(EditorTest, TextBoxesUndoAndRedoWithCtrlZAndCtrlShiftZ) {
    form->N2Click();
    form->show();
    QApplication::setActiveWindow(form.get());
    form->N12Click();
    QApplication::setActiveWindow(form->fParam);
    QWidget* boxes[] = {form->fParam->NameBoxes[0], form->fParam->ValueBoxes[5]};
    const auto text = [](QWidget* box) { return qobject_cast<QLineEdit*>(box)->text(); };
    for (QWidget* box : boxes) {
        const QString before = text(box);
        box->setFocus();
        QTest::keyClicks(box, "typed");
        EXPECT_EQ(text(box), before + "typed");
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(text(box), before);
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(text(box), before + "typed");
    }
    form->fParam->btnCancelClick();
    QApplication::setActiveWindow(form.get());

    form->A3->setFocus();
    QTest::keyClicks(form->A3, "caption");
    QTest::keyClick(form->A3, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form->A3->text(), "");
    QTest::keyClick(form->A3, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form->A3->text(), "caption");

    form->Memo->setFocus();
    QTest::keyClicks(form->Memo, "description");
    QTest::keyClick(form->Memo, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form->Memo->toPlainText(), "");
    QTest::keyClick(form->Memo, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form->Memo->toPlainText(), "description");
}

} // namespace
} // namespace editor_test

namespace editor_test {
namespace {

TEST_F(LocationEditingTest, EveryControlSitsWhereTheLayoutPutsIt) {
    EXPECT_EQ(form->centralWidget()->size(), QSize(794, 463));
    struct Place {
        const char* name;
        QWidget* widget;
        QRect rect; // within its parent
    };
    const Place places[] = {
        {"GroupBox1", form->GroupBox1, {8, 0, 305, 161}},
        {"ListBox", form->ListBox, {8, 16, 289, 97}},
        {"btnLeft", form->btnLeft, {8, 120, 33, 25}},
        {"btnRight", form->btnRight, {48, 120, 33, 25}},
        {"btnDelLoc", form->btnDelLoc, {112, 120, 89, 25}},
        {"btnAddLoc", form->btnAddLoc, {208, 120, 89, 25}},
        {"GroupBox2", form->GroupBox2, {328, 0, 337, 161}},
        {"Memo", form->Memo, {16, 16, 305, 137}},
        {"Panel2", form->Panel2, {680, 8, 49, 153}},
        {"Image2", form->Image2, {8, 8, 33, 33}},
        {"Image1", form->Image1, {8, 48, 33, 33}},
        {"Image3", form->Image3, {8, 112, 33, 33}},
        {"Panel1", form->Panel1, {736, 8, 49, 153}},
        {"imgExit", form->imgExit, {8, 8, 33, 33}},
        {"imgSave", form->imgSave, {8, 72, 33, 33}},
        {"imgLoad", form->imgLoad, {8, 112, 33, 33}},
        {"MainBox", form->MainBox, {8, 192, 777, 265}},
        {"A1", form->A1, {8, 24, 369, 19}},
        {"A6", form->A6, {8, 224, 369, 19}},
        {"MemoCode", form->MemoCode, {392, 16, 377, 241}},
        {"Panel3", form->Panel3, {184, 192, 401, 105}},
        {"PBar", form->PBar, {8, 48, 385, 33}},
    };
    for (const Place& place : places)
        EXPECT_EQ(place.widget->geometry(), place.rect) << place.name;
    EXPECT_EQ(form->lblLoc->pos(), QPoint(8, 168));
    EXPECT_EQ(form->lblCode->pos(), QPoint(392, 0));
    for (int i = 1; i <= 6; ++i)
        EXPECT_EQ(form->ActionLabels[static_cast<std::size_t>(i - 1)]->pos(),
                  QPoint(8, 8 + 40 * (i - 1)));
}

} // namespace
} // namespace editor_test
