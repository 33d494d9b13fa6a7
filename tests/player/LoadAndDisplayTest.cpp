// Start-up loading from every kind of source, and the display of a location:
// placeholders, action labels, highlighting and the window's layout.
#include "model/ExeLayout.h"
#include "model/QuestFile.h"
#include "platform/Text.h"
#include "tests/player/PlayerFixture.h"

#include <QCheckBox>
#include <QEnterEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QToolTip>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

using namespace testing_support;
using Kind = platform::ShownDialog::Kind;

model::QuestDocument ThreeRooms() {
    auto doc =
        Quest({Location("Room one", {{"Go two", "goto(2);"}, {"Stay", ""}}),
               Location("Room two <param1>=<p1>", {{"Back", "goto(1);"}}), Location("Room three")});
    doc.QuestParams.Names[1] = Cp("Ключ");
    doc.QuestParams.Values[1] = -7;
    return doc;
}

TEST_F(PlayerTest, LoadsAPayloadAndShowsLocationOne) {
    Load(ThreeRooms());
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(S().LocationCount(), 3);
    EXPECT_EQ(S().CurrentLocation, 1);
    EXPECT_EQ(S().QuestParams.Names[1], Cp("Ключ"));
    EXPECT_EQ(S().QuestParams.Values[1], -7);
    EXPECT_EQ(form->CaptionText(), "quest.exe");
    EXPECT_EQ(Description(), "Room one");
    EXPECT_EQ(form->lblA1->text(), "Go two");
    EXPECT_FALSE(form->lblA1->isHidden());
    EXPECT_FALSE(form->lblA2->isHidden());
    EXPECT_TRUE(form->lblA3->isHidden());
    for (int n = 1; n <= 6; ++n) // nothing is held at start, whatever the names
        EXPECT_TRUE(form->InventoryLabelOf(n)->text().isEmpty()) << n;
    EXPECT_TRUE(form->ConsoleText().empty());
}

TEST_F(PlayerTest, AQuestWithoutLocationsOpensEmptyAndSaysSo) {
    for (const char* payload : {"", "0\xAE||||||||||||\xAE"}) {
        LoadPayload(payload);
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, Cp("В квесте нет ни одной локации."));
        EXPECT_EQ(S().Quests.size(), 1u); // slot 0 only
        EXPECT_TRUE(Description().empty());
        for (int n = 1; n <= 6; ++n) {
            EXPECT_TRUE(form->ActionLabelOf(n)->isHidden());
            EXPECT_FALSE(form->ClickAction(n));
        }
        EXPECT_EQ(form->CaptionText(), "quest.exe");
    }
}

TEST_F(PlayerTest, ABadCountShowsTheConversionErrorAndNoLocation) {
    LoadPayload("12a\xAE||||||0|0|0|0|0|0\xAE"
                "Room|Act||||||go||||||\xA9");
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].messageKind, platform::MessageKind::Error);
    EXPECT_NE(boxes[0].text.find("12a"), std::string::npos) << boxes[0].text;
    EXPECT_EQ(form->CaptionText(), Cp("Квест v.0.6")); // the design caption stays
    EXPECT_TRUE(Description().empty());
    EXPECT_TRUE(form->lblA1->isHidden());
    EXPECT_FALSE(form->ClickAction(1));
}

TEST_F(PlayerTest, ShortAndMissingRecordsLoadAsEmptyFields) {
    // Count 3, a record with only a description and one caption, one full
    // record, and no third record at all.
    LoadPayload("3\xAE||||||0|0|0|0|0|0\xAE"
                "Short|Only\xA9"
                "Second|A|B|C|D|E|F|1|2|3|4|5|6\xA9");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(S().LocationCount(), 3);
    EXPECT_EQ(Description(), "Short");
    EXPECT_FALSE(form->lblA1->isHidden());
    for (int n = 2; n <= 6; ++n)
        EXPECT_TRUE(form->ActionLabelOf(n)->isHidden()) << n;
    EXPECT_EQ(S().Quests[2].Code6, "6");
    EXPECT_EQ(S().Quests[3], model::TQuest{});
}

// Runs fn with a temporary folder that is removed afterwards.
template <typename Fn> void WithTempDir(Fn fn) {
    char pattern[] = "/tmp/norvo-player-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    fn(std::string(pattern));
    std::filesystem::remove_all(pattern);
}

