// The standard library: strings, maths, dates, Format and Print. Most
// functions are rows of one table (name, parameter types, result, body); the
// few that take var parameters, arrays or any number of arguments are built
// by hand below the table.
#include "pascal/Compiler.h"
#include "pascal/Convert.h"
#include "pascal/Cp1251.h"
#include "pascal/DateTime.h"
#include "pascal/FloatText.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unordered_set>

namespace pascal {

namespace {

using Args = std::vector<ExprPtr>;

template <class F> struct IntFn final : Expr {
    Args a;
    F f;
    IntFn(const TypeInfo* t, Args x, F fn) : a(std::move(x)), f(fn) { type = t; }
    std::int64_t evalInt(Ctx& c) override { return f(c, a); }
};
template <class F> struct FloatFn final : Expr {
    Args a;
    F f;
    FloatFn(Args x, F fn) : a(std::move(x)), f(fn) { type = floatType(); }
    double evalFloat(Ctx& c) override { return f(c, a); }
};
template <class F> struct StrFn final : Expr {
    Args a;
    F f;
    StrFn(Args x, F fn) : a(std::move(x)), f(fn) { type = strType(); }
    std::string evalStr(Ctx& c) override {
        std::string out = f(c, a);
        c.work(out.size()); // making a long result is work, whatever the function
        return out;
    }
};

// A string argument, weighed as work: a function reads all of it, so a loop
// over a long string cannot walk past the step budget.
std::string weighed(Ctx& c, std::string s) {
    c.work(s.size());
    return s;
}
template <class F> struct VoidFn final : Expr {
    Args a;
    F f;
    VoidFn(Args x, F fn) : a(std::move(x)), f(fn) { type = voidType(); }
    void evalVoid(Ctx& c) override { f(c, a); }
};

template <class F> ExprPtr mkInt(Args a, F f) {
    return std::make_unique<IntFn<F>>(intType(), std::move(a), f);
}
template <class F> ExprPtr mkBool(Args a, F f) {
    return std::make_unique<IntFn<F>>(boolType(), std::move(a), f);
}
template <class F> ExprPtr mkFloat(Args a, F f) {
    return std::make_unique<FloatFn<F>>(std::move(a), f);
}
template <class F> ExprPtr mkStr(Args a, F f) {
    return std::make_unique<StrFn<F>>(std::move(a), f);
}
template <class F> ExprPtr mkVoid(Args a, F f) {
    return std::make_unique<VoidFn<F>>(std::move(a), f);
}

// Shorthands for the table: evaluate argument k as a type.
#define I(k) a[k]->evalInt(c)
#define F(k) a[k]->evalFloat(c)
#define S(k) weighed(c, a[k]->evalStr(c))
#define INT(body)                                                                                  \
    +[](Args a) {                                                                                  \
        return mkInt(std::move(a), [](Ctx& c, Args& a) -> std::int64_t {                           \
            (void)c, (void)a;                                                                      \
            body                                                                                   \
        });                                                                                        \
    }
#define BOOL(body)                                                                                 \
    +[](Args a) {                                                                                  \
        return mkBool(std::move(a), [](Ctx& c, Args& a) -> std::int64_t {                          \
            (void)c, (void)a;                                                                      \
            body                                                                                   \
        });                                                                                        \
    }
#define FLT(body)                                                                                  \
    +[](Args a) {                                                                                  \
        return mkFloat(std::move(a), [](Ctx& c, Args& a) -> double {                               \
            (void)c, (void)a;                                                                      \
            body                                                                                   \
        });                                                                                        \
    }
#define STR(body)                                                                                  \
    +[](Args a) {                                                                                  \
        return mkStr(std::move(a), [](Ctx& c, Args& a) -> std::string {                            \
            (void)c, (void)a;                                                                      \
            body                                                                                   \
        });                                                                                        \
    }
#define VOID(body)                                                                                 \
    +[](Args a) {                                                                                  \
        return mkVoid(std::move(a), [](Ctx& c, Args& a) {                                          \
            (void)c, (void)a;                                                                      \
            (void)a;                                                                               \
            body                                                                                   \
        });                                                                                        \
    }

const TypeInfo* const kI = intType();
const TypeInfo* const kF = floatType();
const TypeInfo* const kS = strType();
const TypeInfo* const kB = boolType();
const TypeInfo* const kV = voidType();

struct Entry {
    const char* name; // upper-cased
    std::vector<const TypeInfo*> params;
    const TypeInfo* result;
    bool pure;
    ExprPtr (*make)(Args);
};

double checkedFloat(double v) {
    if (std::isnan(v))
        fail("недопустимая операция с плавающей точкой"_cp);
    return v;
}

std::string copyStr(const std::string& s, std::int64_t index, std::int64_t count) {
    if (index < 1)
        index = 1;
    if (count <= 0 || static_cast<std::uint64_t>(index) > s.size())
        return std::string();
    std::size_t from = static_cast<std::size_t>(index - 1);
    std::size_t n = std::min<std::uint64_t>(static_cast<std::uint64_t>(count), s.size() - from);
    return s.substr(from, n);
}

std::string trim(const std::string& s, bool left, bool right) {
    std::size_t b = 0, e = s.size();
    if (left)
        while (b < e && static_cast<unsigned char>(s[b]) <= ' ')
            ++b;
    if (right)
        while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ')
            --e;
    return s.substr(b, e - b);
}

std::string upperAscii(std::string s) {
    for (char& ch : s)
        ch = asciiUpper(ch);
    return s;
}
std::string lowerAscii(std::string s) {
    for (char& ch : s)
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch + 32);
    return s;
}
std::string upperAnsi(std::string s) {
    for (char& ch : s)
        ch = ansiUpper(ch);
    return s;
}
std::string lowerAnsi(std::string s) {
    for (char& ch : s)
        ch = ansiLower(ch);
    return s;
}

int compareText(const std::string& a, const std::string& b) {
    std::string x = upperAscii(a), y = upperAscii(b);
    int k = x.compare(y);
    return k < 0 ? -1 : (k > 0 ? 1 : 0);
}

std::string stringOfChar(Ctx& c, const std::string& ch, std::int64_t n) {
    if (ch.size() != 1)
        fail("StringOfChar ждёт один символ"_cp);
    if (n <= 0)
        return std::string();
    checkLength(static_cast<std::uint64_t>(n));
    c.work(static_cast<std::size_t>(n));
    return std::string(static_cast<std::size_t>(n), ch[0]);
}

// rfReplaceAll = 1, rfIgnoreCase = 2
std::string stringReplace(Ctx& c, const std::string& s, const std::string& from,
                          const std::string& to, std::int64_t flags) {
    if (from.empty())
        return s;
    bool all = flags & 1;
    bool ignoreCase = flags & 2;
    std::string hay = ignoreCase ? upperAnsi(s) : s;
    std::string needle = ignoreCase ? upperAnsi(from) : from;
    std::string out;
    std::size_t pos = 0;
    for (;;) {
        std::size_t k = hay.find(needle, pos);
        if (k == std::string::npos)
            break;
        out.append(s, pos, k - pos);
        out += to;
        checkLength(out.size());
        pos = k + from.size();
        if (!all)
            break;
    }
    out.append(s, pos, std::string::npos);
    checkLength(out.size());
    c.work(out.size());
    return out;
}

std::string intToHex(std::int64_t v, std::int64_t digits) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(v));
    std::string s(buf);
    if (digits > 32)
        digits = 32;
    while (static_cast<std::int64_t>(s.size()) < digits)
        s.insert(0, 1, '0');
    return s;
}

