// The standard conversion between integers and their decimal text. Every
// numeric text the programs read goes through StrToInt.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace model {

// Skips leading blanks, takes one optional '+' or '-', then decimal digits, or
// hexadecimal digits after '$', 'x', 'X', '0x' or '0X'. Nothing may follow and
// the value must fit a signed 32-bit integer; otherwise throws ConvertError
// "'TEXT' is not a valid integer value".
std::int32_t StrToInt(std::string_view text);

// Signed decimal text: '-' for negatives, no '+', no leading zeros ("0").
std::string IntToStr(std::int64_t value);

} // namespace model
