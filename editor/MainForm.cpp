// The editor's main window: its layout and the editing of the shown location.
// The document commands are in MainFormFiles.cpp, building and playing in
// MainFormBuild.cpp.
#include "editor/MainForm.h"

#include "editor/AuthorForm.h"
#include "editor/CodeEditor.h"
#include "editor/Icons.h"
#include "editor/LocationList.h"
#include "editor/Look.h"
#include "editor/QuestFolders.h"
#include "editor/ParamForm.h"
#include "model/Convert.h"
#include "model/Errors.h"
#include "platform/ErrorReport.h"
#include "platform/Text.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QTemporaryDir>
#include <QToolButton>
#include <limits>
#include <optional>

namespace editor {
namespace {

using platform::FromQString;
using platform::MessageKind;
using platform::ToQString;

constexpr const char* kStartCaption = "Norvo Creator v.0.7beta";
constexpr const char* kCaptionTail = " - Norvo Creator";
// The actions' rows are this far apart.
constexpr int kActionStep = 40;
// The picture buttons' size.
constexpr int kPictureSize = 33;

const QColor kRed(255, 0, 0);

// Quest texts break lines with CR LF; the text boxes with LF.
QString BoxText(const std::string& text) {
    QString out = ToQString(text);
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QChar('\r'), QChar('\n'));
    return out;
}

std::string FromBox(QString text) {
    text.replace(QChar('\n'), QStringLiteral("\r\n"));
    return FromQString(text);
}

QPushButton* AddButton(QWidget* parent, const std::string& caption, int x, int y, int w, int h) {
    auto* button = new QPushButton(ToQString(caption), parent);
    button->setGeometry(x, y, w, h);
    return button;
}

QLabel* AddLabel(QWidget* parent, const std::string& text, int x, int y) {
    auto* label = new QLabel(ToQString(text), parent);
    label->move(x, y);
    label->adjustSize();
    return label;
}

void SetBold(QWidget* widget, int pixelSize = 0) {
    QFont font = widget->font();
    font.setBold(true);
    if (pixelSize > 0)
        font.setPixelSize(pixelSize);
    widget->setFont(font);
}

} // namespace

// --- Building the window -------------------------------------------------------

TForm1::TForm1(const EditorServices& services) : services_(services) {
    BuildControls();
    BuildMenu();
    fParam = new TfParam(State.QuestParams, *this, services_.dialogs);
    connect(fParam, &TfParam::Stored, this, [this] { MarkModified(); });
    Form2 = new TForm2(*this);
    FormCreate();
}

TForm1::~TForm1() {
    // The children go after this body: they must not call back into a
    // window that is half gone.
    MemoCode->disconnect(this);
    for (int n = 1; n <= 6; ++n)
        CaptionBox(n)->removeEventFilter(this);
    delete fParam;
    delete Form2;
}

