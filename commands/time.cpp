#include "commands/time.h"

#include <cmath>
#include <cstdio>

namespace tl::cmd {
namespace {

// Days since 1 January 1970 of a proleptic Gregorian date, and back (H. Hinnant's algorithms).
constexpr int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

constexpr int64_t kOleEpoch = DaysFromCivil(1899, 12, 30);

}  // namespace

DateTimeParts DecomposeDateTime(double value) {
  if (std::isnan(value)) value = 0;
  if (value > kMaxDateTime) value = kMaxDateTime;
  if (value < kMinDateTime) value = kMinDateTime;
  // The whole part counts days toward zero; the fraction is the time of that day on either
  // side of the epoch (-1.25 is 29 December 1899 06:00).
  const double whole = std::trunc(value);
  int64_t days = static_cast<int64_t>(whole);
  int64_t seconds = std::llround(std::fabs(value - whole) * kSecondsPerDay);
  if (seconds >= kSecondsPerDay) {
    ++days;
    seconds -= kSecondsPerDay;
  }
  DateTimeParts parts{};
  CivilFromDays(kOleEpoch + days, parts.year, parts.month, parts.day);
  parts.hour = static_cast<int>(seconds / 3600);
  parts.minute = static_cast<int>(seconds / 60 % 60);
  parts.second = static_cast<int>(seconds % 60);
  return parts;
}

double ComposeDateTime(const DateTimeParts& p) {
  const auto days = static_cast<double>(DaysFromCivil(p.year, p.month, p.day) - kOleEpoch);
  const double time = (p.hour * 3600.0 + p.minute * 60.0 + p.second) / kSecondsPerDay;
  return days >= 0 ? days + time : days - time;
}

std::string DateTimeToText(double value) {
  const DateTimeParts p = DecomposeDateTime(value);
  char buffer[96];
  int n = std::snprintf(buffer, sizeof buffer, "%d年%d月%d日", p.year, p.month, p.day);
  const size_t room = sizeof buffer - static_cast<size_t>(n);
  if (p.second != 0) {
    n += std::snprintf(buffer + n, room, "%d时%d分%d秒", p.hour, p.minute, p.second);
  } else if (p.minute != 0) {
    n += std::snprintf(buffer + n, room, "%d时%d分", p.hour, p.minute);
  } else if (p.hour != 0) {
    n += std::snprintf(buffer + n, room, "%d时", p.hour);
  }
  return std::string(buffer, static_cast<size_t>(n));
}

void GetHour(ArgRecord* result, int argc, ArgRecord* args) {
  SetInt(result, DecomposeDateTime(ArgDouble(Args(argc, args)[0])).hour);
}

void GetMinute(ArgRecord* result, int argc, ArgRecord* args) {
  SetInt(result, DecomposeDateTime(ArgDouble(Args(argc, args)[0])).minute);
}

}  // namespace tl::cmd
