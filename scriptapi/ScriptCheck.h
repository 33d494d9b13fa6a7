// Compiling a quest's scripts without running them, against the units the
// player gives its scripts (MyUnit and the engine's dialog unit), so that an
// author sees script errors before a player does. The editor and norvo-quest
// both check through here.
#pragma once

#include "model/Quest.h"
#include "pascal/Engine.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace scriptapi {

enum class ProblemKind {
    Error,   // the script does not compile; the player shows this and runs nothing
    Warning, // the script compiles, but a part of it can never do anything
};

// One problem of one script text.
struct CodeProblem {
    ProblemKind kind;
    int line;            // 1-based; 0 when the problem has no place
    int column;          // 1-based, in characters; 0 when the problem has no place
    std::string message; // cp1251, without the place
};

// One problem of one action's script.
struct ScriptProblem {
    int location;        // 1..LocationCount
    int action;          // 1..6
    CodeProblem problem; // where in the action's code, and what
};

// An engine with the player's units registered over bodies that do nothing:
// it compiles, it never runs what it compiles.
class ScriptChecker {
public:
    ScriptChecker();
    ~ScriptChecker();
    ScriptChecker(const ScriptChecker&) = delete;
    ScriptChecker& operator=(const ScriptChecker&) = delete;

    // The problems of code (cp1251): the compile errors in the order the
    // compiler met them, then the warnings in text order.
    std::vector<CodeProblem> Check(std::string_view code) const;

private:
    class SilentDialogs;
    std::unique_ptr<SilentDialogs> dialogs_; // must outlive engine_
    pascal::Engine engine_;
};

// Checks every action's code of every location; the problems come ordered by
// location, then action, then as Check gives them. Empty code has none.
std::vector<ScriptProblem> CheckQuestScripts(const model::QuestDocument& quest);

} // namespace scriptapi
