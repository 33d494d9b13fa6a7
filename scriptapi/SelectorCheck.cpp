// Finding literal selectors that match nothing: the code's tokens, the calls
// of MyUnit's functions among them, and the one-literal arguments of those
// calls in a selector's place.
#include "scriptapi/SelectorCheck.h"

#include "model/Cp1251.h"
#include "pascal/Lexer.h"
#include "scriptapi/ScriptFunctions.h"

#include <set>

namespace scriptapi {

namespace {

// How many selectors of each kind there are: one per parameter or action.
constexpr int kSelectorCount = 6;

std::string Lower(std::string_view name) {
    std::string lower(name);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

const char* PrefixOf(SelectorKind kind) {
    switch (kind) {
    case SelectorKind::Name:
        return "param";
    case SelectorKind::Value:
        return "p";
    case SelectorKind::Action:
        return "action";
    }
    return "";
}

bool IsSelector(SelectorKind kind, std::string_view text) {
    for (int n = 1; n <= kSelectorCount; ++n)
        if (text == PrefixOf(kind) + std::to_string(n))
            return true;
    return false;
}

// The literal's value as an author reads it: control characters, which the
// message box and the terminal would swallow, as the script writes them (#13).
std::string Visible(std::string_view value) {
    std::string out;
    for (char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            out += "#" + std::to_string(byte);
        else
            out += c;
    }
    return out;
}

std::string MessageFor(SelectorKind kind, std::string_view value) {
    const std::string prefix = PrefixOf(kind);
    return model::Utf8ToCp1251("селектор '") + Visible(value) +
           model::Utf8ToCp1251("' не существует; селекторы: ") + prefix + "1 " +
           model::Utf8ToCp1251("…") + " " + prefix + std::to_string(kSelectorCount);
}

std::vector<pascal::Token> TokensOf(std::string_view code) {
    std::vector<pascal::Token> tokens;
    pascal::Lexer lexer(code);
    for (;;) {
        pascal::Token token = lexer.next();
        // The compiler reports an unreadable piece; what follows it is not
        // read as the compiler would, so the scan ends there.
        if (token.kind == pascal::Tok::End || token.kind == pascal::Tok::Bad)
            break;
        tokens.push_back(std::move(token));
    }
    tokens.push_back(pascal::Token{});
    return tokens;
}

// Names the script declares as routines of its own: they hide MyUnit's.
std::set<std::string> OwnRoutines(const std::vector<pascal::Token>& tokens) {
    std::set<std::string> names;
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
        const pascal::Tok kind = tokens[i].kind;
        if ((kind == pascal::Tok::KwProcedure || kind == pascal::Tok::KwFunction) &&
            tokens[i + 1].kind == pascal::Tok::Ident)
            names.insert(Lower(tokens[i + 1].text));
    }
    return names;
}

// Where each token stands among brackets: the innermost open bracket around
// it and how many commas of that bracket come before it. Found in one pass,
// so that a script of many nested calls costs time in proportion to its size.
struct Nesting {
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::vector<std::size_t> parent;   // index of the innermost '(' or '[', or kNone
    std::vector<std::size_t> argument; // commas of that bracket before the token
};

Nesting NestingOf(const std::vector<pascal::Token>& tokens) {
    Nesting nesting{std::vector<std::size_t>(tokens.size(), Nesting::kNone),
                    std::vector<std::size_t>(tokens.size(), 0)};
    struct Open {
        std::size_t index;  // of the bracket token
        std::size_t commas; // met so far inside it, at its own level
    };
    std::vector<Open> open;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const pascal::Tok kind = tokens[i].kind;
        if (!open.empty()) {
            nesting.parent[i] = open.back().index;
            nesting.argument[i] = open.back().commas;
        }
        // A closing bracket belongs to the bracket it closes.
        if ((kind == pascal::Tok::RParen || kind == pascal::Tok::RBracket) && !open.empty())
            open.pop_back();
        else if (kind == pascal::Tok::LParen || kind == pascal::Tok::LBracket)
            open.push_back({i, 0});
        else if (kind == pascal::Tok::Comma && !open.empty())
            ++open.back().commas;
    }
    return nesting;
}

// The MyUnit function that the identifier at i calls, or nullptr: a member of
// something else (x.p) or a routine of the script's own is not one.
const ScriptFunction* CalledFunction(const std::vector<pascal::Token>& tokens, std::size_t i,
                                     const std::set<std::string>& own) {
    if (tokens[i].kind != pascal::Tok::Ident || tokens[i + 1].kind != pascal::Tok::LParen)
        return nullptr;
    if (own.contains(Lower(tokens[i].text)))
        return nullptr;
    if (i > 0 && tokens[i - 1].kind == pascal::Tok::Dot &&
        !(i > 1 && tokens[i - 2].kind == pascal::Tok::Ident &&
          Lower(tokens[i - 2].text) == Lower(kMyUnitName)))
        return nullptr;
    return FindScriptFunction(tokens[i].text);
}

// The string literal at i when it is a whole argument of the call whose '('
// is at open: nothing else between the commas or brackets around it.
bool IsWholeArgument(const std::vector<pascal::Token>& tokens, const Nesting& nesting,
                     std::size_t i, std::size_t open) {
    const auto boundary = [&](std::size_t k, pascal::Tok closing) {
        return nesting.parent[k] == open &&
               (tokens[k].kind == pascal::Tok::Comma || tokens[k].kind == closing);
    };
    return (i - 1 == open || boundary(i - 1, pascal::Tok::Comma)) &&
           boundary(i + 1, pascal::Tok::RParen);
}

} // namespace

std::optional<SelectorKind> SelectorKindOf(std::string_view paramName) {
    const std::string name = Lower(paramName);
    if (name == "param")
        return SelectorKind::Name;
    if (name == "p")
        return SelectorKind::Value;
    if (name == "action")
        return SelectorKind::Action;
    return std::nullopt;
}

std::vector<WrongSelector> FindWrongSelectors(std::string_view code) {
    const std::vector<pascal::Token> tokens = TokensOf(code);
    const std::set<std::string> own = OwnRoutines(tokens);
    const Nesting nesting = NestingOf(tokens);
    std::vector<WrongSelector> found;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::size_t open = nesting.parent[i];
        if (tokens[i].kind != pascal::Tok::StrLit || open == Nesting::kNone || open == 0 ||
            tokens[open].kind != pascal::Tok::LParen)
            continue;
        const ScriptFunction* function = CalledFunction(tokens, open - 1, own);
        const std::size_t argument = nesting.argument[i];
        if (!function || argument >= function->params.size() ||
            !IsWholeArgument(tokens, nesting, i, open))
            continue;
        const auto selector = SelectorKindOf(function->params[argument].name);
        if (selector && !IsSelector(*selector, tokens[i].str))
            found.push_back({tokens[i].line, tokens[i].column, MessageFor(*selector, tokens[i].str)});
    }
    return found;
}

} // namespace scriptapi
