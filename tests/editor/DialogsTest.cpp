// The parameters dialog and the credits window.
#include "tests/editor/EditorFixture.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace editor_test {
namespace {

class ParamFormTest : public EditorTest {
protected:
    editor::TfParam& Params() { return *form->fParam; }
    void SetNames(const std::vector<std::string>& names) {
        for (std::size_t i = 0; i < names.size(); ++i)
            Params().NameBoxes[i]->setText(platform::ToQString(names[i]));
    }
    void SetValues(const std::vector<std::string>& values) {
        for (std::size_t i = 0; i < values.size(); ++i)
            Params().ValueBoxes[i]->setText(platform::ToQString(values[i]));
    }
    model::TQuestParams& Stored() { return form->State.QuestParams; }
};

TEST_F(ParamFormTest, OpensBeforeAnyQuestWithEmptyNamesAndZerosOverADisabledWindow) {
    form->Image1Click();
    EXPECT_TRUE(Params().isVisible());
    EXPECT_FALSE(form->isEnabled());
    EXPECT_EQ(Params().size(), QSize(425, 558));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Params().NameBoxes[i]->text(), "");
        EXPECT_EQ(Params().ValueBoxes[i]->text(), "0");
    }
    // Values stored now are reset by the next New.
    SetValues({"5"});
    Params().btnOKClick();
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(Stored().Values[1], 5);
    form->N2Click();
    EXPECT_EQ(Stored().Values[1], 0);
}

TEST_F(ParamFormTest, TheBoxesAndButtonsSitWhereTheLayoutPutsThem) {
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Params().NameBoxes[i]->geometry(), QRect(80, 32 + 80 * i, 121, 21)) << i;
        EXPECT_EQ(Params().ValueBoxes[i]->geometry(), QRect(80, 64 + 80 * i, 121, 21)) << i;
    }
    EXPECT_EQ(Params().Panel->geometry(), QRect(0, 558 - 41, 425, 41));
    EXPECT_EQ(Params().lblNumeric->pos(), QPoint(8, 16));
    EXPECT_EQ(Params().btnOK->geometry(), QRect(264, 8, 75, 25));
    EXPECT_EQ(Params().btnCancel->geometry(), QRect(344, 8, 75, 25));

    editor::TForm2& credits = *form->Form2;
    EXPECT_EQ(credits.size(), QSize(403, 256));
    EXPECT_EQ(credits.Image2->geometry(), QRect(0, 0, 403, 215));
    EXPECT_EQ(credits.Panel1->geometry(), QRect(0, 215, 403, 41));
    EXPECT_EQ(credits.BitBtn1->geometry(), QRect(320, 8, 75, 25));
}

TEST_F(ParamFormTest, ValuesConvertAsTheQuestFileDoes) {
    struct Case {
        std::string text;
        std::int32_t value;
    };
    for (const Case& c : std::vector<Case>{{"", 0}, {" 12", 12}, {"-7", -7}, {"$1F", 31}}) {
        form->N12Click();
        SetValues({c.text});
        Params().btnOKClick();
        EXPECT_EQ(Stored().Values[1], c.value) << c.text;
        EXPECT_FALSE(Params().isVisible());
    }
    form->N12Click();
    SetValues({""});
    Params().btnOKClick();
    EXPECT_EQ(Params().ValueBoxes[0]->text(), "0"); // the box shows it at once
}

TEST_F(ParamFormTest, ABadValueStoresWhatCameBeforeItAndKeepsTheDialogOpen) {
    form->N2Click();
    for (int i = 1; i <= 6; ++i)
        Stored().Values[i] = 100 + i;
    form->N12Click();
    SetNames({"a", "b", "c", "d", "e", "f"});
    SetValues({"1", "2", "abc", "4", "5", "6"});
    Params().btnOKClick();
    const auto shown = dialogs.TakeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "'abc' is not a valid integer value");
    EXPECT_EQ(Stored().Names[3], "c");
    EXPECT_EQ(Stored().Names[4], "");
    EXPECT_EQ(Stored().Values[2], 2);
    for (int i = 3; i <= 6; ++i)
        EXPECT_EQ(Stored().Values[i], 100 + i);
    EXPECT_TRUE(Params().isVisible());
    EXPECT_FALSE(form->isEnabled());
    EXPECT_EQ(Caption(), "[New]* - Norvo Creator");

    SetValues({"1", "2", "12 "});
    Params().btnOKClick();
    EXPECT_EQ(Shown(), std::vector<std::string>{"'12 ' is not a valid integer value"});
    SetValues({"1", "2", "3"});
    Params().btnOKClick();
    EXPECT_FALSE(Params().isVisible());
    EXPECT_EQ(Stored().Values[3], 3);
}

TEST_F(ParamFormTest, ANameWithTheFieldSeparatorIsRefusedAndNothingIsStored) {
    form->N12Click();
    SetNames({"one", "", "", "a|b"});
    Params().btnOKClick();
    const auto shown = Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find(Ru("Название параметра 4")), std::string::npos) << shown[0];
    EXPECT_EQ(Stored().Names[1], "");
    EXPECT_TRUE(Params().isVisible());
    EXPECT_FALSE(form->isEnabled());
}

TEST_F(ParamFormTest, CancelAndTheCloseBoxStoreNothingAndEnableTheWindow) {
    Stored().Names[2] = "kept";
    for (bool closeBox : {false, true}) {
        form->N12Click();
        SetNames({"", "changed"});
        if (closeBox)
            Params().close();
        else
            Params().btnCancelClick();
        EXPECT_TRUE(form->isEnabled());
        EXPECT_EQ(Stored().Names[2], "kept");
        form->N12Click();
        EXPECT_EQ(Params().NameBoxes[1]->text(), "kept");
        Params().btnCancelClick();
    }
}

TEST_F(ParamFormTest, TabGoesThroughThePanelThenTheBoxesInPairs) {
    form->N12Click();
    QApplication::setActiveWindow(&Params());
    std::vector<QWidget*> expected{Params().btnOK, Params().btnCancel};
    for (int i = 0; i < 6; ++i) {
        expected.push_back(Params().NameBoxes[i]);
        expected.push_back(Params().ValueBoxes[i]);
    }
    Params().btnOK->setFocus();
    for (std::size_t i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expected[i]) << i;
    }
}

class AuthorFormTest : public EditorTest {
protected:
    editor::TForm2& Credits() { return *form->Form2; }
};

TEST_F(AuthorFormTest, EachOpeningStartsTheRollAt230) {
    for (int opening = 0; opening < 2; ++opening) {
        form->N13Click();
        EXPECT_FALSE(form->isEnabled());
        EXPECT_TRUE(Credits().Timer1->isActive());
        EXPECT_EQ(Credits().Timer1->interval(), 30);
        EXPECT_EQ(Credits().ScrollPosition(), 230);
        Credits().Timer1Timer();
        EXPECT_EQ(Credits().ScrollPosition(), 229);
        Credits().BitBtn1Click();
        EXPECT_TRUE(form->isEnabled());
        EXPECT_FALSE(Credits().isVisible());
    }
}

TEST_F(AuthorFormTest, OneCycleRunsFrom230DownTo500AndBackIn731Frames) {
    form->N13Click();
    EXPECT_EQ(Credits().size(), QSize(403, 256));
    for (int frame = 0; frame < 730; ++frame)
        Credits().Timer1Timer();
    EXPECT_EQ(Credits().ScrollPosition(), -500);
    Credits().Timer1Timer(); // would be -501
    EXPECT_EQ(Credits().ScrollPosition(), 230);
}

} // namespace
} // namespace editor_test
