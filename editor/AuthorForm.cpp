// The credits window: layout, the roll and its timer.
#include "editor/AuthorForm.h"

#include "editor/EditorState.h"
#include "editor/Icons.h"
#include "editor/Look.h"
#include "platform/Text.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

namespace editor {

namespace {

constexpr int kPanelHeight = 41;
constexpr int kLineLeft = 10;

struct CreditLine {
    int offset;       // below the scroll position, in pixels
    const char* text; // UTF-8
};

const CreditLine kCredits[] = {
    {0, "Norvo Engine v.0.7beta"},
    {40, "Идея, дизайн и программирование: команда Norvo"},
    {80, "2026, Norvo"},
    {120, "Все права защищены."},
    {160, "Тестеры:"},
    {200, "<Not Yet>"},
    {240, "Особое спасибо:"},
    {280, "Первым читателям, без которых"},
    {300, "7-ая версия могла бы быть совсем другой... =)"},
    {340, "Авторам первых квестов, без которых этот редактор"},
    {360, "даже не зародился бы... =)"},
    {400, "Во вопросам и пожеланиям обращайтесь"},
    {420, "по адресу: authors@norvo.example"},
    {460, "Спасибо за приобретение нашего"},
    {480, "программного продукта!!!"},
};

// The background: a night-blue gradient with a pale horizon, drawn once.
QPixmap Background(int width, int height) {
    QPixmap picture(width, height);
    QPainter painter(&picture);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0.0, QColor(8, 16, 48));
    sky.setColorAt(0.7, QColor(32, 56, 112));
    sky.setColorAt(1.0, QColor(150, 120, 90));
    painter.fillRect(picture.rect(), sky);
    return picture;
}

} // namespace

// The drawing surface: black where nothing is drawn, which lets the picture
// through, so only the white lines cover it.
class CreditsSurface : public QWidget {
public:
    explicit CreditsSurface(QWidget* parent) : QWidget(parent) {}
    int position = kCreditsStart;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(Qt::white);
        painter.setFont(font());
        const int ascent = painter.fontMetrics().ascent();
        for (const CreditLine& line : kCredits)
            painter.drawText(kLineLeft, position + line.offset + ascent,
                             platform::ToQString(Ru(line.text)));
    }
};

TForm2::TForm2(QWidget& mainWindow) : QWidget(nullptr), mainWindow_(mainWindow) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setFixedSize(kAuthorFormWidth, kAuthorFormHeight);
    setFont(WindowFont());

    const int pictureHeight = kAuthorFormHeight - kPanelHeight;
    Image2 = new QLabel(this);
    Image2->setGeometry(0, 0, kAuthorFormWidth, pictureHeight);
    Image2->setPixmap(Background(kAuthorFormWidth, pictureHeight));
    Image2->setScaledContents(true);

    Image1 = new CreditsSurface(this);
    Image1->setGeometry(16, 8, 369, 193);
    Image1->setAttribute(Qt::WA_TranslucentBackground);

    Panel1 = new QFrame(this);
    Panel1->setGeometry(0, pictureHeight, kAuthorFormWidth, kPanelHeight);
    Panel1->setAutoFillBackground(true);
    QPalette white = Panel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    Panel1->setPalette(white);

    BitBtn1 = new QPushButton(EditorIcon(Picture::Ok),
                              platform::ToQString(Ru("Понятно")), Panel1);
    BitBtn1->setGeometry(320, 8, 75, 25);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });

    Timer1 = new QTimer(this);
    Timer1->setInterval(kCreditsFrameMs);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
}

void TForm2::Open() {
    mainWindow_.setEnabled(false);
    CentreOnScreen(*this);
    show();
    raise();
    activateWindow();
}

void TForm2::FormShow() {
    scroll_ = kCreditsStart;
    Image1->position = scroll_;
    Timer1->start();
}

void TForm2::Timer1Timer() {
    --scroll_;
    if (scroll_ < kCreditsEnd)
        scroll_ = kCreditsStart;
    Image1->position = scroll_;
    Image1->update();
}

void TForm2::BitBtn1Click() {
    close();
}

void TForm2::FormClose() {
    Timer1->stop();
    mainWindow_.setEnabled(true);
}

void TForm2::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormShow();
}

void TForm2::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

} // namespace editor
