// The code editor: QScintilla with its Pascal lexer, a footer, the live
// compile check and MyUnit's completions.
#include "editor/CodeEditor.h"

#include "editor/ScriptCheck.h"
#include "model/Cp1251.h"
#include "platform/Text.h"
#include "scriptapi/ScriptFunctions.h"

#include <Qsci/qsciabstractapis.h>
#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qscilexerpascal.h>
#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QEvent>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace editor {

namespace {

// The check waits for a pause in typing this long: long enough that a word is
// not flagged half-typed, short enough to feel immediate.
constexpr int kCheckDelayMs = 400;

// Completion opens after this many letters of a name: one letter would open
// it on every identifier the author types.
constexpr int kCompletionThreshold = 2;

// The code's font: the classic one where the machine has it, else the
// system's monospace, at 13-pixel characters either way.
constexpr const char* kCodeFontFamily = "Courier New";
constexpr int kCodeFontPixels = 13;

// Comments and strings stand out in navy.
const QColor kNavy(0, 0, 128);
// The footer's error message: a dark red that reads well on the window grey.
const QColor kProblemRed(0xa0, 0, 0);

using Sci = QsciScintillaBase;

std::string Ru(std::string_view utf8) { return model::Utf8ToCp1251(utf8); }

// Scintilla takes a font's size in points only, so the 13 pixels are turned
// into points at the screen's resolution.
QFont CodeFont(const QWidget& widget) {
    QFont font(QString::fromLatin1(kCodeFontFamily));
    font.setStyleHint(QFont::TypeWriter);
    if (!QFontInfo(font).fixedPitch())
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(kCodeFontPixels * 72.0 / widget.logicalDpiY());
    return font;
}

// MyUnit's functions for completion and call tips, answered from the shared
// declarations directly (no preparation step, no thread).
class MyUnitApis : public QsciAbstractAPIs {
public:
    explicit MyUnitApis(QsciLexer* lexer) : QsciAbstractAPIs(lexer) {}

    void updateAutoCompletionList(const QStringList& context, QStringList& list) override {
        if (context.isEmpty())
            return;
        const QString& typed = context.last();
        for (const scriptapi::ScriptFunction& function : scriptapi::MyUnitFunctions()) {
            const QString name = QString::fromStdString(function.name);
            if (name.startsWith(typed, Qt::CaseInsensitive) && !list.contains(name))
                list.append(name);
        }
    }

    QStringList callTips(const QStringList& context, int, QsciScintilla::CallTipsStyle,
                         QList<int>& shifts) override {
        // The context ends with what follows the opening bracket (often
        // nothing); the function's name is the last word before it.
        QStringList tips;
        auto word = std::find_if(context.rbegin(), context.rend(),
                                 [](const QString& w) { return !w.isEmpty(); });
        if (word == context.rend())
            return tips;
        const scriptapi::ScriptFunction* function =
            scriptapi::FindScriptFunction(word->toStdString());
        if (function) {
            tips.append(QString::fromStdString(scriptapi::SignatureText(*function)));
            shifts.append(0);
        }
        return tips;
    }
};

// A one-line label that ends a text too long for it with "…" instead of
// cutting it off mid-letter; its text() and tooltip keep the whole text.
class ElidedLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect area = contentsRect();
        painter.drawText(area, static_cast<int>(alignment()),
                         fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
    }
};

} // namespace

CodeEditor::CodeEditor(QWidget* parent)
    : QWidget(parent), checker_(std::make_unique<ScriptChecker>()) {
    BuildControls();
    ApplyLook();
    UpdateFooter();
}

CodeEditor::~CodeEditor() = default;

