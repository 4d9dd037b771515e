#include "runtime/calendar.h"

#include <cmath>

#include "runtime/value.h"

namespace tl {

DateTimeParts PartsAt(int64_t days, int64_t second) {
  const CivilDate date = CivilFromDays(days);
  return {date.year,
          date.month,
          date.day,
          static_cast<int>(second / 3600),
          static_cast<int>(second / 60 % 60),
          static_cast<int>(second % 60)};
}

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
  return PartsAt(kDateTimeEpochDay + days, seconds);
}

double ComposeDateTime(const DateTimeParts& p) {
  const auto days = static_cast<double>(DaysFromCivil(p.year, p.month, p.day) - kDateTimeEpochDay);
  const double time = (p.hour * 3600.0 + p.minute * 60.0 + p.second) / kSecondsPerDay;
  return days >= 0 ? days + time : days - time;
}

}  // namespace tl
