// Words for the shared script check's problems.
#include "tools/quest/ScriptReport.h"

#include "model/Cp1251.h"
#include "scriptapi/ScriptCheck.h"

namespace questtool {

std::vector<std::string> DescribeScriptProblems(const model::QuestDocument& quest) {
    std::vector<std::string> lines;
    for (const scriptapi::ScriptProblem& found : scriptapi::CheckQuestScripts(quest)) {
        const scriptapi::CodeProblem& p = found.problem;
        std::string line = "локация " + std::to_string(found.location) + ", действие " +
                           std::to_string(found.action);
        if (p.line > 0)
            line += ", строка " + std::to_string(p.line) + ", столбец " + std::to_string(p.column);
        // The engine's own messages start with their kind («Ошибка: …»).
        line += p.kind == scriptapi::ProblemKind::Error ? ": " : ": предупреждение: ";
        lines.push_back(line + model::Cp1251ToUtf8(p.message));
    }
    return lines;
}

} // namespace questtool
