// Russian words around the system's English error texts.
#include "tools/quest/SystemText.h"

#include "model/Cp1251.h"

namespace questtool {

namespace {

// The conversion error's text ends so; what comes before is the bad text.
constexpr std::string_view kNotAnInteger = "' is not a valid integer value";

bool IsAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

std::string Quoted(std::string_view cp1251) { return "\"" + model::Cp1251ToUtf8(cp1251) + "\""; }

// The length of the well-formed UTF-8 sequence at `at`, or 0.
std::size_t SequenceLength(std::string_view s, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(at);
    const std::size_t n = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3
                                        : (lead >> 3) == 0x1E  ? 4
                                                               : 0;
    if (n == 0 || at + n > s.size())
        return 0;
    char32_t ch = n == 1 ? lead : lead & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(at + k) & 0xC0) != 0x80)
            return 0;
        ch = (ch << 6) | (byte(at + k) & 0x3F);
    }
    static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (ch < kLeast[n] || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF))
        return 0; // overlong, beyond Unicode, or a surrogate
    return n;
}

} // namespace

std::string ForTerminal(std::string_view bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = SequenceLength(bytes, i);
        if (n > 0) {
            out.append(bytes.substr(i, n));
            i += n;
            continue;
        }
        static constexpr char kHex[] = "0123456789ABCDEF";
        const auto b = static_cast<unsigned char>(bytes[i++]);
        out += "\\x";
        out += kHex[b >> 4];
        out += kHex[b & 0xF];
    }
    return out;
}

std::string ErrorInRussian(std::string_view what) {
    if (what.starts_with("'") && what.ends_with(kNotAnInteger))
        return "не целое число (" + Quoted(what) + ")";
    // Another English text of the system (the standard library's, say).
    if (IsAscii(what))
        return "ошибка (" + Quoted(what) + ")";
    return model::Cp1251ToUtf8(what);
}

} // namespace questtool
