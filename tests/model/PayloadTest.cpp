// The payload: its exact text, the byte-by-byte parse and its hostile inputs.
#include "model/Payload.h"
#include "model/Convert.h"
#include "model/Cp1251.h"
#include "model/Errors.h"
#include "model/LineCodec.h"
#include "tests/model/Samples.h"

#include <gtest/gtest.h>

#include <random>

namespace model {
namespace {

using test::Bytes;

const std::string EmptyQuestPayload =
    "1\xAE||||||0|0|0|0|0|0\xAE||||||||||||\xA9"; // written out from the layout

TEST(Payload, EmptyQuestIsThirtyThreeBytes) {
    const std::string text = BuildPayload(NewQuestDocument());
    EXPECT_EQ(text, EmptyQuestPayload);
    EXPECT_EQ(text.size(), 33u);
    EXPECT_EQ(ParsePayloadDocument(text), NewQuestDocument());
}

TEST(Payload, ScramblingRunsOnAcrossMarks) {
    // "tornabi": byte j takes key[(j + 1) mod 7]; worked out by hand.
    std::string text = EmptyQuestPayload;
    ScrambleText(text, PayloadKey, false);
    EXPECT_EQ(static_cast<unsigned char>(text[0]), 0xA0);  // '1' + 'o'
    EXPECT_EQ(static_cast<unsigned char>(text[1]), 0x20);  // 0xAE + 'r', wrapped
    EXPECT_EQ(static_cast<unsigned char>(text[2]), 0xEA);  // '|' + 'n'
    EXPECT_EQ(static_cast<unsigned char>(text[19]), 0x17); // 0xAE + 'i', wrapped
    EXPECT_EQ(static_cast<unsigned char>(text[32]), 0x0B); // 0xA9 + 'b', wrapped
}

TEST(Payload, RoundTripOfRandomQuests) {
    const std::string alphabet = test::AllBytesExcept("|\xA9\xAE");
    for (unsigned seed = 1; seed <= 40; ++seed) {
        const QuestDocument q = test::RandomQuest(seed, alphabet, 1 + static_cast<int>(seed % 13));
        std::string text = BuildPayload(q);
        ScrambleText(text, PayloadKey, false);
        ScrambleText(text, PayloadKey, true);
        ASSERT_EQ(ParsePayloadDocument(text), q) << "seed " << seed;
    }
}

TEST(Payload, CountOfTwelveLoadsTwelveLocations) {
    std::string text = "12\xAE||||||0|0|0|0|0|0\xAE";
    for (int n = 1; n <= 12; ++n)
        text += "loc" + std::to_string(n) + "|c|||||||||||x" + std::to_string(n) + "\xA9";
    const QuestDocument q = ParsePayloadDocument(text);
    ASSERT_EQ(q.Quests.size(), 13u);
    EXPECT_EQ(q.Quests[1].Description, "loc1");
    EXPECT_EQ(q.Quests[12].Description, "loc12");
    EXPECT_EQ(q.Quests[12].Caption1, "c");
    EXPECT_EQ(q.Quests[12].Code6, "x12");
}

TEST(Payload, ParseEdgeCases) {
    const struct {
        const char* name;
        std::string text;
        std::size_t slots;
        std::string description1; // of location 1 when there is one
        std::string name1;
    } cases[] = {
        {"third section mark ends everything",
         "1\xAEn|||||\xAE"
         "d\xA9\xAEignored|x\xA9more",
         2, "d", "n"},
        {"short payload: count 3, two records",
         "3\xAE\xAE"
         "a\xA9"
         "b\xA9",
         4, "a", ""},
        {"empty payload leaves the table empty", "", 0, "", ""},
        {"no count: nothing has a slot",
         "\xAE"
         "n\xAE"
         "d\xA9",
         0, "", "n"},
        {"count 0: only slot 0",
         "0\xAE\xAE"
         "d\xA9",
         1, "", ""},
        {"record mark in a name is kept",
         "1\xAEn\xA9m\xAE"
         "d\xA9",
         2, "d", "n\xA9m"},
        {"fields past 12 are dropped",
         "1\xAE||||||||||||| extra\xAE"
         "d|1|2|3|4|5|6|7|8|9|10|11|12|13|14\xA9",
         2, "d", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QuestDocument q = ParsePayloadDocument(c.text);
        ASSERT_EQ(q.Quests.size(), c.slots);
        if (c.slots >= 2) {
            EXPECT_EQ(q.Quests[1].Description, c.description1);
        }
        EXPECT_EQ(q.QuestParams.Names[1], c.name1);
    }
    const QuestDocument q = ParsePayloadDocument(cases[6].text);
    EXPECT_EQ(q.Quests[1].Code6, "12");
    EXPECT_EQ(ParsePayloadDocument(cases[1].text).Quests[3], TQuest{});
}

TEST(Payload, RecordMarkInsideATextDropsWhatHasNoSlot) {
    QuestDocument q = NewQuestDocument();
    q.LocationCount = 2;
    q.Quests.resize(3);
    q.Quests[1].Description = "one\xA9spill";
    q.Quests[2].Description = "two";
    q.Quests[2].Code6 = "last";
    const QuestDocument back = ParsePayloadDocument(BuildPayload(q));
    ASSERT_EQ(back.Quests.size(), 3u);
    EXPECT_EQ(back.Quests[1].Description, "one");
    EXPECT_EQ(back.Quests[2].Description, "spill");
    // Location 2's own record would be slot 3: it is dropped, nothing grows.
    EXPECT_EQ(back.Quests[2].Code6, "");
}

TEST(Payload, AppendsToWhatTheCallerPasses) {
    TQuests quests;
    TQuestParams params;
    params.Names[2] = "x";
    ParsePayload("1\xAE|y\xAE\xA9", quests, params);
    EXPECT_EQ(params.Names[2], "xy");
}

TEST(Payload, BadNumbersAreConversionErrors) {
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"1a\xAE", "'1a' is not a valid integer value"},
        // The count is converted after every byte, so a sign alone fails.
        {"+1\xAE", "'+' is not a valid integer value"},
        {" 1\xAE", "' ' is not a valid integer value"},
        {"1\xAE||||||7|12a", "'12a' is not a valid integer value"},
        {"1\xAE" + std::string(11, '|') + "2147483648",
         "'2147483648' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            ParsePayloadDocument(c.text);
            ADD_FAILURE() << "no error";
        } catch (const ConvertError& e) {
            EXPECT_EQ(e.what(), c.message);
        }
    }
}

TEST(Payload, HostileCountIsRefusedWithoutGrowingTheTable) {
    for (const std::string& text : {std::string("2147483647\xAE"), std::string("99\xAE\xAE"),
                                    "11\xAE\xAE" + std::string(6, '\xA9')}) {
        TQuests quests;
        TQuestParams params;
        EXPECT_THROW(ParsePayload(text, quests, params), ConvertError) << text;
        EXPECT_LE(quests.size(), text.size() + 1);
    }
    // A count as large as the text itself is still taken.
    EXPECT_EQ(ParsePayloadDocument("9\xAE\xAE" + std::string(6, '\xA9')).Quests.size(), 10u);
}

// The count as the format states it: converted after every byte, the table
// resized each time. Gives the table's length, or the error's message.
std::string countByEveryPrefix(std::string_view text) {
    TQuests quests;
    std::string countText;
    for (const char byte : text) {
        if (byte == SectionMark)
            break;
        countText += byte;
        std::int32_t count;
        try {
            count = StrToInt(countText);
        } catch (const ConvertError& e) {
            return e.what();
        }
        if (count > 0 && static_cast<std::uint64_t>(count) > MaxLocationsIn(text.size()))
            return Utf8ToCp1251("Число локаций " + countText +
                                " больше, чем может содержать квест");
        quests.resize(count < 0 ? 0 : static_cast<std::size_t>(count) + 1);
    }
    return "slots " + std::to_string(quests.size());
}

// The same from the parser itself.
std::string countByParser(std::string_view text) {
    try {
        return "slots " + std::to_string(ParsePayloadDocument(text).Quests.size());
    } catch (const ConvertError& e) {
        return e.what();
    }
}

TEST(Payload, CountInOnePassMatchesConvertingEveryPrefix) {
    const std::string counts[] = {
        "", "0", "1", "9", "12", "007", "0000000000000000000000000000000000000012",
        std::string(2000, '0') + "3", "10", "2147483647", "2147483648", "4294967296", "99999999999",
        "21474836470",
        // Every way a prefix fails: blank, sign, hexadecimal marks, letters,
        // a byte after the digits, and bytes that are marks elsewhere.
        " ", " 1", "1 ", "+", "+1", "-", "-1", "--1", "$", "$1", "$A", "x", "x1", "X1", "0x", "0x1",
        "0X1", "00x1", "1x", "a", "A", "F", "1a", "1f", "12a", "\xFF", "1\xFF", "|", "1|", "\xA9",
        "3\xA9", "\t1", "1\r", "0\0", "\xD9", "1.5", "1e3"};
    // The bytes behind the count decide how large a count may be.
    const std::string tails[] = {"", "\xAE", "\xAE\xAE\xAE" + std::string(5, 'z'),
                                 "\xAE\xAE\xAE" + std::string(3000, 'z'),
                                 "\xAE\xAE\xAE" + std::string(100000, 'z')};
    for (const std::string& count : counts)
        for (const std::string& tail : tails) {
            const std::string text = count + tail;
            SCOPED_TRACE(text.substr(0, 60));
            EXPECT_EQ(countByParser(text), countByEveryPrefix(text));
        }
}

TEST(Payload, CountInOnePassMatchesConvertingEveryPrefixOnRandomTexts) {
    const std::string alphabet = "00000123456789 +-$xXaAfFz|\xA9\xAE\xFF";
    std::mt19937 random(20261211);
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const std::size_t length = random() % 14;
        for (std::size_t i = 0; i < length; ++i)
            text += alphabet[random() % alphabet.size()];
        text += "\xAE\xAE\xAE" + std::string(random() % 300, 'z');
        ASSERT_EQ(countByParser(text), countByEveryPrefix(text)) << text;
    }
}

