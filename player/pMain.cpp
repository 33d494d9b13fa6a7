// The main window of the player: its layout, the loading of the quest, the
// display of a location, the script runs and the handlers of its controls.
#include "player/pMain.h"

#include "model/Cp1251.h"
#include "platform/ErrorReport.h"
#include "platform/Jpeg.h"
#include "platform/Text.h"
#include "player/Labels.h"
#include "player/script/MyUnit.h"

#include <QCheckBox>
#include <QFile>
#include <QFont>
#include <QPalette>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>
#include <stdexcept>

namespace player {
namespace {

using platform::FromQString;
using platform::ToQString;

// The Qt resource holding the window's background picture.
constexpr const char* kBackgroundResource = ":/player/background.jpg";
// The countdown ticks once a second.
constexpr int kTimerInterval = 1000;
// Where the rows of the window start and how far apart they are.
constexpr int kInventoryTop = 184;
constexpr int kInventoryStep = 16;
constexpr int kActionTop = 296;
constexpr int kActionStep = 24;

const QColor kNavy(0, 0, 128);
const QColor kRed(255, 0, 0);

std::string Ru(const char* utf8) {
    return model::Utf8ToCp1251(utf8);
}

// The quest's texts break lines with CR LF; the text boxes want LF.
QString BoxText(const std::string& text) {
    QString out = ToQString(text);
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QChar('\r'), QChar('\n'));
    return out;
}

QFont WindowFont() {
    // The quest texts were laid out for this face; where it is missing Qt
    // picks the closest sans-serif face.
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Active, QPalette::WindowText, colour);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, colour);
    widget->setPalette(palette);
}

void SetLabelText(QLabel* label, const QString& text) {
    label->setText(text);
    label->adjustSize();
}

} // namespace

// --- The boxes ---------------------------------------------------------------

void WaitingDialogs::Message(platform::MessageKind kind, const std::string& text) {
    RunClock::Wait wait(clock_);
    inner_.Message(kind, text);
}

bool WaitingDialogs::Question(platform::QuestionKind kind, const std::string& text) {
    RunClock::Wait wait(clock_);
    return inner_.Question(kind, text);
}

std::optional<std::string> WaitingDialogs::Input(const std::string& caption,
                                                 const std::string& prompt,
                                                 const std::string& initial) {
    RunClock::Wait wait(clock_);
    return inner_.Input(caption, prompt, initial);
}

void DialogBridge::showMessage(const std::string& msg) {
    dialogs_.Message(platform::MessageKind::Plain, msg);
}

std::optional<std::string> DialogBridge::inputBox(const std::string& caption,
                                                  const std::string& prompt,
                                                  const std::string& defaultText) {
    return dialogs_.Input(caption, prompt, defaultText);
}

void DialogBridge::errorDlg(const std::string& msg) {
    dialogs_.Message(platform::MessageKind::Error, msg);
}

void DialogBridge::informationDlg(const std::string& msg) {
    dialogs_.Message(platform::MessageKind::Information, msg);
}

bool DialogBridge::questionDlg(const std::string& msg) {
    return dialogs_.Question(platform::QuestionKind::YesNo, msg);
}

bool DialogBridge::okCancelDlg(const std::string& msg) {
    return dialogs_.Question(platform::QuestionKind::OkCancel, msg);
}

// --- The window --------------------------------------------------------------

