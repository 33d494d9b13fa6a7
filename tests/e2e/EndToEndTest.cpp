// The built programs end to end: norvo-quest packs and builds quests,
// norvo-engine plays them in transcript mode, and the JSON lines it prints
// are compared with what a player would see.
#include "tests/e2e/Programs.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

using namespace e2e;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<json> Lines(const std::string& out) {
    std::vector<json> lines;
    std::size_t start = 0;
    while (start < out.size()) {
        const std::size_t end = out.find('\n', start);
        lines.push_back(json::parse(out.substr(start, end - start)));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return lines;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/norvo-e2e-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::string dir;
};

// A small quest written for the test: two locations, a prompt, an item, a
// restricted action and a compile error.
const char* kSmallQuest = R"({
  "params": [
    {"name": "Ключ", "value": 0}, {"name": "", "value": 5}, {"name": "", "value": 0},
    {"name": "", "value": 0}, {"name": "", "value": 0}, {"name": "", "value": 0}
  ],
  "locations": [
    {"description": "Комната. Значение: <p2>",
     "captions": ["Взять ключ", "Дверь", "Ошибка", "", "Имя", ""],
     "codes": ["TakeParam('param1'); hint('param1', 'медный'); goto(1);",
               "goto(2); action('action1', 'param1');",
               "goto(", "", "InputP('p2', 'Число', 'Сколько?'); goto(1);", ""]},
    {"description": "Коридор\r\nвторая строка",
     "captions": ["Назад", "", "", "", "", ""],
     "codes": ["goto(1);", "", "", "", "", ""]}
  ]
})";

TEST_F(EndToEnd, AStandAloneBuiltFromJsonPlaysInTranscriptMode) {
    const std::string quest = Write("small.json", kSmallQuest);
    const std::string exe = dir + "/small";
    ASSERT_EQ(RunProgram({Bin("norvo-quest"), "build", quest, "-o", exe}).exitCode, 0);

    // 2: the door (action 1 there is greyed: no key); 1: greyed, nothing
    // happens; 6: a hidden label, nothing happens.
    const Result run = RunProgram({exe, "--transcript", "2,1,6"});
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 4u) << run.out;

    const json& start = lines[0];
    EXPECT_EQ(start["step"], "start");
    EXPECT_EQ(start["caption"], "small");
    EXPECT_EQ(start["location"], 1);
    EXPECT_EQ(start["description"], "Комната. Значение: 5");
    EXPECT_EQ(start["actions"][0],
              json({{"n", 1}, {"caption", "Взять ключ"}, {"visible", true}, {"enabled", true}}));
    EXPECT_EQ(start["actions"][3]["visible"], false);
    EXPECT_EQ(start["inventory"][0], json({{"n", 1}, {"caption", ""}, {"hint", ""}}));
    EXPECT_EQ(start["console"], "");
    EXPECT_EQ(start["dialogs"], json::array());

    const json& door = lines[1];
    EXPECT_EQ(door["step"], "2");
    EXPECT_EQ(door["location"], 2);
    EXPECT_EQ(door["description"], "Коридор\nвторая строка");
    EXPECT_EQ(door["actions"][0]["enabled"], false);
    EXPECT_EQ(door["console"], "goto(2); action('action1', 'param1');\n");

    // Clicking a greyed or a hidden label changes nothing, but still reports.
    for (int i : {2, 3}) {
        json same = lines[static_cast<std::size_t>(i)];
        same["step"] = door["step"];
        EXPECT_EQ(same, door) << i;
    }
    EXPECT_EQ(lines[2]["step"], "1");
    EXPECT_EQ(lines[3]["step"], "6");
}

TEST_F(EndToEnd, PromptsCompileErrorsAndItemsAppearInTheTranscript) {
    const std::string quest = Write("small.json", kSmallQuest);
    const std::string exe = dir + "/small";
    ASSERT_EQ(RunProgram({Bin("norvo-quest"), "build", quest, "-o", exe}).exitCode, 0);

    const Result run =
        RunProgram({exe, "--transcript", "3,5,5,1", "--answer", "$10", "--answer", "x"});
    ASSERT_EQ(run.exitCode, 0);
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 5u) << run.out;

    const json& broken = lines[1]["dialogs"];
    ASSERT_EQ(broken.size(), 1u);
    EXPECT_EQ(broken[0]["kind"], "message");
    EXPECT_FALSE(broken[0]["text"].get<std::string>().empty());
    EXPECT_EQ(lines[1]["location"], 1);

    EXPECT_EQ(lines[2]["dialogs"], json::array({json({{"kind", "input"},
                                                      {"caption", "Число"},
                                                      {"question", "Сколько?"},
                                                      {"answer", "$10"}})}));
    EXPECT_EQ(lines[2]["description"], "Комната. Значение: 16");
    // "x" does not convert: the value stays and the goto after it never runs.
    EXPECT_EQ(lines[3]["dialogs"][0]["answer"], "x");
    EXPECT_EQ(lines[3]["description"], "Комната. Значение: 16");

    EXPECT_EQ(lines[4]["inventory"][0], json({{"n", 1}, {"caption", "Ключ"}, {"hint", "медный"}}));
}