std::int64_t posFrom(const std::string& sub, const std::string& s, std::int64_t from) {
    if (sub.empty() || from < 1 || static_cast<std::uint64_t>(from) > s.size())
        return 0;
    auto k = s.find(sub, static_cast<std::size_t>(from - 1));
    return k == std::string::npos ? 0 : static_cast<std::int64_t>(k) + 1;
}

std::int64_t gcd(std::int64_t a, std::int64_t b) {
    std::uint64_t x = a < 0 ? 0 - static_cast<std::uint64_t>(a) : static_cast<std::uint64_t>(a);
    std::uint64_t y = b < 0 ? 0 - static_cast<std::uint64_t>(b) : static_cast<std::uint64_t>(b);
    while (y) {
        std::uint64_t t = x % y;
        x = y;
        y = t;
    }
    return static_cast<std::int64_t>(x);
}

// "FF", "$ff", "0x1F": hexadecimal digits, a prefix allowed.
std::int64_t hexToInt(const std::string& s) {
    std::string digits = s;
    if (!digits.empty() && digits[0] != '$' &&
        !(digits.size() > 1 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')))
        digits.insert(0, 1, '$');
    if (auto v = parseInt(digits); v && digits.find_first_of("+- ") == std::string::npos)
        return *v;
    fail("'" + s.substr(0, 100) + "' - неверное шестнадцатеричное число"_cp);
}

std::string intToBin(std::int64_t v, std::int64_t digits) {
    std::string s;
    std::uint64_t u = static_cast<std::uint64_t>(v);
    do {
        s.insert(0, 1, static_cast<char>('0' + (u & 1)));
        u >>= 1;
    } while (u);
    digits = std::min<std::int64_t>(digits, 64);
    while (static_cast<std::int64_t>(s.size()) < digits)
        s.insert(0, 1, '0');
    return s;
}

// FormatFloat's mask: '0' a digit always shown, '#' a digit shown when not
// a trailing or leading zero, '.' the decimal point, ',' anywhere before it
// groups thousands; other characters before and after stand as they are.
std::string formatFloatMask(const std::string& mask, double v) {
    std::size_t first = mask.find_first_of("0#.,");
    if (first == std::string::npos)
        return mask;
    std::size_t last = mask.find_last_of("0#.,");
    std::string body = mask.substr(first, last - first + 1);
    std::size_t dot = body.find('.');
    std::string whole = body.substr(0, dot);
    std::string fraction = dot == std::string::npos ? "" : body.substr(dot + 1);
    int minInt = static_cast<int>(std::count(whole.begin(), whole.end(), '0'));
    int minDec = static_cast<int>(std::count(fraction.begin(), fraction.end(), '0'));
    int maxDec = minDec + static_cast<int>(std::count(fraction.begin(), fraction.end(), '#'));
    bool group = whole.find(',') != std::string::npos;
    std::string text = formatFixed(v, maxDec);
    bool negative = !text.empty() && text[0] == '-';
    if (negative)
        text.erase(0, 1);
    std::size_t point = text.find('.');
    std::string intPart = text.substr(0, point);
    std::string decPart = point == std::string::npos ? "" : text.substr(point + 1);
    while (static_cast<int>(decPart.size()) > minDec && decPart.back() == '0')
        decPart.pop_back();
    if (intPart == "0" && minInt == 0)
        intPart.clear();
    while (static_cast<int>(intPart.size()) < minInt)
        intPart.insert(0, 1, '0');
    if (group)
        for (std::size_t k = intPart.size(); k > 3; k -= 3)
            intPart.insert(k - 3, 1, ',');
    std::string out = intPart;
    if (!decPart.empty())
        out += "." + decPart;
    if (negative && out.find_first_not_of("0.,") != std::string::npos)
        out.insert(0, 1, '-');
    return mask.substr(0, first) + out + mask.substr(last + 1);
}

// The type of StrSplit's result.
const TypeInfo* stringArrayType() {
    static const TypeInfo t = [] {
        TypeInfo a{};
        a.kind = Kind::DynArray;
        a.name = "array of String";
        a.elem = strType();
        return a;
    }();
    return &t;
}

FloatFormat floatFormat(std::int64_t k) {
    if (k < 0 || k > 3)
        fail("неверный формат FloatToStrF"_cp);
    return static_cast<FloatFormat>(k);
}

std::int64_t randomBelow(Ctx& c, std::int64_t n) {
    if (n <= 0)
        return 0;
    return static_cast<std::int64_t>(c.rng() % static_cast<std::uint64_t>(n));
}

const std::vector<Entry>& table() {
    static const std::vector<Entry> t = {
        // strings
        {"LENGTH",
         {kS},
         kI,
         true,
         INT(std::string t; return static_cast<std::int64_t>(strRef(c, a[0].get(), t).size());)},
        {"COPY",
         {kS, kI, kI},
         kS,
         true,
         STR(std::string s = S(0); std::int64_t i = I(1); return copyStr(s, i, I(2));)},
        {"COPY",
         {kS, kI},
         kS,
         true,
         STR(std::string s = S(0); return copyStr(s, I(1), INT64_MAX);)},
        {"POS",
         {kS, kS},
         kI,
         true,
         INT(std::string sub = S(0); std::string s = S(1); if (sub.empty()) return 0;
             auto k = s.find(sub);
             return k == std::string::npos ? 0 : static_cast<std::int64_t>(k) + 1;)},
        {"POS",
         {kS, kS, kI},
         kI,
         true,
         INT(std::string sub = S(0); std::string s = S(1); return posFrom(sub, s, I(2));)},
        {"POSEX",
         {kS, kS, kI},
         kI,
         true,
         INT(std::string sub = S(0); std::string s = S(1); return posFrom(sub, s, I(2));)},
        {"POSEX",
         {kS, kS},
         kI,
         true,
         INT(std::string sub = S(0); std::string s = S(1); return posFrom(sub, s, 1);)},
        {"LASTDELIMITER",
         {kS, kS},
         kI,
         true,
         INT(std::string d = S(0); std::string s = S(1); auto k = s.find_last_of(d);
             return k == std::string::npos ? 0 : static_cast<std::int64_t>(k) + 1;)},
        {"REVERSESTRING",
         {kS},
         kS,
         true,
         STR(std::string s = S(0); return std::string(s.rbegin(), s.rend());)},
        {"UPPERCASE", {kS}, kS, true, STR(return upperAscii(S(0));)},
        {"LOWERCASE", {kS}, kS, true, STR(return lowerAscii(S(0));)},
        {"ANSIUPPERCASE", {kS}, kS, true, STR(return upperAnsi(S(0));)},
        {"ANSILOWERCASE", {kS}, kS, true, STR(return lowerAnsi(S(0));)},
        {"TRIM", {kS}, kS, true, STR(return trim(S(0), true, true);)},
        {"TRIMLEFT", {kS}, kS, true, STR(return trim(S(0), true, false);)},
        {"TRIMRIGHT", {kS}, kS, true, STR(return trim(S(0), false, true);)},
        {"STRINGOFCHAR",
         {kS, kI},
         kS,
         true,
         STR(std::string ch = S(0); return stringOfChar(c, ch, I(1));)},
        {"STRINGREPLACE",
         {kS, kS, kS, kI},
         kS,
         true,
         STR(std::string s = S(0); std::string f = S(1); std::string t = S(2);
             return stringReplace(c, s, f, t, I(3));)},
        {"STRINGREPLACE",
         {kS, kS, kS},
         kS,
         true,
         STR(std::string s = S(0); std::string f = S(1); std::string t = S(2);
             return stringReplace(c, s, f, t, 1);)},
        {"QUOTEDSTR",
         {kS},
         kS,
         true,
         STR(std::string s = S(0); std::string out = "'"; for (char ch
                                                               : s) {
             out += ch;
             if (ch == '\'')
                 out += '\'';
         } out += '\'';
             checkLength(out.size()); return out;)},
        {"SAMETEXT",
         {kS, kS},
         kB,
         true,
         BOOL(std::string x = S(0); return compareText(x, S(1)) == 0;)},
        {"COMPARETEXT",
         {kS, kS},
         kI,
         true,
         INT(std::string x = S(0); return compareText(x, S(1));)},
        {"COMPARESTR",
         {kS, kS},
         kI,
         true,
         INT(std::string x = S(0); int k = x.compare(S(1)); return k < 0 ? -1 : (k > 0 ? 1 : 0);)},
        {"ANSISAMETEXT",
         {kS, kS},
         kB,
         true,
         BOOL(std::string x = upperAnsi(S(0)); return x == upperAnsi(S(1));)},
        {"ANSICOMPARETEXT",
         {kS, kS},
         kI,
         true,
         INT(std::string x = upperAnsi(S(0)); int k = x.compare(upperAnsi(S(1)));
             return k < 0 ? -1 : (k > 0 ? 1 : 0);)},
        {"ORD",
         {kS},
         kI,
         true,
         INT(std::string s = S(0); if (s.size() != 1) fail("Ord ждёт один символ"_cp);
             return static_cast<unsigned char>(s[0]);)},
        {"ORD", {kB}, kI, true, INT(return I(0);)},
        {"ORD", {kI}, kI, true, INT(return I(0);)},
        // conversions
        {"INTTOSTR", {kI}, kS, true, STR(return std::to_string(I(0));)},
        {"INTTOHEX", {kI, kI}, kS, true, STR(std::int64_t v = I(0); return intToHex(v, I(1));)},
        {"STRTOINT", {kS}, kI, true, INT(return strToInt(S(0));)},
        {"STRTOINTDEF",
         {kS, kI},
         kI,
         true,
         INT(std::string s = S(0); std::int64_t d = I(1); auto v = parseInt(s);
             return v ? *v : d;)},
        {"FLOATTOSTR", {kF}, kS, true, STR(return floatToStr(F(0));)},
        {"FLOATTOSTR",
         {kF, kI},
         kS,
         true,
         STR(double v = F(0);
             return formatGeneral(v, static_cast<int>(std::clamp<std::int64_t>(I(1), 1, 17)));)},
        {"HEXTOINT", {kS}, kI, true, INT(return hexToInt(S(0));)},
        {"FORMATFLOAT",
         {kS, kF},
         kS,
         true,
         STR(std::string m = S(0); return formatFloatMask(m, F(1));)},
        {"INTTOBIN", {kI, kI}, kS, true, STR(std::int64_t v = I(0); return intToBin(v, I(1));)},
        {"FLOATTOSTRF",
         {kF, kI, kI, kI},
         kS,
         true,
         STR(double v = F(0); std::int64_t f = I(1); std::int64_t p = I(2); return floatToStrF(
                 v, floatFormat(f), static_cast<int>(std::clamp<std::int64_t>(p, 0, 99)),
                 static_cast<int>(std::clamp<std::int64_t>(I(3), 0, 99)));)},
        {"STRTOFLOAT", {kS}, kF, true, FLT(return strToFloat(S(0));)},
        {"STRTOFLOATDEF",
         {kS, kF},
         kF,
         true,
         FLT(std::string s = S(0); double d = F(1); auto v = parseFloat(s); return v ? *v : d;)},
        {"BOOLTOSTR", {kB}, kS, true, STR(return I(0) ? "-1" : "0";)},
        {"BOOLTOSTR",
         {kB, kB},
         kS,
         true,
         STR(bool b = I(0); if (I(1)) return b ? "True" : "False"; return b ? "-1" : "0";)},
        {"STRTOBOOL", {kS}, kB, true, BOOL(return strToBool(S(0));)},
        // maths
        {"ABS", {kI}, kI, true, INT(std::int64_t v = I(0); return v < 0 ? wrapSub(0, v) : v;)},
        {"ABS", {kF}, kF, true, FLT(return std::fabs(F(0));)},
        {"SQR", {kI}, kI, true, INT(std::int64_t v = I(0); return wrapMul(v, v);)},
        {"SQR", {kF}, kF, true, FLT(double v = F(0); return v * v;)},
        {"SQRT", {kF}, kF, true, FLT(return checkedFloat(std::sqrt(F(0)));)},
        {"SIN", {kF}, kF, true, FLT(return checkedFloat(std::sin(F(0)));)},
        {"COS", {kF}, kF, true, FLT(return checkedFloat(std::cos(F(0)));)},
        {"TAN", {kF}, kF, true, FLT(return checkedFloat(std::tan(F(0)));)},
        {"ARCTAN", {kF}, kF, true, FLT(return checkedFloat(std::atan(F(0)));)},
        {"EXP", {kF}, kF, true, FLT(return checkedFloat(std::exp(F(0)));)},
        {"LN",
         {kF},
         kF,
         true,
         FLT(double v = F(0); if (v <= 0) fail("недопустимая операция с плавающей точкой"_cp);
             return std::log(v);)},
        {"POWER",
         {kF, kF},
         kF,
         true,
         FLT(double x = F(0); return checkedFloat(std::pow(x, F(1)));)},
        {"ROUND", {kF}, kI, true, INT(return roundToInt(F(0));)},
        {"TRUNC", {kF}, kI, true, INT(return truncToInt(F(0));)},
        {"CEIL", {kF}, kI, true, INT(return truncToInt(std::ceil(F(0)));)},
        {"FLOOR", {kF}, kI, true, INT(return truncToInt(std::floor(F(0)));)},
        {"FRAC", {kF}, kF, true, FLT(double v = F(0); return v - std::trunc(v);)},
        {"INT", {kF}, kF, true, FLT(return std::trunc(F(0));)},
        {"MIN", {kI, kI}, kI, true, INT(std::int64_t x = I(0); return std::min(x, I(1));)},
        {"MIN", {kF, kF}, kF, true, FLT(double x = F(0); return std::min(x, F(1));)},
        {"MAX", {kI, kI}, kI, true, INT(std::int64_t x = I(0); return std::max(x, I(1));)},
        {"MAX", {kF, kF}, kF, true, FLT(double x = F(0); return std::max(x, F(1));)},
        {"ODD", {kI}, kB, true, BOOL(return (I(0) & 1) != 0;)},
        {"SIGN", {kI}, kI, true, INT(std::int64_t v = I(0); return (v > 0) - (v < 0);)},
        {"SIGN", {kF}, kI, true, INT(double v = F(0); return (v > 0) - (v < 0);)},
        {"INTPOWER",
         {kF, kI},
         kF,
         true,
         FLT(double x = F(0); return checkedFloat(std::pow(x, static_cast<double>(I(1))));)},
        {"GCD", {kI, kI}, kI, true, INT(std::int64_t x = I(0); return gcd(x, I(1));)},
        {"LCM",
         {kI, kI},
         kI,
         true,
         INT(std::int64_t x = I(0); std::int64_t y = I(1); std::int64_t g = gcd(x, y);
             if (g == 0) return 0; std::int64_t r = wrapMul(x / g, y);
             return r < 0 ? wrapSub(0, r) : r;)},
        {"DEGTORAD", {kF}, kF, true, FLT(return F(0) * (3.14159265358979323846 / 180);)},
        {"RADTODEG", {kF}, kF, true, FLT(return F(0) * (180 / 3.14159265358979323846);)},
        {"ASSERT", {kB}, kV, false, VOID(if (!I(0)) fail("утверждение не выполнено (Assert)"_cp);)},
        {"ASSERT",
         {kB, kS},
         kV,
         false,
         VOID(bool ok = I(0); std::string m = S(1); if (!ok) fail(m);)},
        {"RANDOM", {}, kF, false, FLT(return static_cast<double>(c.rng() >> 11) * 0x1.0p-53;)},
        {"RANDOM", {kI}, kI, false, INT(return randomBelow(c, I(0));)},
        {"RANDOMINT", {kI}, kI, false, INT(return randomBelow(c, I(0));)},
        {"RANDOMIZE",
         {},
         kV,
         false,
         VOID(if (!c.options || !c.options->randomSeed) c.rng.seed(static_cast<std::uint64_t>(
             std::chrono::steady_clock::now().time_since_epoch().count()));)},
        // dates and times
        {"NOW", {}, kF, false, FLT(return nowDateTime();)},
        {"DATE", {}, kF, false, FLT(return std::floor(nowDateTime());)},
        {"TIME", {}, kF, false, FLT(double v = nowDateTime(); return v - std::floor(v);)},
        {"DATETOSTR", {kF}, kS, true, STR(return formatDateTime("dd.mm.yyyy", F(0));)},
        {"TIMETOSTR", {kF}, kS, true, STR(return formatDateTime("hh:nn:ss", F(0));)},
        {"DATETIMETOSTR", {kF}, kS, true, STR(return formatDateTime("dd.mm.yyyy hh:nn:ss", F(0));)},
        {"FORMATDATETIME",
         {kS, kF},
         kS,
         true,
         STR(std::string f = S(0); return formatDateTime(f, F(1));)},
        {"ENCODEDATE",
         {kI, kI, kI},
         kF,
         true,
         FLT(std::int64_t y = I(0); std::int64_t m = I(1); return encodeDate(y, m, I(2));)},
        {"DAYOFWEEK", {kF}, kI, true, INT(return dayOfWeek(F(0));)},
    };
    return t;
}

// --- Hand-built functions -------------------------------------------------------

std::string chrOf(std::int64_t v) {
    if (v < 0 || v > 255)
        fail("код символа вне диапазона 0..255"_cp);
    return std::string(1, static_cast<char>(v));
}

std::string enumName(const TypeInfo* t, std::int64_t v) {
    if (v < 0 || v >= static_cast<std::int64_t>(t->names.size()))
        return std::to_string(v);
    return t->names[static_cast<std::size_t>(v)];
}

// Succ and Pred of an enumeration or a Boolean stay within its values.
std::int64_t checkedOrdinal(const TypeInfo* t, std::int64_t v) {
    if (t->kind != Kind::Integer && (v < t->lo || v > t->hi))
        fail("значение вне диапазона типа "_cp + t->name);
    return v;
}

std::string printable(Ctx& c, Expr* e) {
    switch (e->type->kind) {
    case Kind::Integer:
        return std::to_string(e->evalInt(c));
    case Kind::Float:
        return floatToStr(e->evalFloat(c));
    case Kind::Boolean:
        return e->evalInt(c) ? "True" : "False";
    case Kind::Enum:
        return enumName(e->type, e->evalInt(c));
    case Kind::Set: {
        std::uint64_t bits = static_cast<std::uint64_t>(e->evalInt(c));
        std::string out = "[";
        for (std::int64_t v = 0; v <= kMaxSetValue; ++v)
            if ((bits >> v) & 1) {
                if (out.size() > 1)
                    out += ", ";
                out += e->type->elem && e->type->elem->kind == Kind::Enum
                           ? enumName(e->type->elem, v)
                           : std::to_string(v);
            }
        return out + "]";
    }
    default:
        return e->evalStr(c);
    }
}

struct PrintNode final : Expr {
    Args a;
    bool newline;
    PrintNode(Args x, bool nl) : a(std::move(x)), newline(nl) { type = voidType(); }
    void evalVoid(Ctx& c) override {
        std::string out;
        for (auto& e : a)
            out += printable(c, e.get());
        if (newline)
            out += '\n';
        c.work(out.size());
        if (c.options && c.options->output)
            c.options->output(out);
    }
};

// Format's arguments, evaluated to their values.
struct FmtValue {
    Kind kind = Kind::Integer;
    std::int64_t i = 0;
    double f = 0;
    std::string s;
};

std::string formatText(Ctx& c, const std::string& fmt, const std::vector<FmtValue>& vals) {
    std::string out;
    std::size_t next = 0;
    auto bad = [] { fail("неверный формат или аргумент Format"_cp); };
    for (std::size_t i = 0; i < fmt.size(); ++i) {
        if (fmt[i] != '%') {
            out += fmt[i];
            continue;
        }
        if (++i >= fmt.size())
            bad();
        if (fmt[i] == '%') {
            out += '%';
            continue;
        }
        bool left = false;
        if (fmt[i] == '-') {
            left = true;
            ++i;
        }
        // Widths and precisions are bounded so a format cannot ask for a
        // huge string.
        constexpr int kMaxWidth = 1000;
        int width = 0, prec = -1;
        while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
            width = width * 10 + (fmt[i++] - '0');
            if (width > kMaxWidth)
                bad();
        }
        if (i < fmt.size() && fmt[i] == '.') {
            ++i;
            prec = 0;
            while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
                prec = prec * 10 + (fmt[i++] - '0');
                if (prec > kMaxWidth)
                    bad();
            }
        }
        if (i >= fmt.size() || next >= vals.size())
            bad();
        const FmtValue& v = vals[next++];
        char conv = asciiUpper(fmt[i]);
        std::string piece;
        char buf[1100];
        switch (conv) {
        case 'D':
            if (v.kind != Kind::Integer)
                bad();
            piece = std::to_string(v.i);
            if (prec > 0) {
                bool neg = v.i < 0;
                std::string digits = neg ? piece.substr(1) : piece;
                while (static_cast<int>(digits.size()) < prec)
                    digits.insert(0, 1, '0');
                piece = (neg ? "-" : "") + digits;
            }
            break;
        case 'X':
            if (v.kind != Kind::Integer)
                bad();
            piece = intToHex(v.i, prec > 0 ? prec : 0);
            break;
        case 'S':
            if (v.kind == Kind::Integer)
                piece = std::to_string(v.i);
            else if (v.kind == Kind::Float)
                piece = floatToStr(v.f);
            else if (v.kind == Kind::Boolean)
                piece = v.i ? "True" : "False";
            else
                piece = v.s;
            if (prec >= 0 && piece.size() > static_cast<std::size_t>(prec))
                piece.resize(static_cast<std::size_t>(prec));
            break;
        case 'F':
        case 'E':
        case 'G':
        case 'N': {
            double d = v.kind == Kind::Float     ? v.f
                       : v.kind == Kind::Integer ? static_cast<double>(v.i)
                                                 : (bad(), 0.0);
            if (conv == 'G') {
                std::snprintf(buf, sizeof buf, "%.*G", prec >= 0 ? prec : 15, d);
                piece = buf;
            } else if (conv == 'E' || std::fabs(d) > 1e300) {
                // The precision counts significant digits, two at least.
                piece = formatExponent(d, prec >= 0 ? std::max(prec, 2) : kDoubleDigits, 3);
            } else {
                piece = formatFixed(d, prec >= 0 ? prec : 2);
                if (conv == 'N')
                    piece = groupThousands(piece);
            }
            break;
        }
        default:
            bad();
        }
        if (static_cast<int>(piece.size()) < width) {
            std::string padding(static_cast<std::size_t>(width) - piece.size(), ' ');
            piece = left ? piece + padding : padding + piece;
        }
        out += piece;
        checkLength(out.size());
    }
    c.work(out.size());
    return out;
}

