// cp1251 text for the engine's own messages: the sources are UTF-8, so every
// Russian text is written as "..."_cp and converted to cp1251 bytes while
// compiling, and case folding of cp1251 letters for names and AnsiUpperCase.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pascal {

// A UTF-8 string literal turned into cp1251 bytes at compile time. Only ASCII
// and the Russian letters (with Ё and ё) occur in our messages; any other
// character stops the build.
template <std::size_t N> struct Cp1251Literal {
    char bytes[N]{};
    std::size_t size = 0;

    consteval Cp1251Literal(const char (&utf8)[N]) {
        for (std::size_t i = 0; i + 1 < N;) {
            unsigned char c = static_cast<unsigned char>(utf8[i]);
            if (c < 0x80) {
                bytes[size++] = static_cast<char>(c);
                i += 1;
                continue;
            }
            if ((c & 0xE0) != 0xC0 || i + 2 >= N)
                throw "only ASCII and Russian letters are allowed in cp1251 literals";
            unsigned code = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
            i += 2;
            if (code >= 0x410 && code <= 0x44F)
                bytes[size++] = static_cast<char>(0xC0 + (code - 0x410));
            else if (code == 0x401)
                bytes[size++] = static_cast<char>(0xA8);
            else if (code == 0x451)
                bytes[size++] = static_cast<char>(0xB8);
            else
                throw "only ASCII and Russian letters are allowed in cp1251 literals";
        }
    }
};

template <Cp1251Literal L> struct Cp1251Storage { static constexpr Cp1251Literal value = L; };

inline namespace literals {
template <Cp1251Literal L> constexpr std::string_view operator""_cp() {
    return std::string_view(Cp1251Storage<L>::value.bytes, Cp1251Storage<L>::value.size);
}
} // namespace literals

// Joining our cp1251 literals (string_view) with strings in messages.
inline std::string operator+(std::string a, std::string_view b) {
    a.append(b);
    return a;
}
inline std::string operator+(std::string_view a, const std::string& b) {
    std::string s(a);
    s += b;
    return s;
}

// ASCII-only folding, for names (identifiers are ASCII).
inline char asciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}
std::string asciiUpper(std::string_view s);

// cp1251 folding of Latin and Cyrillic letters (AnsiUpperCase, AnsiLowerCase).
char ansiUpper(char c);
char ansiLower(char c);

} // namespace pascal
