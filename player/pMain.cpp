// The main window of the player: loading the quest, the display of a
// location, the script runs and the handlers of its controls.
#include "player/pMain.h"

#include "model/Cp1251.h"
#include "platform/ErrorReport.h"
#include "platform/Text.h"
#include "player/Labels.h"
#include "player/script/MyUnit.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTimer>
#include <stdexcept>

namespace player {
namespace {

using platform::FromQString;
using platform::ToQString;

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

using Handler = void (TForm1::*)();
constexpr Handler kClickHandlers[6] = {&TForm1::lblA1Click, &TForm1::lblA2Click,
                                       &TForm1::lblA3Click, &TForm1::lblA4Click,
                                       &TForm1::lblA5Click, &TForm1::lblA6Click};
constexpr Handler kEnterHandlers[6] = {&TForm1::lblA1MouseEnter, &TForm1::lblA2MouseEnter,
                                       &TForm1::lblA3MouseEnter, &TForm1::lblA4MouseEnter,
                                       &TForm1::lblA5MouseEnter, &TForm1::lblA6MouseEnter};
constexpr Handler kLeaveHandlers[6] = {&TForm1::lblA1MouseLeave, &TForm1::lblA2MouseLeave,
                                       &TForm1::lblA3MouseLeave, &TForm1::lblA4MouseLeave,
                                       &TForm1::lblA5MouseLeave, &TForm1::lblA6MouseLeave};
constexpr Handler kHintHandlers[6] = {&TForm1::lblParam1MouseEnter, &TForm1::lblParam2MouseEnter,
                                      &TForm1::lblParam3MouseEnter, &TForm1::lblParam4MouseEnter,
                                      &TForm1::lblParam5MouseEnter, &TForm1::lblParam6MouseEnter};

} // namespace

TForm1::TForm1(std::unique_ptr<QuestSource> source, platform::Dialogs& dialogs,
               std::unique_ptr<platform::Audio> audio, QWidget* parent,
               std::function<bool()> stopScripts)
    : QWidget(parent), source_(std::move(source)), runner_(dialogs, std::move(stopScripts)),
      sounds_(audio ? std::move(audio) : platform::MakeSdlAudio()) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    Build(this);
    ConnectHandlers();
    script::RegisterMyUnit(runner_.Engine(), *this);
    FormCreate();
    TitrForm = std::make_unique<TTitrForm>(this);
}

TForm1::~TForm1() = default;

// One path per event: each control's signal reaches its named handler.
void TForm1::ConnectHandlers() {
    for (int n = 1; n <= 6; ++n) {
        connect(ActionLabelOf(n), &ActionLabel::clicked, this, kClickHandlers[n - 1]);
        connect(ActionLabelOf(n), &ActionLabel::mouseEntered, this, kEnterHandlers[n - 1]);
        connect(ActionLabelOf(n), &ActionLabel::mouseLeft, this, kLeaveHandlers[n - 1]);
        connect(InventoryLabelOf(n), &InventoryLabel::mouseEntered, this, kHintHandlers[n - 1]);
    }
    connect(xpCon, &QCheckBox::clicked, this, &TForm1::xpConClick);
    connect(Timer, &QTimer::timeout, this, &TForm1::TimerTimer);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (TitrForm)
        TitrForm->close();
    QWidget::closeEvent(event);
}

void TForm1::RunReported(const std::function<void()>& command) {
    platform::RunReported(runner_.Dialogs(), command);
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
        ScriptDialogs().Message(platform::MessageKind::Warning,
                                Ru("В квесте нет ни одной локации."));
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
    if (pictureKind_ && *pictureKind_ != platform::PictureKind::Bitmap) {
        img->clear();
        pictureKind_.reset();
        pictureFile_.clear();
    }
}

void TForm1::ShowPicture(const QImage& picture, platform::PictureKind kind,
                         const std::string& file) {
    img->setPixmap(QPixmap::fromImage(picture));
    pictureKind_ = kind;
    pictureFile_ = file;
}

void TForm1::ReplaceAll(std::string& text, const std::string& find,
                        const std::string& replacement) {
    if (find.empty())
        return;
    // Built afresh rather than replaced in place: each replacement in place
    // moves the whole rest of the text, which makes a long description full
    // of placeholders quadratic.
    std::size_t at = text.find(find);
    if (at == std::string::npos)
        return;
    std::string out;
    out.reserve(text.size());
    std::size_t copied = 0;
    while (at != std::string::npos) {
        out.append(text, copied, at - copied);
        out += replacement;
        copied = at + find.size();
        at = text.find(find, copied);
    }
    out.append(text, copied, std::string::npos);
    text = std::move(out);
}

void TForm1::HighlightAction(int n, bool on) {
    SetTextColour(ActionLabelOf(n), on ? kRed : kNavy);
}

void TForm1::ShowInventoryHint(int n) {
    InventoryLabel* label = InventoryLabelOf(n);
    label->showHint = !label->hintText.isEmpty();
}

// --- Scripts ---------------------------------------------------------------