struct FormatNode final : Expr {
    ExprPtr fmt;
    Args items;
    FormatNode(ExprPtr f, Args a) : fmt(std::move(f)), items(std::move(a)) { type = strType(); }
    std::string evalStr(Ctx& c) override {
        std::string f = fmt->evalStr(c);
        std::vector<FmtValue> vals;
        vals.reserve(items.size());
        for (auto& e : items) {
            FmtValue v;
            v.kind = e->type->kind;
            if (v.kind == Kind::Enum) {
                v.kind = Kind::String;
                v.s = enumName(e->type, e->evalInt(c));
            } else if (v.kind == Kind::Float)
                v.f = e->evalFloat(c);
            else if (v.kind == Kind::String)
                v.s = e->evalStr(c);
            else
                v.i = e->evalInt(c);
            vals.push_back(std::move(v));
        }
        return formatText(c, f, vals);
    }
};

bool accepts(const TypeInfo* param, const TypeInfo* arg, bool widen) {
    if (sameType(param, arg))
        return true;
    return widen && param->kind == Kind::Float && arg->kind == Kind::Integer;
}

bool isArray(const TypeInfo* t) {
    return t->kind == Kind::StaticArray || t->kind == Kind::DynArray;
}

bool assignable(const X& x) {
    return x.e->isPlace() && !x.e->readOnly && !dynamic_cast<IndexStr*>(x.e.get());
}

