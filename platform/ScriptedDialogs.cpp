// The recording, list-answered dialogs.
#include "platform/ScriptedDialogs.h"

#include <algorithm>

namespace platform {
namespace {

// "yes", "Yes", "OK", ... : ASCII letters compared without regard to case.
bool IsAffirmative(const std::string& answer) {
    std::string lower = answer;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return lower == "yes" || lower == "ok";
}

} // namespace

ScriptedDialogs::ScriptedDialogs(std::vector<std::string> answers)
    : answers_(answers.begin(), answers.end()) {}

std::vector<ShownDialog> ScriptedDialogs::TakeShown() {
    std::vector<ShownDialog> out;
    out.swap(shown_);
    leftOut_ = 0;
    return out;
}

void ScriptedDialogs::Keep(ShownDialog shown) {
    if (shown_.size() < kMaxKeptDialogs)
        shown_.push_back(std::move(shown));
    else
        ++leftOut_;
}

void ScriptedDialogs::Message(MessageKind kind, const std::string& text) {
    ShownDialog shown;
    shown.kind = ShownDialog::Kind::Message;
    shown.messageKind = kind;
    shown.text = text;
    Keep(std::move(shown));
}

bool ScriptedDialogs::Question(QuestionKind kind, const std::string& text) {
    ShownDialog shown;
    shown.kind = ShownDialog::Kind::Question;
    shown.questionKind = kind;
    shown.text = text;
    if (!answers_.empty()) {
        shown.accepted = IsAffirmative(answers_.front());
        answers_.pop_front();
    } else {
        ++unanswered_;
    }
    const bool accepted = shown.accepted;
    Keep(std::move(shown));
    return accepted;
}

std::optional<std::string> ScriptedDialogs::Input(const std::string& caption,
                                                  const std::string& prompt,
                                                  const std::string& /*initial*/) {
    ShownDialog shown;
    shown.kind = ShownDialog::Kind::Input;
    shown.caption = caption;
    shown.text = prompt;
    if (!answers_.empty()) {
        std::string answer = answers_.front();
        answers_.pop_front();
        if (answer.size() > static_cast<std::size_t>(kInputMaxLength))
            answer.resize(kInputMaxLength);
        shown.input = std::move(answer);
        shown.accepted = true;
    } else {
        ++unanswered_;
    }
    std::optional<std::string> input = shown.input;
    Keep(std::move(shown));
    return input;
}

} // namespace platform
