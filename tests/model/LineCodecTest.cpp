// The scrambler and the two text records.
#include "model/LineCodec.h"
#include "model/Errors.h"
#include "tests/model/Samples.h"

#include <gtest/gtest.h>

namespace model {
namespace {

using test::Bytes;

TEST(ScrambleText, PairsEachByteWithTheNextKeyByte) {
    const struct {
        std::string text, key;
        bool decode;
        std::string expected;
    } cases[] = {
        // Text bytes 0..4 take key bytes 1, 2, 0, 1, 2.
        {Bytes({0, 0, 0, 0, 0}), Bytes({1, 2, 3}), false, Bytes({2, 3, 1, 2, 3})},
        {Bytes({2, 3, 1, 2, 3}), Bytes({1, 2, 3}), true, Bytes({0, 0, 0, 0, 0})},
        // Sums wrap modulo 256 both ways.
        {Bytes({250}), Bytes({10}), false, Bytes({4})},
        {Bytes({4}), Bytes({10}), true, Bytes({250})},
        // A one-byte key pairs every byte with itself.
        {"abc", Bytes({1}), false, "bcd"},
        // An empty key changes nothing; an empty text stays empty.
        {"any text", "", false, "any text"},
        {"any text", "", true, "any text"},
        {"", "bremulka", false, ""},
        // The quest file key: 'a' (97) takes 'r' (114) first, then 'e', ...
        {"aaa", "bremulka", false, Bytes({211, 198, 206})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::string text = c.text;
        ScrambleText(text, c.key, c.decode);
        EXPECT_EQ(text, c.expected);
    }
}

TEST(ScrambleText, UndoesItselfForEveryByteAndLength) {
    // Lengths around the key period and around the scrambler's inner block.
    for (std::size_t length : {1u, 6u, 7u, 8u, 255u, 4095u, 4096u, 4097u, 4103u, 20000u}) {
        std::string text;
        for (std::size_t i = 0; i < length; ++i)
            text += static_cast<char>((i * 7 + length) % 256);
        for (std::string_view key : {QuestFileKey, PayloadKey, std::string_view("\xFF")}) {
            std::string copy = text;
            ScrambleText(copy, key, false);
            if (length >= key.size()) {
                EXPECT_NE(copy, text);
            }
            ScrambleText(copy, key, true);
            EXPECT_EQ(copy, text) << length << " " << key;
        }
    }
}

TEST(ScrambleText, MatchesTheRuleOverLongTexts) {
    // A long key and a text past the inner block, checked against the formula.
    std::string key;
    for (int i = 0; i < 300; ++i)
        key += static_cast<char>(i * 13 + 5);
    std::string text(9001, '\x80');
    ScrambleText(text, key, false);
    for (std::size_t j = 0; j < text.size(); ++j)
        ASSERT_EQ(static_cast<unsigned char>(text[j]),
                  static_cast<unsigned char>(0x80 + key[(j + 1) % key.size()]))
            << j;
}

TEST(ScrambleBytes, PiecesScrambleLikeTheWhole) {
    std::string whole(100, 'x');
    std::string pieces = whole;
    ScrambleText(whole, PayloadKey, false);
    ScrambleBytes(pieces.data(), 33, PayloadKey, false, 0);
    ScrambleBytes(pieces.data() + 33, 67, PayloadKey, false, 33);
    EXPECT_EQ(pieces, whole);
}

TEST(ParamsLine, FreshParametersGiveSeventeenBytes) {
    EXPECT_EQ(JoinParamsLine(TQuestParams{}), "||||||0|0|0|0|0|0");
}

TEST(ParamsLine, JoinsNamesThenValues) {
    TQuestParams p;
    p.Names[1] = "\xC7\xEE\xEB\xEE\xF2\xEE"; // cp1251 bytes go through unchanged
    p.Names[6] = "key";
    p.Values[1] = -7;
    p.Values[2] = -2147483647 - 1;
    p.Values[6] = 2147483647;
    const std::string line = JoinParamsLine(p);
    EXPECT_EQ(line, "\xC7\xEE\xEB\xEE\xF2\xEE|||||key|-7|-2147483648|0|0|0|2147483647");
    TQuestParams back;
    SplitParamsLine(line, back);
    EXPECT_EQ(back, p);
}

TEST(ParamsLine, SplitFillsMissingFieldsAndDropsExtraOnes) {
    const struct {
        std::string line;
        std::array<std::string, 6> names;
        std::array<std::int32_t, 6> values;
    } cases[] = {
        {"", {}, {}},
        {"a|b|c|d|e|f|1|2", {"a", "b", "c", "d", "e", "f"}, {1, 2, 0, 0, 0, 0}},
        {"a", {"a"}, {}},
        {"||||||1|2|3|4|5|6|junk|x", {}, {1, 2, 3, 4, 5, 6}},
        {"||||||| 5|+5|-0|$1F||", {}, {0, 5, 5, 0, 31, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        TQuestParams p;
        p.Names[3] = "old";
        p.Values[4] = 99;
        SplitParamsLine(c.line, p);
        for (int i = 1; i <= 6; ++i) {
            EXPECT_EQ(p.Names[i], c.names[i - 1]) << i;
            EXPECT_EQ(p.Values[i], c.values[i - 1]) << i;
        }
    }
}

TEST(ParamsLine, BadValueStopsAfterEarlierFieldsAreReplaced) {
    TQuestParams p;
    for (int i = 1; i <= 6; ++i) {
        p.Names[i] = "old";
        p.Values[i] = 100 + i;
    }
    try {
        SplitParamsLine("n1|n2|n3|n4|n5|n6|1|2|12a|4|5|6", p);
        FAIL() << "no error";
    } catch (const ConvertError& e) {
        EXPECT_STREQ(e.what(), "'12a' is not a valid integer value");
    }
    for (int i = 1; i <= 6; ++i)
        EXPECT_EQ(p.Names[i], "n" + std::to_string(i));
    EXPECT_EQ(p.Values[1], 1);
    EXPECT_EQ(p.Values[2], 2);
    EXPECT_EQ(p.Values[3], 103);
    EXPECT_EQ(p.Values[6], 106);

    for (const char* bad : {"||||||5 ", "||||||2147483648", "||||||abc"})
        EXPECT_THROW(SplitParamsLine(bad, p), ConvertError) << bad;
}

TQuest sampleLocation() {
    TQuest q;
    q.Description = "Line one\r\nline two";
    for (int a = 1; a <= 6; ++a) {
        q.Caption(a) = "cap" + std::to_string(a);
        q.Code(a) = "code" + std::to_string(a) + ";\r\n";
    }
    return q;
}

TEST(LocationLine, EmptyLocationIsTwelveSeparators) {
    EXPECT_EQ(JoinLocationLine(TQuest{}), std::string(12, '|'));
}

TEST(LocationLine, CaptionsComeBeforeCodes) {
    const TQuest q = sampleLocation();
    EXPECT_EQ(JoinLocationLine(q), "Line one\r\nline two|cap1|cap2|cap3|cap4|cap5|cap6|"
                                   "code1;\r\n|code2;\r\n|code3;\r\n|code4;\r\n|code5;\r\n|"
                                   "code6;\r\n");
    TQuest back;
    back.Code3 = "stale";
    SplitLocationLine(JoinLocationLine(q), back);
    EXPECT_EQ(back, q);
}

TEST(LocationLine, SplitEdgeCases) {
    TQuest slot = sampleLocation();
    SplitLocationLine("no separators at all", slot);
    EXPECT_EQ(slot.Description, "no separators at all");
    EXPECT_EQ(JoinLocationLine(slot), "no separators at all" + std::string(12, '|'));

    // A '|' in the description shifts every later field by one place.
    TQuest q = sampleLocation();
    q.Description = "left|right";
    SplitLocationLine(JoinLocationLine(q), slot);
    EXPECT_EQ(slot.Description, "left");
    EXPECT_EQ(slot.Caption1, "right");
    EXPECT_EQ(slot.Caption2, "cap1");
    EXPECT_EQ(slot.Code1, "cap6");
    EXPECT_EQ(slot.Code6, "code5;\r\n");

    SplitLocationLine("d|c1", slot);
    EXPECT_EQ(slot.Description, "d");
    EXPECT_EQ(slot.Caption1, "c1");
    EXPECT_EQ(slot.Caption2, "");
    EXPECT_EQ(slot.Code6, "");
}

} // namespace
} // namespace model
