// The one mapping between cp1251 bytes and Unicode: windows-1251 as the WHATWG
// Encoding Standard defines it, where every one of the 256 byte values has a
// character (0x98 is U+0098), so any byte string converts and converts back.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace model {

// The character of one cp1251 byte.
char32_t Cp1251ToUnicode(unsigned char byte);

// The cp1251 byte of a character, or nothing when cp1251 has none.
std::optional<unsigned char> UnicodeToCp1251(char32_t ch);

// cp1251 bytes -> UTF-8; never fails.
std::string Cp1251ToUtf8(std::string_view cp1251);

// UTF-8 -> cp1251 bytes. Throws EncodingError naming the byte offset of
// malformed UTF-8 or of a character with no cp1251 byte.
std::string Utf8ToCp1251(std::string_view utf8);

// UTF-8 -> cp1251 for text that must not fail, such as an error message that
// quotes foreign input: each malformed sequence or character with no cp1251
// byte becomes '?'.
std::string Utf8ToCp1251Lossy(std::string_view utf8);

} // namespace model