void CodeEditor::BuildControls() {
    memo_ = new QsciScintilla(this);
    memo_->setUtf8(true);
    memo_->setEolMode(QsciScintilla::EolUnix);
    memo_->installEventFilter(this);
    setFocusProxy(memo_);

    lexer_ = new QsciLexerPascal(memo_);
    new MyUnitApis(lexer_);
    memo_->setLexer(lexer_);
    memo_->setAutoCompletionSource(QsciScintilla::AcsAPIs);
    memo_->setAutoCompletionThreshold(kCompletionThreshold);
    memo_->setAutoCompletionCaseSensitivity(false);
    memo_->setAutoCompletionReplaceWord(true);
    memo_->setCallTipsStyle(QsciScintilla::CallTipsNoContext);
    memo_->setCallTipsVisible(0);

    // Redo is Ctrl+Shift+Z as well as Scintilla's own Ctrl+Y.
    if (QsciCommand* redo = memo_->standardCommands()->find(QsciCommand::Redo))
        redo->setAlternateKey((Qt::CTRL | Qt::SHIFT | Qt::Key_Z).toCombined());
    auto* complete = new QAction(memo_);
    complete->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Space));
    complete->setShortcutContext(Qt::WidgetShortcut);
    connect(complete, &QAction::triggered, memo_, &QsciScintilla::autoCompleteFromAPIs);
    memo_->addAction(complete);

    // The error indicator: a red squiggle under the offending token.
    memo_->indicatorDefine(QsciScintilla::SquiggleIndicator, kErrorIndicator);
    memo_->setIndicatorForegroundColor(Qt::red, kErrorIndicator);

    position_ = new QLabel(this);
    modifiedMark_ = new QLabel(this);
    problem_ = new ElidedLabel(this);
    problem_->setObjectName(QStringLiteral("problem"));
    position_->setObjectName(QStringLiteral("position"));
    modifiedMark_->setObjectName(QStringLiteral("modifiedMark"));
    QPalette red = problem_->palette();
    red.setColor(QPalette::WindowText, kProblemRed);
    problem_->setPalette(red);
    problem_->setMinimumWidth(0);
    problem_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto* footer = new QHBoxLayout;
    footer->setContentsMargins(4, 1, 4, 1);
    footer->setSpacing(8);
    footer->addWidget(position_);
    footer->addWidget(modifiedMark_);
    footer->addWidget(problem_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(memo_, 1);
    layout->addLayout(footer);

    checkTimer_ = new QTimer(this);
    checkTimer_->setSingleShot(true);
    checkTimer_->setInterval(kCheckDelayMs);
    connect(checkTimer_, &QTimer::timeout, this, &CodeEditor::CheckTimerTimer);
    connect(memo_, &QsciScintilla::textChanged, checkTimer_, qOverload<>(&QTimer::start));
    connect(memo_, &QsciScintilla::cursorPositionChanged, this, [this] { UpdateFooter(); });
    connect(memo_, &QsciScintilla::modificationChanged, this, [this](bool modified) {
        if (!modified)
            forcedModified_ = false;
        UpdateFooter();
    });
}

void CodeEditor::ApplyLook() {
    const QFont font = CodeFont(*this);
    const QColor text = palette().color(QPalette::WindowText);
    const QColor paper = palette().color(QPalette::Base);
    lexer_->setDefaultFont(font);
    lexer_->setFont(font, -1);
    lexer_->setDefaultColor(text);
    lexer_->setColor(text, -1);
    lexer_->setDefaultPaper(paper);
    lexer_->setPaper(paper, -1);

    QFont italic = font;
    italic.setItalic(true);
    for (int style : {QsciLexerPascal::Comment, QsciLexerPascal::CommentParenthesis,
                      QsciLexerPascal::CommentLine}) {
        lexer_->setColor(kNavy, style);
        lexer_->setFont(italic, style);
    }
    QFont bold = font;
    bold.setBold(true);
    lexer_->setFont(bold, QsciLexerPascal::Keyword);
    for (int style : {QsciLexerPascal::SingleQuotedString, QsciLexerPascal::UnclosedString,
                      QsciLexerPascal::Character})
        lexer_->setColor(kNavy, style);

    memo_->setSelectionBackgroundColor(palette().color(QPalette::Highlight));
    memo_->setSelectionForegroundColor(palette().color(QPalette::HighlightedText));
    memo_->setCaretForegroundColor(text);
    // The gutter stays hidden: no line numbers, symbols or folding.
    for (int margin = 0; margin < memo_->margins(); ++margin)
        memo_->setMarginWidth(margin, 0);
    memo_->setFolding(QsciScintilla::NoFoldStyle);
    memo_->setWrapMode(QsciScintilla::WrapNone);
    // The horizontal scroll bar follows the longest line instead of a fixed
    // 2000 pixels, so short scripts show none.
    memo_->SendScintilla(Sci::SCI_SETSCROLLWIDTH, 1UL);
    memo_->SendScintilla(Sci::SCI_SETSCROLLWIDTHTRACKING, 1UL);
}

void CodeEditor::Clear() { SetText(std::string()); }

void CodeEditor::SetText(const std::string& cp1251Text) {
    QString text = platform::ToQString(cp1251Text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar('\r'), QChar('\n'));
    const QByteArray utf8 = text.toUtf8();
    // SCI_ADDTEXT takes a length, so a NUL byte in the code survives.
    memo_->SendScintilla(Sci::SCI_CLEARALL);
    memo_->SendScintilla(Sci::SCI_ADDTEXT, static_cast<unsigned long>(utf8.size()),
                         utf8.constData());
    memo_->SendScintilla(Sci::SCI_EMPTYUNDOBUFFER);
    memo_->SendScintilla(Sci::SCI_GOTOPOS, 0UL);
    ClearErrorMark();
    SetModified(false);
}

