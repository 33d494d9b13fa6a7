// The modal boxes that the programs open, behind one small interface so that
// tests and the player's transcript mode can answer them from a list.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The one-line input box takes no more than this many characters, as the
// quest scripts' prompts have always allowed.
inline constexpr int kInputMaxLength = 255;

// The icon a message box carries; the text is what matters.
enum class MessageKind { Plain, Information, Warning, Error };

// The two pairs of buttons a question box offers.
enum class QuestionKind { YesNo, OkCancel };

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A box with one OK button. All texts are cp1251.
    virtual void Message(MessageKind kind, const std::string& text) = 0;

    // Yes/No or OK/Cancel; true for Yes or OK, false for the other button or
    // for closing the box.
    virtual bool Question(QuestionKind kind, const std::string& text) = 0;

    // A one-line input box: window title, prompt, starting text. OK is the
    // default button, Cancel the cancel button; the result is the text after
    // OK and nothing after Cancel or closing the box.
    virtual std::optional<std::string> Input(const std::string& caption, const std::string& prompt,
                                             const std::string& initial) = 0;
};

} // namespace platform
