// The two kinds of label the main window needs beyond QLabel: the action
// label, which reports clicks and the pointer entering and leaving, and the
// inventory label, which carries its own hover hint and hint switch.
#pragma once

#include <QLabel>
#include <functional>

namespace player {

class ActionLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onClick;
    std::function<void()> onEnter;
    std::function<void()> onLeave;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
};

class InventoryLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onEnter;
    QString hintText;     // the item's hover hint
    bool showHint = true; // whether resting the pointer shows it

protected:
    void enterEvent(QEnterEvent* event) override;
    bool event(QEvent* event) override;
};

} // namespace player