std::string CodeEditor::Text() const {
    const long length = memo_->SendScintilla(Sci::SCI_GETLENGTH);
    QByteArray utf8(static_cast<qsizetype>(length) + 1, '\0');
    memo_->SendScintilla(Sci::SCI_GETTEXT, static_cast<unsigned long>(length + 1), utf8.data());
    QString text = QString::fromUtf8(utf8.constData(), static_cast<qsizetype>(length));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar('\r'), QChar('\n'));
    const std::string joined = platform::FromQString(text);

    std::string out;
    out.reserve(joined.size() + joined.size() / 8 + 2);
    for (char c : joined) {
        if (c == '\n')
            out += "\r\n";
        else
            out += c;
    }
    if (!joined.empty() && joined.back() != '\n')
        out += "\r\n";
    return out;
}

bool CodeEditor::IsModified() const { return forcedModified_ || memo_->isModified(); }

void CodeEditor::SetModified(bool modified) {
    if (!modified)
        memo_->SendScintilla(Sci::SCI_SETSAVEPOINT);
    forcedModified_ = modified;
    UpdateFooter();
}

void CodeEditor::CheckTimerTimer() {
    checkTimer_->stop();
    ClearErrorMark();
    const std::vector<CompileProblem> problems = checker_->Check(Text());
    if (!problems.empty())
        ShowError(problems.front().line, problems.front().column, problems.front().message);
    UpdateFooter();
}

bool CodeEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == memo_ && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
        emit FocusLost();
    return QWidget::eventFilter(watched, event);
}

void CodeEditor::ClearErrorMark() {
    const long length = memo_->SendScintilla(Sci::SCI_GETLENGTH);
    memo_->SendScintilla(Sci::SCI_SETINDICATORCURRENT, static_cast<unsigned long>(kErrorIndicator));
    memo_->SendScintilla(Sci::SCI_INDICATORCLEARRANGE, 0UL, length);
    problemText_.clear();
}

void CodeEditor::ShowError(int line, int column, const std::string& message) {
    problemText_ = line > 0 ? Ru("Строка ") + std::to_string(line) + Ru(", столбец ") +
                                  std::to_string(column) + ": " + message
                            : message;
    const long length = memo_->SendScintilla(Sci::SCI_GETLENGTH);
    if (line <= 0 || length == 0)
        return;
    // An error past the last line (the text ended too early) marks the last
    // character.
    const long lines = memo_->SendScintilla(Sci::SCI_GETLINECOUNT);
    long start = length;
    if (line <= lines) {
        start = memo_->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line - 1));
        // Scintilla positions count UTF-8 bytes; the compiler's columns count
        // characters.
        if (column > 1)
            start = memo_->SendScintilla(Sci::SCI_POSITIONRELATIVE,
                                         static_cast<unsigned long>(start),
                                         static_cast<long>(column - 1));
    }
    if (start >= length || start < 0)
        start = memo_->SendScintilla(Sci::SCI_POSITIONBEFORE, static_cast<unsigned long>(length));
    long end = memo_->SendScintilla(Sci::SCI_WORDENDPOSITION, static_cast<unsigned long>(start), 1L);
    if (end <= start)
        end = memo_->SendScintilla(Sci::SCI_POSITIONAFTER, static_cast<unsigned long>(start));
    memo_->SendScintilla(Sci::SCI_SETINDICATORCURRENT, static_cast<unsigned long>(kErrorIndicator));
    memo_->SendScintilla(Sci::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(start), end - start);
}

void CodeEditor::UpdateFooter() {
    const long pos = memo_->SendScintilla(Sci::SCI_GETCURRENTPOS);
    const long line = memo_->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos));
    const long lineStart =
        memo_->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long column = memo_->SendScintilla(Sci::SCI_COUNTCHARACTERS,
                                             static_cast<unsigned long>(lineStart), pos);
    position_->setText(QStringLiteral("%1:%2").arg(line + 1).arg(column + 1));
    modifiedMark_->setText(IsModified() ? platform::ToQString(Ru("Изменен")) : QString());
    const QString problem = platform::ToQString(problemText_);
    problem_->setText(problem);
    problem_->setToolTip(problem);
}

} // namespace editor
