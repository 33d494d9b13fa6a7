// The credits roll: TITR, the roll window, its ticks and its OK button.
#include "tests/player/PlayerFixture.h"

#include <QPushButton>
#include <QTimer>

namespace {

using namespace testing_support;
using player::kRollStartY;

TEST(RollText, SplitsAtEveryHashAndDrawsTwentyLinesAtMost) {
    std::string lines25;
    for (int i = 1; i <= 25; ++i)
        lines25 += (i > 1 ? "#" : "") + std::to_string(i);
    const struct {
        std::string text;
        std::vector<std::string> drawn;
        std::int64_t count;
    } cases[] = {
        {"", {""}, 1},
        {"one line", {"one line"}, 1},
        {"a##b", {"a", "", "b"}, 3},
        {"#", {"", ""}, 2},
        {"a\r\nb#c", {"a\r\nb", "c"}, 2}, // line breaks are no separators
        {lines25, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14",
                   "15", "16", "17", "18", "19", "20"}, 25},
    };
    for (const auto& c : cases) {
        const player::RollLines lines = player::SplitRoll(c.text);
        EXPECT_EQ(lines.drawn, c.drawn) << c.text;
        EXPECT_EQ(lines.count, c.count) << c.text;
    }
}

TEST(RollGlyph, IsAGreenCheckOnATransparentSquare) {
    App();
    const QImage glyph = player::CheckGlyph();
    EXPECT_EQ(glyph.size(), QSize(16, 16));
    int green = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const QColor c = glyph.pixelColor(x, y);
            if (c.alpha() == 0)
                continue;
            EXPECT_EQ(c, QColor(0, 128, 0)) << x << "," << y; // nothing but green shows
            ++green;
        }
    EXPECT_GT(green, 10);
    EXPECT_EQ(glyph.pixelColor(0, 0).alpha(), 0);
}

class RollTest : public PlayerTest {
protected:
    RollTest() {
        Load(Quest({Location("One", {{"a1", "AddText('clicked');"}}), Location("Two")}));
    }
    ~RollTest() override {
        form->TitrForm->close();
        form->Timer->stop();
    }
    player::TTitrForm& Roll() { return *form->TitrForm; }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i)
            ASSERT_TRUE(Roll().FireRoll());
    }
    // Whether any pixel of rows [top, top + height) of the last frame is lit.
    bool Lit(int top, int height) {
        const QImage& frame = Roll().Frame();
        for (int y = std::max(top, 0); y < std::min(top + height, frame.height()); ++y)
            for (int x = 0; x < frame.width(); ++x)
                if (frame.pixelColor(x, y) != QColor(Qt::black))
                    return true;
        return false;
    }
};

