// Document dialogs that show nothing: each request is recorded and answered
// from a list given in advance. The editor's tests use it.
#pragma once

#include "platform/DocumentDialogs.h"

#include <deque>
#include <string>
#include <vector>

namespace platform {

// One dialog as it was asked for.
struct DocumentRequest {
    enum class Kind { Open, Save, YesNoCancel };
    Kind kind = Kind::Open;
    FileDialogRequest file; // Open and Save
    std::string text;       // YesNoCancel: the question
};

class ScriptedDocumentDialogs : public DocumentDialogs {
public:
    // File dialogs take the next answer as the chosen path, the empty answer
    // as Cancel; the three-way box takes "yes", "no" or anything else as
    // Cancel. With no answer left every dialog is cancelled.
    void AddAnswer(std::string answer) { answers_.push_back(std::move(answer)); }
    std::size_t AnswersLeft() const { return answers_.size(); }
    const std::vector<DocumentRequest>& Requests() const { return requests_; }
    void ClearRequests() { requests_.clear(); }

    std::optional<std::string> OpenFileName(const FileDialogRequest& request) override;
    std::optional<std::string> SaveFileName(const FileDialogRequest& request) override;
    Answer YesNoCancel(const std::string& text) override;

private:
    std::optional<std::string> NextPath();

    std::deque<std::string> answers_;
    std::vector<DocumentRequest> requests_;
};

} // namespace platform
