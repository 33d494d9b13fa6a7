// What the terminal tools say on bad use and bad input: Russian words, the
// system's English texts quoted inside, and valid UTF-8 whatever the input.
#include "model/SafeFile.h"
#include "tools/quest/SystemText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

TEST(SystemTextTest, TheSystemsEnglishTextsAreQuotedInsideRussianWords) {
    const struct {
        std::string what, expected;
    } cases[] = {
        {"Invalid numeric input", "ошибка (\"Invalid numeric input\")"},
        {"'12a' is not a valid integer value", "не целое число (\"'12a' is not a valid integer value\")"},
        {"'\xE0' is not a valid integer value", "не целое число (\"'а' is not a valid integer value\")"},
        {"std::bad_alloc", "ошибка (\"std::bad_alloc\")"},
        // The model's own Russian texts (cp1251) only become UTF-8.
        {"\xCD\xE5\xF2", "Нет"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(questtool::ErrorInRussian(c.what), c.expected) << c.what;
}

TEST(SystemTextTest, BytesThatAreNoUtf8AreShownAsTheirCodes) {
    EXPECT_EQ(questtool::ForTerminal("квест.nvx"), "квест.nvx");
    EXPECT_EQ(questtool::ForTerminal("a\xFF" "b\xD0"), "a\\xFFb\\xD0");
    EXPECT_EQ(questtool::ForTerminal("\xC0\x80"), "\\xC0\\x80"); // an overlong NUL
    EXPECT_EQ(questtool::ForTerminal("\xF0\x9F\x99\x82"), "\xF0\x9F\x99\x82");
}

struct Outcome {
    int status;
    std::string err;
};

class ToolMessages : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("norvo-tool-messages-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // The tool the build made, unless NORVO_BIN_DIR names the folder.
    static fs::path tool(const char* name, const char* built) {
        const char* bin = std::getenv("NORVO_BIN_DIR");
        return bin && fs::exists(fs::path(bin) / name) ? fs::path(bin) / name : fs::path(built);
    }

    Outcome run(const fs::path& program, const std::string& args) const {
        const std::string err = (dir_ / "err.txt").string();
        const std::string command =
            "cd '" + dir_.string() + "' && '" + program.string() + "' " + args + " </dev/null >/dev/null 2>'" + err + "'";
        const int status = std::system(command.c_str());
        Outcome r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, model::ReadFileBytes(err)};
        return r;
    }

    std::string firstLine(const Outcome& r) const { return r.err.substr(0, r.err.find('\n')); }

    fs::path dir_;
};

TEST_F(ToolMessages, NorvoQuestSpeaksRussianAboutBadUseAndBadInput) {
    model::WriteFileAtomically((dir_ / "bad.nvx").string(), "3abc\r\n");
    model::WriteFileAtomically((dir_ / "empty.json").string(), "{\"params\": [], \"locations\": []}");
    const struct {
        std::string args, firstLine;
    } cases[] = {
        {"dump absent.nvx",
         "norvo-quest: не удаётся открыть файл «absent.nvx»: \"File not found\" — такого файла нет"},
        {"check bad.nvx",
         "norvo-quest: файл «bad.nvx», строка 1: \"Invalid numeric input\" — число локаций "
         "должно быть целым числом"},
        {"dump '\xFF.nvx'",
         "norvo-quest: не удаётся открыть файл «\\xFF.nvx»: \"File not found\" — такого файла "
         "нет"},
        {"frob", "norvo-quest: неизвестная команда «frob»"},
        {"'frob\xFE'", "norvo-quest: неизвестная команда «frob\\xFE»"},
        {"dump", "norvo-quest: нужен один файл"},
        {"pack empty.json", "norvo-quest: нужны входной файл и -o ФАЙЛ"},
        {"pack a.json -o b.nvx c", "norvo-quest: лишний аргумент «c»"},
    };
    const fs::path quest = tool("norvo-quest", NORVO_QUEST_TOOL);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const Outcome r = run(quest, c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(firstLine(r), c.firstLine);
    }
}

TEST_F(ToolMessages, NorvoPascalSpeaksRussianAboutBadUse) {
    const fs::path pascal = tool("norvo-pascal", NORVO_PASCAL_TOOL);
    const struct {
        std::string args;
        int status;
        std::string firstLine;
    } cases[] = {
        {"", 64, "использование: norvo-pascal [--seed N] ФАЙЛ|-"},
        {"absent.pas", 66,
         "norvo-pascal: не удаётся открыть «absent.pas» (\"No such file or directory\")"},
        {"--seed x1 -", 64, "norvo-pascal: --seed ждёт целое число от 0, а не «x1»"},
        {"--seed -3 -", 64, "norvo-pascal: --seed ждёт целое число от 0, а не «-3»"},
        {"a.pas b.pas", 64, "использование: norvo-pascal [--seed N] ФАЙЛ|-"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const Outcome r = run(pascal, c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(firstLine(r), c.firstLine);
    }
}

} // namespace