TForm1::TForm1(std::unique_ptr<QuestSource> source, platform::Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), source_(std::move(source)), dialogs_(dialogs, clock_),
      dialogBridge_(dialogs_) {
    BuildControls();
    pascal::registerDialogUnit(engine_, dialogBridge_);
    script::RegisterMyUnit(engine_, *this);
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::BuildControls() {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientWidth, kClientHeight);
    setFont(WindowFont());
    setWindowTitle(ToQString(Ru("Квест v.0.6")));

    Image2 = new QLabel(this);
    Image2->setGeometry(0, 0, kClientWidth, kClientHeight);
    QFile background(QString::fromLatin1(kBackgroundResource));
    if (background.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = background.readAll();
        platform::JpegResult picture =
            platform::DecodeJpeg(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                 static_cast<std::size_t>(bytes.size()));
        if (picture.ok())
            Image2->setPixmap(QPixmap::fromImage(picture.image));
    }
    Image2->setScaledContents(true);

    Memo = new QPlainTextEdit(this);
    Memo->setGeometry(8, 8, 305, 137);
    Memo->setReadOnly(true);
    Memo->setFrameShape(QFrame::NoFrame);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo->setFocusPolicy(Qt::NoFocus);
    // The text can be neither selected nor edited; the scroll bar still works.
    Memo->setTextInteractionFlags(Qt::NoTextInteraction);
    Memo->viewport()->setCursor(Qt::ArrowCursor);

    img = new QLabel(this);
    img->setGeometry(328, 8, 345, 265);
    img->setScaledContents(true);

    MemoCon = new QPlainTextEdit(this);
    MemoCon->setGeometry(328, 8, 345, 265);
    MemoCon->setReadOnly(true);
    MemoCon->setFrameShape(QFrame::Box);
    MemoCon->setFrameShadow(QFrame::Plain);
    MemoCon->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoCon->hide();

    Label1 = new QLabel(ToQString(Ru("Инвентарь")), this);
    Label1->move(8, 160);
    Label1->adjustSize();

    for (int n = 1; n <= 6; ++n) {
        auto* label = new InventoryLabel(QStringLiteral("nothing..."), this);
        label->move(24, kInventoryTop + kInventoryStep * (n - 1));
        label->adjustSize();
        label->onEnter = [this, n] {
            RunReported([this, n] {
                InventoryLabel* l = InventoryLabelOf(n);
                l->showHint = !l->hintText.isEmpty();
            });
        };
        inventoryLabels_[n - 1] = label;
    }
    lblParam1 = inventoryLabels_[0];
    lblParam2 = inventoryLabels_[1];
    lblParam3 = inventoryLabels_[2];
    lblParam4 = inventoryLabels_[3];
    lblParam5 = inventoryLabels_[4];
    lblParam6 = inventoryLabels_[5];

    lblTimer = new QLabel(ToQString(Ru("Время: 0")), this);
    lblTimer->move(232, 160);
    lblTimer->adjustSize();
    lblTimer->hide();

    QFont actionFont(WindowFont());
    actionFont.setBold(false);
    actionFont.setItalic(false);
    for (int n = 1; n <= 6; ++n) {
        auto* label = new ActionLabel(this);
        label->move(24, kActionTop + kActionStep * (n - 1));
        label->setFont(actionFont);
        SetTextColour(label, kNavy);
        label->setCursor(Qt::PointingHandCursor);
        label->hide();
        label->onClick = [this, n] { RunReported([this, n] { ActionClick(n); }); };
        label->onEnter = [this, n] { RunReported([this, n] { HighlightAction(n, true); }); };
        label->onLeave = [this, n] { RunReported([this, n] { HighlightAction(n, false); }); };
        actionLabels_[n - 1] = label;
    }
    lblA1 = actionLabels_[0];
    lblA2 = actionLabels_[1];
    lblA3 = actionLabels_[2];
    lblA4 = actionLabels_[3];
    lblA5 = actionLabels_[4];
    lblA6 = actionLabels_[5];

    xpCon = new QCheckBox(this);
    xpCon->setGeometry(664, 296, 17, 17);
    xpCon->setToolTip(ToQString(Ru("Показать консоль...")));
    connect(xpCon, &QCheckBox::clicked, this, [this] { RunReported([this] { xpConClick(); }); });

    Timer = new QTimer(this);
    Timer->setInterval(kTimerInterval);
    connect(Timer, &QTimer::timeout, this, [this] { RunReported([this] { TimerTimer(); }); });
}

ActionLabel* TForm1::ActionLabelOf(int n) const {
    return actionLabels_.at(n - 1);
}

InventoryLabel* TForm1::InventoryLabelOf(int n) const {
    return inventoryLabels_.at(n - 1);
}

void TForm1::RunReported(const std::function<void()>& command) {
    platform::RunReported(dialogs_, command);
}

// --- Loading ---------------------------------------------------------------

void TForm1::FormCreate() {
    RunReported([this] { LoadQuest(); });
}

void TForm1::LoadQuest() {
    State.Quests.clear();
    for (int n = 1; n <= 6; ++n) {
        State.QuestParams.Names[n].clear();
        State.QuestParams.Values[n] = 0;
        State.Held[n] = false;
    }
    source_->Load(State.Quests, State.QuestParams);
    // Slot 0 always exists, so even a quest without locations has a table.
    if (State.Quests.empty())
        State.Quests.resize(1);

    State.CurrentLocation = 1;
    const bool hasLocation = State.LocationCount() >= 1;
    // Without location 1 the empty slot 0 is shown: no text, no actions.
    ShowLocation(hasLocation ? 1 : 0);
    for (int n = 1; n <= 6; ++n) {
        State.Held[n] = false;
        InventoryLabelOf(n)->hintText.clear();
    }
    MemoCon->clear();
    setWindowTitle(ToQString(source_->Caption()));
    if (!hasLocation)
        dialogs_.Message(platform::MessageKind::Warning, Ru("В квесте нет ни одной локации."));
}