void TForm1::BuildControls() {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(WindowFont());
    auto* client = new QWidget(this);
    client->setFixedSize(kMainFormWidth, kMainFormHeight);
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    GroupBox1 = new QGroupBox(ToQString(Ru("Список всех локаций")), client);
    GroupBox1->setGeometry(8, 0, 305, 161);
    ListBox = new QListView(GroupBox1);
    ListBox->setGeometry(8, 16, 289, 97);
    ListBox->setUniformItemSizes(true);
    ListBox->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListModel = new LocationListModel(this);
    ListBox->setModel(ListModel);
    connect(ListBox->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && current.row() + 1 != lblLocTag_)
                    ListBoxClick();
            });
    btnLeft = AddButton(GroupBox1, "<", 8, 120, 33, 25);
    btnRight = AddButton(GroupBox1, ">", 48, 120, 33, 25);
    btnDelLoc = AddButton(GroupBox1, Ru("Удалить"), 112, 120, 89, 25);
    btnDelLoc->setIcon(EditorIcon(Picture::DelLocation));
    btnAddLoc = AddButton(GroupBox1, Ru("Добавить"), 208, 120, 89, 25);
    btnAddLoc->setIcon(EditorIcon(Picture::AddLocation));
    connect(btnLeft, &QPushButton::clicked, this, [this] { btnLeftClick(); });
    connect(btnRight, &QPushButton::clicked, this, [this] { btnRightClick(); });
    connect(btnDelLoc, &QPushButton::clicked, this, [this] { btnDelLocClick(); });
    connect(btnAddLoc, &QPushButton::clicked, this, [this] { btnAddLocClick(); });

    GroupBox2 = new QGroupBox(ToQString(Ru("Описание локации")), client);
    GroupBox2->setGeometry(328, 0, 337, 161);
    Memo = new QPlainTextEdit(GroupBox2);
    Memo->setGeometry(16, 16, 305, 137);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setTabChangesFocus(true);

    const auto picture = [this](QWidget* panel, Picture icon, const char* tip,
                                int y, void (TForm1::*handler)()) {
        auto* button = new QToolButton(panel);
        button->setGeometry(8, y, kPictureSize, kPictureSize);
        button->setIcon(EditorIcon(icon));
        button->setIconSize(QSize(24, 24));
        button->setAutoRaise(true);
        button->setCursor(Qt::PointingHandCursor);
        button->setToolTip(ToQString(Ru(tip)));
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this, [this, handler] { (this->*handler)(); });
        return button;
    };
    Panel2 = new QFrame(client);
    Panel2->setFrameShape(QFrame::StyledPanel);
    Panel2->setGeometry(680, 8, 49, 153);
    Image2 = picture(Panel2, Picture::CompileRun, "Скомпилировать и Запустить квест", 8,
                     &TForm1::Image2Click);
    Image1 = picture(Panel2, Picture::Parameters, "Параметры", 48,
                     &TForm1::Image1Click);
    Image3 = picture(Panel2, Picture::Exit, "Выход", 112, &TForm1::Image3Click);
    Panel1 = new QFrame(client);
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setGeometry(736, 8, 49, 153);
    imgExit = picture(Panel1, Picture::NewQuest, "Новый квест", 8, &TForm1::imgExitClick);
    imgSave = picture(Panel1, Picture::SaveQuest, "Сохранить квест", 72,
                      &TForm1::imgSaveClick);
    imgLoad = picture(Panel1, Picture::OpenQuest, "Загрузить квест", 112,
                      &TForm1::imgLodClick);

    lblLoc = AddLabel(client, Ru("ЛОКАЦИЯ № 1 / 1"), 8, 168);
    SetBold(lblLoc);
    QPalette red = lblLoc->palette();
    red.setColor(QPalette::WindowText, kRed);
    lblLoc->setPalette(red);
    lblLoc->adjustSize();

    MainBox = new QScrollArea(client);
    MainBox->setGeometry(8, 192, 777, 265);
    MainBox->setFrameShape(QFrame::NoFrame);
    MainBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MainBox->setWidgetResizable(true);
    auto* actions = new QWidget;
    MainBox->setWidget(actions);
    for (int i = 1; i <= 6; ++i) {
        const int y = kActionStep * (i - 1);
        ActionLabels[i - 1] = AddLabel(actions, Ru("Действие ") + model::IntToStr(i) + ":", 8, 8 + y);
        auto* box = new QLineEdit(actions);
        box->setGeometry(8, 24 + y, 369, 19);
        box->setObjectName(QStringLiteral("A%1").arg(i));
        box->installEventFilter(this);
        (i == 1 ? A1 : i == 2 ? A2 : i == 3 ? A3 : i == 4 ? A4 : i == 5 ? A5 : A6) = box;
    }
    lblCode = AddLabel(actions, Ru("Код для действия"), 392, 0);
    MemoCode = new CodeEditor(actions);
    MemoCode->setGeometry(392, 16, 377, 241);
    connect(MemoCode, &CodeEditor::FocusLost, this, [this] { Run([this] { MemoCodeExit(); }); });

    // Just below the client area: never seen, but reached with the keyboard.
    btnSaveLoc = AddButton(client, Ru("Сохранить локацию"), 8, 464, 777, 25);
    SetBold(btnSaveLoc, 13);
    connect(btnSaveLoc, &QPushButton::clicked, this, [this] { Run([this] { btnSaveLocClick(); }); });

    Panel3 = new QFrame(client);
    Panel3->setFrameShape(QFrame::StyledPanel);
    Panel3->setAutoFillBackground(true);
    Panel3->setGeometry(184, 192, 401, 105);
    QLabel* wait = AddLabel(Panel3, Ru("Процесс компиляции... ждите..."), 96, 8);
    SetBold(wait);
    wait->adjustSize();
    PBar = new QProgressBar(Panel3);
    PBar->setGeometry(8, 48, 385, 33);
    Panel3->hide();
    Panel3->raise();

    QWidget* order[] = {ListBox, btnLeft, btnRight, btnDelLoc, btnAddLoc, Memo, A1, A2, A3, A4, A5,
                        A6, MemoCode, btnSaveLoc};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    GroupBox1->setEnabled(false);
    Memo->setEnabled(false);
    MainBox->setEnabled(false);
    imgSave->setEnabled(false);
    btnSaveLoc->setEnabled(false);
}

