// The scripted document dialogs: record, then answer from the list.
#include "platform/ScriptedDocumentDialogs.h"

namespace platform {

std::optional<std::string> ScriptedDocumentDialogs::NextPath() {
    if (answers_.empty())
        return std::nullopt;
    std::string answer = std::move(answers_.front());
    answers_.pop_front();
    if (answer.empty())
        return std::nullopt;
    return answer;
}

std::optional<std::string> ScriptedDocumentDialogs::OpenFileName(const FileDialogRequest& request) {
    requests_.push_back({DocumentRequest::Kind::Open, request, {}});
    return NextPath();
}

std::optional<std::string> ScriptedDocumentDialogs::SaveFileName(const FileDialogRequest& request) {
    requests_.push_back({DocumentRequest::Kind::Save, request, {}});
    return NextPath();
}

Answer ScriptedDocumentDialogs::YesNoCancel(const std::string& text) {
    requests_.push_back({DocumentRequest::Kind::YesNoCancel, {}, text});
    if (answers_.empty())
        return Answer::Cancel;
    const std::string answer = std::move(answers_.front());
    answers_.pop_front();
    if (answer == "yes")
        return Answer::Yes;
    if (answer == "no")
        return Answer::No;
    return Answer::Cancel;
}

} // namespace platform