// --- Display ---------------------------------------------------------------

bool TForm1::HasSlot(std::int32_t n) const {
    return n >= 0 && static_cast<std::size_t>(n) < State.Quests.size();
}

void TForm1::ShowLocation(std::int32_t N) {
    if (!HasSlot(N))
        throw std::out_of_range("location " + std::to_string(N) + " does not exist (0.." +
                                std::to_string(State.LocationCount()) + ")");
    const model::TQuest& L = State.Quests[static_cast<std::size_t>(N)];

    std::string text = L.Description;
    for (int n = 1; n <= 6; ++n) {
        ActionLabel* label = ActionLabelOf(n);
        SetLabelText(label, ToQString(L.Caption(n)));
        label->setHidden(L.Caption(n).empty());
    }
    for (int n = 1; n <= 6; ++n)
        ReplaceAll(text, "<param" + std::to_string(n) + ">", State.QuestParams.Names[n]);
    for (int n = 1; n <= 6; ++n)
        ReplaceAll(text, "<p" + std::to_string(n) + ">",
                   std::to_string(State.QuestParams.Values[n]));
    ReplaceAll(text, "<time>", std::to_string(State.TimerValue));
    Memo->setPlainText(BoxText(text));

    for (int n = 1; n <= 6; ++n)
        SetLabelText(InventoryLabelOf(n),
                     State.Held[n] ? ToQString(State.QuestParams.Names[n]) : QString());
    for (int n = 1; n <= 6; ++n)
        ActionLabelOf(n)->setEnabled(true);
    // A bitmap stays from one location to the next; any other picture goes.
    if (!pictureIsBitmap_) {
        img->clear();
        pictureIsBitmap_ = true;
    }
}

void TForm1::ShowPicture(const QImage& picture, bool isBitmap) {
    img->setPixmap(QPixmap::fromImage(picture));
    pictureIsBitmap_ = isBitmap;
}

void TForm1::ReplaceAll(std::string& text, const std::string& find,
                        const std::string& replacement) {
    if (find.empty())
        return;
    std::size_t at = text.find(find);
    while (at != std::string::npos) {
        text.replace(at, find.size(), replacement);
        at = text.find(find, at + replacement.size());
    }
}

void TForm1::HighlightAction(int n, bool on) {
    SetTextColour(ActionLabelOf(n), on ? kRed : kNavy);
}

// --- Scripts ---------------------------------------------------------------

void TForm1::RunScript(const std::string& text) {
    if (runDepth_ >= kMaxRunDepth)
        return;
    struct Depth {
        int& depth;
        RunClock& clock;
        Depth(int& d, RunClock& c) : depth(d), clock(c) {
            ++depth;
            clock.BeginRun();
        }
        ~Depth() {
            clock.EndRun();
            --depth;
        }
    } depth(runDepth_, clock_);

    QTextCursor end(MemoCon->document());
    end.movePosition(QTextCursor::End);
    end.insertText(BoxText(text) + QChar('\n'));

    std::unique_ptr<pascal::Program> program = engine_.compile(text);
    if (program->hasErrors())
        dialogs_.Message(platform::MessageKind::Plain, program->messagesText());

    bool tooLong = false;
    pascal::RunOptions options;
    options.cancelled = [this, &tooLong] {
        tooLong = clock_.Computing() > scriptTimeLimit_;
        return tooLong;
    };
    const pascal::RunStatus status = program->run(options);
    if (status == pascal::RunStatus::Stopped && tooLong) {
        const auto seconds =
            std::chrono::duration_cast<std::chrono::seconds>(scriptTimeLimit_).count();
        dialogs_.Message(platform::MessageKind::Warning,
                         Ru("Сценарий выполнялся слишком долго (больше ") +
                             std::to_string(seconds) + Ru(" с) и был остановлен."));
    }
}

// --- Handlers --------------------------------------------------------------

void TForm1::ActionClick(int n) {
    const std::int32_t at = State.CurrentLocation;
    if (!HasSlot(at))
        return;
    // A copy: the script may reload the table while it runs.
    const std::string code = State.Quests[static_cast<std::size_t>(at)].Code(n);
    RunScript(code);
}

