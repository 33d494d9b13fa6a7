// cp1251 text for the engine's own messages: the sources are UTF-8, so every
// Russian text is written as "..."_cp and converted to cp1251 bytes while
// compiling, and case folding of cp1251 letters for names and AnsiUpperCase.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pascal {

// Our messages are written in the UTF-8 sources as "..."_cp and become cp1251
// bytes: ASCII stays, the Russian letters (with Ё and ё) map to their bytes.
// Only those characters occur in our texts; anything else becomes '?'.
std::string utf8ToCp1251Text(const char* utf8, std::size_t size);

inline namespace literals {
inline std::string operator""_cp(const char* utf8, std::size_t size) {
    return utf8ToCp1251Text(utf8, size);
}
} // namespace literals

// Joining texts with string views in messages.
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
