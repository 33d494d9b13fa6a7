// The lexer: cp1251 script text to tokens, with the place of each.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace pascal {

enum class Tok : std::uint8_t {
    End, // end of text
    Ident,
    IntLit,
    FloatLit,
    StrLit,
    // symbols
    Plus,
    Minus,
    Star,
    Slash,
    Eq,
    NotEq,
    Less,
    LessEq,
    Greater,
    GreaterEq,
    LParen,
    RParen,
    LBracket,
    RBracket,
    Comma,
    Semicolon,
    Colon,
    Assign,
    PlusAssign,  // +=
    MinusAssign, // -=
    StarAssign,  // *=
    SlashAssign, // /=
    Dot,
    DotDot,
    // reserved words
    KwAnd,
    KwArray,
    KwBegin,
    KwCase,
    KwConst,
    KwDiv,
    KwDo,
    KwDownto,
    KwElse,
    KwEnd,
    KwExcept,
    KwFinally,
    KwFor,
    KwFunction,
    KwIf,
    KwMod,
    KwNot,
    KwOf,
    KwOr,
    KwProcedure,
    KwProgram,
    KwRaise,
    KwIn,
    KwRecord,
    KwRepeat,
    KwShl,
    KwSet,
    KwShr,
    KwThen,
    KwTo,
    KwTry,
    KwType,
    KwUntil,
    KwVar,
    KwWhile,
    KwXor,
    Bad // a character or literal the lexer could not read; text says why
};

struct Token {
    Tok kind = Tok::End;
    int line = 1;     // 1-based
    int column = 1;   // 1-based, in bytes
    std::string text; // the source text (identifiers as written; for Bad the message)
    std::string str;  // the value of a string literal
    std::int64_t ival = 0;
    double fval = 0;
};

// Reads the tokens of a text one by one; after the last, Tok::End for ever.
// Never throws for bad input: an unreadable piece becomes a Tok::Bad token
// carrying its message. The tokens point into the text, which must outlive
// them.
class Lexer {
public:
    explicit Lexer(std::string_view text) : src_(text) {}
    Token next();

private:
    std::string_view src_;
    std::size_t pos_ = 0;
    int line_ = 1;
    std::size_t lineStart_ = 0;
    // Conditional compilation: the symbols {$DEFINE}d so far, and the open
    // {$IFDEF}/{$IFNDEF}s, innermost last.
    struct Condition {
        int line, column; // of the directive, for an unclosed one
        std::string name; // IFDEF or IFNDEF
        bool outerActive; // whether the text around it is compiled
        bool holds;       // whether its condition held
        bool active;      // whether the text here is compiled
        bool seenElse;
    };
    std::unordered_set<std::string> defines_; // upper-cased
    std::vector<Condition> conditions_;
    bool active() const { return conditions_.empty() || conditions_.back().active; }
    bool directive(std::string_view body, int line, int col, Token& badOut);

    char peek(std::size_t ahead = 0) const {
        return pos_ + ahead < src_.size() ? src_[pos_ + ahead] : '\0';
    }
    bool atEnd() const { return pos_ >= src_.size(); }
    int column() const { return static_cast<int>(pos_ - lineStart_) + 1; }
    void advance();
    Token make(Tok kind, int line, int col, std::size_t start);
    Token bad(int line, int col, std::string message);
    bool skipSpace(Token& badOut);
    Token number(int line, int col, std::size_t start);
    Token stringLiteral(int line, int col, std::size_t start);
};

// How a token is shown in a message ("end", ";", "конец текста").
std::string describe(const Token& t);
// How a token kind is shown in "ожидалось ...".
std::string spelling(Tok kind);

} // namespace pascal
