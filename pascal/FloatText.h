// Floating-point numbers as decimal text, rounded as Pascal rounds: the
// number is first read to 17 significant digits (all a Double holds), then
// cut where the format asks, a half going away from zero, so that
// Format('%.0f', [2.5]) is "3" and Format('%.1f', [0.25]) is "0.3".
#pragma once

#include <string>

namespace pascal {

// The most significant digits a Double has; more are always zeros.
inline constexpr int kDoubleDigits = 17;
// FloatToStr's significant digits.
inline constexpr int kFloatToStrDigits = 15;

// Fixed notation with `decimals` digits after the point: Format's %.Nf.
std::string formatFixed(double v, int decimals);
// Scientific notation with `digits` significant digits and at least
// `exponentDigits` exponent digits, sign always: "-1.23E+004" (Format's %e).
std::string formatExponent(double v, int digits, int exponentDigits);
// The shortest of plain and scientific notation with up to `digits`
// significant digits and no trailing zeros: "3.14", "1E20", "0.00001",
// "1.5E-7" (FloatToStr with 15).
std::string formatGeneral(double v, int digits);

// FloatToStrF's formats, with the numbers a script passes for them.
enum class FloatFormat { General = 0, Exponent = 1, Fixed = 2, Number = 3 };
// FloatToStrF: the value read to 15 significant digits, as FloatToStr reads
// it, then shown in `format`: General and Exponent with `precision`
// significant digits (at most 15), Fixed and Number with `digits` decimals,
// Exponent with at least `digits` exponent digits.
std::string floatToStrF(double v, FloatFormat format, int precision, int digits);

// Groups the integer digits of a plain number by three with blanks:
// "-1234567.5" -> "-1 234 567.5".
std::string groupThousands(std::string plain);

} // namespace pascal
