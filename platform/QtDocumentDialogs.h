// The real file dialogs and Yes/No/Cancel box, drawn with Qt Widgets.
#pragma once

#include "platform/DocumentDialogs.h"

class QWidget;

namespace platform {

class QtDocumentDialogs : public DocumentDialogs {
public:
    explicit QtDocumentDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    std::optional<std::string> OpenFileName(const FileDialogRequest& request) override;
    std::optional<std::string> SaveFileName(const FileDialogRequest& request) override;
    Answer YesNoCancel(const std::string& text) override;

private:
    QWidget* parent_;
};

} // namespace platform
