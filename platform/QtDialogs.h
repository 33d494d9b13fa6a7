// The real modal boxes, drawn with Qt Widgets.
#pragma once

#include "platform/Dialogs.h"

class QWidget;

namespace platform {

class QtDialogs : public Dialogs {
public:
    // parent: the window the boxes centre on and block (may be null).
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    // The window is often made after its boxes, which may open while it is built.
    void SetParent(QWidget* parent) { parent_ = parent; }

    void Message(MessageKind kind, const std::string& text) override;
    bool Question(QuestionKind kind, const std::string& text) override;
    std::optional<std::string> Input(const std::string& caption, const std::string& prompt,
                                     const std::string& initial) override;

private:
    QWidget* parent_;
};

} // namespace platform
