// The cp1251 mapping and the integer conversion.
#include "model/Convert.h"
#include "model/Cp1251.h"
#include "model/Errors.h"

#include <gtest/gtest.h>

#include <set>

namespace model {
namespace {

TEST(Cp1251, KnownCharacters) {
    const struct {
        unsigned char byte;
        char32_t ch;
    } cases[] = {
        {0x00, 0x0000}, {0x41, 0x0041}, {0x7F, 0x007F}, {0x80, 0x0402}, {0x88, 0x20AC},
        {0x98, 0x0098}, {0x99, 0x2122}, {0xA0, 0x00A0}, {0xA8, 0x0401}, {0xA9, 0x00A9},
        {0xAE, 0x00AE}, {0xB8, 0x0451}, {0xB9, 0x2116}, {0xBF, 0x0457}, {0xC0, 0x0410},
        {0xDF, 0x042F}, {0xE0, 0x0430}, {0xFF, 0x044F},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.byte));
        EXPECT_EQ(Cp1251ToUnicode(c.byte), c.ch);
        EXPECT_EQ(UnicodeToCp1251(c.ch), c.byte);
    }
}

TEST(Cp1251, EveryByteRoundTripsThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = Cp1251ToUtf8(all);
    EXPECT_EQ(Utf8ToCp1251(utf8), all);
    // Distinct bytes must give distinct characters, or the round trip lies.
    std::set<char32_t> seen;
    for (int b = 0; b < 256; ++b)
        EXPECT_TRUE(seen.insert(Cp1251ToUnicode(static_cast<unsigned char>(b))).second) << b;
}

TEST(Cp1251, Utf8Forms) {
    EXPECT_EQ(Cp1251ToUtf8("\xCF\xF0\xE8\xE2\xE5\xF2"), "Привет");
    EXPECT_EQ(Cp1251ToUtf8("\x98\xB9\x88"), "\xC2\x98№€");
    EXPECT_EQ(Utf8ToCp1251("Ёлка «№1»"), "\xA8\xEB\xEA\xE0 \xAB\xB9\x31\xBB");
    EXPECT_EQ(UnicodeToCp1251(0x4E2D), std::nullopt);
}

TEST(Cp1251, BadUtf8NamesTheOffset) {
    const struct {
        std::string utf8;
        std::string offset;
    } cases[] = {
        {"ab\x80", "2"},            // stray continuation byte
        {"abc\xD0", "3"},           // truncated sequence
        {"\xC0\x80", "0"},          // overlong NUL
        {"x\xED\xA0\x80", "1"},     // surrogate
        {"\xF4\x90\x80\x80", "0"},  // past U+10FFFF
        {"ok 中", "3"},             // no cp1251 byte
        {"\xF0\x9F\x98\x80 ", "0"}, // emoji
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        try {
            Utf8ToCp1251(c.utf8);
            ADD_FAILURE() << "no error";
        } catch (const EncodingError& e) {
            EXPECT_NE(Cp1251ToUtf8(e.what()).find("(байт " + c.offset + ")"), std::string::npos)
                << Cp1251ToUtf8(e.what());
        }
    }
}

TEST(Cp1251, LossyConversionMarksWhatItCannotConvert) {
    EXPECT_EQ(Utf8ToCp1251Lossy("a\x80"
                                "b中\xD0"),
              "a?b??");
    EXPECT_EQ(Utf8ToCp1251Lossy("Ёлка"), "\xA8\xEB\xEA\xE0");
}

TEST(Convert, AcceptedTexts) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"0", 0},
        {"5", 5},
        {" 5", 5},
        {"   +5", 5},
        {"+5", 5},
        {"-0", 0},
        {"007", 7},
        {"-7", -7},
        {"$1F", 31},
        {"x1f", 31},
        {"X10", 16},
        {"0x10", 16},
        {"0XfF", 255},
        {"-$10", -16},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"$7FFFFFFF", 2147483647},
        {"-$80000000", -2147483647 - 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(StrToInt(c.text), c.value);
    }
}

TEST(Convert, RefusedTextsNameThemselves) {
    const char* cases[] = {
        "",   " ",  "12a",        "5 ",          "+",         "-",
        "$",  "0x", "--5",        "+-5",         "1.5",       "\t5",
        "$G", "5$", "2147483648", "-2147483649", "$80000000", "99999999999999999999"};
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        try {
            StrToInt(text);
            ADD_FAILURE() << "accepted";
        } catch (const ConvertError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

TEST(Convert, IntToStr) {
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(-7), "-7");
    EXPECT_EQ(IntToStr(-2147483648LL), "-2147483648");
    EXPECT_EQ(IntToStr(2147483647), "2147483647");
}

} // namespace
} // namespace model