TEST_F(PlayerTest, AStandAloneFileIsReadFromBehindItsImageOnEveryLoad) {
    WithTempDir([&](const std::string& dir) {
        // Any ELF image serves as the player image: this test program's own.
        std::ifstream self("/proc/self/exe", std::ios::binary);
        const std::string image{std::istreambuf_iterator<char>(self), {}};
        const std::string exe = dir + "/Quest1";
        model::WriteStandAlone(exe, image.substr(0, model::ExecutableImageSize(image)),
                               model::BuildPayload(ThreeRooms()));
        form = std::make_unique<player::TForm1>(player::PayloadFileSource(exe), dialogs);
        EXPECT_TRUE(Boxes().empty());
        EXPECT_EQ(form->CaptionText(), "Quest1");
        EXPECT_EQ(Description(), "Room one");

        auto changed = ThreeRooms();
        changed.Quests[1].Description = "Rebuilt";
        model::WriteStandAlone(exe, image.substr(0, model::ExecutableImageSize(image)),
                               model::BuildPayload(changed));
        Run("restart;");
        EXPECT_EQ(Description(), "Rebuilt");
    });
}

TEST_F(PlayerTest, AQuestFileIsPlayedUnderItsOwnNameAndReReadOnRestart) {
    WithTempDir([&](const std::string& dir) {
        const std::string path = dir + "/Маяк.nvx";
        model::WriteQuestFile(path, ThreeRooms());
        form = std::make_unique<player::TForm1>(player::QuestFileSource(path), dialogs);
        EXPECT_TRUE(Boxes().empty());
        EXPECT_EQ(form->CaptionText(), Cp("Маяк.nvx"));
        EXPECT_EQ(S().QuestParams.Names[1], Cp("Ключ"));
        Run("Params('param1', 'changed'); FormName('x'); restart;");
        EXPECT_EQ(S().QuestParams.Names[1], Cp("Ключ"));
        EXPECT_EQ(form->CaptionText(), Cp("Маяк.nvx"));

        std::filesystem::remove(path);
        Run("restart; AddText('not reached');");
        EXPECT_TRUE(Boxes().empty()); // a failed restart ends its script silently
        EXPECT_EQ(Description().find("not reached"), std::string::npos);
    });
    // A file that is not there at start-up: the error box, an empty window.
    form = std::make_unique<player::TForm1>(player::QuestFileSource("/nonexistent.nvx"), dialogs);
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "File not found");
}

struct PlaceholderCase {
    const char* description;
    const char* name1;
    const char* name3;
    std::int32_t value1;
    std::int32_t value2;
    const char* shown;
};

TEST_F(PlayerTest, PlaceholdersAreReplacedInTheirOrderAndOnlyOnce) {
    const PlaceholderCase cases[] = {
        {"<p1> and <p1>", "", "", 25, 0, "25 and 25"},
        {"<p1<p1>><p1>", "", "", 1, 0, "<p11>1"}, // what a replacement makes stays
        {"<param1><param1>", "", "", 0, 0, ""},
        {"<param1><param1>", "x<param1>", "", 0, 0, "x<param1>x<param1>"},
        {"[<param1>]", "<p2>", "", 0, -7, "[-7]"},          // a name brings in <p2>
        {"[<param3>]", "", "<param2>", 0, 0, "[<param2>]"}, // param2 was done before param3
        {"<P1> <Param1> <p1 > <p1>", "n", "", 3, 0, "<P1> <Param1> <p1 > 3"},
        {"<time>/<p1>", "", "", -2147483647 - 1, 0, "0/-2147483648"},
        {"line one\r\nline two <p1>", "", "", 1, 0, "line one\nline two 1"},
    };
    for (const auto& c : cases) {
        auto doc = Quest({Location(c.description)});
        doc.QuestParams.Names[1] = c.name1;
        doc.QuestParams.Names[3] = c.name3;
        doc.QuestParams.Values[1] = c.value1;
        doc.QuestParams.Values[2] = c.value2;
        Load(doc);
        EXPECT_EQ(Description(), c.shown) << c.description;
    }
}