bool TForm1::ClickAction(int n) {
    ActionLabel* label = ActionLabelOf(n);
    if (label->isHidden() || !label->isEnabled())
        return false;
    RunReported([this, n] { ActionClick(n); });
    return true;
}

bool TForm1::FireTimer() {
    if (!Timer->isActive())
        return false;
    RunReported([this] { TimerTimer(); });
    return true;
}

void TForm1::lblA1Click() {
    ActionClick(1);
}
void TForm1::lblA2Click() {
    ActionClick(2);
}
void TForm1::lblA3Click() {
    ActionClick(3);
}
void TForm1::lblA4Click() {
    ActionClick(4);
}
void TForm1::lblA5Click() {
    ActionClick(5);
}
void TForm1::lblA6Click() {
    ActionClick(6);
}

void TForm1::lblA1MouseEnter() {
    HighlightAction(1, true);
}
void TForm1::lblA2MouseEnter() {
    HighlightAction(2, true);
}
void TForm1::lblA3MouseEnter() {
    HighlightAction(3, true);
}
void TForm1::lblA4MouseEnter() {
    HighlightAction(4, true);
}
void TForm1::lblA5MouseEnter() {
    HighlightAction(5, true);
}
void TForm1::lblA6MouseEnter() {
    HighlightAction(6, true);
}
void TForm1::lblA1MouseLeave() {
    HighlightAction(1, false);
}
void TForm1::lblA2MouseLeave() {
    HighlightAction(2, false);
}
void TForm1::lblA3MouseLeave() {
    HighlightAction(3, false);
}
void TForm1::lblA4MouseLeave() {
    HighlightAction(4, false);
}
void TForm1::lblA5MouseLeave() {
    HighlightAction(5, false);
}
void TForm1::lblA6MouseLeave() {
    HighlightAction(6, false);
}

void TForm1::lblParam1MouseEnter() {
    lblParam1->onEnter();
}
void TForm1::lblParam2MouseEnter() {
    lblParam2->onEnter();
}
void TForm1::lblParam3MouseEnter() {
    lblParam3->onEnter();
}
void TForm1::lblParam4MouseEnter() {
    lblParam4->onEnter();
}
void TForm1::lblParam5MouseEnter() {
    lblParam5->onEnter();
}
void TForm1::lblParam6MouseEnter() {
    lblParam6->onEnter();
}

void TForm1::xpConClick() {
    MemoCon->setVisible(xpCon->isChecked());
}

void TForm1::TimerTimer() {
    // The counter wraps at the 32-bit limits.
    if (State.TimerUp)
        State.TimerValue =
            static_cast<std::int32_t>(static_cast<std::uint32_t>(State.TimerValue) + 1u);
    if (State.TimerDown)
        State.TimerValue =
            static_cast<std::int32_t>(static_cast<std::uint32_t>(State.TimerValue) - 1u);
    SetLabelText(lblTimer, ToQString(State.TimerCaption + " " + std::to_string(State.TimerValue)));
    const std::string code = State.TimerCode;
    RunScript(code);
}

// --- What the window shows -------------------------------------------------

std::string TForm1::DescriptionText() const {
    return FromQString(Memo->toPlainText());
}

std::string TForm1::ConsoleText() const {
    return FromQString(MemoCon->toPlainText());
}

std::string TForm1::CaptionText() const {
    return FromQString(windowTitle());
}

std::string TForm1::InventoryHint(int n) const {
    return FromQString(InventoryLabelOf(n)->hintText);
}

// --- What scripts do to the window -----------------------------------------

void TForm1::GotoLocation(std::int32_t location) {
    if (!HasSlot(location))
        throw std::out_of_range("goto: location " + std::to_string(location) + " does not exist");
    State.CurrentLocation = location;
    ShowLocation(location);
}

void TForm1::Restart() {
    LoadQuest();
}

void TForm1::CloseWindow() {
    closeRequested_ = true;
    close();
}

void TForm1::SetCaption(const std::string& caption) {
    setWindowTitle(ToQString(caption));
}

void TForm1::AddText(const std::string& text) {
    Memo->appendPlainText(BoxText(text));
}

void TForm1::SetInventoryHint(int n, const std::string& hint) {
    InventoryLabelOf(n)->hintText = ToQString(hint);
}

void TForm1::DisableAction(int n) {
    ActionLabelOf(n)->setEnabled(false);
}

} // namespace player
