// Selectors written as literal texts that match no selector of their
// function. Such a call does nothing when the quest plays, which is what the
// player must do; an author still wants to hear of it before a player finds
// the dead action.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scriptapi {

// The three kinds of selector a MyUnit parameter may take.
enum class SelectorKind {
    Name,   // "param1" .. "param6": a parameter's name and held item
    Value,  // "p1" .. "p6": a parameter's value
    Action, // "action1" .. "action6": an action label
};

// The kind of selector a parameter of that declared name takes, or nullopt.
// The unit's parameters named param, p and action (in any letter case) are
// exactly the ones that take selectors.
std::optional<SelectorKind> SelectorKindOf(std::string_view paramName);

// One literal selector that matches nothing.
struct WrongSelector {
    int line;            // 1-based, of the literal's first character
    int column;          // 1-based, in characters of the text as written
    std::string message; // cp1251: «селектор 'Param1' не существует; селекторы: param1 … param6»
};

// Every argument of a MyUnit call, in text order, that is one string literal
// in a selector's place and matches no selector of its kind. The code is read
// with the script language's own lexer, so strings and comments are exactly
// what the compiler sees; a routine the script declares itself under a
// MyUnit name is its own and is not looked at.
std::vector<WrongSelector> FindWrongSelectors(std::string_view code);

} // namespace scriptapi
