// norvo-quest: quest files and stand-alone quests in a terminal. Prints a
// quest as JSON, packs JSON into a quest file, lists content that a save or a
// build would lose, and builds a stand-alone quest from the norvo-engine
// program that lies beside it.
#include "model/Cp1251.h"
#include "model/Errors.h"
#include "model/ExeLayout.h"
#include "model/LostContent.h"
#include "model/Payload.h"
#include "model/QuestFile.h"
#include "model/SafeFile.h"
#include "tools/quest/LossReport.h"
#include "tools/quest/QuestJson.h"
#include "tools/quest/QuestSource.h"
#include "tools/quest/ScriptReport.h"
#include "tools/quest/SystemText.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

// Exit codes: 0 done, 1 content that will not survive or scripts with
// problems (nothing is written then), 2 bad use or bad input.
constexpr int ExitOk = 0, ExitLost = 1, ExitFailed = 2;

constexpr const char* Usage =
    "использование:\n"
    "  norvo-quest dump ФАЙЛ                  квест (.nvx, автономный или JSON) в JSON\n"
    "  norvo-quest pack ФАЙЛ.json -o ФАЙЛ.nvx JSON в файл квеста\n"
    "  norvo-quest check ФАЙЛ                 что не сохранится и ошибки в сценариях\n"
    "  norvo-quest build КВЕСТ -o ФАЙЛ        автономный квест из norvo-engine рядом\n"
    "  --allow-loss                           pack и build записывают и то, что не сохранится\n";

// A command's failure that is already phrased for the user, in UTF-8.
struct Failure {
    std::string message;
};

// Before pack and build write a stored form: refuses (ExitLost) content the
// form would lose, listing every place, unless the author allows the loss;
// then the places are warnings.
int refuseLoss(const model::QuestDocument& quest, questtool::LossForms form, bool allowLoss) {
    const questtool::LossReport report = questtool::ReportLosses(quest, form);
    if (report.empty())
        return ExitOk;
    const char* lead = allowLoss ? "norvo-quest: предупреждение: " : "norvo-quest: ";
    for (const std::string& place : report.places)
        std::cerr << lead << place << "\n";
    if (allowLoss)
        return ExitOk;
    for (const std::string& advice : report.advice)
        std::cerr << advice << "\n";
    std::cerr << "Файл не записан. Исправьте эти места или запишите как есть с --allow-loss.\n";
    return ExitLost;
}

// Takes --allow-loss out of args; true when it was there.
bool takeAllowLoss(std::vector<std::string>& args) {
    const auto found = std::find(args.begin(), args.end(), "--allow-loss");
    if (found == args.end())
        return false;
    args.erase(found);
    return true;
}

// The option value after "-o", and the one plain argument.
struct Arguments {
    std::string input, output;
};

Arguments inputAndOutput(const std::vector<std::string>& args) {
    Arguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size() && parsed.output.empty())
            parsed.output = args[++i];
        else if (parsed.input.empty() && args[i] != "-o")
            parsed.input = args[i];
        else
            throw Failure{std::string("лишний аргумент \u00AB") + args[i] + "\u00BB\n" + Usage};
    }
    if (parsed.input.empty() || parsed.output.empty())
        throw Failure{std::string("нужны входной файл и -o ФАЙЛ\n") + Usage};
    return parsed;
}

std::string onlyArgument(const std::vector<std::string>& args) {
    if (args.size() != 1)
        throw Failure{std::string("нужен один файл\n") + Usage};
    return args[0];
}

std::string quoted(const std::string& path) {
    return "\u00AB" + path + "\u00BB";
}

// Runs fn; errors of the model and of the JSON form become a Failure that
// names the file. The model's two English messages stay as they are, quoted
// in a Russian sentence; messages that quote the file already keep to it.
template <typename Fn> auto about(const std::string& path, Fn fn) {
    try {
        return fn();
    } catch (const model::NumericInputError& e) {
        throw Failure{"файл " + quoted(path) + ", строка " + std::to_string(e.line()) + ": \"" +
                      e.what() + "\" \u2014 число локаций должно быть целым числом"};
    } catch (const std::exception& e) {
        const std::string what = model::Cp1251ToUtf8(e.what());
        if (what == "File not found")
            throw Failure{"не удаётся открыть файл " + quoted(path) + ": \"" + what +
                          "\" \u2014 такого файла нет"};
        if (what.find(quoted(path)) != std::string::npos)
            throw Failure{what};
        throw Failure{path + ": " + questtool::ErrorInRussian(e.what())};
    }
}

// "файл обрывается после строки N из M", when a quest file is cut short.
std::string cutShortNote(const model::QuestFileLines& lines) {
    return "файл обрывается после строки " + std::to_string(lines.present) + " из " +
           std::to_string(lines.expected);
}

