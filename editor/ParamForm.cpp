// The parameters dialog: layout, filling, storing, closing.
#include "editor/ParamForm.h"

#include "editor/EditorState.h"
#include "editor/Icons.h"
#include "editor/Look.h"
#include "model/Convert.h"
#include "platform/ErrorReport.h"
#include "platform/Text.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace editor {
namespace {

using platform::FromQString;
using platform::ToQString;

// The blocks of the six parameters are this far apart.
constexpr int kBlockStep = 80;
constexpr int kPanelHeight = 41;
// The hints end this far from the window's right edge.
constexpr int kHintMargin = 4;

QLabel* AddLabel(QWidget* parent, const std::string& text, int x, int y, bool bold = false) {
    auto* label = new QLabel(ToQString(text), parent);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    label->move(x, y);
    label->adjustSize();
    return label;
}

} // namespace

TfParam::TfParam(model::TQuestParams& params, QWidget& mainWindow, platform::Dialogs& dialogs)
    : QWidget(nullptr), params_(params), mainWindow_(mainWindow), dialogs_(dialogs) {
    MakeFixedWindow(*this, kParamFormWidth, kParamFormHeight, false);
    setWindowTitle(ToQString(Ru("Параметры")));

    // The panel comes first in the tab order, then the boxes in pairs.
    Panel = new QFrame(this);
    Panel->setFrameShape(QFrame::StyledPanel);
    Panel->setGeometry(0, kParamFormHeight - kPanelHeight, kParamFormWidth, kPanelHeight);
    lblNumeric = AddLabel(Panel, Ru("Значения должны быть числовыми!"), 8, 16);
    btnOK = new QPushButton(EditorIcon(Picture::Ok), "OK", Panel);
    btnOK->setGeometry(264, 8, 75, 25);
    btnCancel = new QPushButton(EditorIcon(Picture::Cancel),
                                ToQString(Ru("Отмена")), Panel);
    btnCancel->setGeometry(344, 8, 75, 25);
    connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });

    std::vector<QLabel*> hints;
    for (int i = 1; i <= 6; ++i) {
        const int y = kBlockStep * (i - 1);
        const std::string n = model::IntToStr(i);
        AddLabel(this, Ru("Параметр ") + n, 8, 16 + y, true);
        AddLabel(this, Ru("Название:"), 8, 40 + y);
        AddLabel(this, Ru("Значение:"), 8, 64 + y);
        auto* name = new QLineEdit(this);
        name->setGeometry(80, 32 + y, 121, 21);
        name->setObjectName(QStringLiteral("ep%1").arg(i));
        auto* value = new QLineEdit(this);
        value->setGeometry(80, 64 + y, 121, 21);
        value->setObjectName(QStringLiteral("ep%1%1").arg(i));
        hints.push_back(AddLabel(this, Ru("Для показа в тексте писать '<param") + n + ">'", 208, 32 + y));
        hints.push_back(AddLabel(this, Ru("Для показа в тексте писать '<p") + n + ">'", 208, 64 + y));
        NameBoxes[i - 1] = name;
        ValueBoxes[i - 1] = value;
    }
    FitLabelsToWidth(hints, kParamFormWidth - 208 - kHintMargin);
    QWidget* previous = btnCancel;
    setTabOrder(btnOK, btnCancel);
    for (int i = 0; i < 6; ++i) {
        setTabOrder(previous, NameBoxes[i]);
        setTabOrder(NameBoxes[i], ValueBoxes[i]);
        previous = ValueBoxes[i];
    }
}

void TfParam::Open() {
    for (int i = 1; i <= 6; ++i) {
        NameBoxes[i - 1]->setText(ToQString(params_.Names[i]));
        ValueBoxes[i - 1]->setText(ToQString(model::IntToStr(params_.Values[i])));
    }
    CentreOnScreen(*this);
    show();
    raise();
    activateWindow();
    mainWindow_.setEnabled(false);
}

void TfParam::btnOKClick() {
    platform::RunReported(dialogs_, [this] { Store(); });
}

void TfParam::Store() {
    // A '|' in a name would split the parameter line of the quest file and
    // shift every later field, so such a name is refused before anything is
    // stored.
    for (int i = 1; i <= 6; ++i) {
        if (FromQString(NameBoxes[i - 1]->text()).find('|') != std::string::npos) {
            dialogs_.Message(platform::MessageKind::Warning,
                             Ru("Название параметра ") + model::IntToStr(i) +
                                 Ru(" содержит символ '|', который нельзя сохранить в файле "
                                    "квеста. Уберите его."));
            NameBoxes[i - 1]->setFocus();
            return;
        }
    }
    for (QLineEdit* value : ValueBoxes)
        if (value->text().isEmpty())
            value->setText(QStringLiteral("0"));
    bool changed = false;
    try {
        for (int i = 1; i <= 6; ++i) {
            const std::string name = FromQString(NameBoxes[i - 1]->text());
            changed |= name != params_.Names[i];
            params_.Names[i] = name;
            const std::int32_t value = model::StrToInt(FromQString(ValueBoxes[i - 1]->text()));
            changed |= value != params_.Values[i];
            params_.Values[i] = value;
        }
    } catch (...) {
        // What was stored before the bad value stays stored, and counts.
        if (changed)
            emit Stored();
        throw;
    }
    if (changed)
        emit Stored();
    close();
}

void TfParam::btnCancelClick() {
    close();
}

void TfParam::FormClose() {
    mainWindow_.setEnabled(true);
}

void TfParam::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

} // namespace editor
