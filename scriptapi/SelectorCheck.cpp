// Finding literal selectors that match nothing: the code's tokens, the calls
// of MyUnit's functions among them, and the one-literal arguments of those
// calls in a selector's place.
#include "scriptapi/SelectorCheck.h"

#include "model/Cp1251.h"
#include "pascal/Lexer.h"
#include "scriptapi/ScriptFunctions.h"

#include <algorithm>
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

// Looks at the arguments of the call whose '(' is at open.
void CheckArguments(const std::vector<pascal::Token>& tokens, std::size_t open,
                    const ScriptFunction& function, std::vector<WrongSelector>& found) {
    std::size_t argument = 0, first = open + 1;
    int depth = 0;
    for (std::size_t j = open + 1; j < tokens.size(); ++j) {
        const pascal::Tok kind = tokens[j].kind;
        if (kind == pascal::Tok::End)
            return;
        if (kind == pascal::Tok::LParen || kind == pascal::Tok::LBracket) {
            ++depth;
            continue;
        }
        const bool closes = kind == pascal::Tok::RParen && depth == 0;
        if ((kind == pascal::Tok::RParen || kind == pascal::Tok::RBracket) && depth > 0) {
            --depth;
            continue;
        }
        if (!closes && !(kind == pascal::Tok::Comma && depth == 0))
            continue;
        // One argument ends at j.
        if (j == first + 1 && tokens[first].kind == pascal::Tok::StrLit &&
            argument < function.params.size()) {
            const auto selector = SelectorKindOf(function.params[argument].name);
            if (selector && !IsSelector(*selector, tokens[first].str))
                found.push_back({tokens[first].line, tokens[first].column,
                                 MessageFor(*selector, tokens[first].str)});
        }
        if (closes)
            return;
        ++argument;
        first = j + 1;
    }
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
    std::vector<WrongSelector> found;
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i)
        if (const ScriptFunction* function = CalledFunction(tokens, i, own))
            CheckArguments(tokens, i + 1, *function, found);
    // A call inside another's arguments is met after the outer call's start.
    std::stable_sort(found.begin(), found.end(), [](const WrongSelector& a, const WrongSelector& b) {
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    });
    return found;
}

} // namespace scriptapi
