// The parameters dialog: the six names and start values of the quest.
#pragma once

#include "model/Quest.h"
#include "platform/Dialogs.h"

#include <QWidget>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QFrame;

namespace editor {

// The client area, fixed.
inline constexpr int kParamFormWidth = 425;
inline constexpr int kParamFormHeight = 558;

class TfParam : public QWidget {
    Q_OBJECT
public:
    // params: the quest's parameters, stored into by OK. mainWindow is
    // disabled while the dialog is up. Both outlive the dialog.
    TfParam(model::TQuestParams& params, QWidget& mainWindow, platform::Dialogs& dialogs);

    std::array<QLineEdit*, 6> NameBoxes;  // ep1 .. ep6
    std::array<QLineEdit*, 6> ValueBoxes; // ep11, ep22, .. ep66
    QFrame* Panel;
    QLabel* lblNumeric; // "Значения должны быть числовыми!"
    QPushButton* btnOK;
    QPushButton* btnCancel;

    // Fills the boxes from the model and shows the dialog over the disabled
    // main window (the main window's "Параметры").
    void Open();
    void btnOKClick();
    void btnCancelClick();
    void FormClose();

signals:
    // OK stored some names or values, all or (after a bad value) some of them.
    void Stored();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Store();

    model::TQuestParams& params_;
    QWidget& mainWindow_;
    platform::Dialogs& dialogs_;
};

} // namespace editor
