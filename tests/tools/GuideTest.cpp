// The author's guide cannot drift from the engine: every Pascal example in it
// compiles against MyUnit's declarations without a problem (blocks marked
// "pascal ошибка" are wrong on purpose and must show one), every JSON quest
// in it reads and checks clean, every script function is in its reference,
// and the walkthrough line it shows is what the example's transcript holds.
#include "model/Cp1251.h"
#include "model/LostContent.h"
#include "model/SafeFile.h"
#include "scriptapi/ScriptCheck.h"
#include "scriptapi/ScriptFunctions.h"
#include "tools/quest/QuestJson.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string SourceFile(const std::string& relative) {
    const char* dir = std::getenv("NORVO_SOURCE_DIR");
    return std::string(dir ? dir : NORVO_SOURCE_DIR_DEFAULT) + "/" + relative;
}

// One fenced block of the guide.
struct Block {
    int line;         // of the opening fence, 1-based
    std::string info; // the text after the fence: "pascal", "pascal ошибка", "json"
    std::string text; // UTF-8, as written
};

std::vector<Block> FencedBlocks(const std::string& markdown) {
    std::vector<Block> blocks;
    std::istringstream in(markdown);
    std::string line;
    int number = 0;
    Block* open = nullptr;
    while (std::getline(in, line)) {
        ++number;
        if (line.starts_with("```")) {
            if (open) {
                open = nullptr;
            } else {
                blocks.push_back({number, line.substr(3), {}});
                open = &blocks.back();
            }
            continue;
        }
        if (open)
            open->text += line + "\n";
    }
    return blocks;
}

class Guide : public ::testing::Test {
protected:
    void SetUp() override {
        blocks_ = FencedBlocks(model::ReadFileBytes(SourceFile("docs/author-guide.md")));
    }
    std::vector<Block> blocks_;
};

TEST_F(Guide, EveryPascalExampleCompilesAndTheWrongOnesShowTheirFault) {
    const scriptapi::ScriptChecker checker;
    int right = 0, wrong = 0;
    for (const Block& block : blocks_) {
        if (!block.info.starts_with("pascal"))
            continue;
        SCOPED_TRACE("docs/author-guide.md:" + std::to_string(block.line));
        const auto problems = checker.Check(model::Utf8ToCp1251(block.text));
        if (block.info == "pascal") {
            ++right;
            for (const auto& p : problems)
                ADD_FAILURE() << "line " << p.line << ", column " << p.column << ": "
                              << model::Cp1251ToUtf8(p.message);
        } else {
            ASSERT_EQ(block.info, "pascal ошибка");
            ++wrong;
            EXPECT_FALSE(problems.empty()) << block.text;
        }
    }
    EXPECT_GT(right, 5) << "the guide's examples were not found";
    EXPECT_GE(wrong, 1);
}

TEST_F(Guide, EveryJsonQuestReadsAndChecksClean) {
    int quests = 0;
    for (const Block& block : blocks_) {
        if (block.info != "json")
            continue;
        SCOPED_TRACE("docs/author-guide.md:" + std::to_string(block.line));
        const auto parsed = nlohmann::json::parse(block.text, nullptr, false);
        ASSERT_FALSE(parsed.is_discarded());
        if (!parsed.contains("params"))
            continue;
        ++quests;
        const model::QuestDocument quest = questtool::QuestFromJson(block.text);
        EXPECT_TRUE(model::FindLostContent(quest).empty());
        EXPECT_TRUE(scriptapi::CheckQuestScripts(quest).empty());
    }
    EXPECT_GE(quests, 1);
}

TEST_F(Guide, TheReferenceNamesEveryScriptFunction) {
    const std::string guide = model::ReadFileBytes(SourceFile("docs/author-guide.md"));
    const std::string reference = guide.substr(guide.find("## Справочник функций MyUnit"));
    for (const scriptapi::ScriptFunction& function : scriptapi::MyUnitFunctions()) {
        const std::string& name = function.name;
        const bool reader = name.starts_with("_p") && name != "_time_";
        if (reader) {
            const std::string range = name.starts_with("_param") ? "| `_param1_` … `_param6_` |"
                                                                  : "| `_p1_` … `_p6_` |";
            EXPECT_NE(reference.find(range), std::string::npos) << name;
        } else {
            EXPECT_NE(reference.find("| `" + name + "` |"), std::string::npos) << name;
        }
    }
}

TEST_F(Guide, TheWalkthroughLineItShowsIsTheExamplesOwn) {
    std::istringstream golden(
        model::ReadFileBytes(SourceFile("tests/e2e/lighthouse.expected.jsonl")));
    std::vector<nlohmann::json> lines;
    for (std::string line; std::getline(golden, line);)
        lines.push_back(nlohmann::json::parse(line));
    int shown = 0;
    for (const Block& block : blocks_) {
        if (block.info != "json" || !block.text.starts_with("{\"step\""))
            continue;
        ++shown;
        const auto line = nlohmann::json::parse(block.text);
        ASSERT_GE(lines.size(), 2u);
        // Each member the guide shows is the transcript's, which may carry more.
        for (const auto& [key, value] : line.items())
            EXPECT_EQ(value, lines[1][key]) << key;
    }
    EXPECT_EQ(shown, 1);
}

} // namespace
