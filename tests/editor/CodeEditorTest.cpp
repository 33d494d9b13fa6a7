// The code editor as the main window uses it: the whole text in cp1251, the
// modified mark, the focus-out, the live check, completion and undo.
#include "editor/CodeEditor.h"

#include "model/Cp1251.h"
#include "tests/platform/QtApp.h"

#include <Qsci/qsciscintilla.h>

#include <QLabel>
#include <QSignalSpy>
#include <QTimer>
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
    QsciScintilla& Memo() { return *editor.findChild<QsciScintilla*>(); }
    QString Footer(const char* part) {
        return editor.findChild<QLabel*>(QString::fromLatin1(part))->text();
    }
    long Send(unsigned int message, unsigned long w = 0, long l = 0) {
        return Memo().SendScintilla(message, w, l);
    }
    // The text under the error indicator, empty when nothing is marked.
    QString Underlined() {
        const long length = Send(QsciScintilla::SCI_GETLENGTH);
        for (long pos = 0; pos < length; ++pos) {
            if (Send(QsciScintilla::SCI_INDICATORVALUEAT, CodeEditor::kErrorIndicator, pos)) {
                const long end = Send(QsciScintilla::SCI_INDICATOREND, CodeEditor::kErrorIndicator,
                                      pos);
                return Memo().text(static_cast<int>(pos), static_cast<int>(end));
            }
        }
        return {};
    }
    void TypeAtEnd(const QString& keys) {
        Send(QsciScintilla::SCI_DOCUMENTEND);
        QTest::keyClicks(&Memo(), keys);
    }

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

TEST_F(CodeEditorTest, ModifiedMarkFollowsEditsAndTheWindowsSaves) {
    editor.SetText("goto(1);");
    EXPECT_FALSE(editor.IsModified());
    EXPECT_TRUE(Footer("modifiedMark").isEmpty());

    TypeAtEnd(QStringLiteral(" "));
    EXPECT_TRUE(editor.IsModified());
    EXPECT_FALSE(Footer("modifiedMark").isEmpty());

    editor.SetModified(false);
    EXPECT_FALSE(editor.IsModified());
    EXPECT_TRUE(Footer("modifiedMark").isEmpty());

    editor.SetModified(true);
    EXPECT_TRUE(editor.IsModified());
    EXPECT_FALSE(Footer("modifiedMark").isEmpty());

    editor.SetText("x");
    EXPECT_FALSE(editor.IsModified());
}

TEST_F(CodeEditorTest, FooterShowsLineAndColumnInCharacters) {
    // Scintilla reports a moved caret when it repaints, as on screen.
    editor.show();
    editor.SetText(Ru("a\r\nПривет"));
    Send(QsciScintilla::SCI_DOCUMENTEND);
    editor.grab();
    EXPECT_EQ(Footer("position"), QStringLiteral("2:7"));
    Send(QsciScintilla::SCI_DOCUMENTSTART);
    editor.grab();
    EXPECT_EQ(Footer("position"), QStringLiteral("1:1"));
}

TEST_F(CodeEditorTest, FocusLeavingTheEditorFiresFocusLostButItsOwnPopupsDoNot) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* code = new CodeEditor;
    auto* other = new QLineEdit;
    layout->addWidget(code);
    layout->addWidget(other);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QSignalSpy lost(code, &CodeEditor::FocusLost);

    code->setFocus();
    other->setFocus();
    EXPECT_EQ(lost.count(), 1);

    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(code->findChild<QsciScintilla*>(), &popup);
    EXPECT_EQ(lost.count(), 1);
}

TEST_F(CodeEditorTest, LiveCheckUnderlinesTheFirstErrorAndNamesItInTheFooter) {
    struct Case {
        const char* code;       // UTF-8
        const char* underlined; // UTF-8; "" when the code compiles
        const char* place;      // the footer's place
    };
    const Case cases[] = {
        {"goto(1);\r\n  Foo(3);", "Foo", "Строка 2, столбец 3"},
        {"ShowMessage('Привет'); Bar;", "Bar", "Строка 1, столбец 24"},
        {"TakeParam('param1');\r\ngoto(2);", "", ""},
        {"InputBox('a', 'b', 'c'); rand(3, 4);", "rand", "Строка 1, столбец 26"},
        {"goto(1);\r\nTakeParam(", "(", "Строка 3, столбец 1"},
    };
    for (const Case& c : cases) {
        editor.SetText(Ru(c.code));
        editor.CheckTimerTimer();
        EXPECT_EQ(Underlined(), QString::fromUtf8(c.underlined)) << c.code;
        EXPECT_TRUE(Footer("problem").startsWith(QString::fromUtf8(c.place))) << c.code;
        if (*c.place == 0) {
            EXPECT_TRUE(Footer("problem").isEmpty()) << c.code;
        }
    }
}

TEST_F(CodeEditorTest, TypingRestartsTheCheckAndANewTextDropsTheOldMark) {
    editor.SetText("goto(1);");
    editor.CheckTimerTimer();
    TypeAtEnd(QStringLiteral(" Oops;"));
    EXPECT_TRUE(editor.findChild<QTimer*>()->isActive());
    editor.CheckTimerTimer();
    EXPECT_EQ(Underlined(), QStringLiteral("Oops"));
    EXPECT_FALSE(editor.findChild<QTimer*>()->isActive());

    editor.SetText("goto(1);");
    EXPECT_EQ(Underlined(), QString());
    EXPECT_TRUE(Footer("problem").isEmpty());
}

TEST_F(CodeEditorTest, UndoAndRedoWithCtrlZAndCtrlShiftZ) {
    editor.SetText("goto(1);");
    TypeAtEnd(QStringLiteral(" restart;"));
    QTest::keyClick(&Memo(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor.Text(), "goto(1);\r\n");
    QTest::keyClick(&Memo(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor.Text(), "goto(1); restart;\r\n");

    // A new text starts a new history: undo never brings back another action's code.
    editor.SetText("hint('x');");
    QTest::keyClick(&Memo(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor.Text(), "hint('x');\r\n");
}

TEST_F(CodeEditorTest, CompletesMyUnitNamesAndShowsTheirParameters) {
    editor.show();
    editor.Clear();
    TypeAtEnd(QStringLiteral("takep"));
    ASSERT_TRUE(Send(QsciScintilla::SCI_AUTOCACTIVE));
    QTest::keyClick(&Memo(), Qt::Key_Return);
    EXPECT_EQ(editor.Text(), "TakeParam\r\n");

    TypeAtEnd(QStringLiteral("("));
    EXPECT_TRUE(Send(QsciScintilla::SCI_CALLTIPACTIVE));
}

} // namespace