TEST(Payload, CountIsHeldToWhatTheBytesCarry) {
    // A payload whose count is its own size, as large as a slot per byte.
    const auto payload = [](std::size_t count, std::size_t size) {
        std::string text = std::to_string(count) + "\xAE\xAE";
        return text + std::string(size - text.size(), 'x');
    };
    const std::uint64_t most = MaxLocationsIn(1'000'000);
    EXPECT_EQ(most, 1'000'000 / 13 + 1024);
    EXPECT_THROW(ParsePayloadDocument(payload(1'000'000, 1'000'000)), ConvertError);
    EXPECT_THROW(ParsePayloadDocument(payload(most + 1, 1'000'000)), ConvertError);
    EXPECT_EQ(ParsePayloadDocument(payload(most, 1'000'000)).Quests.size(), most + 1);
    // Small payloads keep the older bound of one location per byte.
    EXPECT_EQ(MaxLocationsIn(9), 9u);
}

TEST(Payload, CountWithMillionsOfLeadingZerosIsReadInOnePass) {
    // Converting every prefix of this count would take hours.
    const std::string text = std::string(2'000'000, '0') + "1\xAE\xAE" + "one\xA9";
    const QuestDocument q = ParsePayloadDocument(text);
    ASSERT_EQ(q.Quests.size(), 2u);
    EXPECT_EQ(q.Quests[1].Description, "one");
}

} // namespace
} // namespace model
