// The code editor of the main window: one action's script in a Pascal source
// editor with highlighting, a footer (line:column, the modified mark, the
// first compile error), a live compile check as the author types,
// autocompletion of MyUnit's functions with call tips, and undo/redo.
// The window uses only the whole text, in cp1251, and the focus-out.
#pragma once

#include <QWidget>
#include <memory>
#include <string>

class QLabel;
class QTimer;
class QsciScintilla;
class QsciLexerPascal;

namespace editor {

class ScriptChecker;

class CodeEditor : public QWidget {
    Q_OBJECT
public:
    explicit CodeEditor(QWidget* parent = nullptr);
    ~CodeEditor() override;

    // Empties the editor, its undo history and the modified mark.
    void Clear();
    // Shows cp1251Text (lines broken by CR LF, LF or CR) as a fresh text:
    // no undo history, not modified.
    void SetText(const std::string& cp1251Text);
    // The whole text in cp1251, each line followed by CR LF; "" when empty.
    std::string Text() const;

    bool IsModified() const;
    void SetModified(bool modified);

    // The debounce timer's tick: compiles the shown text (never runs it) and
    // marks its first error. Public so tests call it as the timer would.
    void CheckTimerTimer();

    // The Scintilla indicator that underlines a compile error.
    static constexpr int kErrorIndicator = 8;

signals:
    // The keyboard focus left the editor (not for its own popups).
    void FocusLost();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void ApplyLook();
    void ClearErrorMark();
    void ShowError(int line, int column, const std::string& message);
    void UpdateFooter();

    QsciScintilla* memo_ = nullptr;     // the text itself
    QsciLexerPascal* lexer_ = nullptr;  // highlighting, owned by memo_
    QLabel* position_ = nullptr;        // footer: "line:column"
    QLabel* modifiedMark_ = nullptr;    // footer: the modified mark
    QLabel* problem_ = nullptr;         // footer: the first compile error
    QTimer* checkTimer_ = nullptr;      // restarts on every edit
    std::unique_ptr<ScriptChecker> checker_; // compiles against the player's units
    bool forcedModified_ = false;       // SetModified(true) until the next save point
    std::string problemText_;           // the whole message shown in the footer
};

} // namespace editor
