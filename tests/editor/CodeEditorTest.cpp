// The code editor as the main window uses it: the whole text in cp1251, the
// modified mark, the focus-out, the live check, completion and undo.
#include "editor/CodeEditor.h"

#include "model/Cp1251.h"
#include "tests/platform/QtApp.h"

#include <Qsci/qsciscintilla.h>

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

using editor::CodeEditor;

std::string Ru(const char* utf8) { return model::Utf8ToCp1251(utf8); }

// The application must exist before the first widget is made.
struct WithApp {
    WithApp() { testing_support::App(); }
};

class CodeEditorTest : public ::testing::Test, private WithApp {
protected:
    CodeEditor editor;
};

TEST_F(CodeEditorTest, TextComesBackWithEveryLineEndedByCrLf) {
    struct Case {
        std::string given;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"", ""},
        {"goto(2);", "goto(2);\r\n"},
        {"a\r\nb\r\n", "a\r\nb\r\n"},
        {"a\nb", "a\r\nb\r\n"},
        {"a\rb\r", "a\r\nb\r\n"},
        {"a\r\n\r\nb", "a\r\n\r\nb\r\n"},
        {"\r\n", "\r\n"},
        {Ru("ShowMessage('Привет, ёжик');"), Ru("ShowMessage('Привет, ёжик');\r\n")},
        {std::string("a\0b", 3), std::string("a\0b\r\n", 5)},
        {"\x98\xff\x80", "\x98\xff\x80\r\n"},
    };
    for (const Case& c : cases) {
        editor.SetText(c.given);
        EXPECT_EQ(editor.Text(), c.expected) << "given '" << c.given << "'";
    }
    editor.Clear();
    EXPECT_EQ(editor.Text(), "");
}

} // namespace
