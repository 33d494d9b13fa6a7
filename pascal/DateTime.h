// Dates and times as scripts see them: a Float count of days since
// 30 December 1899, the fraction being the time of day.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pascal {

double nowDateTime();
double encodeDate(std::int64_t year, std::int64_t month, std::int64_t day); // fails on a bad date
void decodeDate(double dt, std::int64_t& year, std::int64_t& month, std::int64_t& day);
std::int64_t dayOfWeek(double dt); // 1 = Sunday .. 7 = Saturday

// FormatDateTime's codes: d dd m mm yy yyyy h hh n nn s ss z zzz, text in
// quotes kept as it is; DateToStr is "dd.mm.yyyy", TimeToStr "hh:nn:ss".
std::string formatDateTime(std::string_view format, double dt);

} // namespace pascal
