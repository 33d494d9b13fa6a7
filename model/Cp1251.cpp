// windows-1251 <-> Unicode. The lower half is ASCII, 0xC0..0xFF are the
// Cyrillic letters U+0410..U+044F in order; the table covers 0x80..0xBF.
#include "model/Cp1251.h"

#include "model/Errors.h"

#include <array>

namespace model {

namespace {

constexpr std::array<char16_t, 64> UpperTable = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

void appendUtf8(std::string& out, char32_t ch) {
    if (ch < 0x80) {
        out += static_cast<char>(ch);
    } else if (ch < 0x800) {
        out += static_cast<char>(0xC0 | (ch >> 6));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    } else {
        // Every cp1251 character lies in the Basic Multilingual Plane.
        out += static_cast<char>(0xE0 | (ch >> 12));
        out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    }
}

[[noreturn]] void fail(const char* what, std::size_t offset) {
    // Russian text, stored as cp1251 like every message of the model.
    throw EncodingError(Utf8ToCp1251(std::string(what) + " (байт " + std::to_string(offset) + ")"));
}

// Decodes one UTF-8 sequence at text[pos]; returns its length, or 0 when it is
// malformed (bad lead byte, bad continuation, overlong, surrogate, > U+10FFFF).
std::size_t decodeUtf8(std::string_view text, std::size_t pos, char32_t& ch) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    std::size_t length;
    char32_t min;
    if (lead < 0x80) {
        ch = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, ch = lead & 0x1F, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, ch = lead & 0x0F, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, ch = lead & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - pos < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(pos + i);
        if ((next & 0xC0) != 0x80)
            return 0;
        ch = (ch << 6) | (next & 0x3F);
    }
    if (ch < min || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

char32_t Cp1251ToUnicode(unsigned char byte) {
    if (byte < 0x80)
        return byte;
    if (byte >= 0xC0)
        return 0x0410 + (byte - 0xC0);
    return UpperTable[byte - 0x80];
}

std::optional<unsigned char> UnicodeToCp1251(char32_t ch) {
    if (ch < 0x80)
        return static_cast<unsigned char>(ch);
    if (ch >= 0x0410 && ch <= 0x044F)
        return static_cast<unsigned char>(0xC0 + (ch - 0x0410));
    for (std::size_t i = 0; i < UpperTable.size(); ++i)
        if (UpperTable[i] == ch)
            return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

std::string Cp1251ToUtf8(std::string_view cp1251) {
    std::string out;
    out.reserve(cp1251.size() * 2);
    for (char c : cp1251)
        appendUtf8(out, Cp1251ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

namespace {

// Converts, calling onBad(offset, malformed) for each place that cannot be
// converted; onBad returns the byte to put there.
template <typename OnBad> std::string convertUtf8(std::string_view utf8, OnBad onBad) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        char32_t ch;
        std::size_t length = decodeUtf8(utf8, pos, ch);
        if (length == 0) {
            out += onBad(pos, true);
            pos += 1;
            continue;
        }
        const auto byte = UnicodeToCp1251(ch);
        out += byte ? static_cast<char>(*byte) : onBad(pos, false);
        pos += length;
    }
    return out;
}

} // namespace

std::string Utf8ToCp1251(std::string_view utf8) {
    return convertUtf8(utf8, [](std::size_t pos, bool malformed) -> char {
        fail(malformed ? "Неверная последовательность UTF-8"
                       : "Символ, которого нет в кодировке Windows-1251",
             pos);
    });
}

std::string Utf8ToCp1251Lossy(std::string_view utf8) {
    return convertUtf8(utf8, [](std::size_t, bool) { return '?'; });
}

} // namespace model
