// The lexer. Names are ASCII; any byte of a string literal or a comment is
// taken as it is.
#include "pascal/Lexer.h"

#include "pascal/Cp1251.h"

#include <array>
#include <cstdlib>
#include <utility>

namespace pascal {

namespace {

struct Keyword {
    std::string_view lower;
    Tok kind;
};

constexpr std::array kKeywords = {
    Keyword{"and", Tok::KwAnd},         Keyword{"array", Tok::KwArray},
    Keyword{"begin", Tok::KwBegin},     Keyword{"case", Tok::KwCase},
    Keyword{"const", Tok::KwConst},     Keyword{"div", Tok::KwDiv},
    Keyword{"do", Tok::KwDo},           Keyword{"downto", Tok::KwDownto},
    Keyword{"else", Tok::KwElse},       Keyword{"end", Tok::KwEnd},
    Keyword{"except", Tok::KwExcept},   Keyword{"finally", Tok::KwFinally},
    Keyword{"for", Tok::KwFor},         Keyword{"function", Tok::KwFunction},
    Keyword{"if", Tok::KwIf},           Keyword{"in", Tok::KwIn},
    Keyword{"mod", Tok::KwMod},         Keyword{"set", Tok::KwSet},
    Keyword{"not", Tok::KwNot},         Keyword{"of", Tok::KwOf},
    Keyword{"or", Tok::KwOr},           Keyword{"procedure", Tok::KwProcedure},
    Keyword{"program", Tok::KwProgram}, Keyword{"raise", Tok::KwRaise},
    Keyword{"record", Tok::KwRecord},   Keyword{"repeat", Tok::KwRepeat},
    Keyword{"shl", Tok::KwShl},         Keyword{"shr", Tok::KwShr},
    Keyword{"then", Tok::KwThen},       Keyword{"to", Tok::KwTo},
    Keyword{"try", Tok::KwTry},         Keyword{"type", Tok::KwType},
    Keyword{"until", Tok::KwUntil},     Keyword{"var", Tok::KwVar},
    Keyword{"while", Tok::KwWhile},     Keyword{"xor", Tok::KwXor},
};

// The reserved word spelled by an identifier, in any letter case, or Ident.
Tok keywordKind(std::string_view word) {
    for (const Keyword& k : kKeywords) {
        if (k.lower.size() != word.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; same && i < word.size(); ++i) {
            char c = word[i];
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c + 32);
            same = c == k.lower[i];
        }
        if (same)
            return k.kind;
    }
    return Tok::Ident;
}

bool isIdentStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isHex(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
int hexValue(char c) {
    if (isDigit(c))
        return c - '0';
    return (asciiUpper(c) - 'A') + 10;
}

} // namespace

void Lexer::advance() {
    if (src_[pos_] == '\n') {
        ++line_;
        lineStart_ = pos_ + 1;
    }
    ++pos_;
}

Token Lexer::make(Tok kind, int line, int col, std::size_t start) {
    Token t;
    t.kind = kind;
    t.line = line;
    t.column = col;
    t.text = src_.substr(start, pos_ - start);
    return t;
}

Token Lexer::bad(int line, int col, std::string message) {
    Token t;
    t.kind = Tok::Bad;
    t.line = line;
    t.column = col;
    t.str = std::move(message);
    return t;
}

// Skips blanks, comments, directives and the text that conditional
// directives leave out; returns a Bad token for an unclosed comment, an
// unclosed {$IFDEF} or a refused directive.
bool Lexer::skipSpace(Token& badOut) {
    for (;;) {
        if (atEnd()) {
            if (conditions_.empty())
                return true;
            Condition open = conditions_.front();
            conditions_.clear();
            badOut = bad(open.line, open.column,
                         std::string("нет {$ENDIF} для {$"_cp) + open.name + "}");
            return false;
        }
        char c = peek();
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            advance();
        } else if (c == '/' && peek(1) == '/') {
            while (!atEnd() && peek() != '\n')
                advance();
        } else if (c == '{' || (c == '(' && peek(1) == '*')) {
            int line = line_, col = column();
            bool brace = c == '{';
            advance();
            if (!brace)
                advance();
            std::size_t bodyStart = pos_, bodyEnd = 0;
            for (;;) {
                if (atEnd()) {
                    badOut = bad(line, col, std::string("незакрытый комментарий"_cp));
                    pos_ = src_.size();
                    conditions_.clear();
                    return false;
                }
                if (brace && peek() == '}') {
                    bodyEnd = pos_;
                    advance();
                    break;
                }
                if (!brace && peek() == '*' && peek(1) == ')') {
                    bodyEnd = pos_;
                    advance();
                    advance();
                    break;
                }
                advance();
            }
            std::string_view body = src_.substr(bodyStart, bodyEnd - bodyStart);
            if (!body.empty() && body[0] == '$' && !directive(body.substr(1), line, col, badOut))
                return false;
        } else if (!active()) {
            // Left out by a conditional: only comments and directives count,
            // and a quote hides what follows it on its line.
            if (c == '\'') {
                advance();
                while (!atEnd() && peek() != '\'' && peek() != '\n')
                    advance();
                if (!atEnd() && peek() == '\'')
                    advance();
            } else {
                advance();
            }
        } else {
            return true;
        }
    }
}

