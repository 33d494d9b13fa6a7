// The boxes of the editor's document commands: choosing a file to open or to
// save to, and the three-way question about unsaved changes. Behind one small
// interface, so that tests answer them from a list.
#pragma once

#include <optional>
#include <string>

namespace platform {

// What a file dialog starts with.
struct FileDialogRequest {
    std::string startPath;     // folder and proposed name, a native path
    std::string filter;        // cp1251, Qt's form: "Файлы квестов (*.nvx)"
    std::string defaultSuffix; // added to a name typed without one; empty: none
};

// The answer of a Yes/No/Cancel box.
enum class Answer { Yes, No, Cancel };

class DocumentDialogs {
public:
    virtual ~DocumentDialogs() = default;

    // The chosen file's full native path, or nothing when cancelled.
    virtual std::optional<std::string> OpenFileName(const FileDialogRequest& request) = 0;
    // As above; an existing file is chosen without a question.
    virtual std::optional<std::string> SaveFileName(const FileDialogRequest& request) = 0;
    // A question with Yes, No and Cancel; closing the box is Cancel. cp1251.
    virtual Answer YesNoCancel(const std::string& text) = 0;
};

} // namespace platform
