// norvo-pascal FILE | - : compiles and runs one script in the terminal.
// PrintLn and the message dialogs write to stdout, InputBox and the questions
// read a line from stdin; compile errors go to stderr with exit status 1, a
// run-time error with exit status 2.
#include "model/Cp1251.h"
#include "model/Errors.h"
#include "pascal/DialogUnit.h"
#include "pascal/Engine.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

namespace {

std::string cp1251ToUtf8(std::string_view cp1251) {
    return model::Cp1251ToUtf8(cp1251);
}

// A script or an answer typed in the terminal: UTF-8 text is converted; text
// that is not UTF-8, or holds a character cp1251 has no byte for, is taken
// as cp1251 bytes already.
std::string terminalToCp1251(std::string_view text) {
    try {
        return model::Utf8ToCp1251(text);
    } catch (const model::EncodingError&) {
        return std::string(text);
    }
}

class TerminalDialogs final : public pascal::DialogHost {
public:
    void showMessage(const std::string& msg) override { say(msg); }
    std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& defaultText) override {
        std::cerr << cp1251ToUtf8(caption) << ": " << cp1251ToUtf8(prompt) << " ["
                  << cp1251ToUtf8(defaultText) << "] " << std::flush;
        std::string line;
        if (!readLine(line))
            return std::nullopt;
        return terminalToCp1251(line);
    }
    void errorDlg(const std::string& msg) override { say(msg); }
    void informationDlg(const std::string& msg) override { say(msg); }
    bool questionDlg(const std::string& msg) override { return ask(msg, "(да/нет)"); }
    bool okCancelDlg(const std::string& msg) override { return ask(msg, "(ок/отмена)"); }

private:
    static void say(const std::string& msg) { std::cout << cp1251ToUtf8(msg) << std::endl; }
    static bool readLine(std::string& line) {
        std::cout.flush();
        if (!std::getline(std::cin, line))
            return false;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return true;
    }
    static bool ask(const std::string& msg, const char* choices) {
        std::cerr << cp1251ToUtf8(msg) << " " << choices << " " << std::flush;
        std::string line;
        if (!readLine(line))
            return false;
        std::string a;
        for (char c : line)
            if (c != ' ')
                a += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        // Russian answers in UTF-8, as typed in a Russian terminal, and
        // their English forms.
        return a == "y" || a == "yes" || a == "ok" || a == "да" || a == "д" || a == "ок" ||
               a == "Да" || a == "Ок" || a == "ДА" || a == "ОК";
    }
};

int usage() {
    std::cerr << "использование: norvo-pascal [--seed N] ФАЙЛ|-\n"
                 "  компилирует и выполняет сценарий на Паскале; '-' читает его из stdin;\n"
                 "  --seed N (целое число от 0) делает Random повторяемым\n";
    return 64;
}

} // namespace

int main(int argc, char** argv) {
    std::string path;
    pascal::RunOptions options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
            const std::string seed = argv[++i];
            char* end = nullptr;
            errno = 0;
            const unsigned long long value = std::strtoull(seed.c_str(), &end, 10);
            if (seed.empty() || seed[0] == '-' || *end != '\0' || errno == ERANGE) {
                std::cerr << "norvo-pascal: --seed ждёт целое число от 0, а не \u00AB"
                          << cp1251ToUtf8(terminalToCp1251(seed)) << "\u00BB\n";
                return usage();
            }
            options.randomSeed = value;
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            return usage(), 0;
        } else if (path.empty()) {
            path = argv[i];
        } else {
            return usage();
        }
    }
    if (path.empty())
        return usage();

    std::string text;
    if (path == "-") {
        std::ostringstream all;
        all << std::cin.rdbuf();
        text = all.str();
    } else {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            std::cerr << "norvo-pascal: не удаётся открыть \u00AB" << cp1251ToUtf8(terminalToCp1251(path))
                      << "\u00BB (\"" << std::strerror(errno) << "\")\n";
            return 66;
        }
        std::ostringstream all;
        all << in.rdbuf();
        text = all.str();
    }
    text = terminalToCp1251(text);

    pascal::Engine engine;
    TerminalDialogs dialogs;
    pascal::registerDialogUnit(engine, dialogs);
    auto program = engine.compile(text);
    if (program->hasErrors()) {
        for (const auto& m : program->messages())
            std::cerr << cp1251ToUtf8(m.text) << "\n";
        return 1;
    }
    options.output = [](std::string_view s) { std::cout << cp1251ToUtf8(s); };
    pascal::RunStatus status = program->run(options);
    std::cout.flush();
    if (status != pascal::RunStatus::Completed) {
        for (const auto& m : program->messages())
            std::cerr << cp1251ToUtf8(m.text) << "\n";
        return 2;
    }
    return 0;
}
