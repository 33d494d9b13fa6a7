// Message, question and input boxes over QMessageBox and a small QDialog.
#include "platform/QtDialogs.h"

#include "platform/Text.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace platform {
namespace {

QString BoxTitle() {
    return QGuiApplication::applicationDisplayName();
}

// The programs' texts break lines with CR or CR LF; Qt wants LF.
QString BoxText(const std::string& text) {
    QString out = ToQString(text);
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QChar('\r'), QChar('\n'));
    return out;
}

QMessageBox::Icon IconOf(MessageKind kind) {
    switch (kind) {
    case MessageKind::Information:
        return QMessageBox::Information;
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Error:
        return QMessageBox::Critical;
    case MessageKind::Plain:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void QtDialogs::Message(MessageKind kind, const std::string& text) {
    QMessageBox box(IconOf(kind), BoxTitle(), BoxText(text), QMessageBox::Ok, parent_);
    box.exec();
}

bool QtDialogs::Question(QuestionKind kind, const std::string& text) {
    const bool yesNo = kind == QuestionKind::YesNo;
    const auto accept = yesNo ? QMessageBox::Yes : QMessageBox::Ok;
    const auto reject = yesNo ? QMessageBox::No : QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, BoxTitle(), BoxText(text), accept | reject, parent_);
    box.setDefaultButton(accept);
    box.setEscapeButton(reject);
    return box.exec() == accept;
}

std::optional<std::string> QtDialogs::Input(const std::string& caption, const std::string& prompt,
                                            const std::string& initial) {
    QDialog box(parent_);
    box.setWindowTitle(ToQString(caption));
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(new QLabel(BoxText(prompt), &box));
    auto* edit = new QLineEdit(ToQString(initial), &box);
    edit->setMaxLength(kInputMaxLength);
    layout->addWidget(edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &box);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    layout->addWidget(buttons);
    box.setMinimumWidth(320);
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return FromQString(edit->text());
}

} // namespace platform
