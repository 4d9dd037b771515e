#include "commands/time.h"

#include <cmath>
#include <cstdio>

#include "runtime/calendar.h"

namespace tl::cmd {

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
  const CivilDate date = CivilFromDays(kDateTimeEpochDay + days);
  parts.year = date.year;
  parts.month = date.month;
  parts.day = date.day;
  parts.hour = static_cast<int>(seconds / 3600);
  parts.minute = static_cast<int>(seconds / 60 % 60);
  parts.second = static_cast<int>(seconds % 60);
  return parts;
}

double ComposeDateTime(const DateTimeParts& p) {
  const auto days = static_cast<double>(DaysFromCivil(p.year, p.month, p.day) - kDateTimeEpochDay);
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

int32_t GetHour(DateTime value) { return DecomposeDateTime(value.days).hour; }

int32_t GetMinute(DateTime value) { return DecomposeDateTime(value.days).minute; }

}  // namespace tl::cmd
