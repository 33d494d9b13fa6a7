// The look the editor's windows share: the window font and the frame of a
// fixed-size window.
#pragma once

#include <QFont>
#include <vector>

class QLabel;
class QWidget;

namespace editor {

// "MS Sans Serif" 8 points; where the face is missing Qt takes the nearest
// sans-serif one.
QFont WindowFont();

// A window of a fixed client size with only the title bar's close box (and
// the minimize box when asked), centred on the screen.
void MakeFixedWindow(QWidget& window, int width, int height, bool minimizeBox);

// Where the window font falls back to a wider face, labels that would run
// past maxWidth all get one smaller size of it, so they still look alike (no
// smaller than kSmallestPointSize, below which nobody reads them).
inline constexpr int kSmallestPointSize = 6;
void FitLabelsToWidth(const std::vector<QLabel*>& labels, int maxWidth);

// Centres a window on its screen.
void CentreOnScreen(QWidget& window);

} // namespace editor
