// The main window's controls and their fixed layout, built once in one place.
// The window's handlers live in pMain; here is only what sits where.
#pragma once

#include <QString>
#include <array>

class QCheckBox;
class QColor;
class QFont;
class QLabel;
class QPlainTextEdit;
class QTimer;
class QWidget;

namespace player {

class ActionLabel;
class InventoryLabel;

// The client area, fixed.
inline constexpr int kClientWidth = 688;
inline constexpr int kClientHeight = 447;
// The picture box (and the console over it); pictures are stretched to it.
inline constexpr int kPictureLeft = 328;
inline constexpr int kPictureTop = 8;
inline constexpr int kPictureWidth = 345;
inline constexpr int kPictureHeight = 265;
// The countdown ticks once a second.
inline constexpr int kTimerInterval = 1000;

struct MainWindowUi {
    // Creates every control as a child of window, in the design's places and
    // with its design texts, hidden where the design hides it.
    void Build(QWidget* window);

    QLabel* Image2 = nullptr;         // the background picture
    QPlainTextEdit* Memo = nullptr;   // the description box
    QLabel* img = nullptr;            // the picture box
    QPlainTextEdit* MemoCon = nullptr; // the console, over the picture box
    QLabel* Label1 = nullptr;         // "Инвентарь"
    InventoryLabel* lblParam1 = nullptr;
    InventoryLabel* lblParam2 = nullptr;
    InventoryLabel* lblParam3 = nullptr;
    InventoryLabel* lblParam4 = nullptr;
    InventoryLabel* lblParam5 = nullptr;
    InventoryLabel* lblParam6 = nullptr;
    QLabel* lblTimer = nullptr; // the countdown's label
    ActionLabel* lblA1 = nullptr;
    ActionLabel* lblA2 = nullptr;
    ActionLabel* lblA3 = nullptr;
    ActionLabel* lblA4 = nullptr;
    ActionLabel* lblA5 = nullptr;
    ActionLabel* lblA6 = nullptr;
    QCheckBox* xpCon = nullptr; // shows the console
    QTimer* Timer = nullptr;    // the countdown, 1 s

    // Action label n and inventory label n, 1..6.
    ActionLabel* ActionLabelOf(int n) const { return actionLabels_.at(n - 1); }
    InventoryLabel* InventoryLabelOf(int n) const { return inventoryLabels_.at(n - 1); }

private:
    std::array<ActionLabel*, 6> actionLabels_{};
    std::array<InventoryLabel*, 6> inventoryLabels_{};
};

// The window's default font, which the roll window's canvas shares.
QFont WindowFont();

// Sets a label's text and lets it grow (or shrink) to fit.
void SetLabelText(QLabel* label, const QString& text);

// The colour of a label's text, whether the window is active or not.
void SetTextColour(QWidget* widget, const QColor& colour);

} // namespace player
