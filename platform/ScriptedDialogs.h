// Dialogs that show nothing: every box is recorded in order and answered from
// a list given in advance. Tests use it, and so does the player's transcript
// mode, which plays a quest without a screen.
#pragma once

#include "platform/Dialogs.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// One box as it was shown and answered.
struct ShownDialog {
    enum class Kind { Message, Question, Input };
    Kind kind = Kind::Message;
    MessageKind messageKind = MessageKind::Plain;    // for messages
    QuestionKind questionKind = QuestionKind::YesNo; // for questions
    std::string caption;                             // input boxes: the window title
    std::string text;                                // the message, question or prompt
    std::optional<std::string> input;                // input boxes: the answer, none if cancelled
    bool accepted = false;                           // questions: Yes/OK; inputs: OK
};

class ScriptedDialogs : public Dialogs {
public:
    // The boxes kept between two TakeShown calls: a script that opens boxes
    // in a loop must not fill memory; the boxes past this are only counted.
    static constexpr std::size_t kMaxKeptDialogs = 100;

    ScriptedDialogs() = default;
    explicit ScriptedDialogs(std::vector<std::string> answers);

    // Answers are taken in order, one per question or input box. An input box
    // takes the answer as its text (cut to the box's length limit); a
    // question box takes "yes" or "ok" as Yes/OK and anything else as
    // No/Cancel. With no answer left, an input box is cancelled and a
    // question box answered No/Cancel. Message boxes take no answer.
    void AddAnswer(std::string answer) { answers_.push_back(std::move(answer)); }
    std::size_t AnswersLeft() const { return answers_.size(); }
    // Question and input boxes that found no answer left, over the whole life.
    std::size_t Unanswered() const { return unanswered_; }

    // At most kMaxKeptDialogs boxes; LeftOut() tells how many more were shown.
    const std::vector<ShownDialog>& Shown() const { return shown_; }
    std::size_t LeftOut() const { return leftOut_; }
    // Hands over what was recorded so far and starts a fresh record (the
    // count of boxes left out included).
    std::vector<ShownDialog> TakeShown();

    void Message(MessageKind kind, const std::string& text) override;
    bool Question(QuestionKind kind, const std::string& text) override;
    std::optional<std::string> Input(const std::string& caption, const std::string& prompt,
                                     const std::string& initial) override;

private:
    void Keep(ShownDialog shown);

    std::deque<std::string> answers_;
    std::vector<ShownDialog> shown_;
    std::size_t leftOut_ = 0;
    std::size_t unanswered_ = 0;
};

} // namespace platform