void TForm1::BuildMenu() {
    const auto item = [this](QMenu* menu, const char* caption, QKeySequence keys,
                             void (TForm1::*handler)(), std::optional<Picture> icon = std::nullopt) {
        QAction* action = menu->addAction(ToQString(Ru(caption)));
        action->setShortcut(keys);
        if (icon)
            action->setIcon(EditorIcon(*icon));
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return action;
    };
    QMenu* file = menuBar()->addMenu(ToQString(Ru("Файл")));
    N2 = item(file, "Новый", QKeySequence(Qt::CTRL | Qt::Key_N), &TForm1::N2Click, Picture::NewQuest);
    N5 = item(file, "Открыть", QKeySequence(Qt::CTRL | Qt::Key_O), &TForm1::N5Click,
              Picture::OpenQuest);
    file->addSeparator();
    N4 = item(file, "Сохранить", QKeySequence(Qt::CTRL | Qt::Key_S), &TForm1::N4Click,
              Picture::SaveQuest);
    N15 = item(file, "Сохранить как...", QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_S),
               &TForm1::N15Click);
    file->addSeparator();
    N7 = item(file, "Выход", QKeySequence(Qt::CTRL | Qt::Key_E), &TForm1::N7Click,
             Picture::Exit);

    QMenu* quest = menuBar()->addMenu(ToQString(Ru("Квест")));
    N9 = item(quest, "Компилировать", QKeySequence(Qt::Key_F7), &TForm1::N9Click,
             Picture::Compile);
    N16 = item(quest, "Скомпилировать и Запустить", QKeySequence(Qt::Key_F5), &TForm1::N16Click,
               Picture::CompileRun);
    quest->addSeparator();
    N12 = item(quest, "Параметры", QKeySequence(Qt::CTRL | Qt::Key_P), &TForm1::N12Click,
              Picture::Parameters);
    quest->addSeparator();
    mnuCheckScripts = item(quest, "Проверить сценарии", QKeySequence(Qt::Key_F8),
                           &TForm1::mnuCheckScriptsClick, Picture::CheckScripts);
    mnuPlay = item(quest, "Играть", QKeySequence(Qt::Key_F9), &TForm1::mnuPlayClick,
                   Picture::Play);

    QMenu* help = menuBar()->addMenu(ToQString(Ru("Помощь")));
    N13 = item(help, "Авторы", QKeySequence(Qt::CTRL | Qt::Key_A), &TForm1::N13Click,
              Picture::Credits);
    N14 = item(help, "Справка", QKeySequence(Qt::Key_F1), &TForm1::N14Click,
               Picture::Help);
}

