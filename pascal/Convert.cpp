// Number <-> text conversions.
#include "pascal/Convert.h"

#include "pascal/Cp1251.h"
#include "pascal/FloatText.h"
#include "pascal/Runtime.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace pascal {

namespace {
int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
} // namespace

std::optional<std::int64_t> parseInt(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        neg = s[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= s.size())
        return std::nullopt;
    std::uint64_t v = 0;
    if (hex) {
        for (; i < s.size(); ++i) {
            int d = hexDigit(s[i]);
            if (d < 0 || v > (UINT64_MAX >> 4))
                return std::nullopt;
            v = v * 16 + static_cast<std::uint64_t>(d);
        }
        std::int64_t r = static_cast<std::int64_t>(v);
        return neg ? static_cast<std::int64_t>(0 - v) : r;
    }
    // The magnitude may reach 2^63 for the most negative value.
    const std::uint64_t limit = neg ? (std::uint64_t(1) << 63) : std::uint64_t(INT64_MAX);
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9')
            return std::nullopt;
        std::uint64_t d = static_cast<std::uint64_t>(s[i] - '0');
        if (v > (limit - d) / 10)
            return std::nullopt;
        v = v * 10 + d;
    }
    return neg ? static_cast<std::int64_t>(0 - v) : static_cast<std::int64_t>(v);
}

std::int64_t strToInt(std::string_view s) {
    if (auto v = parseInt(s))
        return *v;
    fail("'" + std::string(s.substr(0, 100)) + "' - неверное целое число"_cp);
}

std::optional<double> parseFloat(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    s = s.substr(b, e - b);
    if (s.empty())
        return std::nullopt;
    // Only plain decimal forms: no "inf", "nan" or hexadecimal floats.
    for (char c : s)
        if (!((c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-'))
            return std::nullopt;
    std::size_t start = (s[0] == '+') ? 1 : 0;
    double v = 0;
    auto [p, ec] = std::from_chars(s.data() + start, s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size())
        return std::nullopt;
    return v;
}

double strToFloat(std::string_view s) {
    if (auto v = parseFloat(s))
        return *v;
    fail("'" + std::string(s.substr(0, 100)) + "' - неверное число"_cp);
}

bool strToBool(std::string_view s) {
    std::string up = asciiUpper(s);
    if (up == "TRUE")
        return true;
    if (up == "FALSE")
        return false;
    if (auto v = parseInt(s))
        return *v != 0;
    fail("'" + std::string(s.substr(0, 100)) + "' - неверное логическое значение"_cp);
}

std::string floatToStr(double v) {
    return formatGeneral(v, kFloatToStrDigits);
}

std::int64_t truncToInt(double v) {
    // 2^63 as a double; every double below it in magnitude truncates into range.
    constexpr double kLimit = 9223372036854775808.0;
    if (!(v > -kLimit - 1025.0 && v < kLimit) || std::isnan(v))
        fail("значение вне диапазона Integer"_cp);
    if (v <= -kLimit)
        return INT64_MIN;
    return static_cast<std::int64_t>(v);
}

std::int64_t roundToInt(double v) {
    return truncToInt(std::nearbyint(v));
}

} // namespace pascal
