// The transcript's step list and the JSON object of one step.
#include "player/Transcript.h"
#include "tests/player/PlayerFixture.h"

namespace {

using namespace testing_support;

TEST(Transcript, StepListsAreActionNumbersAndTicks) {
    using Steps = std::vector<std::string>;
    const std::pair<const char*, std::optional<Steps>> cases[] = {
        {"", Steps{}},
        {"3", Steps{"3"}},
        {"1,6,t,2", Steps{"1", "6", "t", "2"}},
        {" 1 , t", Steps{"1", "t"}},
        {"0", std::nullopt},
        {"7", std::nullopt},
        {"12", std::nullopt},
        {"1,,2", std::nullopt},
        {"1,", std::nullopt},
        {"T", std::nullopt},
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
    // The key order is the documented one, so the lines read well.
    EXPECT_EQ(line.begin().key(), "step");
}

} // namespace