void TForm1::RunScript(const std::string& text) {
    if (!runner_.CanRun())
        return;
    QTextCursor end(MemoCon->document());
    end.movePosition(QTextCursor::End);
    end.insertText(BoxText(text) + QChar('\n'));
    runner_.Run(text);
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
    // isEnabled() is false also while the whole window is disabled.
    if (label->isHidden() || !label->isEnabled())
        return false;
    switch (n) {
    case 1: lblA1Click(); break;
    case 2: lblA2Click(); break;
    case 3: lblA3Click(); break;
    case 4: lblA4Click(); break;
    case 5: lblA5Click(); break;
    case 6: lblA6Click(); break;
    }
    return true;
}

bool TForm1::FireTimer() {
    if (!Timer->isActive())
        return false;
    TimerTimer();
    return true;
}

void TForm1::lblA1Click() {
    RunReported([this] { ActionClick(1); });
}
void TForm1::lblA2Click() {
    RunReported([this] { ActionClick(2); });
}
void TForm1::lblA3Click() {
    RunReported([this] { ActionClick(3); });
}
void TForm1::lblA4Click() {
    RunReported([this] { ActionClick(4); });
}
void TForm1::lblA5Click() {
    RunReported([this] { ActionClick(5); });
}
void TForm1::lblA6Click() {
    RunReported([this] { ActionClick(6); });
}

void TForm1::lblA1MouseEnter() {
    RunReported([this] { HighlightAction(1, true); });
}
void TForm1::lblA2MouseEnter() {
    RunReported([this] { HighlightAction(2, true); });
}
void TForm1::lblA3MouseEnter() {
    RunReported([this] { HighlightAction(3, true); });
}
void TForm1::lblA4MouseEnter() {
    RunReported([this] { HighlightAction(4, true); });
}
void TForm1::lblA5MouseEnter() {
    RunReported([this] { HighlightAction(5, true); });
}
void TForm1::lblA6MouseEnter() {
    RunReported([this] { HighlightAction(6, true); });
}
void TForm1::lblA1MouseLeave() {
    RunReported([this] { HighlightAction(1, false); });
}
void TForm1::lblA2MouseLeave() {
    RunReported([this] { HighlightAction(2, false); });
}
void TForm1::lblA3MouseLeave() {
    RunReported([this] { HighlightAction(3, false); });
}
void TForm1::lblA4MouseLeave() {
    RunReported([this] { HighlightAction(4, false); });
}
void TForm1::lblA5MouseLeave() {
    RunReported([this] { HighlightAction(5, false); });
}
void TForm1::lblA6MouseLeave() {
    RunReported([this] { HighlightAction(6, false); });
}

void TForm1::lblParam1MouseEnter() {
    RunReported([this] { ShowInventoryHint(1); });
}
void TForm1::lblParam2MouseEnter() {
    RunReported([this] { ShowInventoryHint(2); });
}
void TForm1::lblParam3MouseEnter() {
    RunReported([this] { ShowInventoryHint(3); });
}
void TForm1::lblParam4MouseEnter() {
    RunReported([this] { ShowInventoryHint(4); });
}
void TForm1::lblParam5MouseEnter() {
    RunReported([this] { ShowInventoryHint(5); });
}
void TForm1::lblParam6MouseEnter() {
    RunReported([this] { ShowInventoryHint(6); });
}

void TForm1::xpConClick() {
    RunReported([this] { MemoCon->setVisible(xpCon->isChecked()); });
}

void TForm1::TimerTimer() {
    // A tick never runs inside another tick's run: one that comes while a
    // tick's code waits in a box (its input box, its compile-error box) is
    // dropped, counter and all, so a broken TimerCode opens one error box and
    // not one a second. Ticks inside an action's boxes do run.
    if (tickRunning_)
        return;
    tickRunning_ = true;
    struct Done {
        bool& running;
        ~Done() { running = false; }
    } done{tickRunning_};
    RunReported([this] {
        // The counter wraps at the 32-bit limits.
        if (State.TimerUp)
            State.TimerValue =
                static_cast<std::int32_t>(static_cast<std::uint32_t>(State.TimerValue) + 1u);
        if (State.TimerDown)
            State.TimerValue =
                static_cast<std::int32_t>(static_cast<std::uint32_t>(State.TimerValue) - 1u);
        SetLabelText(lblTimer,
                     ToQString(State.TimerCaption + " " + std::to_string(State.TimerValue)));
        const std::string code = State.TimerCode;
        RunScript(code);
    });
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

void TForm1::ShowImage(const std::string& filepath) {
    // The extension is what follows the last dot of the file name; a dot in
    // a folder's name does not count.
    const std::string name = filepath.substr(filepath.find_last_of('/') + 1);
    const std::size_t dot = name.rfind('.');
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    const auto kind = platform::PictureKindFromExtension(extension);
    if (!kind)
        throw platform::PictureError(
            dot == std::string::npos
                ? "cannot show " + filepath + ": the file name has no extension"
                : "cannot show " + filepath + ": '." + extension + "' is not a picture extension");
    const QImage picture =
        platform::LoadPictureFile(filepath, *kind, QSize(kPictureWidth, kPictureHeight));
    ShowPicture(picture, *kind, filepath);
}

void TForm1::StartCountdown() {
    if (!Timer->isActive())
        Timer->start();
    lblTimer->show();
}

void TForm1::RollCredits(const std::string& header, const std::string& text,
                         std::uint32_t interval) {
    TitrForm->Titr(header, text, interval);
}

void TForm1::StopCountdown() {
    Timer->stop();
    lblTimer->hide();
}

} // namespace player
