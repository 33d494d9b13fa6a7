// Conversions between numbers and text, shared by the standard library and
// the host interface. Failures throw ScriptError with a message for the user.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pascal {

// Leading blanks, an optional sign, then decimal digits or a hexadecimal
// number after "$", "0x" or "x"; nothing may follow. The value must fit in
// 64 bits (hexadecimal: as a bit pattern).
std::optional<std::int64_t> parseInt(std::string_view s);
std::int64_t strToInt(std::string_view s);

// A decimal number with an optional fraction and exponent, blanks around it
// allowed; "." is the decimal separator.
std::optional<double> parseFloat(std::string_view s);
double strToFloat(std::string_view s);

// "True"/"False" in any letter case, or a number (non-zero is True).
bool strToBool(std::string_view s);

// The shortest general form with up to 15 significant digits, halves
// rounded away from zero: 3.14, 1E20, 0.00001, 1E-6, NAN, INF.
std::string floatToStr(double v);

// Float to Integer, failing for NaN, infinities and values outside 64 bits.
std::int64_t truncToInt(double v);
std::int64_t roundToInt(double v); // halves away from even: banker's rounding

} // namespace pascal