TEST_F(EndToEnd, ATranscriptThatKeepsAskingWithoutAnswersEndsWithAMessage) {
    const std::string quest = Write("asking.json", R"({
  "params": [{"name": "", "value": 0}, {"name": "", "value": 0}, {"name": "", "value": 0},
             {"name": "", "value": 0}, {"name": "", "value": 0}, {"name": "", "value": 0}],
  "locations": [{"description": "x", "captions": ["ask", "", "", "", "", ""],
                 "codes": ["while true do InputParam('param1', 'T', 'Q?');", "", "", "", "", ""]}]
})");
    const std::string file = dir + "/asking.nvx";
    ASSERT_EQ(RunProgram({Bin("norvo-quest"), "pack", quest, "-o", file}).exitCode, 0);
    // Standard error after standard output, so the message comes last.
    const Result run = RunProgram(
        {"sh", "-c", Quote(Bin("norvo-engine")) + " " + Quote(file) + " --transcript 1,1 2>&1"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("запись прервана: больше 1000 окон остались без ответа"),
              std::string::npos)
        << run.out;
    const auto lines = Lines(run.out.substr(0, run.out.rfind("norvo-engine:")));
    ASSERT_EQ(lines.size(), 2u); // the second click never came
    EXPECT_GT(lines[1]["dialogs_left_out"].get<int>(), 0);
}

TEST_F(EndToEnd, AStandAlonePlaysItsPayloadAndABarePlayerAQuestFile) {
    const std::string quest = Write("small.json", kSmallQuest);
    const std::string exe = dir + "/small";
    ASSERT_EQ(RunProgram({Bin("norvo-quest"), "build", quest, "-o", exe}).exitCode, 0);
    const std::string example = Source("examples/lighthouse.nvx");

    // The stand-alone ignores the file argument.
    auto lines = Lines(RunProgram({exe, example, "--transcript", ""}).out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["description"], "Комната. Значение: 5");

    // The bare player plays the file, under the file's name.
    lines = Lines(RunProgram({Bin("norvo-engine"), example, "--transcript", ""}).out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["caption"], "lighthouse.nvx");
    EXPECT_EQ(lines[0]["location"], 1);

    // Without a file it opens empty and says why.
    lines = Lines(RunProgram({Bin("norvo-engine"), "--transcript", "1"}).out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]["dialogs"][0]["text"], "В квесте нет ни одной локации.");
    EXPECT_EQ(lines[1]["dialogs"], json::array());

    // A missing file: the error box, then an empty window.
    lines = Lines(RunProgram({Bin("norvo-engine"), dir + "/none.nvx", "--transcript", ""}).out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["dialogs"][0]["text"], "File not found");

    // With no display and no transcript it says so and stops.
    EXPECT_EQ(RunProgram({"env", "-u", "QT_QPA_PLATFORM", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY",
                          Bin("norvo-engine"), example})
                  .exitCode,
              1);

    // Nonsense on the command line is refused.
    EXPECT_EQ(RunProgram({Bin("norvo-engine"), "--transcript", "7"}).exitCode, 2);
    EXPECT_EQ(RunProgram({Bin("norvo-engine"), "--bogus"}).exitCode, 2);
}

TEST_F(EndToEnd, TheExampleQuestFileIsWhatPackMakesOfItsSource) {
    const std::string packed = dir + "/lighthouse.nvx";
    ASSERT_EQ(
        RunProgram({Bin("norvo-quest"), "pack", Source("examples/lighthouse.json"), "-o", packed})
            .exitCode,
        0);
    EXPECT_EQ(ReadFile(packed), ReadFile(Source("examples/lighthouse.nvx")))
        << "examples/lighthouse.nvx is stale: run norvo-quest pack on lighthouse.json";
}

TEST_F(EndToEnd, TheExampleWalkthroughPlaysToTheEnd) {
    std::string steps = ReadFile(Source("examples/lighthouse.walkthrough"));
    while (!steps.empty() && (steps.back() == '\n' || steps.back() == '\r'))
        steps.pop_back();
    // The quest names its pictures and sounds relative to the repository's root.
    std::vector<std::string> args = {"env", "-C", Source(""), Bin("norvo-engine"),
                                     Source("examples/lighthouse.nvx"), "--transcript", steps};
    std::ifstream answers(Source("examples/lighthouse.answers"));
    for (std::string answer; std::getline(answers, answer);)
        args.insert(args.end(), {"--answer", answer});
    const Result run = RunProgram(args);
    ASSERT_EQ(run.exitCode, 0);
    const std::string expected = ReadFile(Source("tests/e2e/lighthouse.expected.jsonl"));
    const auto got = Lines(run.out);
    const auto want = Lines(expected);
    ASSERT_EQ(got.size(), want.size()) << run.out;
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_EQ(got[i], want[i]) << "line " << i + 1;
}

TEST_F(EndToEnd, TheExamplesLampRunsOutWhenThePlayerDawdles) {
    // Up to the door, take the lantern, then let its 90 seconds pass.
    std::string steps = "2,1";
    for (int i = 0; i < 90; ++i)
        steps += ",t";
    const Result run = RunProgram({"env", "-C", Source(""), Bin("norvo-engine"),
                                   Source("examples/lighthouse.nvx"), "--transcript", steps});
    ASSERT_EQ(run.exitCode, 0);
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 93u);
    EXPECT_EQ(lines[91]["location"], 2);
    EXPECT_EQ(lines[91]["timer"]["text"], "Масло: 1");
    EXPECT_EQ(lines[92]["location"], 8);
    EXPECT_EQ(lines[92]["timer"], json({{"running", false}, {"visible", false}, {"text", "Масло: 0"}}));
    EXPECT_EQ(lines[92]["sound"]["playing"], true); // the sea goes on
}

} // namespace
