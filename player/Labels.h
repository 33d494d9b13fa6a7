// The kinds of label the main window needs beyond QLabel: the action label,
// which reports clicks and the pointer entering and leaving; the inventory
// label, which reports the pointer entering and carries its own hover hint and
// hint switch; and the picture label, which shows its picture stretched.
#pragma once

#include <QLabel>

namespace player {

class ActionLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();
    void mouseEntered();
    void mouseLeft();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
};

class InventoryLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    QString hintText;     // the item's hover hint
    bool showHint = true; // whether resting the pointer shows it

signals:
    void mouseEntered();

protected:
    void enterEvent(QEnterEvent* event) override;
    bool event(QEvent* event) override;
};

// A picture stretched over the whole label that looks the same while its
// window takes no input (under the credits roll): QLabel would grey it.
class PictureLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace player