TEST_F(RollTest, TheWindowIsLaidOutAsDesigned) {
    Run("TITR('Credits', 'a', 30);");
    EXPECT_FALSE(Roll().isHidden());
    EXPECT_EQ(Roll().size(), QSize(406, 374));
    EXPECT_TRUE(Roll().windowFlags().testFlag(Qt::Tool));
    EXPECT_FALSE(Roll().windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(Roll().Image1->geometry(), QRect(0, 0, 406, 333));
    EXPECT_EQ(Roll().Panel1->geometry(), QRect(0, 333, 406, 41));
    EXPECT_EQ(Roll().BitBtn1->geometry(), QRect(168, 8, 75, 25));
    EXPECT_EQ(Roll().BitBtn1->text(), "OK");
    EXPECT_FALSE(Roll().BitBtn1->icon().isNull());
    EXPECT_EQ(Roll().TitleText(), "Credits");
    EXPECT_EQ(Roll().Timer1->interval(), 30);
    EXPECT_TRUE(Roll().Frame().isNull()); // nothing drawn before the first tick
}

TEST_F(RollTest, OneLineRollsUpAndStartsAgainEvery354Ticks) {
    Run("TITR('', 'The End', 10);");
    EXPECT_EQ(Roll().RollY, kRollStartY);
    EXPECT_EQ(Roll().TitleText(), "");
    Ticks(1);
    EXPECT_EQ(Roll().RollY, 332);
    Ticks(19);
    EXPECT_TRUE(Lit(313, 20)); // the line, drawn white on black at its place
    EXPECT_FALSE(Lit(0, 313));
    Ticks(333);
    EXPECT_EQ(Roll().RollY, -20);
    EXPECT_FALSE(Lit(0, 333)); // wholly above the top edge
    Ticks(1);
    EXPECT_EQ(Roll().RollY, kRollStartY);
}

TEST_F(RollTest, LinesBeyondTheTwentiethNeverShowButTakeTheirRoom) {
    std::string text;
    for (int i = 1; i <= 25; ++i)
        text += (i > 1 ? "#" : "") + std::string("WWWWWWWW");
    Run("TITR('t', '" + text + "', 10);");
    Ticks(333 + 300); // RollY = -300: line 20 at 80, line 21 would be at 100
    EXPECT_EQ(Roll().RollY, -300);
    EXPECT_TRUE(Lit(80, 20));
    EXPECT_FALSE(Lit(100, 233));
    // The block counts 25 lines: it starts again once RollY falls below -500.
    Ticks(200);
    EXPECT_EQ(Roll().RollY, -500);
    Ticks(1);
    EXPECT_EQ(Roll().RollY, kRollStartY);
}

TEST_F(RollTest, TheMainWindowWaitsWhileTheCountdownGoesOn) {
    Run("timer(5, 'minus', 'T', 'AddText(''tick'');'); TITR('t', 'a', 10);");
    EXPECT_FALSE(form->isEnabled());
    EXPECT_FALSE(form->ClickAction(1));
    EXPECT_TRUE(form->FireTimer());
    EXPECT_EQ(form->lblTimer->text(), "T 4");
    EXPECT_EQ(Description(), "One\ntick");
    Roll().BitBtn1->click(); // OK, through the button's own signal
    EXPECT_TRUE(Roll().isHidden());
    EXPECT_TRUE(form->isEnabled());
    EXPECT_FALSE(Roll().Timer1->isActive());
    EXPECT_FALSE(Roll().FireRoll());
    EXPECT_TRUE(form->ClickAction(1));
    EXPECT_EQ(Description(), "One\ntick\nclicked");
}

TEST_F(RollTest, ASecondTitrUpdatesTheOpenRollWithoutResettingIt) {
    Run("TITR('first', 'a', 10);");
    Ticks(5);
    Run("TITR('second', 'b#c', 25);");
    EXPECT_EQ(Roll().RollY, kRollStartY - 5);
    EXPECT_EQ(Roll().TitleText(), "second");
    EXPECT_EQ(Roll().RollText, "b#c");
    EXPECT_EQ(Roll().Timer1->interval(), 25);
    Ticks(1);
    EXPECT_EQ(Roll().RollY, kRollStartY - 6);
    // The same speed again leaves the running period alone.
    const int id = Roll().Timer1->timerId();
    Run("TITR('second', 'b#c', 25);");
    EXPECT_EQ(Roll().Timer1->timerId(), id);

    // After OK the next TITR starts at the bottom again; the last frame
    // stays until the first tick.
    Roll().BitBtn1Click();
    const QImage last = Roll().Frame();
    Run("TITR('third', 'd', 10);");
    EXPECT_EQ(Roll().RollY, kRollStartY);
    EXPECT_EQ(Roll().Frame(), last);
    EXPECT_FALSE(form->isEnabled());
}

TEST_F(RollTest, ASpeedOfZeroOrBelowNeverTicks) {
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"0", 0u}, {"-1", 4294967295u}, {"-2147483648", 2147483648u}};
    for (const auto& [speed, interval] : cases) {
        Run(std::string("TITR('t', 'a', ") + speed + ");");
        EXPECT_FALSE(Roll().isHidden()) << speed;
        EXPECT_EQ(Roll().Interval, interval) << speed;
        EXPECT_FALSE(Roll().FireRoll()) << speed;
        EXPECT_EQ(Roll().RollY, kRollStartY) << speed;
        Roll().BitBtn1Click(); // OK still closes it
        EXPECT_TRUE(form->isEnabled()) << speed;
    }
    // A positive speed after a stalled one on the open window gets it going.
    Run("TITR('t', 'a', 0); TITR('t', 'a', 10);");
    EXPECT_TRUE(Roll().FireRoll());
}

TEST_F(RollTest, CloseTakesTheRollWithIt) {
    Run("TITR('t', 'a', 10); Close;");
    EXPECT_TRUE(form->CloseRequested());
    EXPECT_TRUE(Roll().isHidden());
}

TEST_F(RollTest, RestartLeavesTheRollAlone) {
    Run("TITR('t', 'a', 10); restart;");
    EXPECT_FALSE(Roll().isHidden());
    EXPECT_FALSE(form->isEnabled());
}

} // namespace
