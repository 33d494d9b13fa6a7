// File dialogs over QFileDialog and the three-way box over QMessageBox.
#include "platform/QtDocumentDialogs.h"

#include "platform/Text.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>

namespace platform {
namespace {

std::optional<std::string> Run(QWidget* parent, const FileDialogRequest& request, bool save) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // An existing file is replaced without a question, as authors expect here.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setNameFilter(ToQString(request.filter));
    if (!request.defaultSuffix.empty())
        dialog.setDefaultSuffix(QString::fromStdString(request.defaultSuffix));
    const QString start = QFile::decodeName(request.startPath.c_str());
    const QFileInfo info(start);
    dialog.setDirectory(info.absolutePath());
    dialog.selectFile(info.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return std::string(QFile::encodeName(dialog.selectedFiles().first()).constData());
}

QString BoxText(const std::string& text) {
    QString out = ToQString(text);
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QChar('\r'), QChar('\n'));
    return out;
}

} // namespace

std::optional<std::string> QtDocumentDialogs::OpenFileName(const FileDialogRequest& request) {
    return Run(parent_, request, false);
}

std::optional<std::string> QtDocumentDialogs::SaveFileName(const FileDialogRequest& request) {
    return Run(parent_, request, true);
}

Answer QtDocumentDialogs::YesNoCancel(const std::string& text) {
    QMessageBox box(QMessageBox::Question, QGuiApplication::applicationDisplayName(),
                    BoxText(text), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    parent_);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

} // namespace platform
