// The credits-roll window: white lines on black rolling slowly upward, over
// and over, until the player presses OK. Made once, hidden, at start-up and
// used again by every TITR; while it is up the main window takes no input.
#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTimer;

namespace player {

// The window's client area, and the picture area above its button panel.
inline constexpr int kRollClientWidth = 406;
inline constexpr int kRollClientHeight = 374;
inline constexpr int kRollPictureHeight = 333;
// The roll: where the first line starts, how far apart lines are, how far
// from the left edge they begin, and how many of them are drawn at most.
inline constexpr std::int32_t kRollStartY = kRollPictureHeight;
inline constexpr int kRollLineStep = 20;
inline constexpr int kRollLineLeft = 5;
inline constexpr int kRollMaxLines = 20;

// The roll text split at every "#": the lines that are drawn (at most
// kRollMaxLines) and the number of all lines, drawn or not.
struct RollLines {
    std::vector<std::string> drawn;
    std::int64_t count = 0;
};
RollLines SplitRoll(const std::string& text);

// The OK button's 16 x 16 green check mark, transparent around it.
QImage CheckGlyph();

class TTitrForm : public QWidget {
public:
    // mainWindow is disabled while the roll is up; it must outlive the roll.
    explicit TTitrForm(QWidget* mainWindow);
    ~TTitrForm() override;

    QLabel* Image1;       // the picture area
    QWidget* Panel1;      // the button panel
    QPushButton* BitBtn1; // OK
    QTimer* Timer1;       // the roll timer

    std::string RollText;        // the text of the last TITR (cp1251)
    std::int32_t RollY = 0;      // the top of the first line, from the picture's top
    std::uint32_t Interval = 0;  // the roll timer's interval, ms

    // TITR: interval and text, shown (or only brought to the front when it
    // is up already, the roll going on where it was), then the title.
    void Titr(const std::string& header, const std::string& text, std::uint32_t interval);

    // --- Handlers ---
    void FormShow();    // the window has become visible
    void FormClose();   // the window is closing, whatever closes it
    void Timer1Timer(); // one roll tick
    void BitBtn1Click();

    // One roll tick as the running timer fires it; nothing while the roll
    // timer does not run (hidden, or an interval of 0). Returns whether it fired.
    bool FireRoll();
    // The picture area's last frame; null before the first tick.
    const QImage& Frame() const { return frame_; }
    std::string TitleText() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Runs the roll timer at Interval while the window is up, if it can tick.
    void ApplyInterval();
    void Paint(const RollLines& lines);

    QWidget* mainWindow_;
    QImage frame_; // the picture area's own off-screen picture
};

} // namespace player
