// norvo-quest as a user runs it: commands, exit codes and messages.
#include "model/Cp1251.h"
#include "model/ExeLayout.h"
#include "model/Payload.h"
#include "model/QuestFile.h"
#include "model/SafeFile.h"
#include "scriptapi/ScriptCheck.h"
#include "tools/quest/QuestJson.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int status;
    std::string out, err;
};

class QuestTool : public ::testing::Test {
protected:
    void SetUp() override {
        // The build names the tool it made; NORVO_BIN_DIR may point elsewhere.
        const char* bin = std::getenv("NORVO_BIN_DIR");
        tool_ = bin ? fs::path(bin) / "norvo-quest" : fs::path(NORVO_QUEST_TOOL);
        ASSERT_TRUE(fs::exists(tool_)) << tool_;
        dir_ = fs::temp_directory_path() /
               ("norvo-quest-test-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    // Runs the tool in a shell, after `before` (a shell command) when given.
    ToolRun run(const std::string& args, const fs::path& tool = {},
                const std::string& before = {}) const {
        const std::string out = path("stdout.txt"), err = path("stderr.txt");
        const std::string command = (before.empty() ? "" : before + "; ") +
                                    (tool.empty() ? tool_ : tool).string() + " " + args + " >" +
                                    out + " 2>" + err;
        const int status = std::system(command.c_str());
        ToolRun result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, model::ReadFileBytes(out),
                       model::ReadFileBytes(err)};
        fs::remove(out);
        fs::remove(err);
        return result;
    }

    static model::QuestDocument quest() {
        model::QuestDocument q = model::NewQuestDocument();
        q.LocationCount = 2;
        q.Quests.resize(3);
        q.Quests[1].Description = "\xCA\xEE\xEC\xED\xE0\xF2\xE0"; // "Комната"
        q.Quests[1].Caption1 = "go";
        q.Quests[1].Code1 = "goto(2);\r\n";
        q.Quests[2].Description = "end";
        q.QuestParams.Names[2] = "key";
        q.QuestParams.Values[2] = 42;
        return q;
    }

    fs::path tool_, dir_;
};

TEST_F(QuestTool, DumpsQuestFilesAndStandAloneQuestsAlike) {
    model::WriteQuestFile(path("q.nvx"), quest());
    const ToolRun fromFile = run("dump " + path("q.nvx"));
    ASSERT_EQ(fromFile.status, 0) << fromFile.err;
    EXPECT_EQ(fromFile.err, "");
    const auto json = nlohmann::json::parse(fromFile.out);
    EXPECT_EQ(json["locations"][0]["description"], "Комната");
    EXPECT_EQ(json["locations"][1]["description"], "end");
    EXPECT_EQ(json["params"][1]["name"], "key");
    EXPECT_EQ(json["params"][1]["value"], 42);

    // A stand-alone quest on a real image: this test program's own.
    const std::string image = model::ReadFileBytes("/proc/self/exe");
    model::WriteStandAlone(path("quest.bin"), image, model::BuildPayload(quest()));
    const ToolRun fromExe = run("dump " + path("quest.bin"));
    ASSERT_EQ(fromExe.status, 0) << fromExe.err;
    EXPECT_EQ(fromExe.out, fromFile.out);
}

TEST_F(QuestTool, PackWritesWhatDumpPrinted) {
    model::WriteFileAtomically(path("q.json"), questtool::QuestToJson(quest()));
    const ToolRun packed = run("pack " + path("q.json") + " -o " + path("out.nvx"));
    ASSERT_EQ(packed.status, 0) << packed.err;
    EXPECT_EQ(packed.err, "");
    EXPECT_EQ(model::ReadQuestFile(path("out.nvx")), quest());
    // The option may come first as well.
    EXPECT_EQ(run("pack -o " + path("out2.nvx") + " " + path("q.json")).status, 0);
    EXPECT_EQ(model::ReadFileBytes(path("out2.nvx")), model::ReadFileBytes(path("out.nvx")));
}

TEST_F(QuestTool, PackAndBuildRefuseWhatTheirFormLosesUnlessTheLossIsAllowed) {
    model::QuestDocument q = quest();
    q.Quests[2].Caption3 = "a|b";
    q.Quests[2].Description = "\xA9"; // a record mark: only the stand-alone quest loses it
    model::WriteFileAtomically(path("q.json"), questtool::QuestToJson(q));

    const ToolRun refused = run("pack " + path("q.json") + " -o " + path("out.nvx"));
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err,
              "norvo-quest: локация 2, действие 3, надпись, знак 2: символ '|' не сохранится в "
              "файле квеста\n"
              "Что делать: символ '|' разделяет поля записи и не сохраняется нигде; замените "
              "его, например, на '/' или '¦', а в коде сценария пишите его кодом вне кавычек: "
              "'a'#124'b'.\n"
              "Файл не записан. Исправьте эти места или запишите как есть с --allow-loss.\n");
    EXPECT_FALSE(fs::exists(path("out.nvx")));