// Writing a file over the one it is made from would destroy the source.
void refuseSameFile(const Arguments& a) {
    std::error_code error;
    if (std::filesystem::equivalent(a.input, a.output, error))
        throw Failure{"выходной файл " + quoted(a.output) + " \u2014 это входной файл " +
                      quoted(a.input) + ", он был бы затёрт"};
}

int dump(const std::vector<std::string>& args) {
    const std::string path = onlyArgument(args);
    const model::QuestDocument quest = about(path, [&] { return questtool::LoadQuest(path); });
    std::cout << questtool::QuestToJson(quest);
    return ExitOk;
}

int pack(std::vector<std::string> args) {
    const bool allowLoss = takeAllowLoss(args);
    const Arguments a = inputAndOutput(args);
    refuseSameFile(a);
    const model::QuestDocument quest =
        about(a.input, [&] { return questtool::QuestFromJson(model::ReadFileBytes(a.input)); });
    if (refuseLoss(quest, {.questFile = true, .payload = false}, allowLoss) != ExitOk)
        return ExitLost;
    about(a.output, [&] { model::WriteQuestFile(a.output, quest); });
    return ExitOk;
}

int check(const std::vector<std::string>& args) {
    const std::string path = onlyArgument(args);
    model::QuestFileLines lines;
    const model::QuestDocument quest =
        about(path, [&] { return questtool::LoadQuest(path, &lines); });
    if (lines.cutShort())
        std::cout << cutShortNote(lines) << "\n";
    const questtool::LossReport lost =
        questtool::ReportLosses(quest, {.questFile = true, .payload = true});
    for (const std::string& place : lost.places)
        std::cout << place << "\n";
    const std::vector<std::string> scripts = questtool::DescribeScriptProblems(quest);
    for (const std::string& problem : scripts)
        std::cout << problem << "\n";
    for (const std::string& advice : lost.advice)
        std::cout << advice << "\n";
    return lost.empty() && scripts.empty() && !lines.cutShort() ? ExitOk : ExitLost;
}

// The player program is installed beside this tool.
std::string enginePath() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        throw Failure{"не удаётся найти собственный файл программы (\"" + error.message() + "\")"};
    return (self.parent_path() / "norvo-engine").string();
}

int build(std::vector<std::string> args) {
    const bool allowLoss = takeAllowLoss(args);
    const Arguments a = inputAndOutput(args);
    refuseSameFile(a);
    model::QuestFileLines lines;
    const model::QuestDocument quest =
        about(a.input, [&] { return questtool::LoadQuest(a.input, &lines); });
    if (lines.cutShort())
        std::cerr << "norvo-quest: предупреждение: " << a.input << ": " << cutShortNote(lines)
                  << "\n";
    if (quest.LocationCount < 1)
        throw Failure{a.input + ": в квесте нет ни одной локации"};
    const std::string engine = enginePath();
    if (!std::filesystem::exists(engine))
        throw Failure{"нет программы norvo-engine рядом с norvo-quest (" + engine + ")"};
    const std::string image = about(engine, [&] {
        std::string bytes = model::ReadFileBytes(engine);
        bytes.resize(static_cast<std::size_t>(model::ExecutableImageSize(bytes)));
        return bytes;
    });
    if (refuseLoss(quest, {.questFile = false, .payload = true}, allowLoss) != ExitOk)
        return ExitLost;
    about(a.output, [&] { model::WriteStandAlone(a.output, image, model::BuildPayload(quest)); });
    return ExitOk;
}

} // namespace

int main(int argc, char** argv) {
    // Past a file-size limit a write then fails with EFBIG, so the safe
    // writer removes its temporary file and the user gets a message, instead
    // of the process being killed half-way.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> all(argv + 1, argv + argc);
    if (all.empty()) {
        std::cerr << Usage;
        return ExitFailed;
    }
    const std::string command = all[0];
    const std::vector<std::string> args(all.begin() + 1, all.end());
    try {
        if (command == "dump")
            return dump(args);
        if (command == "pack")
            return pack(args);
        if (command == "check")
            return check(args);
        if (command == "build")
            return build(args);
        if (command == "help" || command == "--help" || command == "-h") {
            std::cout << Usage;
            return ExitOk;
        }
        std::cerr << "norvo-quest: неизвестная команда \u00AB" << questtool::ForTerminal(command)
                  << "\u00BB\n"
                  << Usage;
    } catch (const Failure& failure) {
        std::cerr << "norvo-quest: " << questtool::ForTerminal(failure.message) << "\n";
    } catch (const std::exception& e) {
        std::cerr << "norvo-quest: " << questtool::ErrorInRussian(e.what()) << "\n";
    }
    return ExitFailed;
}
