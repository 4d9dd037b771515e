// The proleptic Gregorian calendar under the date-time value: days since 1 January 1970 of a
// civil date and back (H. Hinnant's algorithms), the value's own epoch, and a value split into
// its date and time of day and put together again. Portable.
#pragma once

#include <cstdint>

namespace tl {

struct CivilDate {
  int year = 0, month = 0, day = 0;
};

constexpr int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

constexpr CivilDate CivilFromDays(int64_t days) {
  const int64_t z = days + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t dayOfEra = z - era * 146097;
  const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  CivilDate date;
  date.day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  date.month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  date.year = static_cast<int>(yearOfEra + era * 400 + (date.month <= 2));
  return date;
}

// Day 0 of a date-time value: 30 December 1899.
inline constexpr int64_t kDateTimeEpochDay = DaysFromCivil(1899, 12, 30);

inline constexpr double kMaxDateTime = 2958465.0;  // 31 December 9999
inline constexpr double kMinDateTime = -657434.0;  // 1 January 100

// A wall-clock time to the second.
struct DateTimeParts {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  friend bool operator==(const DateTimeParts&, const DateTimeParts&) = default;
};

// The day `days` after 1 January 1970, `second` seconds (0 to 86399) into it.
DateTimeParts PartsAt(int64_t days, int64_t second);
// A date-time value clamped to the valid range, then split with the time of day rounded to the
// whole second.
DateTimeParts DecomposeDateTime(double value);
// Before the epoch day the fraction still counts forward from midnight while the whole part
// counts backward, so it is subtracted.
double ComposeDateTime(const DateTimeParts& parts);

}  // namespace tl