bool Lexer::directive(std::string_view body, int line, int col, Token& badOut) {
    std::size_t i = 0;
    while (i < body.size() && isIdentStart(body[i]))
        ++i;
    std::string name;
    for (char ch : body.substr(0, i))
        name += asciiUpper(ch);
    while (i < body.size() && static_cast<unsigned char>(body[i]) <= ' ')
        ++i;
    std::size_t argStart = i;
    while (i < body.size() && (isIdentStart(body[i]) || isDigit(body[i])))
        ++i;
    std::string symbol;
    for (char ch : body.substr(argStart, i - argStart))
        symbol += asciiUpper(ch);
    auto refuse = [&](const std::string& message) {
        badOut = bad(line, col, message);
        return false;
    };
    bool takesSymbol = name == "DEFINE" || name == "UNDEF" || name == "IFDEF" || name == "IFNDEF";
    if (takesSymbol && symbol.empty() && (active() || name == "IFDEF" || name == "IFNDEF"))
        return refuse(std::string("в директиве {$"_cp) + name + std::string("} нет имени"_cp));
    if (name == "IFDEF" || name == "IFNDEF") {
        bool holds = (defines_.count(symbol) != 0) == (name == "IFDEF");
        bool outer = active();
        conditions_.push_back(Condition{line, col, name, outer, holds, outer && holds, false});
        return true;
    }
    if (name == "ELSE" || name == "ENDIF") {
        if (conditions_.empty())
            return refuse("{$" + name + std::string("} без {$IFDEF}"_cp));
        if (name == "ENDIF") {
            conditions_.pop_back();
            return true;
        }
        Condition& open = conditions_.back();
        if (open.seenElse)
            return refuse(std::string("второй {$ELSE} для одного {$IFDEF}"_cp));
        open.seenElse = true;
        open.active = open.outerActive && !open.holds;
        return true;
    }
    if (!active())
        return true; // other directives in left-out text do not count
    if (name == "DEFINE") {
        defines_.insert(symbol);
        return true;
    }
    if (name == "UNDEF") {
        defines_.erase(symbol);
        return true;
    }
    // A script has no files to include and no compiler switches to set, so
    // any other directive would pass silently; say so instead.
    return refuse(std::string("директива {$"_cp) +
                  (name.empty() ? std::string(body.substr(0, 20)) : name) +
                  std::string("} не поддерживается"_cp));
}

