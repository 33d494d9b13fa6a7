// norvo-pascal as an author uses it: output as UTF-8, exit status 1 for
// compile errors and 2 for run-time errors, InputBox reading stdin.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct Result {
    int status = -1;
    std::string out, err;
};

class Runner : public testing::Test {
protected:
    std::filesystem::path dir;

    void SetUp() override {
        // The build names the runner it built; NORVO_BIN_DIR may point elsewhere.
        tool = NORVO_PASCAL_TOOL;
        if (const char* bin = std::getenv("NORVO_BIN_DIR"))
            if (std::filesystem::exists(std::string(bin) + "/norvo-pascal"))
                tool = std::string(bin) + "/norvo-pascal";
        dir = std::filesystem::temp_directory_path() /
              ("norvo-pascal-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        if (!dir.empty())
            std::filesystem::remove_all(dir);
    }

    static std::string slurp(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    Result run(const std::string& script, const std::string& input = "", bool viaStdin = false) {
        std::ofstream(dir / "script.pas", std::ios::binary) << script;
        std::ofstream(dir / "input.txt", std::ios::binary) << input;
        std::string cmd = "'" + tool + "' " +
                          (viaStdin ? "- < '" + (dir / "script.pas").string() + "'"
                                    : "'" + (dir / "script.pas").string() + "' < '" +
                                          (dir / "input.txt").string() + "'") +
                          " > '" + (dir / "out.txt").string() + "' 2> '" +
                          (dir / "err.txt").string() + "'";
        Result r;
        int rc = std::system(cmd.c_str());
        r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
        r.out = slurp(dir / "out.txt");
        r.err = slurp(dir / "err.txt");
        return r;
    }

    std::string tool;
};

TEST_F(Runner, RunsAndWritesUtf8) {
    // A cp1251 script: "Привет" in cp1251 bytes; the terminal gets UTF-8.
    Result r = run("PrintLn('\xCF\xF0\xE8\xE2\xE5\xF2'); ShowMessage('ok')");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\nok\n");
    // A script typed in UTF-8 is read as the same text.
    r = run("PrintLn(Length('\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82'))");
    EXPECT_EQ(r.out, "6\n");
}

TEST_F(Runner, SkipsAByteOrderMarkAndWarnsOfTextItCannotReadAsUtf8) {
    Result r = run("\xEF\xBB\xBFPrintLn('\xD0\xAF')");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "\xD0\xAF\n");
    EXPECT_EQ(r.err, "");

    // cp1251 bytes: read as they are, with the place of the first that is not UTF-8.
    r = run("PrintLn(1);\nPrintLn('ab\xCF\xF0')");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1\nab\xD0\x9F\xD1\x80\n");
    EXPECT_NE(r.err.find("UTF-8"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("2, \xD1\x81\xD1\x82\xD0\xBE\xD0\xBB\xD0\xB1\xD0\xB5\xD1\x86 12: "
                         "\xD0\xB1\xD0\xB0\xD0\xB9\xD1\x82 0xCF"),
              std::string::npos)
        << r.err; // "2, столбец 12: байт 0xCF"

    // A character cp1251 lacks (an em dash is there, a snowman is not): '?' in its place.
    r = run("PrintLn('\xD0\xAF\xE2\x80\x94\xE2\x98\x83!')");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "\xD0\xAF\xE2\x80\x94?!\n");
    EXPECT_NE(r.err.find("U+2603"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("1, \xD1\x81\xD1\x82\xD0\xBE\xD0\xBB\xD0\xB1\xD0\xB5\xD1\x86 12"),
              std::string::npos)
        << r.err;
}

TEST_F(Runner, ExitStatusTellsCompileFromRunTimeErrors) {
    Result r = run("PrintLn(1;");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    // "Синтаксическая ошибка" in UTF-8
    EXPECT_NE(r.err.find("\xD0\xA1\xD0\xB8\xD0\xBD\xD1\x82"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("1, "), std::string::npos) << r.err;

    r = run("PrintLn('before'); PrintLn(1 div 0)");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "before\n");
    EXPECT_NE(r.err.find("[\xD1\x81\xD1\x82\xD1\x80\xD0\xBE\xD0\xBA\xD0\xB0 1"), std::string::npos)
        << r.err;
}

TEST_F(Runner, InputBoxReadsLinesAndEndOfInputCancels) {
    Result r = run("PrintLn(InputBox('T', 'Name?', 'nobody')); PrintLn(InputBox('T', 'Again?', "
                   "'nobody'))",
                   "Ann\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Ann\nnobody\n");
}

TEST_F(Runner, ReadsTheScriptFromStdin) {
    Result r = run("PrintLn(2 + 2)", "", true);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "4\n");
}

} // namespace
