// The script check: the player's units over inert bodies, the compiler's
// errors without their place suffix, and the selector warnings.
#include "scriptapi/ScriptCheck.h"

#include "model/Cp1251.h"
#include "pascal/DialogUnit.h"
#include "scriptapi/ScriptFunctions.h"
#include "scriptapi/SelectorCheck.h"

namespace scriptapi {

namespace {

// The compiler ends each placed message with " [строка L, столбец C]"; the
// callers show the place on their own, so the message goes without it.
std::string WithoutPlace(const pascal::Message& message) {
    if (message.line <= 0)
        return message.text;
    const std::string suffix = model::Utf8ToCp1251(" [строка ") + std::to_string(message.line) +
                               model::Utf8ToCp1251(", столбец ") +
                               std::to_string(message.column) + "]";
    if (message.text.ends_with(suffix))
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
    RegisterDeclarationsOnly(engine_);
}

ScriptChecker::~ScriptChecker() = default;

std::vector<CodeProblem> ScriptChecker::Check(std::string_view code) const {
    std::vector<CodeProblem> problems;
    const std::unique_ptr<pascal::Program> program = engine_.compile(code);
    for (const pascal::Message& message : program->messages())
        if (message.kind == pascal::Message::Kind::CompileError)
            problems.push_back(
                {ProblemKind::Error, message.line, message.column, WithoutPlace(message)});
    for (WrongSelector& wrong : FindWrongSelectors(code))
        problems.push_back(
            {ProblemKind::Warning, wrong.line, wrong.column, std::move(wrong.message)});
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
            for (CodeProblem& found : checker.Check(code))
                problems.push_back({static_cast<int>(location), action, std::move(found)});
        }
    }
    return problems;
}

} // namespace scriptapi