// Resizes a dynamic array or a string in place.
struct SetLengthNode final : Expr {
    ExprPtr place, len;
    const TypeInfo* arr; // null for a string
    SetLengthNode(ExprPtr p, ExprPtr n, const TypeInfo* t)
        : place(std::move(p)), len(std::move(n)), arr(t) {
        type = voidType();
    }
    void evalVoid(Ctx& c) override {
        std::int64_t n = len->evalInt(c);
        if (n < 0)
            n = 0;
        if (!arr) {
            checkLength(static_cast<std::uint64_t>(n));
            std::string& s = place->str(c);
            if (static_cast<std::size_t>(n) > s.size())
                c.work(static_cast<std::size_t>(n) - s.size());
            std::size_t before = s.size();
            s.resize(static_cast<std::size_t>(n), ' ');
            c.holdStr(s, before);
            return;
        }
        if (n > kMaxArrayLength || static_cast<std::uint64_t>(n) * arr->elem->cells >
                                       static_cast<std::uint64_t>(kMaxArrayLength))
            fail("массив слишком большой"_cp);
        AggPtr& p = place->agg(c);
        if (n == 0) {
            c.release(p);
            p = nullptr;
            return;
        }
        if (!p) {
            p = std::make_shared<Agg>();
            p->byValue = false;
            p->elem = storageOf(arr->elem);
            c.hold(sizeof(Agg));
        }
        std::size_t old = p->length();
        std::size_t k = static_cast<std::size_t>(n);
        if (k > old)
            c.work((k - old) * 8 * arr->elem->cells);
        // Counted as a whole before and after: the dropped elements give
        // back what they held, the new ones count what they take.
        bool alone = p.use_count() == 1;
        std::int64_t before = alone ? aggBytes(p.get()) : 0;
        switch (p->elem) {
        case Storage::Number:
            c.hold(static_cast<std::int64_t>(k > old ? (k - old) * sizeof(Cell) : 0));
            p->n.resize(k, Cell{0});
            break;
        case Storage::Str:
            c.hold(static_cast<std::int64_t>(k > old ? (k - old) * sizeof(std::string) : 0));
            p->s.resize(k);
            break;
        case Storage::Agg:
            c.hold(static_cast<std::int64_t>(k > old ? (k - old) * sizeof(AggPtr) : 0));
            p->a.resize(k);
            for (std::size_t i = old; i < k; ++i) {
                p->a[i] = makeAgg(arr->elem);
                c.hold(aggBytes(p->a[i].get()));
            }
            break;
        }
        if (alone && k < old)
            c.hold(aggBytes(p.get()) - before);
    }
};