Token Lexer::next() {
    Token badTok;
    if (!skipSpace(badTok))
        return badTok;
    int line = line_, col = column();
    std::size_t start = pos_;
    if (atEnd())
        return make(Tok::End, line, col, start);
    char c = peek();
    if (isIdentStart(c)) {
        while (!atEnd() && (isIdentStart(peek()) || isDigit(peek())))
            advance();
        Token t = make(Tok::Ident, line, col, start);
        if (t.text.size() >= 2 && t.text.size() <= 9)
            t.kind = keywordKind(t.text);
        return t;
    }
    if (isDigit(c))
        return number(line, col, start);
    if (c == '$') {
        advance();
        if (!isHex(peek()))
            return bad(line, col, std::string("ожидались шестнадцатеричные цифры после \"$\""_cp));
        std::uint64_t v = 0;
        int digits = 0;
        while (isHex(peek())) {
            v = v * 16 + static_cast<std::uint64_t>(hexValue(peek()));
            ++digits;
            advance();
        }
        if (digits > 16)
            return bad(line, col, std::string("слишком большое число"_cp));
        Token t = make(Tok::IntLit, line, col, start);
        t.ival = static_cast<std::int64_t>(v);
        return t;
    }
    if (c == '\'' || c == '#')
        return stringLiteral(line, col, start);
    advance();
    switch (c) {
    case '+':
    case '-':
    case '*':
    case '/': {
        // x += 1 and its kin, as a statement only
        static constexpr Tok plain[] = {Tok::Plus, Tok::Minus, Tok::Star, Tok::Slash};
        static constexpr Tok compound[] = {Tok::PlusAssign, Tok::MinusAssign, Tok::StarAssign,
                                           Tok::SlashAssign};
        int k = c == '+' ? 0 : c == '-' ? 1 : c == '*' ? 2 : 3;
        if (peek() == '=') {
            advance();
            return make(compound[k], line, col, start);
        }
        return make(plain[k], line, col, start);
    }
    case '=':
        return make(Tok::Eq, line, col, start);
    case '(':
        return make(Tok::LParen, line, col, start);
    case ')':
        return make(Tok::RParen, line, col, start);
    case '[':
        return make(Tok::LBracket, line, col, start);
    case ']':
        return make(Tok::RBracket, line, col, start);
    case ',':
        return make(Tok::Comma, line, col, start);
    case ';':
        return make(Tok::Semicolon, line, col, start);
    case '<':
        if (peek() == '=') {
            advance();
            return make(Tok::LessEq, line, col, start);
        }
        if (peek() == '>') {
            advance();
            return make(Tok::NotEq, line, col, start);
        }
        return make(Tok::Less, line, col, start);
    case '>':
        if (peek() == '=') {
            advance();
            return make(Tok::GreaterEq, line, col, start);
        }
        return make(Tok::Greater, line, col, start);
    case ':':
        if (peek() == '=') {
            advance();
            return make(Tok::Assign, line, col, start);
        }
        return make(Tok::Colon, line, col, start);
    case '.':
        if (peek() == '.') {
            advance();
            return make(Tok::DotDot, line, col, start);
        }
        return make(Tok::Dot, line, col, start);
    default:
        break;
    }
    std::string msg(std::string("недопустимый символ"_cp));
    unsigned char uc = static_cast<unsigned char>(c);
    if (uc >= 0x20 && uc != 0x7F) {
        msg += " \"";
        msg += c;
        msg += '"';
    } else {
        static const char* hex = "0123456789ABCDEF";
        msg += " #$";
        msg += hex[uc >> 4];
        msg += hex[uc & 15];
    }
    return bad(line, col, msg);
}

Token Lexer::number(int line, int col, std::size_t start) {
    while (isDigit(peek()))
        advance();
    bool isFloat = false;
    if (peek() == '.' && isDigit(peek(1))) {
        isFloat = true;
        advance();
        while (isDigit(peek()))
            advance();
    }
    if ((peek() == 'e' || peek() == 'E') &&
        (isDigit(peek(1)) || ((peek(1) == '+' || peek(1) == '-') && isDigit(peek(2))))) {
        isFloat = true;
        advance();
        if (peek() == '+' || peek() == '-')
            advance();
        while (isDigit(peek()))
            advance();
    }
    Token t = make(isFloat ? Tok::FloatLit : Tok::IntLit, line, col, start);
    if (isFloat) {
        t.fval = std::strtod(std::string(t.text).c_str(), nullptr);
        return t;
    }
    std::uint64_t v = 0;
    for (char d : t.text) {
        std::uint64_t digit = static_cast<std::uint64_t>(d - '0');
        if (v > (static_cast<std::uint64_t>(INT64_MAX) - digit) / 10)
            return bad(line, col,
                       std::string("слишком большое число"_cp) + " " + std::string(t.text));
        v = v * 10 + digit;
    }
    t.ival = static_cast<std::int64_t>(v);
    return t;
}

