// The shared look of the editor's windows.
#include "editor/Look.h"

#include <QLabel>
#include <QScreen>
#include <algorithm>
#include <QWidget>

namespace editor {

QFont WindowFont() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

void MakeFixedWindow(QWidget& window, int width, int height, bool minimizeBox) {
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                            Qt::MSWindowsFixedSizeDialogHint;
    if (minimizeBox)
        flags |= Qt::WindowMinimizeButtonHint;
    window.setWindowFlags(flags);
    window.setFixedSize(width, height);
    window.setFont(WindowFont());
}

void FitLabelsToWidth(const std::vector<QLabel*>& labels, int maxWidth) {
    if (labels.empty())
        return;
    QFont font = labels.front()->font();
    const auto widest = [&] {
        int width = 0;
        for (QLabel* label : labels) {
            label->setFont(font);
            label->adjustSize();
            width = std::max(width, label->width());
        }
        return width;
    };
    while (widest() > maxWidth && font.pointSize() > kSmallestPointSize)
        font.setPointSize(font.pointSize() - 1);
}

void CentreOnScreen(QWidget& window) {
    if (const QScreen* screen = window.screen())
        window.move(screen->availableGeometry().center() - window.rect().center());
}

} // namespace editor
