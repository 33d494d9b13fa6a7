// Mouse handling of the action and inventory labels.
#include "player/Labels.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace player {

void ActionLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    // A press that ends outside the label is no click, as with a button.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void ActionLabel::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    emit mouseEntered();
}

void ActionLabel::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    emit mouseLeft();
}

void InventoryLabel::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    emit mouseEntered();
}

bool InventoryLabel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (showHint && !hintText.isEmpty())
            QToolTip::showText(help->globalPos(), hintText, this);
        else
            QToolTip::hideText();
        return true;
    }
    return QLabel::event(event);
}

void PictureLabel::paintEvent(QPaintEvent*) {
    const QPixmap shown = pixmap();
    if (shown.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), shown);
}

} // namespace player
