// The main window's layout: every control's place, size, font and design text.
#include "player/MainWindowUi.h"

#include "model/Cp1251.h"
#include "platform/Jpeg.h"
#include "platform/Text.h"
#include "player/Labels.h"

#include <QCheckBox>
#include <QFile>
#include <QFont>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTimer>

namespace player {
namespace {

using platform::ToQString;

// The Qt resource holding the window's background picture.
constexpr const char* kBackgroundResource = ":/player/background.jpg";
// The description box.
constexpr int kMemoLeft = 8;
constexpr int kMemoTop = 8;
constexpr int kMemoWidth = 305;
constexpr int kMemoHeight = 137;
// The inventory heading, and the column of inventory labels under it.
constexpr int kInventoryHeadingLeft = 8;
constexpr int kInventoryHeadingTop = 160;
constexpr int kInventoryLeft = 24;
constexpr int kInventoryTop = 184;
constexpr int kInventoryStep = 16;
// The countdown's label, beside the inventory heading.
constexpr int kTimerLabelLeft = 232;
constexpr int kTimerLabelTop = 160;
// The column of action labels.
constexpr int kActionLeft = 24;
constexpr int kActionTop = 296;
constexpr int kActionStep = 24;
// The console's check box.
constexpr int kConsoleBoxLeft = 664;
constexpr int kConsoleBoxTop = 296;
constexpr int kConsoleBoxSize = 17;

const QColor kNavy(0, 0, 128);

QString Ru(const char* utf8) {
    return ToQString(model::Utf8ToCp1251(utf8));
}

void LoadBackground(QLabel* label) {
    QFile background(QString::fromLatin1(kBackgroundResource));
    if (!background.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = background.readAll();
    platform::JpegResult picture =
        platform::DecodeJpeg(reinterpret_cast<const unsigned char*>(bytes.constData()),
                             static_cast<std::size_t>(bytes.size()));
    if (picture.ok())
        label->setPixmap(QPixmap::fromImage(picture.image));
}

} // namespace

QFont WindowFont() {
    // The quest texts were laid out for this face; where it is missing Qt
    // picks the closest sans-serif face.
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

void SetLabelText(QLabel* label, const QString& text) {
    label->setText(text);
    label->adjustSize();
}

void MainWindowUi::Build(QWidget* window) {
    window->setFixedSize(kClientWidth, kClientHeight);
    window->setFont(WindowFont());
    window->setWindowTitle(Ru("Квест v.0.6"));

    Image2 = new PictureLabel(window);
    Image2->setGeometry(0, 0, kClientWidth, kClientHeight);
    LoadBackground(Image2);
    Image2->setScaledContents(true);

    Memo = new QPlainTextEdit(window);
    Memo->setGeometry(kMemoLeft, kMemoTop, kMemoWidth, kMemoHeight);
    Memo->setReadOnly(true);
    Memo->setFrameShape(QFrame::NoFrame);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo->setFocusPolicy(Qt::NoFocus);
    // The text can be neither selected nor edited; the scroll bar still works.
    Memo->setTextInteractionFlags(Qt::NoTextInteraction);
    Memo->viewport()->setCursor(Qt::ArrowCursor);

    img = new PictureLabel(window);
    img->setGeometry(kPictureLeft, kPictureTop, kPictureWidth, kPictureHeight);
    img->setScaledContents(true);

    MemoCon = new QPlainTextEdit(window);
    MemoCon->setGeometry(kPictureLeft, kPictureTop, kPictureWidth, kPictureHeight);
    MemoCon->setReadOnly(true);
    MemoCon->setFrameShape(QFrame::Box);
    MemoCon->setFrameShadow(QFrame::Plain);
    MemoCon->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoCon->hide();

    Label1 = new QLabel(Ru("Инвентарь"), window);
    Label1->move(kInventoryHeadingLeft, kInventoryHeadingTop);
    Label1->adjustSize();

    for (int n = 1; n <= 6; ++n) {
        auto* label = new InventoryLabel(QStringLiteral("nothing..."), window);
        label->move(kInventoryLeft, kInventoryTop + kInventoryStep * (n - 1));
        label->adjustSize();
        inventoryLabels_[n - 1] = label;
    }
    lblParam1 = inventoryLabels_[0];
    lblParam2 = inventoryLabels_[1];
    lblParam3 = inventoryLabels_[2];
    lblParam4 = inventoryLabels_[3];
    lblParam5 = inventoryLabels_[4];
    lblParam6 = inventoryLabels_[5];

    lblTimer = new QLabel(Ru("Время: 0"), window);
    lblTimer->move(kTimerLabelLeft, kTimerLabelTop);
    lblTimer->adjustSize();
    lblTimer->hide();

    QFont actionFont(WindowFont());
    actionFont.setBold(false);
    actionFont.setItalic(false);
    for (int n = 1; n <= 6; ++n) {
        auto* label = new ActionLabel(window);
        label->move(kActionLeft, kActionTop + kActionStep * (n - 1));
        label->setFont(actionFont);
        SetTextColour(label, kNavy);
        label->setCursor(Qt::PointingHandCursor);
        label->hide();
        actionLabels_[n - 1] = label;
    }
    lblA1 = actionLabels_[0];
    lblA2 = actionLabels_[1];
    lblA3 = actionLabels_[2];
    lblA4 = actionLabels_[3];
    lblA5 = actionLabels_[4];
    lblA6 = actionLabels_[5];

    xpCon = new QCheckBox(window);
    xpCon->setGeometry(kConsoleBoxLeft, kConsoleBoxTop, kConsoleBoxSize, kConsoleBoxSize);
    xpCon->setToolTip(Ru("Показать консоль..."));

    Timer = new QTimer(window);
    Timer->setInterval(kTimerInterval);
}

void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Active, QPalette::WindowText, colour);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, colour);
    widget->setPalette(palette);
}

} // namespace player
