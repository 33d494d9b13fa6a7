// The script check: the player's units over inert bodies, and the one box
// that lists what the compiler found.
#include "editor/ScriptCheck.h"

#include "model/Cp1251.h"
#include "pascal/DialogUnit.h"
#include "scriptapi/ScriptFunctions.h"

namespace editor {

namespace {

// The box lists this many problems and counts the rest: a quest whose every
// script is broken would otherwise give a box taller than any screen.
constexpr std::size_t kMaxListedProblems = 20;

std::string Ru(std::string_view utf8) { return model::Utf8ToCp1251(utf8); }

// The compiler ends each placed message with " [строка L, столбец C]"; the
// editor shows the place on its own, so the message goes without it.
std::string WithoutPlace(const pascal::Message& message) {
    if (message.line <= 0)
        return message.text;
    const std::string suffix = Ru(" [строка ") + std::to_string(message.line) + Ru(", столбец ") +
                               std::to_string(message.column) + "]";
    if (message.text.size() >= suffix.size() && message.text.ends_with(suffix))
        return message.text.substr(0, message.text.size() - suffix.size());
    return message.text;
}

} // namespace

// Dialog calls never happen, since nothing is run; the unit is there only so
// that scripts calling ShowMessage or InputBox compile as in the player.
class ScriptChecker::SilentDialogs : public pascal::DialogHost {
public:
    void showMessage(const std::string&) override {}
    std::optional<std::string> inputBox(const std::string&, const std::string&,
                                        const std::string&) override {
        return std::nullopt;
    }
    void errorDlg(const std::string&) override {}
    void informationDlg(const std::string&) override {}
    bool questionDlg(const std::string&) override { return false; }
    bool okCancelDlg(const std::string&) override { return false; }
};

ScriptChecker::ScriptChecker() : dialogs_(std::make_unique<SilentDialogs>()) {
    pascal::registerDialogUnit(engine_, *dialogs_);
    scriptapi::RegisterDeclarationsOnly(engine_);
}

ScriptChecker::~ScriptChecker() = default;

std::vector<CompileProblem> ScriptChecker::Check(std::string_view code) const {
    std::vector<CompileProblem> problems;
    const std::unique_ptr<pascal::Program> program = engine_.compile(code);
    for (const pascal::Message& message : program->messages()) {
        if (message.kind == pascal::Message::Kind::CompileError)
            problems.push_back({message.line, message.column, WithoutPlace(message)});
    }
    return problems;
}

std::vector<ScriptProblem> CheckQuestScripts(const model::QuestDocument& quest) {
    const ScriptChecker checker;
    std::vector<ScriptProblem> problems;
    for (std::size_t location = 1; location < quest.Quests.size(); ++location) {
        for (int action = 1; action <= 6; ++action) {
            const std::string& code = quest.Quests[location].Code(action);
            if (code.empty())
                continue;
            for (CompileProblem& found : checker.Check(code))
                problems.push_back({static_cast<int>(location), action, found.line, found.column,
                                    std::move(found.message)});
        }
    }
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
