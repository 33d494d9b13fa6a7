// The credits roll: its window, its tick and its OK button.
#include "player/TitresForm.h"

#include "platform/Text.h"
#include "player/MainWindowUi.h"

#include <QBitmap>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <algorithm>
#include <limits>

namespace player {
namespace {

// The OK button and its place on the panel.
constexpr int kButtonLeft = 168;
constexpr int kButtonTop = 8;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
// The check mark glyph; magenta marks its transparent pixels.
constexpr int kGlyphSize = 16;
const QColor kGlyphTransparent(255, 0, 255);
const QColor kGlyphGreen(0, 128, 0);
// A timer interval beyond what QTimer can run (about 24.8 days): such a roll
// never ticks in practice, like one of interval 0.
constexpr std::uint32_t kLongestInterval =
    static_cast<std::uint32_t>(std::numeric_limits<int>::max());

} // namespace

RollLines SplitRoll(const std::string& text) {
    RollLines lines;
    lines.count = static_cast<std::int64_t>(std::count(text.begin(), text.end(), '#')) + 1;
    std::size_t start = 0;
    while (lines.drawn.size() < static_cast<std::size_t>(kRollMaxLines)) {
        const std::size_t hash = text.find('#', start);
        lines.drawn.push_back(text.substr(start, hash == std::string::npos ? hash : hash - start));
        if (hash == std::string::npos)
            break;
        start = hash + 1;
    }
    return lines;
}

QImage CheckGlyph() {
    QImage glyph(kGlyphSize, kGlyphSize, QImage::Format_RGB32);
    glyph.fill(kGlyphTransparent);
    QPainter painter(&glyph);
    painter.setPen(QPen(kGlyphGreen, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    const QPoint stroke[] = {{3, 8}, {6, 11}, {12, 4}};
    painter.drawPolyline(stroke, 3);
    painter.end();
    QImage withAlpha = glyph.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < kGlyphSize; ++y)
        for (int x = 0; x < kGlyphSize; ++x)
            if (glyph.pixelColor(x, y) == kGlyphTransparent)
                withAlpha.setPixelColor(x, y, Qt::transparent);
    return withAlpha;
}

TTitrForm::TTitrForm(QWidget* mainWindow) : QWidget(nullptr), mainWindow_(mainWindow) {
    // A tool window: a small title bar and no buttons in it at all.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kRollClientWidth, kRollClientHeight);
    setFont(WindowFont());
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    setAutoFillBackground(true);

    Image1 = new QLabel(this);
    Image1->setGeometry(0, 0, kRollClientWidth, kRollPictureHeight);

    Panel1 = new QWidget(this);
    Panel1->setGeometry(0, kRollPictureHeight, kRollClientWidth,
                        kRollClientHeight - kRollPictureHeight);

    BitBtn1 = new QPushButton(QStringLiteral("OK"), Panel1);
    BitBtn1->setGeometry(kButtonLeft, kButtonTop, kButtonWidth, kButtonHeight);
    BitBtn1->setIcon(QIcon(QPixmap::fromImage(CheckGlyph())));
    BitBtn1->setIconSize(QSize(kGlyphSize, kGlyphSize));

    Timer1 = new QTimer(this);
    connect(Timer1, &QTimer::timeout, this, &TTitrForm::Timer1Timer);
    connect(BitBtn1, &QPushButton::clicked, this, &TTitrForm::BitBtn1Click);
}

TTitrForm::~TTitrForm() = default;

void TTitrForm::Titr(const std::string& header, const std::string& text, std::uint32_t interval) {
    Interval = interval;
    RollText = text;
    if (isHidden()) {
        if (const QScreen* screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
        show(); // runs FormShow
    } else {
        ApplyInterval();
        raise();
        activateWindow();
    }
    setWindowTitle(platform::ToQString(header));
}

void TTitrForm::ApplyInterval() {
    if (isHidden() || Interval == 0 || Interval > kLongestInterval) {
        Timer1->stop();
        return;
    }
    // Setting the interval of a running timer restarts its period: only a
    // new speed may do that, or a TITR on every countdown tick would keep
    // the roll from ever moving.
    if (!Timer1->isActive() || Timer1->interval() != static_cast<int>(Interval))
        Timer1->start(static_cast<int>(Interval));
}

void TTitrForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) // not when the desktop merely restores it
        FormShow();
}

void TTitrForm::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept(); // hidden, not destroyed
}

void TTitrForm::FormShow() {
    mainWindow_->setEnabled(false);
    ApplyInterval();
    RollY = kRollStartY;
}

void TTitrForm::FormClose() {
    mainWindow_->setEnabled(true);
    Timer1->stop();
}

void TTitrForm::BitBtn1Click() {
    close();
}

bool TTitrForm::FireRoll() {
    if (!Timer1->isActive())
        return false;
    Timer1Timer();
    return true;
}

void TTitrForm::Timer1Timer() {
    // The position wraps at the 32-bit limits, which only a text of over
    // a hundred million lines could reach.
    RollY = static_cast<std::int32_t>(static_cast<std::uint32_t>(RollY) - 1u);
    const RollLines lines = SplitRoll(RollText);
    if (std::int64_t{RollY} < -std::int64_t{kRollLineStep} * lines.count)
        RollY = kRollStartY; // the whole block has left the top edge
    Paint(lines);
}

void TTitrForm::Paint(const RollLines& lines) {
    frame_ = QImage(kRollClientWidth, kRollPictureHeight, QImage::Format_RGB32);
    frame_.fill(Qt::black);
    QPainter painter(&frame_);
    painter.setFont(WindowFont());
    painter.setPen(Qt::white);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Qt::black);
    const int ascent = QFontMetrics(painter.font()).ascent();
    for (std::size_t i = 0; i < lines.drawn.size(); ++i) {
        const std::int64_t top = std::int64_t{RollY} + kRollLineStep * static_cast<std::int64_t>(i);
        if (top + kRollLineStep < 0 || top > kRollPictureHeight)
            continue; // wholly outside the picture area
        painter.drawText(QPoint(kRollLineLeft, static_cast<int>(top) + ascent),
                         platform::ToQString(lines.drawn[i]));
    }
    painter.end();
    Image1->setPixmap(QPixmap::fromImage(frame_));
}

std::string TTitrForm::TitleText() const {
    return platform::FromQString(windowTitle());
}

} // namespace player