    const ToolRun allowed =
        run("pack --allow-loss " + path("q.json") + " -o " + path("out.nvx"));
    EXPECT_EQ(allowed.status, 0);
    EXPECT_EQ(allowed.err, "norvo-quest: предупреждение: локация 2, действие 3, надпись, знак "
                           "2: символ '|' не сохранится в файле квеста\n");
    EXPECT_TRUE(fs::exists(path("out.nvx")));

    // build: the same gate over what the stand-alone quest loses.
    const fs::path bin = dir_ / "bin";
    fs::create_directories(bin);
    fs::copy_file(tool_, bin / "norvo-quest");
    model::WriteStandAlone((bin / "norvo-engine").string(), model::ReadFileBytes("/proc/self/exe"),
                           "");
    const ToolRun unbuilt = run("build " + path("q.json") + " -o " + path("quest"), bin / "norvo-quest");
    EXPECT_EQ(unbuilt.status, 1);
    EXPECT_NE(unbuilt.err.find("локация 2, описание, строка 1, знак 1: символ '©' не сохранится в "
                               "автономном квесте\n"),
              std::string::npos)
        << unbuilt.err;
    EXPECT_NE(unbuilt.err.find("знак 2: символ '|' не сохранится в автономном квесте\n"),
              std::string::npos)
        << unbuilt.err;
    EXPECT_FALSE(fs::exists(path("quest")));
    const ToolRun built = run("build " + path("q.json") + " -o " + path("quest") + " --allow-loss",
                              bin / "norvo-quest");
    EXPECT_EQ(built.status, 0) << built.err;
    EXPECT_TRUE(fs::exists(path("quest")));
}

TEST_F(QuestTool, CheckListsEachPlaceAndSetsTheExitCode) {
    model::WriteFileAtomically(path("clean.json"), questtool::QuestToJson(quest()));
    const ToolRun clean = run("check " + path("clean.json"));
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.out, "");

    model::QuestDocument q = quest();
    q.QuestParams.Names[1] = "\xAE";  // payload: section mark
    q.Quests[1].Description = "\x98"; // quest file: scrambles to a line feed
    model::WriteFileAtomically(path("lossy.json"), questtool::QuestToJson(q));
    const ToolRun lossy = run("check " + path("lossy.json"));
    EXPECT_EQ(lossy.status, 1);
    EXPECT_TRUE(lossy.out.starts_with(
        "параметр 1, имя, знак 1: символ '®' не сохранится в автономном квесте\n"
        "локация 1, описание, строка 1, знак 1: байт 0x98 (в кодировке cp1251 у него нет буквы) "
        "не сохранится в файле квеста\n"
        "Что делать: символы ё, Ё"))
        << lossy.out;
}