// 'abc''d' #13 #$0A joined into one literal.
Token Lexer::stringLiteral(int line, int col, std::size_t start) {
    std::string value;
    for (;;) {
        if (peek() == '\'') {
            advance();
            for (;;) {
                if (atEnd() || peek() == '\n' || peek() == '\r')
                    return bad(line, col, std::string("незакрытая строка"_cp));
                if (peek() == '\'') {
                    if (peek(1) == '\'') {
                        value += '\'';
                        advance();
                        advance();
                        continue;
                    }
                    advance();
                    break;
                }
                value += peek();
                advance();
            }
        } else if (peek() == '#') {
            advance();
            unsigned v = 0;
            bool any = false;
            if (peek() == '$') {
                advance();
                while (isHex(peek())) {
                    v = v * 16 + static_cast<unsigned>(hexValue(peek()));
                    any = true;
                    advance();
                    if (v > 255)
                        break;
                }
            } else {
                while (isDigit(peek())) {
                    v = v * 10 + static_cast<unsigned>(peek() - '0');
                    any = true;
                    advance();
                    if (v > 255)
                        break;
                }
            }
            if (!any || v > 255)
                return bad(line, col, std::string("неверный код символа"_cp));
            value += static_cast<char>(v);
        } else {
            break;
        }
    }
    Token t = make(Tok::StrLit, line, col, start);
    t.str = std::move(value);
    return t;
}

std::string spelling(Tok kind) {
    switch (kind) {
    case Tok::End:
        return "конец текста"_cp;
    case Tok::Ident:
        return "имя"_cp;
    case Tok::IntLit:
        return "число"_cp;
    case Tok::FloatLit:
        return "число"_cp;
    case Tok::StrLit:
        return "строка"_cp;
    case Tok::Plus:
        return "+";
    case Tok::Minus:
        return "-";
    case Tok::Star:
        return "*";
    case Tok::Slash:
        return "/";
    case Tok::Eq:
        return "=";
    case Tok::NotEq:
        return "<>";
    case Tok::Less:
        return "<";
    case Tok::LessEq:
        return "<=";
    case Tok::Greater:
        return ">";
    case Tok::GreaterEq:
        return ">=";
    case Tok::LParen:
        return "(";
    case Tok::RParen:
        return ")";
    case Tok::LBracket:
        return "[";
    case Tok::RBracket:
        return "]";
    case Tok::Comma:
        return ",";
    case Tok::Semicolon:
        return ";";
    case Tok::Colon:
        return ":";
    case Tok::Assign:
        return ":=";
    case Tok::PlusAssign:
        return "+=";
    case Tok::MinusAssign:
        return "-=";
    case Tok::StarAssign:
        return "*=";
    case Tok::SlashAssign:
        return "/=";
    case Tok::Dot:
        return ".";
    case Tok::DotDot:
        return "..";
    case Tok::Bad:
        return "?";
    default:
        break;
    }
    for (const Keyword& k : kKeywords)
        if (k.kind == kind)
            return std::string(k.lower);
    return "?";
}

std::string describe(const Token& t) {
    switch (t.kind) {
    case Tok::End:
        return std::string(spelling(Tok::End));
    case Tok::Bad:
        return "?";
    default: {
        // Long literals are cut so that a message stays one readable line.
        constexpr std::size_t kShown = 40;
        if (t.text.size() > kShown)
            return std::string(t.text.substr(0, kShown)) + "...";
        return std::string(t.text);
    }
    }
}

} // namespace pascal
