// The editor's side of the script check: the shared check's problems in the
// editor's records, and the one box that lists them.
#include "editor/ScriptCheck.h"

#include "model/Cp1251.h"

namespace editor {

namespace {

// The box lists this many problems and counts the rest: a quest whose every
// script is broken would otherwise give a box taller than any screen.
constexpr std::size_t kMaxListedProblems = 20;

std::string Ru(std::string_view utf8) { return model::Utf8ToCp1251(utf8); }

// The editor's records have no kind of their own: a warning says so in words.
std::string MessageOf(const scriptapi::CodeProblem& problem) {
    if (problem.kind == scriptapi::ProblemKind::Warning)
        return Ru("предупреждение: ") + problem.message;
    return problem.message;
}

} // namespace

ScriptChecker::ScriptChecker() = default;

ScriptChecker::~ScriptChecker() = default;

std::vector<CompileProblem> ScriptChecker::Check(std::string_view code) const {
    std::vector<CompileProblem> problems;
    for (const scriptapi::CodeProblem& found : checker_.Check(code))
        problems.push_back({found.line, found.column, MessageOf(found)});
    return problems;
}

std::vector<ScriptProblem> CheckQuestScripts(const model::QuestDocument& quest) {
    std::vector<ScriptProblem> problems;
    for (const scriptapi::ScriptProblem& found : scriptapi::CheckQuestScripts(quest))
        problems.push_back({found.location, found.action, found.problem.line,
                            found.problem.column, MessageOf(found.problem)});
    return problems;
}

std::string DescribeScriptProblems(const std::vector<ScriptProblem>& problems) {
    if (problems.empty())
        return Ru("Ошибок в сценариях нет.");
    std::string text = Ru("Ошибки в сценариях:");
    const std::size_t listed = std::min(problems.size(), kMaxListedProblems);
    for (std::size_t i = 0; i < listed; ++i) {
        const ScriptProblem& p = problems[i];
        text += '\r';
        text += Ru("Локация ") + std::to_string(p.location) + Ru(", действие ") +
                std::to_string(p.action);
        if (p.line > 0)
            text += Ru(", строка ") + std::to_string(p.line) + Ru(", столбец ") +
                    std::to_string(p.column);
        text += ": " + p.message;
    }
    if (problems.size() > listed)
        text += '\r' + Ru("Ещё ошибок: ") + std::to_string(problems.size() - listed) + ".";
    return text;
}

} // namespace editor
