// A fresh main window per test, in a folder of its own, with every box,
// file dialog and desktop request answered by doubles.
#pragma once

#include "editor/AuthorForm.h"
#include "editor/CodeEditor.h"
#include "editor/LocationList.h"
#include "editor/MainForm.h"
#include "editor/ParamForm.h"
#include "model/Cp1251.h"
#include "platform/RecordingDesktop.h"
#include "platform/ScriptedDialogs.h"
#include "platform/ScriptedDocumentDialogs.h"
#include "platform/Text.h"
#include "tests/platform/QtApp.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace editor_test {

namespace fs = std::filesystem;

inline std::string Ru(const char* utf8) {
    return model::Utf8ToCp1251(utf8);
}

// The application must exist before the first widget is made.
struct WithApp {
    WithApp() { testing_support::App(); }
};

class EditorTest : public ::testing::Test, private WithApp {
protected:
    EditorTest() {
        folder = fs::temp_directory_path() /
                 ("norvo-editor-test-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder / "Quests");
        fs::create_directories(folder / "Stand-Alone Quests");
        form = std::make_unique<editor::TForm1>(editor::EditorServices{
            dialogs, files, desktop, (folder / "norvo-creator").string()});
    }
    ~EditorTest() override {
        form.reset();
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    std::string Path(const std::string& name) const { return (folder / name).string(); }

    // What a user does in the boxes: the text changes as typing changes it.
    void TypeDescription(const std::string& cp1251) {
        form->Memo->setPlainText(platform::ToQString(cp1251));
        form->Memo->document()->setModified(true);
    }
    void TypeCaption(int n, const std::string& cp1251) {
        form->CaptionBox(n)->setText(platform::ToQString(cp1251));
        form->CaptionBox(n)->setModified(true);
    }
    void TypeCode(const std::string& cp1251) {
        form->MemoCode->SetText(cp1251);
        form->MemoCode->SetModified(true);
    }

    std::string Caption() const { return platform::FromQString(form->windowTitle()); }
    std::string LabelText() const { return platform::FromQString(form->lblLoc->text()); }
    std::vector<std::string> ListEntries() const {
        std::vector<std::string> entries;
        const auto* list = form->ListModel;
        for (int row = 0; row < list->rowCount(); ++row)
            entries.push_back(list->data(list->index(row)).toString().toStdString());
        return entries;
    }
    // The texts of every box shown so far, and a fresh record.
    std::vector<std::string> Shown() {
        std::vector<std::string> texts;
        for (const auto& box : dialogs.TakeShown())
            texts.push_back(box.text);
        return texts;
    }
    model::TQuest& Location(int n) { return form->State.Quests.at(static_cast<std::size_t>(n)); }

    fs::path folder;
    platform::ScriptedDialogs dialogs;
    platform::ScriptedDocumentDialogs files;
    platform::RecordingDesktop desktop;
    std::unique_ptr<editor::TForm1> form;
};

} // namespace editor_test
