// Letter case in cp1251.
#include "pascal/Cp1251.h"

namespace pascal {

std::string asciiUpper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = asciiUpper(c);
    return out;
}

char ansiUpper(char ch) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z')
        return static_cast<char>(c - 32);
    if (c >= 0xE0) // а..я
        return static_cast<char>(c - 32);
    if (c == 0xB8) // ё
        return static_cast<char>(0xA8);
    return ch;
}

char ansiLower(char ch) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'A' && c <= 'Z')
        return static_cast<char>(c + 32);
    if (c >= 0xC0 && c <= 0xDF) // А..Я
        return static_cast<char>(c + 32);
    if (c == 0xA8) // Ё
        return static_cast<char>(0xB8);
    return ch;
}

} // namespace pascal
