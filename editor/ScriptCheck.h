// The editor's words for the shared script check: the quest's scripts
// compiled without running them, against the units the player gives its
// scripts, so that the author sees script errors before a player does.
#pragma once

#include "model/Quest.h"
#include "scriptapi/ScriptCheck.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace editor {

// One compile error or warning of one action's script; a warning's message
// starts with «предупреждение: ».
struct ScriptProblem {
    int location;        // 1..LocationCount
    int action;          // 1..6
    int line;            // 1-based; 0 when the error has no place
    int column;          // 1-based; 0 when the error has no place
    std::string message; // cp1251, without the place
};

// One compile error or warning of a text, as the code editor marks it.
struct CompileProblem {
    int line;            // 1-based; 0 when the error has no place
    int column;          // 1-based; 0 when the error has no place
    std::string message; // cp1251, without the place
};

// An engine with the player's units registered over bodies that do nothing:
// it compiles, it never runs what it compiles.
class ScriptChecker {
public:
    ScriptChecker();
    ~ScriptChecker();
    ScriptChecker(const ScriptChecker&) = delete;
    ScriptChecker& operator=(const ScriptChecker&) = delete;

    // The compile errors of code (cp1251), in the order the compiler met them,
    // then its warnings.
    std::vector<CompileProblem> Check(std::string_view code) const;

private:
    scriptapi::ScriptChecker checker_;
};

// Checks every action's code of every location; the problems come ordered by
// location, then action, errors before warnings. Empty code has no problems.
std::vector<ScriptProblem> CheckQuestScripts(const model::QuestDocument& quest);

// The text of the one box that lists them (cp1251), or «Ошибок в сценариях
// нет.» when there are none.
std::string DescribeScriptProblems(const std::vector<ScriptProblem>& problems);

} // namespace editor