TEST_F(PlayerTest, HiddenActionLabelsKeepTheirPlacesAndHighlightOnHover) {
    Load(Quest({Location("x", {{"one", ""}, {"two", ""}, {"", "code"}, {"four", ""}})}));
    const int tops[] = {296, 320, 344, 368, 392, 416};
    for (int n = 1; n <= 6; ++n) {
        EXPECT_EQ(form->ActionLabelOf(n)->x(), 24) << n;
        EXPECT_EQ(form->ActionLabelOf(n)->y(), tops[n - 1]) << n;
    }
    EXPECT_TRUE(form->lblA3->isHidden());
    EXPECT_FALSE(form->lblA4->isHidden());
    EXPECT_FALSE(form->ClickAction(3)); // hidden: its code does not run
    EXPECT_TRUE(form->ConsoleText().empty());

    auto colour = [](const QWidget* w) {
        return w->palette().color(QPalette::Active, QPalette::WindowText);
    };
    EXPECT_EQ(colour(form->lblA2), QColor(0, 0, 128));
    form->lblA2MouseEnter();
    EXPECT_EQ(colour(form->lblA2), QColor(255, 0, 0));
    EXPECT_EQ(colour(form->lblA1), QColor(0, 0, 128));
    form->lblA2MouseLeave();
    EXPECT_EQ(colour(form->lblA2), QColor(0, 0, 128));
    EXPECT_FALSE(form->lblA2->font().bold());
}

TEST_F(PlayerTest, TheWindowIsLaidOutAsDesigned) {
    Load(ThreeRooms());
    EXPECT_EQ(form->size(), QSize(688, 447));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    const std::pair<QWidget*, QRect> placed[] = {
        {form->Image2, QRect(0, 0, 688, 447)},  {form->Memo, QRect(8, 8, 305, 137)},
        {form->img, QRect(328, 8, 345, 265)},   {form->MemoCon, QRect(328, 8, 345, 265)},
        {form->xpCon, QRect(664, 296, 17, 17)},
    };
    for (const auto& [widget, rect] : placed)
        EXPECT_EQ(widget->geometry(), rect) << widget->metaObject()->className();
    EXPECT_EQ(form->Label1->pos(), QPoint(8, 160));
    EXPECT_EQ(form->Label1->text(), QString::fromUtf8("Инвентарь"));
    EXPECT_EQ(form->lblTimer->pos(), QPoint(232, 160));
    EXPECT_TRUE(form->lblTimer->isHidden());
    EXPECT_EQ(form->lblTimer->text(), QString::fromUtf8("Время: 0"));
    for (int n = 1; n <= 6; ++n)
        EXPECT_EQ(form->InventoryLabelOf(n)->pos(), QPoint(24, 184 + 16 * (n - 1)));
    EXPECT_TRUE(form->MemoCon->isHidden());
    EXPECT_FALSE(form->xpCon->isChecked());
    EXPECT_EQ(form->xpCon->toolTip(), QString::fromUtf8("Показать консоль..."));
    EXPECT_EQ(form->Memo->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(form->Memo->textInteractionFlags(), Qt::NoTextInteraction);
    EXPECT_FALSE(form->Image2->pixmap().isNull()); // the background picture
    EXPECT_EQ(form->lblA1->cursor().shape(), Qt::PointingHandCursor);
}

// The same handlers reached through real toolkit events, as a user's mouse
// would reach them.
TEST_F(PlayerTest, MouseEventsReachTheHandlers) {
    Load(Quest({Location("x", {{"one", "AddText('clicked');"}, {"two", "AddText('no');"}})}));
    form->show();
    const QPointF inside(2, 2);
    auto release = [&](QWidget* label) {
        QMouseEvent event(QEvent::MouseButtonRelease, inside, label->mapToGlobal(inside),
                          Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(label, &event);
    };
    release(form->lblA1);
    EXPECT_EQ(Description(), "x\nclicked");
    form->DisableAction(2);
    release(form->lblA2); // a greyed label takes no clicks
    EXPECT_EQ(Description(), "x\nclicked");

    QEnterEvent enter(inside, inside, form->lblA1->mapToGlobal(inside));
    QApplication::sendEvent(form->lblA1, &enter);
    EXPECT_EQ(form->lblA1->palette().color(QPalette::Active, QPalette::WindowText),
              QColor(Qt::red));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(form->lblA1, &leave);
    EXPECT_EQ(form->lblA1->palette().color(QPalette::Active, QPalette::WindowText),
              QColor(0, 0, 128));

    // Resting on a held item with a hint shows the hint as a tooltip.
    Run("TakeParam('param1'); Params('param1', 'lamp'); hint('param1', 'old lamp'); goto(1);");
    QApplication::sendEvent(form->lblParam1, &enter);
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), form->lblParam1->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(form->lblParam1, &help);
    EXPECT_EQ(QToolTip::text(), "old lamp");
    QToolTip::hideText();
    form->hide();
}

} // namespace
