// Floating-point numbers as decimal text.
#include "pascal/FloatText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace pascal {

namespace {

// A finite number as decimal digits: value = 0.d1d2d3... * 10^point, with no
// leading zero digit (zero has no digits).
struct Decimal {
    bool negative = false;
    std::string digits;
    int point = 0;
};

// The number to kDoubleDigits significant digits, correctly rounded.
Decimal toDecimal(double v) {
    Decimal d;
    d.negative = std::signbit(v);
    if (v == 0)
        return d;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", kDoubleDigits - 1, std::fabs(v));
    // "d.dddddddddddddddde+XX"
    const char* e = buf;
    while (*e && *e != 'e')
        ++e;
    for (const char* p = buf; p < e; ++p)
        if (*p != '.')
            d.digits += *p;
    d.point = std::atoi(e + 1) + 1;
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

// Keeps the first `keep` digits (none when keep <= 0), a dropped first digit
// of 5 or more carrying one into them: halves go away from zero.
void keepDigits(Decimal& d, int keep) {
    if (keep >= static_cast<int>(d.digits.size()))
        return;
    bool up = keep >= 0 && d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(std::max(keep, 0)));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9')
            d.digits[static_cast<std::size_t>(i--)] = '0';
        if (i >= 0) {
            ++d.digits[static_cast<std::size_t>(i)];
        } else {
            d.digits.insert(0, 1, '1');
            ++d.point;
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
}

char digitAt(const Decimal& d, int i) {
    return i >= 0 && i < static_cast<int>(d.digits.size()) ? d.digits[static_cast<std::size_t>(i)]
                                                           : '0';
}

std::string sign(const Decimal& d) {
    return d.negative && !d.digits.empty() ? "-" : "";
}

// Plain notation of a rounded decimal with exactly `decimals` fraction digits.
std::string plain(const Decimal& d, int decimals) {
    std::string out = sign(d);
    if (d.point <= 0)
        out += '0';
    for (int i = 0; i < d.point; ++i)
        out += digitAt(d, i);
    if (decimals > 0) {
        out += '.';
        for (int i = 0; i < decimals; ++i)
            out += digitAt(d, d.point + i);
    }
    return out;
}

std::string exponentText(int e, int minDigits, bool plusSign) {
    std::string digits = std::to_string(std::abs(e));
    if (static_cast<int>(digits.size()) < minDigits)
        digits.insert(0, static_cast<std::size_t>(minDigits) - digits.size(), '0');
    return std::string(e < 0 ? "-" : (plusSign ? "+" : "")) + digits;
}

std::string special(double v) {
    if (std::isnan(v))
        return "NAN";
    return v > 0 ? "INF" : "-INF";
}

std::string general(Decimal d, int digits) {
    keepDigits(d, digits);
    if (d.digits.empty())
        return "0";
    int fraction = static_cast<int>(d.digits.size()) - d.point;
    // Plain while the integer digits fit the precision and the number is not
    // below 0.00001.
    if (d.point <= digits && d.point >= -4)
        return plain(d, std::max(fraction, 0));
    std::string out = sign(d) + d.digits.substr(0, 1);
    if (d.digits.size() > 1)
        out += "." + d.digits.substr(1);
    return out + "E" + exponentText(d.point - 1, 1, false);
}

std::string exponent(Decimal d, int digits, int exponentDigits) {
    keepDigits(d, digits);
    int e = d.digits.empty() ? 0 : d.point - 1;
    std::string out = d.negative ? "-" : "";
    out += digitAt(d, 0);
    if (digits > 1) {
        out += '.';
        for (int i = 1; i < digits; ++i)
            out += digitAt(d, i);
    }
    return out + "E" + exponentText(e, exponentDigits, true);
}

} // namespace

std::string formatFixed(double v, int decimals) {
    if (!std::isfinite(v))
        return special(v);
    Decimal d = toDecimal(v);
    keepDigits(d, d.point + decimals);
    return plain(d, decimals);
}

std::string formatExponent(double v, int digits, int exponentDigits) {
    if (!std::isfinite(v))
        return special(v);
    return exponent(toDecimal(v), std::clamp(digits, 1, kDoubleDigits), exponentDigits);
}

std::string formatGeneral(double v, int digits) {
    if (!std::isfinite(v))
        return special(v);
    return general(toDecimal(v), std::clamp(digits, 1, kDoubleDigits));
}

std::string floatToStrF(double v, FloatFormat format, int precision, int digits) {
    if (!std::isfinite(v))
        return special(v);
    precision = std::clamp(precision, 1, kFloatToStrDigits);
    digits = std::clamp(digits, 0, 18);
    // Read as FloatToStr reads it first, then cut as the format asks.
    Decimal d = toDecimal(v);
    keepDigits(d, kFloatToStrDigits);
    switch (format) {
    case FloatFormat::Exponent:
        return exponent(d, precision, digits);
    case FloatFormat::Fixed:
    case FloatFormat::Number: {
        keepDigits(d, d.point + digits);
        std::string out = plain(d, digits);
        return format == FloatFormat::Number ? groupThousands(out) : out;
    }
    default:
        return general(d, precision);
    }
}

std::string groupThousands(std::string s) {
    std::size_t dot = s.find('.');
    std::size_t end = dot == std::string::npos ? s.size() : dot;
    std::size_t start = (!s.empty() && s[0] == '-') ? 1 : 0;
    for (std::size_t k = end; k > start + 3; k -= 3)
        s.insert(k - 3, 1, ' ');
    return s;
}

} // namespace pascal
