// The standard string-to-integer conversion and its inverse.
#include "model/Convert.h"

#include "model/Errors.h"

#include <charconv>

namespace model {

namespace {

[[noreturn]] void notAnInteger(std::string_view text) {
    throw ConvertError("'" + std::string(text) + "' is not a valid integer value");
}

int digitValue(char c, int base) {
    int value;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    else
        return -1;
    return value < base ? value : -1;
}

} // namespace

std::int32_t StrToInt(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';

    int base = 10;
    if (pos < text.size() && (text[pos] == '$' || text[pos] == 'x' || text[pos] == 'X')) {
        base = 16;
        pos += 1;
    } else if (text.size() - pos >= 2 && text[pos] == '0' &&
               (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
        base = 16;
        pos += 2;
    }
    if (pos == text.size())
        notAnInteger(text);

    // The magnitude may reach 2^31 for a negative number only.
    const std::int64_t limit = negative ? std::int64_t{1} << 31 : (std::int64_t{1} << 31) - 1;
    std::int64_t magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = digitValue(text[pos], base);
        if (digit < 0)
            notAnInteger(text);
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            notAnInteger(text);
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::string IntToStr(std::int64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace model
