// The transcript's step list and the JSON object of one step.
#include "player/Transcript.h"
#include "tests/player/PlayerFixture.h"

#include <sstream>

namespace {

using namespace testing_support;
using json = nlohmann::ordered_json;

// The transcript of a quest over the steps, one parsed JSON object per line.
std::vector<json> Transcript(const model::QuestDocument& quest, const std::string& steps) {
    std::string error;
    const auto parsed = player::ParseSteps(steps, error);
    EXPECT_TRUE(parsed) << error;
    std::ostringstream out;
    player::RunTranscript(player::PayloadTextSource(model::BuildPayload(quest), "q.exe"),
                          parsed.value_or(std::vector<std::string>{}), {}, out);
    std::vector<json> lines;
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);)
        lines.push_back(json::parse(line));
    return lines;
}

TEST(Transcript, StepListsAreActionNumbersAndTicks) {
    using Steps = std::vector<std::string>;
    const std::pair<const char*, std::optional<Steps>> cases[] = {
        {"", Steps{}},
        {"3", Steps{"3"}},
        {"1,6,t,2", Steps{"1", "6", "t", "2"}},
        {"r,o,t", Steps{"r", "o", "t"}},
        {" 1 , t", Steps{"1", "t"}},
        {"0", std::nullopt},
        {"7", std::nullopt},
        {"12", std::nullopt},
        {"1,,2", std::nullopt},
        {"1,", std::nullopt},
        {"T", std::nullopt},
        {"R", std::nullopt},
        {"ro", std::nullopt},
    };
    for (const auto& [text, steps] : cases) {
        std::string error;
        EXPECT_EQ(player::ParseSteps(text, error), steps) << '"' << text << '"';
        EXPECT_EQ(error.empty(), steps.has_value()) << '"' << text << '"';
    }
}

TEST_F(PlayerTest, ASnapshotTellsWhatTheWindowShowsInUtf8) {
    auto doc = Quest({Location(Cp("Зал\r\n<param1>"), {{Cp("Взять"), "TakeParam('param1');"}})});
    doc.QuestParams.Names[1] = Cp("Меч");
    Load(doc);
    Run("TakeParam('param1'); hint('param1', 'sharp'); action('action1', 'param2'); goto(1);"
        "ShowMessage('hi');");
    const auto line = player::Snapshot(*form, "1", Boxes());
    EXPECT_EQ(line["step"], "1");
    EXPECT_EQ(line["caption"], "quest.exe");
    EXPECT_EQ(line["location"], 1);
    EXPECT_EQ(line["description"], "Зал\nМеч");
    EXPECT_EQ(line["actions"].size(), 6u);
    EXPECT_EQ(line["actions"][0]["caption"], "Взять");
    EXPECT_EQ(line["actions"][0]["enabled"], true); // the goto enabled it again
    EXPECT_EQ(line["actions"][1]["visible"], false);
    EXPECT_EQ(line["inventory"][0]["caption"], "Меч");
    EXPECT_EQ(line["inventory"][0]["hint"], "sharp");
    EXPECT_EQ(line["dialogs"].size(), 1u);
    EXPECT_EQ(line["dialogs"][0]["kind"], "message");
    EXPECT_EQ(line["dialogs"][0]["text"], "hi");
    EXPECT_FALSE(line.contains("closed"));
    EXPECT_EQ(line["enabled"], true);
    EXPECT_EQ(line["timer"], json({{"running", false}, {"visible", false}, {"text", "Время: 0"}}));
    EXPECT_EQ(line["picture"], json({{"kind", "none"}, {"file", nullptr}}));
    EXPECT_EQ(line["sound"], json({{"open", false}, {"playing", false}, {"file", nullptr}}));
    EXPECT_EQ(line["roll"], json({{"visible", false}, {"title", ""}, {"text", ""},
                                  {"interval", 0}, {"y", 0}}));
    // The key order is the documented one, so the lines read well.
    EXPECT_EQ(line.begin().key(), "step");
}

TEST(TranscriptSteps, TicksRollAndOkStepsActOnlyOnWhatRuns) {
    App();
    auto quest = Quest({Location(Cp("Маяк"),
                                 {{"go", Cp("timer(3, 'minus', 'Время:', ''); TITR('Конец', 'a#b', 40);"
                                            "PlaySound('/no/such.wav');")}})});
    // Ticks and the OK with nothing running first, then all of it.
    const auto lines = Transcript(quest, "t,r,o,1,t,r,r,o,r,1");
    ASSERT_EQ(lines.size(), 11u);
    for (int i = 1; i <= 3; ++i) { // nothing ran: nothing changed
        auto line = lines[static_cast<std::size_t>(i)];
        line["step"] = "start";
        EXPECT_EQ(line, lines[0]) << i;
    }
    EXPECT_EQ(lines[4]["enabled"], false);
    EXPECT_EQ(lines[4]["actions"][0]["enabled"], true); // the label's own switch
    EXPECT_EQ(lines[4]["timer"], json({{"running", true}, {"visible", true}, {"text", "Время: 0"}}));
    EXPECT_EQ(lines[4]["roll"], json({{"visible", true}, {"title", "Конец"}, {"text", "a#b"},
                                      {"interval", 40}, {"y", 333}}));
    EXPECT_EQ(lines[4]["sound"]["open"], false); // a missing file plays nothing
    EXPECT_EQ(lines[5]["timer"]["text"], "Время: 2");
    EXPECT_EQ(lines[7]["roll"]["y"], 331);
    EXPECT_EQ(lines[8]["enabled"], true);
    EXPECT_EQ(lines[8]["roll"]["visible"], false);
    EXPECT_EQ(lines[9]["roll"]["y"], 331); // a hidden roll does not tick
    EXPECT_EQ(lines[10]["roll"]["y"], 333); // shown again: from the bottom
    EXPECT_EQ(lines[10]["timer"]["text"], "Время: 2");
}

// A script that keeps asking once the answers ran out ends the transcript,
// and a line keeps a bounded number of the boxes, counting the rest.
TEST(Transcript, EndsWhenAScriptKeepsAskingWithoutAnswers) {
    App();
    const char* loops[] = {"while true do InputParam('param1', 'T', 'Q?');",
                           "while true do try QuestionDlg('Q?'); except end;"};
    for (const char* loop : loops) {
        auto quest = Quest({Location(Cp("Маяк"), {{"ask", loop}})});
        std::ostringstream out;
        const bool finished = player::RunTranscript(
            player::PayloadTextSource(model::BuildPayload(quest), "q.exe"), {"1", "1"}, {"a"}, out);
        EXPECT_FALSE(finished) << loop;
        std::vector<json> lines;
        std::istringstream in(out.str());
        for (std::string line; std::getline(in, line);)
            lines.push_back(json::parse(line));
        ASSERT_EQ(lines.size(), 2u) << loop; // the second click never came
        const auto& asked = lines[1];
        EXPECT_EQ(asked["dialogs"].size(), platform::ScriptedDialogs::kMaxKeptDialogs) << loop;
        EXPECT_GE(asked["dialogs_left_out"].get<std::size_t>(),
                  player::kMaxUnansweredBoxes + 1 - platform::ScriptedDialogs::kMaxKeptDialogs)
            << loop;
        EXPECT_FALSE(lines[0].contains("dialogs_left_out"));
    }
}

} // namespace
