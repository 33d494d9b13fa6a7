// The credits window: white lines rolling up over a picture.
#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;

namespace editor {

inline constexpr int kAuthorFormWidth = 403;
inline constexpr int kAuthorFormHeight = 256;
// Where the roll starts and how far up it goes before it starts again.
inline constexpr int kCreditsStart = 230;
inline constexpr int kCreditsEnd = -500;
// One pixel up per frame, every this many milliseconds.
inline constexpr int kCreditsFrameMs = 30;

class CreditsSurface;

class TForm2 : public QWidget {
public:
    // mainWindow is disabled while the window is up; it outlives the window.
    explicit TForm2(QWidget& mainWindow);

    QLabel* Image2;         // the background picture
    CreditsSurface* Image1; // the surface the lines are drawn on
    QFrame* Panel1;
    QPushButton* BitBtn1; // "Понятно"
    QTimer* Timer1;

    // The vertical position of the first line on the surface.
    int ScrollPosition() const { return scroll_; }

    // The main window's "Авторы": disable it and show this window.
    void Open();
    void FormShow();
    void Timer1Timer();
    void BitBtn1Click();
    void FormClose();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget& mainWindow_;
    int scroll_ = kCreditsStart;
};

} // namespace editor
