// Letter case in cp1251.
#include "pascal/Cp1251.h"

namespace pascal {

std::string utf8ToCp1251Text(const char* utf8, std::size_t size) {
    std::string out;
    out.reserve(size);
    for (std::size_t i = 0; i < size;) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        unsigned code = 0;
        if ((c & 0xE0) == 0xC0 && i + 1 < size) {
            code = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
            i += 2;
        } else {
            ++i;
            while (i < size && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80)
                ++i;
        }
        if (code >= 0x410 && code <= 0x44F)
            out += static_cast<char>(0xC0 + (code - 0x410));
        else if (code == 0x401)
            out += static_cast<char>(0xA8);
        else if (code == 0x451)
            out += static_cast<char>(0xB8);
        else
            out += '?';
    }
    return out;
}

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