QLineEdit* TForm1::CaptionBox(int n) const {
    const std::array<QLineEdit*, 6> boxes{A1, A2, A3, A4, A5, A6};
    return boxes.at(static_cast<std::size_t>(n - 1));
}

void TForm1::FormCreate() {
    State.ProgramDir = services_.executablePath.empty()
                           ? std::string(QFile::encodeName(QDir::currentPath()).constData()) + '/'
                           : FolderOf(services_.executablePath);
    State.QuestFileName.clear();
    UpdateCaption();
}

void TForm1::Run(const std::function<void()>& command) {
    platform::RunReported(services_.dialogs, command);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    for (int n = 1; n <= 6; ++n) {
        if (watched != CaptionBox(n))
            continue;
        if (event->type() == QEvent::FocusOut)
            CaptionExit(n);
        else if (event->type() == QEvent::MouseButtonPress)
            ActionClick(n);
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- The shown location --------------------------------------------------------

void TForm1::ShowLocationFields() {
    const int n = lblLocTag_;
    if (n < 1 || n > State.LocationCount)
        return;
    const model::TQuest& location = State.Quests[static_cast<std::size_t>(n)];
    Memo->clear();
    MemoCode->Clear();
    Memo->setPlainText(BoxText(location.Description));
    Memo->document()->setModified(false);
    for (int i = 1; i <= 6; ++i) {
        CaptionBox(i)->setText(ToQString(location.Caption(i)));
        CaptionBox(i)->setModified(false);
    }
    if (State.CurrentAction >= 1 && State.CurrentAction <= 6)
        MemoCode->SetText(location.Code(State.CurrentAction));
    MemoCode->SetModified(false);
    lblLoc->setText(ToQString(Ru("ЛОКАЦИЯ № ") + model::IntToStr(n) + " / " +
                              model::IntToStr(State.LocationCount)));
    lblLoc->adjustSize();
    ListBox->setCurrentIndex(ListModel->index(n - 1));
}

void TForm1::btnSaveLocClick() {
    const int n = lblLocTag_;
    if (!State.HasQuest || n < 1 || n > State.LocationCount)
        return; // no quest yet: nothing to write into
    model::TQuest& location = State.Quests[static_cast<std::size_t>(n)];
    // A box the author has not touched keeps its bytes exactly as read.
    const auto store = [this](std::string& field, std::string value) {
        if (field != value) {
            field = std::move(value);
            MarkModified();
        }
    };
    if (Memo->document()->isModified()) {
        store(location.Description, FromBox(Memo->toPlainText()));
        Memo->document()->setModified(false);
    }
    for (int i = 1; i <= 6; ++i) {
        QLineEdit* box = CaptionBox(i);
        if (box->isModified()) {
            store(location.Caption(i), FromQString(box->text()));
            box->setModified(false);
        }
    }
}

void TForm1::MemoCodeExit() {
    const int n = lblLocTag_;
    if (!State.HasQuest || n < 1 || n > State.LocationCount)
        return;
    if (State.CurrentAction < 1 || State.CurrentAction > 6 || !MemoCode->IsModified())
        return; // code typed before any action was chosen is never stored
    std::string& code = State.Quests[static_cast<std::size_t>(n)].Code(State.CurrentAction);
    std::string text = MemoCode->Text();
    if (code != text) {
        code = std::move(text);
        MarkModified();
    }
    MemoCode->SetModified(false);
}

void TForm1::CommitAll() {
    btnSaveLocClick();
    MemoCodeExit();
}

void TForm1::CaptionExit(int) {
    Run([this] { btnSaveLocClick(); });
}
void TForm1::A1Exit() { CaptionExit(1); }
void TForm1::A2Exit() { CaptionExit(2); }
void TForm1::A3Exit() { CaptionExit(3); }
void TForm1::A4Exit() { CaptionExit(4); }
void TForm1::A5Exit() { CaptionExit(5); }
void TForm1::A6Exit() { CaptionExit(6); }

void TForm1::ActionClick(int i) {
    Run([this, i] {
        const int n = lblLocTag_;
        if (!State.HasQuest || n < 1 || n > State.LocationCount)
            return;
        State.CurrentAction = i;
        MemoCode->Clear();
        MemoCode->SetText(State.Quests[static_cast<std::size_t>(n)].Code(i));
        MemoCode->SetModified(false);
        lblCode->setText(ToQString(Ru("Код для действия ") + model::IntToStr(i)));
        lblCode->adjustSize();
    });
}
void TForm1::A1Click() { ActionClick(1); }
void TForm1::A2Click() { ActionClick(2); }
void TForm1::A3Click() { ActionClick(3); }
void TForm1::A4Click() { ActionClick(4); }
void TForm1::A5Click() { ActionClick(5); }
void TForm1::A6Click() { ActionClick(6); }

void TForm1::btnLeftClick() {
    Run([this] {
        btnSaveLocClick();
        if (lblLocTag_ > 1) {
            --lblLocTag_;
            ShowLocationFields();
        }
    });
}

void TForm1::btnRightClick() {
    Run([this] {
        btnSaveLocClick();
        if (lblLocTag_ < State.LocationCount) {
            ++lblLocTag_;
            ShowLocationFields();
        }
    });
}

void TForm1::ListBoxClick() {
    Run([this] {
        const QModelIndex selected = ListBox->currentIndex();
        if (!State.HasQuest || !selected.isValid())
            return;
        btnSaveLocClick();
        lblLocTag_ = selected.row() + 1;
        ShowLocationFields();
    });
}

void TForm1::btnAddLocClick() {
    Run([this] {
        if (!State.HasQuest)
            return;
        btnSaveLocClick();
        if (State.LocationCount == std::numeric_limits<std::int32_t>::max())
            throw model::InOutError(Ru("Больше локаций в квесте быть не может."));
        ++State.LocationCount;
        State.Quests.resize(static_cast<std::size_t>(State.LocationCount) + 1);
        ListModel->Append();
        MarkModified();
        ShowLocationFields();
    });
}

void TForm1::btnDelLocClick() {
    Run([this] {
        if (!State.HasQuest)
            return;
        btnSaveLocClick();
        if (State.LocationCount < 2)
            return;
        --State.LocationCount;
        State.Quests.resize(static_cast<std::size_t>(State.LocationCount) + 1);
        ListModel->RemoveLast();
        lblLocTag_ = State.LocationCount;
        MarkModified();
        ShowLocationFields();
    });
}

void TForm1::EnableLocationControls() {
    btnSaveLoc->setEnabled(true);
    btnSaveLoc->repaint();
    GroupBox1->setEnabled(true);
    imgSave->setEnabled(true);
    Memo->setEnabled(true);
    MainBox->setEnabled(true);
}

void TForm1::UpdateCaption() {
    if (!State.HasQuest) {
        setWindowTitle(QString::fromUtf8(kStartCaption));
        return;
    }
    setWindowTitle(QLatin1Char('[') + captionName_ + QLatin1Char(']') +
                   (State.Modified ? QStringLiteral("*") : QString()) +
                   QString::fromUtf8(kCaptionTail));
}

void TForm1::MarkModified() {
    if (State.Modified || !State.HasQuest)
        return;
    State.Modified = true;
    UpdateCaption();
}

void TForm1::ShowQuest(const QString& captionName) {
    ListModel->SetCount(State.LocationCount);
    lblLocTag_ = 1;
    captionName_ = captionName;
    State.HasQuest = true;
    State.Modified = false;
    ShowLocationFields();
    EnableLocationControls();
    UpdateCaption();
}

} // namespace editor