TEST_F(QuestTool, CheckNamesEachKindOfFaultInTheQuestsOrder) {
    const std::string brokenCode = "goto(2;";
    const std::string unknownName = "TakeParm('param1');";
    model::QuestDocument q = quest();
    q.Quests[1].Code2 = brokenCode;
    q.Quests[1].Code3 = "if _p1_ > 0 then\r\n  LoseParam('Param1');";
    q.Quests[2].Caption1 = "a|b";
    q.Quests[2].Code1 = model::Utf8ToCp1251("ShowMessage('ё');\r\n") + unknownName;
    q.Quests[2].Description = "\xA9";
    q.Quests[2].Caption2 = "1\xB8"; // an 'ё' where the quest file's line breaks
    model::WriteFileAtomically(path("faults.json"), questtool::QuestToJson(q));

    // The engine's own words come from the shared check; the place is ours.
    const scriptapi::ScriptChecker checker;
    const auto engineSays = [&](const std::string& code) {
        return model::Cp1251ToUtf8(checker.Check(code).at(0).message);
    };
    const ToolRun r = run("check " + path("faults.json"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "локация 2, описание, строка 1, знак 1: символ '©' не сохранится в автономном "
              "квесте\n"
              "локация 2, действие 1, надпись, знак 2: символ '|' не сохранится ни в файле "
              "квеста, ни в автономном квесте\n"
              "локация 2, действие 2, надпись, знак 2: символ 'ё' не сохранится в файле квеста\n"
              "локация 1, действие 2, строка 1, столбец 7: " +
                  engineSays(brokenCode) +
                  "\n"
                  "локация 1, действие 3, строка 2, столбец 13: предупреждение: селектор "
                  "'Param1' не существует; селекторы: param1 … param6\n"
                  "локация 2, действие 1, строка 2, столбец 1: " +
                  engineSays(unknownName) +
                  "\n"
                  "Что делать: символ '|' разделяет поля записи и не сохраняется нигде; "
                  "замените его, например, на '/' или '¦', а в коде сценария пишите его кодом "
                  "вне кавычек: 'a'#124'b'.\n"
                  "Что делать: символы ё, Ё, «, №, ©, ®, •, неразрывный пробел и некоторые "
                  "другие ломают строку файла квеста только на некоторых местах; замените их "
                  "(ё на е, Ё на Е, « на \", № на N, неразрывный пробел на пробел) или сдвиньте "
                  "на знак, добавив или убрав знак перед ними, а в коде сценария пишите их "
                  "кодом вне кавычек: 'Ёлка' как #168'лка'.\n"
                  "Что делать: в автономном квесте символы '©' и '®' служат разметкой; пишите "
                  "вместо них (c) и (R), а в коде сценария — кодом вне кавычек: #169 и #174.\n");

    // Scripts that compile and select what exists pass.
    model::QuestDocument good = quest();
    good.Quests[1].Code2 = "TakeParam('param2'); action('action1', 'param2'); goto(2);";
    model::WriteFileAtomically(path("good.json"), questtool::QuestToJson(good));
    const ToolRun passed = run("check " + path("good.json"));
    EXPECT_EQ(passed.status, 0) << passed.out;
    EXPECT_EQ(passed.out, "");
}

TEST_F(QuestTool, BadInputGetsOneLineAndFailure) {
    model::WriteFileAtomically(path("broken.json"), "{\"params\": [");
    model::WriteFileAtomically(path("garbage"), std::string("\x01\x02garbage\xFF", 11));
    model::WriteFileAtomically(path("bad-count.nvx"), "\r\n\n 3abc\r\n");
    model::WriteFileAtomically(path("no-payload"), model::ReadFileBytes("/proc/self/exe"));
    std::string elf = model::ReadFileBytes("/proc/self/exe").substr(0, 100);
    model::WriteFileAtomically(path("cut-elf"), elf);
    const struct {
        std::string args, message;
    } cases[] = {
        {"dump " + path("absent.nvx"),
         "не удаётся открыть файл «" + path("absent.nvx") + "»: \"File not found\""},
        {"check " + path("bad-count.nvx"),
         "файл «" + path("bad-count.nvx") + "», строка 3: \"Invalid numeric input\""},
        {"dump " + path("broken.json"), "ошибка разбора"},
        {"dump " + path("garbage"), "строка 1: \"Invalid numeric input\""},
        {"dump " + path("no-payload"), "не содержит квеста"},
        {"check " + path("cut-elf"), "ELF"},
        {"pack " + path("garbage") + " -o " + path("x.nvx"), "ошибка разбора"},
        {"pack " + path("broken.json"), "-o"},
        {"frobnicate", "неизвестная команда"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun r = run(c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(r.err.starts_with("norvo-quest: ")) << r.err;
        EXPECT_NE(r.err.substr(0, r.err.find('\n')).find(c.message), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(path("x.nvx")));
}

TEST_F(QuestTool, NeverWritesOverItsOwnInput) {
    const std::string json = questtool::QuestToJson(quest());
    model::WriteFileAtomically(path("q.json"), json);
    fs::create_symlink(path("q.json"), path("link.json"));
    fs::create_hard_link(path("q.json"), path("hard.json"));
    for (const std::string& output :
         {path("q.json"), path("link.json"), path("hard.json"), dir_.string() + "/./q.json"}) {
        SCOPED_TRACE(output);
        for (const char* command : {"pack ", "build "}) {
            const ToolRun r = run(std::string(command) + path("q.json") + " -o " + output);
            EXPECT_EQ(r.status, 2);
            EXPECT_NE(r.err.find("это входной файл"), std::string::npos) << r.err;
        }
    }
    EXPECT_EQ(model::ReadFileBytes(path("q.json")), json);
    EXPECT_TRUE(fs::is_symlink(path("link.json")));
}

TEST_F(QuestTool, FileSizeLimitGivesAMessageAndLeavesNoTemporaryFile) {
    model::QuestDocument big = quest();
    big.Quests[1].Description.assign(1 << 20, 'x');
    model::WriteFileAtomically(path("big.json"), questtool::QuestToJson(big));
    // 50 blocks is far less than the megabyte the quest file needs.
    const ToolRun r =
        run("pack " + path("big.json") + " -o " + path("out.nvx"), {}, "ulimit -f 50");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Не удаётся сохранить файл «" + path("out.nvx") + "»"), std::string::npos)
        << r.err;
    for (const auto& entry : fs::directory_iterator(dir_))
        EXPECT_EQ(entry.path().filename().string().find("out.nvx"), std::string::npos)
            << entry.path();
}

TEST_F(QuestTool, CutShortQuestFileIsReported) {
    // Five locations promised, two written: the file ends after line 5 of 8.
    std::string file = model::FormatQuestFile(quest());
    file.replace(0, 1, "5");
    model::WriteFileAtomically(path("cut.nvx"), file);
    const ToolRun checked = run("check " + path("cut.nvx"));
    EXPECT_EQ(checked.status, 1);
    EXPECT_EQ(checked.out, "файл обрывается после строки 5 из 8\n");

    const fs::path bin = dir_ / "bin";
    fs::create_directories(bin);
    fs::copy_file(tool_, bin / "norvo-quest");
    fs::copy_file("/proc/self/exe", bin / "norvo-engine");
    const ToolRun built =
        run("build " + path("cut.nvx") + " -o " + path("quest"), bin / "norvo-quest");
    EXPECT_EQ(built.status, 0) << built.err;
    EXPECT_EQ(built.err, "norvo-quest: предупреждение: " + path("cut.nvx") +
                             ": файл обрывается после строки 5 из 8\n");
    EXPECT_EQ(model::ParsePayloadDocument(model::ReadPayloadText(path("quest"))).LocationCount, 5);

    // A whole file is not reported.
    model::WriteQuestFile(path("whole.nvx"), quest());
    EXPECT_EQ(run("check " + path("whole.nvx")).status, 0);
}

TEST_F(QuestTool, BuildsFromTheEngineBesideIt) {
    // A copy of the tool with a stand-in engine (any ELF program) beside it.
    const fs::path bin = dir_ / "bin";
    fs::create_directories(bin);
    fs::copy_file(tool_, bin / "norvo-quest");
    model::WriteQuestFile(path("q.nvx"), quest());

    const ToolRun missing =
        run("build " + path("q.nvx") + " -o " + path("quest"), bin / "norvo-quest");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("norvo-engine"), std::string::npos) << missing.err;

    // The stand-in carries a payload of its own, which the build must not copy.
    const std::string image = model::ReadFileBytes("/proc/self/exe");
    model::WriteStandAlone((bin / "norvo-engine").string(), image, "old payload");
    const ToolRun built =
        run("build " + path("q.nvx") + " -o " + path("quest"), bin / "norvo-quest");
    ASSERT_EQ(built.status, 0) << built.err;
    const std::string file = model::ReadFileBytes(path("quest"));
    EXPECT_EQ(file.substr(0, image.size()), image);
    EXPECT_EQ(model::ReadPayloadText(path("quest")), model::BuildPayload(quest()));
    struct stat info {};
    ASSERT_EQ(::stat(path("quest").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0100, 0100u);
}

} // namespace
