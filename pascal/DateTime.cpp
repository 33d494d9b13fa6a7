// Calendar arithmetic for the date and time functions (proleptic Gregorian).
#include "pascal/DateTime.h"

#include "pascal/Cp1251.h"
#include "pascal/Runtime.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace pascal {

namespace {
// Days from 0001-01-01 to 1899-12-30, the day the count starts.
constexpr std::int64_t kEpochOffset = 693593;

bool isLeap(std::int64_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysIn(std::int64_t y, std::int64_t m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

// The day number of a date, counted from 0001-01-01 as day 0.
std::int64_t dayNumber(std::int64_t y, std::int64_t m, std::int64_t d) {
    std::int64_t yy = y - 1;
    std::int64_t n = yy * 365 + yy / 4 - yy / 100 + yy / 400;
    for (std::int64_t k = 1; k < m; ++k)
        n += daysIn(y, k);
    return n + d - 1;
}

std::string pad(std::int64_t v, int width) {
    std::string s = std::to_string(v);
    while (static_cast<int>(s.size()) < width)
        s.insert(0, 1, '0');
    return s;
}

// Dates a script may reach: years 1 to 9999.
constexpr double kMinDate = -693593.0;
constexpr double kMaxDate = 2958466.0;
} // namespace

double nowDateTime() {
    std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    auto now = std::chrono::system_clock::now().time_since_epoch();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count() % 1000;
    double date = static_cast<double>(
        dayNumber(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) - kEpochOffset);
    double time =
        (local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + ms / 1000.0) / 86400.0;
    return date + time;
}

double encodeDate(std::int64_t y, std::int64_t m, std::int64_t d) {
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > daysIn(y, m))
        fail("неверная дата"_cp);
    return static_cast<double>(dayNumber(y, m, d) - kEpochOffset);
}

void decodeDate(double dt, std::int64_t& y, std::int64_t& m, std::int64_t& d) {
    if (!(dt >= kMinDate && dt < kMaxDate))
        fail("неверная дата"_cp);
    std::int64_t n = static_cast<std::int64_t>(std::floor(dt)) + kEpochOffset;
    // Walk down by 400-, 100-, 4- and 1-year cycles.
    std::int64_t year = 1;
    year += 400 * (n / 146097);
    n %= 146097;
    std::int64_t c = std::min<std::int64_t>(n / 36524, 3);
    year += 100 * c;
    n -= c * 36524;
    year += 4 * (n / 1461);
    n %= 1461;
    std::int64_t k = std::min<std::int64_t>(n / 365, 3);
    year += k;
    n -= k * 365;
    std::int64_t month = 1;
    while (n >= daysIn(year, month)) {
        n -= daysIn(year, month);
        ++month;
    }
    y = year;
    m = month;
    d = n + 1;
}

std::int64_t dayOfWeek(double dt) {
    if (!(dt >= kMinDate && dt < kMaxDate))
        fail("неверная дата"_cp);
    // 1899-12-30 was a Saturday (7).
    std::int64_t n = static_cast<std::int64_t>(std::floor(dt));
    std::int64_t w = ((n % 7) + 7 + 6) % 7;
    return w + 1;
}

std::string formatDateTime(std::string_view f, double dt) {
    std::int64_t y, m, d;
    decodeDate(dt, y, m, d);
    double frac = dt - std::floor(dt);
    std::int64_t msAll = static_cast<std::int64_t>(std::llround(frac * 86400000.0));
    if (msAll >= 86400000)
        msAll = 86399999;
    std::int64_t hh = msAll / 3600000, nn = msAll / 60000 % 60, ss = msAll / 1000 % 60,
                 zz = msAll % 1000;
    std::string out;
    std::size_t i = 0;
    auto count = [&](char c) {
        std::size_t n = 0;
        while (i + n < f.size() && asciiUpper(f[i + n]) == c)
            ++n;
        return n;
    };
    while (i < f.size()) {
        char c = asciiUpper(f[i]);
        if (f[i] == '"' || f[i] == '\'') {
            char q = f[i++];
            while (i < f.size() && f[i] != q)
                out += f[i++];
            if (i < f.size())
                ++i;
            continue;
        }
        std::size_t n = count(c);
        switch (c) {
        case 'D':
            out += pad(d, n >= 2 ? 2 : 1);
            break;
        case 'M':
            out += pad(m, n >= 2 ? 2 : 1);
            break;
        case 'Y':
            out += n >= 3 ? pad(y, 4) : pad(y % 100, 2);
            break;
        case 'H':
            out += pad(hh, n >= 2 ? 2 : 1);
            break;
        case 'N':
            out += pad(nn, n >= 2 ? 2 : 1);
            break;
        case 'S':
            out += pad(ss, n >= 2 ? 2 : 1);
            break;
        case 'Z':
            out += pad(zz, n >= 3 ? 3 : 1);
            break;
        default:
            out.append(f.substr(i, n));
            break;
        }
        i += n;
    }
    return out;
}

} // namespace pascal