// StrSplit(s, delimiter): the pieces between the delimiters, as an array.
struct SplitNode final : Expr {
    Args a;
    explicit SplitNode(Args x) : a(std::move(x)) { type = stringArrayType(); }
    AggPtr evalAgg(Ctx& c) override {
        std::string s = weighed(c, a[0]->evalStr(c));
        std::string d = a[1]->evalStr(c);
        auto p = std::make_shared<Agg>();
        p->byValue = false;
        p->elem = Storage::Str;
        std::size_t from = 0;
        for (;;) {
            std::size_t k = d.empty() ? std::string::npos : s.find(d, from);
            if (p->s.size() >= static_cast<std::size_t>(kMaxArrayLength))
                fail("массив слишком большой"_cp);
            p->s.push_back(s.substr(from, k == std::string::npos ? k : k - from));
            c.hold(static_cast<std::int64_t>(sizeof(std::string) + p->s.back().size()));
            if (k == std::string::npos)
                break;
            from = k + d.size();
        }
        c.hold(sizeof(Agg));
        return p;
    }
};

} // namespace

bool isBuiltin(const std::string& up) {
    static const char* const special[] = {
        "LENGTH", "LOW",     "HIGH",    "SETLENGTH", "INC",      "DEC",        "DELETE",
        "INSERT", "FORMAT",  "PRINT",   "PRINTLN",   "CHR",      "DECODEDATE", "SUCC",
        "PRED",   "INCLUDE", "EXCLUDE", "SWAP",      "STRSPLIT", "STRJOIN"};
    // Every name the compiler does not know is asked about: one hash lookup.
    static const std::unordered_set<std::string> names = [] {
        std::unordered_set<std::string> all(std::begin(special), std::end(special));
        for (const Entry& e : table())
            all.insert(e.name);
        return all;
    }();
    return names.count(up) != 0;
}

