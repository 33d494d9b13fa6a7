// InputP's conversion. It differs from the model's StrToInt: only spaces are
// skipped, and a hexadecimal value is a 32-bit pattern ("$FFFFFFFF" is -1).
#include "player/script/InputNumber.h"

namespace player::script {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<std::int32_t> ParseInputNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';

    std::string_view rest = text.substr(i);
    std::size_t prefix = 0;
    if (rest.starts_with('$') || rest.starts_with('x') || rest.starts_with('X'))
        prefix = 1;
    else if (rest.starts_with("0x") || rest.starts_with("0X"))
        prefix = 2;

    if (prefix > 0) {
        std::string_view digits = rest.substr(prefix);
        if (digits.empty())
            return std::nullopt;
        std::uint64_t value = 0;
        for (char c : digits) {
            const int d = HexDigit(c);
            if (d < 0)
                return std::nullopt;
            value = value * 16 + static_cast<std::uint64_t>(d);
            if (value > 0xFFFFFFFFull)
                return std::nullopt;
        }
        std::uint32_t pattern = static_cast<std::uint32_t>(value);
        if (negative)
            pattern = 0u - pattern;
        return static_cast<std::int32_t>(pattern);
    }

    if (rest.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : rest) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 2147483648LL)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > 2147483647LL)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace player::script
