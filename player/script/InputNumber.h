// The number rule of InputP's answer: leading spaces, an optional sign, then
// decimal digits within the signed 32-bit range, or a hexadecimal number
// ("$", "x", "X", "0x", "0X") of at most 32 bits taken as a bit pattern.
// Nothing may follow the digits.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace player::script {

// The value, or nothing when the text does not follow the rule.
std::optional<std::int32_t> ParseInputNumber(std::string_view text);

} // namespace player::script