ExprPtr buildBuiltin(const std::string& up, BuiltinSite& site) {
    std::vector<X>& args = site.args;
    auto wrongArgs = [&]() -> ExprPtr {
        site.error(std::string("неверные аргументы "_cp) + site.name);
        return nullptr;
    };
    auto take = [&]() {
        Args a;
        for (X& x : args)
            a.push_back(std::move(x.e));
        return a;
    };
    for (X& x : args)
        if (x.type()->kind == Kind::ArgList && up != "FORMAT" && up != "STRINGREPLACE")
            return wrongArgs();

    if (up == "LENGTH" && args.size() == 1 && isArray(args[0].type())) {
        return mkInt(take(), [](Ctx& c, Args& a) -> std::int64_t {
            AggPtr p = a[0]->evalAgg(c);
            return p ? static_cast<std::int64_t>(p->length()) : 0;
        });
    }
    if ((up == "LOW" || up == "HIGH") && args.size() == 1) {
        const TypeInfo* t = args[0].type();
        bool low = up == "LOW";
        if (t->kind == Kind::StaticArray) {
            site.pure = true;
            return std::make_unique<ConstInt>(low ? t->lo : t->hi, t->index ? t->index : intType());
        }
        if (t->kind == Kind::Enum) {
            site.pure = true;
            return std::make_unique<ConstInt>(low ? t->lo : t->hi, t);
        }
        if (t->kind == Kind::DynArray) {
            if (low)
                return std::make_unique<ConstInt>(0, intType());
            return mkInt(take(), [](Ctx& c, Args& a) -> std::int64_t {
                AggPtr p = a[0]->evalAgg(c);
                return (p ? static_cast<std::int64_t>(p->length()) : 0) - 1;
            });
        }
        if (t->kind == Kind::String) {
            if (low)
                return std::make_unique<ConstInt>(1, intType());
            return mkInt(take(), [](Ctx& c, Args& a) -> std::int64_t {
                return static_cast<std::int64_t>(a[0]->evalStr(c).size());
            });
        }
        return wrongArgs();
    }
    if (up == "SETLENGTH") {
        if (args.size() != 2 || !assignable(args[0]) || args[1].type()->kind != Kind::Integer)
            return wrongArgs();
        const TypeInfo* t = args[0].type();
        if (t->kind != Kind::DynArray && t->kind != Kind::String)
            return wrongArgs();
        return std::make_unique<SetLengthNode>(std::move(args[0].e), std::move(args[1].e),
                                               t->kind == Kind::DynArray ? t : nullptr);
    }
    if ((up == "SUCC" || up == "PRED") && args.size() == 1 && isOrdinal(args[0].type())) {
        const TypeInfo* t = args[0].type();
        site.pure = true;
        std::int64_t step = up == "SUCC" ? 1 : -1;
        return std::make_unique<IntFn<std::function<std::int64_t(Ctx&, Args&)>>>(
            t, take(), [t, step](Ctx& c, Args& a) -> std::int64_t {
                return checkedOrdinal(t, wrapAdd(a[0]->evalInt(c), step));
            });
    }
    if (up == "INCLUDE" || up == "EXCLUDE") {
        const TypeInfo* t = args.empty() ? nullptr : args[0].type();
        if (args.size() != 2 || !assignable(args[0]) || t->kind != Kind::Set || !t->elem ||
            !sameType(args[1].type(), t->elem))
            return wrongArgs();
        bool include = up == "INCLUDE";
        return mkVoid(take(), [t, include](Ctx& c, Args& a) {
            std::int64_t v = a[1]->evalInt(c);
            if (v < t->lo || v > t->hi)
                fail("значение вне диапазона множества "_cp + t->name);
            Cell& s = a[0]->cell(c);
            std::uint64_t bit = std::uint64_t(1) << v;
            s.i = static_cast<std::int64_t>(include ? (static_cast<std::uint64_t>(s.i) | bit)
                                                    : (static_cast<std::uint64_t>(s.i) & ~bit));
        });
    }
    if (up == "SWAP") {
        if (args.size() != 2 || !assignable(args[0]) || !assignable(args[1]) ||
            !sameType(args[0].type(), args[1].type()))
            return wrongArgs();
        Storage st = storageOf(args[0].type());
        return mkVoid(take(), [st](Ctx& c, Args& a) {
            if (st == Storage::Number)
                std::swap(a[0]->cell(c), a[1]->cell(c));
            else if (st == Storage::Str)
                std::swap(a[0]->str(c), a[1]->str(c));
            else
                std::swap(a[0]->agg(c), a[1]->agg(c));
        });
    }
    if (up == "STRSPLIT") {
        if (args.size() != 2 || args[0].type()->kind != Kind::String ||
            args[1].type()->kind != Kind::String)
            return wrongArgs();
        return std::make_unique<SplitNode>(take());
    }
    if (up == "STRJOIN") {
        if (args.size() != 2 || !isArray(args[0].type()) ||
            args[0].type()->elem->kind != Kind::String || args[1].type()->kind != Kind::String)
            return wrongArgs();
        return mkStr(take(), [](Ctx& c, Args& a) {
            AggPtr p = a[0]->evalAgg(c);
            std::string d = a[1]->evalStr(c);
            std::string out;
            for (std::size_t i = 0; p && i < p->s.size(); ++i) {
                if (i)
                    out += d;
                out += p->s[i];
                checkLength(out.size());
            }
            c.work(out.size());
            return out;
        });
    }
    if (up == "ORD" && args.size() == 1 && args[0].type()->kind == Kind::Enum) {
        site.pure = true;
        return mkInt(take(), [](Ctx& c, Args& a) -> std::int64_t { return a[0]->evalInt(c); });
    }
    if (up == "INC" || up == "DEC") {
        if (args.empty() || args.size() > 2 || !assignable(args[0]) ||
            (args[0].type()->kind != Kind::Integer && args[0].type()->kind != Kind::Enum) ||
            (args.size() == 2 && args[1].type()->kind != Kind::Integer))
            return wrongArgs();
        if (args.size() == 1)
            args.push_back(X{std::make_unique<ConstInt>(1, intType())});
        if (up == "INC")
            return mkVoid(take(), [](Ctx& c, Args& a) {
                std::int64_t d = a[1]->evalInt(c);
                Cell& x = a[0]->cell(c);
                x.i = wrapAdd(x.i, d);
            });
        return mkVoid(take(), [](Ctx& c, Args& a) {
            std::int64_t d = a[1]->evalInt(c);
            Cell& x = a[0]->cell(c);
            x.i = wrapSub(x.i, d);
        });
    }
    if (up == "DELETE") {
        if (args.size() != 3 || !assignable(args[0]) || args[0].type()->kind != Kind::String ||
            args[1].type()->kind != Kind::Integer || args[2].type()->kind != Kind::Integer)
            return wrongArgs();
        return mkVoid(take(), [](Ctx& c, Args& a) {
            std::int64_t index = a[1]->evalInt(c);
            std::int64_t count = a[2]->evalInt(c);
            std::string& s = a[0]->str(c);
            c.work(s.size()); // the tail moves
            if (index < 1 || count <= 0 || static_cast<std::uint64_t>(index) > s.size())
                return;
            std::size_t from = static_cast<std::size_t>(index - 1);
            std::size_t before = s.size();
            s.erase(from,
                    std::min<std::uint64_t>(static_cast<std::uint64_t>(count), s.size() - from));
            c.holdStr(s, before);
        });
    }
    if (up == "INSERT") {
        if (args.size() != 3 || args[0].type()->kind != Kind::String || !assignable(args[1]) ||
            args[1].type()->kind != Kind::String || args[2].type()->kind != Kind::Integer)
            return wrongArgs();
        return mkVoid(take(), [](Ctx& c, Args& a) {
            std::string sub = a[0]->evalStr(c);
            std::int64_t index = a[2]->evalInt(c);
            std::string& s = a[1]->str(c);
            checkLength(s.size() + sub.size());
            c.work(s.size() + sub.size()); // the tail moves
            if (index < 1)
                index = 1;
            std::size_t at =
                std::min<std::uint64_t>(static_cast<std::uint64_t>(index - 1), s.size());
            c.hold(static_cast<std::int64_t>(sub.size()));
            s.insert(at, sub);
        });
    }
    if (up == "DECODEDATE") {
        if (args.size() != 4 || !accepts(floatType(), args[0].type(), true))
            return wrongArgs();
        for (std::size_t i = 1; i < 4; ++i)
            if (!assignable(args[i]) || args[i].type()->kind != Kind::Integer)
                return wrongArgs();
        if (args[0].type()->kind == Kind::Integer)
            args[0].e = std::make_unique<IntToFloat>(std::move(args[0].e));
        return mkVoid(take(), [](Ctx& c, Args& a) {
            std::int64_t y, m, d;
            decodeDate(a[0]->evalFloat(c), y, m, d);
            a[1]->cell(c).i = y;
            a[2]->cell(c).i = m;
            a[3]->cell(c).i = d;
        });
    }
    if (up == "CHR") {
        if (args.size() != 1 || args[0].type()->kind != Kind::Integer)
            return wrongArgs();
        site.pure = true;
        return mkStr(take(), [](Ctx& c, Args& a) { return chrOf(a[0]->evalInt(c)); });
    }
    if (up == "PRINT" || up == "PRINTLN") {
        for (X& x : args)
            if (storageOf(x.type()) == Storage::Agg || x.type()->kind == Kind::Proc)
                return wrongArgs();
        return std::make_unique<PrintNode>(take(), up == "PRINTLN");
    }
    if (up == "FORMAT") {
        if (args.size() != 2 || args[0].type()->kind != Kind::String ||
            args[1].type()->kind != Kind::ArgList)
            return wrongArgs();
        auto* list = static_cast<ArgListExpr*>(args[1].e.get());
        return std::make_unique<FormatNode>(std::move(args[0].e), std::move(list->items));
    }
    if (up == "STRINGREPLACE" && args.size() == 4 && args[3].type()->kind == Kind::ArgList) {
        // The flags as a set: [rfReplaceAll, rfIgnoreCase].
        auto* list = static_cast<ArgListExpr*>(args[3].e.get());
        ExprPtr flags = std::make_unique<ConstInt>(0, intType());
        for (auto& item : list->items) {
            if (item->type->kind != Kind::Integer)
                return wrongArgs();
            flags = makeIntBin(Op::Or, intType(), std::move(flags), std::move(item));
        }
        args[3].e = std::move(flags);
    }

    for (int pass = 0; pass < 2; ++pass) {
        for (const Entry& e : table()) {
            if (up != e.name || e.params.size() != args.size())
                continue;
            bool ok = true;
            for (std::size_t i = 0; ok && i < args.size(); ++i)
                ok = accepts(e.params[i], args[i].type(), pass == 1);
            if (!ok)
                continue;
            for (std::size_t i = 0; i < args.size(); ++i)
                if (e.params[i]->kind == Kind::Float && args[i].type()->kind == Kind::Integer)
                    args[i].e = std::make_unique<IntToFloat>(std::move(args[i].e));
            site.pure = e.pure;
            return e.make(take());
        }
    }
    return wrongArgs();
}

} // namespace pascal
