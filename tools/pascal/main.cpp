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
#include <optional>
#include <sstream>
#include <string>

namespace {

std::string cp1251ToUtf8(std::string_view cp1251) {
    return model::Cp1251ToUtf8(cp1251);
}

// An answer typed in the terminal: UTF-8 text is converted; text that is not
// UTF-8, or holds a character cp1251 has no byte for, is taken as cp1251
// bytes already.
std::string terminalToCp1251(std::string_view text) {
    try {
        return model::Utf8ToCp1251(text);
    } catch (const model::EncodingError&) {
        return std::string(text);
    }
}

// The first place where a text stops being UTF-8 that cp1251 can hold.
struct Unreadable {
    std::size_t offset = 0; // of the first byte of the sequence
    bool malformed = false; // not UTF-8 at all, rather than a character cp1251 lacks
    char32_t character = 0; // the character, when it is one cp1251 lacks
};

// The length of a well-formed UTF-8 sequence at `at` and its character, or 0.
std::size_t utf8Sequence(std::string_view s, std::size_t at, char32_t& ch) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char b = byte(at);
    std::size_t n = b < 0x80           ? 1
                    : (b >> 5) == 0x6  ? 2
                    : (b >> 4) == 0xE  ? 3
                    : (b >> 3) == 0x1E ? 4
                                       : 0;
    if (n == 0 || at + n > s.size())
        return 0;
    ch = n == 1 ? b : b & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(at + k) & 0xC0) != 0x80)
            return 0;
        ch = (ch << 6) | (byte(at + k) & 0x3F);
    }
    static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (ch < kLeast[n] || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF))
        return 0; // overlong, beyond Unicode, or a surrogate
    return n;
}

// Converts UTF-8 to cp1251 into `out` in one pass, up to the first place it
// cannot.
std::optional<Unreadable> convertUtf8(std::string_view s, std::string& out) {
    out.clear();
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        char32_t ch = 0;
        std::size_t n = utf8Sequence(s, i, ch);
        if (n == 0)
            return Unreadable{i, true, 0};
        std::optional<unsigned char> byte = model::UnicodeToCp1251(ch);
        if (!byte)
            return Unreadable{i, false, ch};
        out += static_cast<char>(*byte);
        i += n;
    }
    return std::nullopt;
}

// "строка L, столбец C" of a byte offset, the column counted in characters
// as an editor shows them.
std::string placeOf(std::string_view s, std::size_t offset) {
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < offset; ++i) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        if (b == '\n') {
            ++line;
            column = 1;
        } else if ((b & 0xC0) != 0x80) {
            ++column;
        }
    }
    return "строка " + std::to_string(line) + ", столбец " + std::to_string(column);
}

// A script file: a UTF-8 byte-order mark is skipped; UTF-8 is converted.
// Text that is not UTF-8 is taken as cp1251 bytes already, and a character
// cp1251 has no byte for becomes '?'; either is said on stderr with its place.
std::string scriptToCp1251(std::string_view text) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (text.substr(0, kBom.size()) == kBom)
        text.remove_prefix(kBom.size());
    std::string converted;
    std::optional<Unreadable> bad = convertUtf8(text, converted);
    if (!bad)
        return converted;
    char code[16];
    if (bad->malformed) {
        std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned char>(text[bad->offset]));
        std::cerr << "norvo-pascal: предупреждение: текст не в UTF-8 ("
                  << placeOf(text, bad->offset) << ": байт " << code
                  << "), он прочитан как cp1251\n";
        return std::string(text);
    }
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(bad->character));
    std::cerr << "norvo-pascal: предупреждение: символа " << code << " ("
              << placeOf(text, bad->offset)
              << ") нет в cp1251, он и другие такие заменены на \"?\"\n";
    return model::Utf8ToCp1251Lossy(text);
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
    text = scriptToCp1251(text);

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
