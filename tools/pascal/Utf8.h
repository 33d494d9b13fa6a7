// cp1251 <-> UTF-8 for the terminal: norvo-pascal's own small table, since the
// engine's folder does not use the quest model's.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace norvo_pascal {

// Every cp1251 byte to UTF-8 (windows-1251 as browsers decode it).
std::string cp1251ToUtf8(std::string_view cp);

// UTF-8 to cp1251, or nullopt when the text is not valid UTF-8 or holds a
// character cp1251 has no byte for.
std::optional<std::string> utf8ToCp1251(std::string_view utf8);

// A script or an answer typed in the terminal: UTF-8 text with letters
// beyond ASCII is converted; anything else is taken as cp1251 bytes already.
std::string terminalToCp1251(std::string_view text);

} // namespace norvo_pascal
