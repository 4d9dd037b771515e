#include "app/reminder_schedule.h"

#include <algorithm>

#include "runtime/calendar.h"
#include "runtime/value.h"

namespace tl::app {
namespace {


int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// A non-empty run of decimal digits; large values saturate so that they stay out of range.
std::optional<int> DecimalNumber(std::string_view text) {
  if (text.empty()) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = std::min(value * 10 + (c - '0'), 1000000);
  }
  return value;
}

// An empty clock component is a zero the text form left out.
std::optional<int> ClockComponent(std::string_view text) {
  return text.empty() ? std::optional<int>(0) : DecimalNumber(text);
}

}  // namespace

std::optional<Instant> InstantOf(const DateTimeParts& t) {
  if (t.year < 100 || t.year > 9999 || t.month < 1 || t.month > 12) return std::nullopt;
  if (t.day < 1 || t.day > DaysInMonth(t.year, t.month)) return std::nullopt;
  if (t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 59) {
    return std::nullopt;
  }
  return DaysFromCivil(t.year, t.month, t.day) * kSecondsPerDay + t.hour * 3600 + t.minute * 60 + t.second;
}

// The calendar day and, split off first, the time of day.
DateTimeParts ClockTimeAt(Instant instant) {
  int64_t days = instant / kSecondsPerDay;
  int64_t seconds = instant % kSecondsPerDay;
  if (seconds < 0) {
    seconds += kSecondsPerDay;
    --days;
  }
  return PartsAt(days, seconds);
}

std::optional<DateTimeParts> ClockFromComponents(std::string_view year, std::string_view month, std::string_view day,
                                             std::string_view hour, std::string_view minute,
                                             std::string_view second) {
  const auto y = DecimalNumber(year), mo = DecimalNumber(month), d = DecimalNumber(day);
  const auto h = ClockComponent(hour), mi = ClockComponent(minute), s = ClockComponent(second);
  if (!y || !mo || !d || !h || !mi || !s) return std::nullopt;
  const DateTimeParts t{*y, *mo, *d, *h, *mi, *s};
  if (!InstantOf(t)) return std::nullopt;
  return t;
}

DateTimeParts NextMinute(const DateTimeParts& now) {
  DateTimeParts start = now;
  start.second = 0;
  const auto instant = InstantOf(start);
  return instant ? ClockTimeAt(*instant + 60) : start;
}

TypedNumber ParseTypedNumber(std::string_view text, int max) {
  if (text.empty()) return {TypedNumberFault::Empty, 0};
  const auto value = DecimalNumber(text);
  if (!value || *value > max) return {TypedNumberFault::OutOfRange, 0};
  return {TypedNumberFault::None, *value};
}

std::string ClockNumberText(int value) { return std::to_string(value); }

std::optional<DateTimeParts> ReminderMinute(std::string_view year, std::string_view month, std::string_view day,
                                        std::string_view hour, std::string_view minute) {
  const auto y = DecimalNumber(year), mo = DecimalNumber(month), d = DecimalNumber(day);
  const auto h = DecimalNumber(hour), mi = DecimalNumber(minute);
  if (!y || !mo || !d || !h || !mi) return std::nullopt;
  const DateTimeParts t{*y, *mo, *d, *h, *mi, 0};
  if (!InstantOf(t)) return std::nullopt;
  return t;
}

// ---- AnnouncementLedger ------------------------------------------------------------------------

TickSpan AnnouncementLedger::BeginTick(Instant now) {
  const TickSpan span{lastTick_, now};
  lastTick_ = now;
  return span;
}

void AnnouncementLedger::Confirmed(std::string_view key, Instant now) {
  confirmed_.insert_or_assign(std::string(key), now);
}

void AnnouncementLedger::Forget(std::string_view key) {
  if (auto c = confirmed_.find(key); c != confirmed_.end()) confirmed_.erase(c);
  if (auto a = announced_.find(key); a != announced_.end()) announced_.erase(a);
}

std::optional<Instant> AnnouncementInstant(const DateTimeParts& minute) {
  DateTimeParts announcement = minute;
  announcement.second = kAnnouncementSecond;
  return InstantOf(announcement);
}

bool AnnouncementLedger::Announced(std::string_view key, const DateTimeParts& minute) const {
  const auto at = AnnouncementInstant(minute);
  const auto announced = announced_.find(key);
  return at && announced != announced_.end() && announced->second.contains(*at);
}

bool AnnouncementLedger::TakeIfDue(std::string_view key, const DateTimeParts& minute, const TickSpan& span) {
  const auto at = AnnouncementInstant(minute);
  if (!at) return false;
  // The stretch starts where the previous tick left off, or later when the reminder was made
  // later: a reminder never reaches back to an instant before it existed.
  std::optional<Instant> from = span.previous;
  if (auto c = confirmed_.find(key); c != confirmed_.end()) from = from ? std::max(*from, c->second) : c->second;
  if (!from || *from >= *at || *at > span.now) return false;
  auto announced = announced_.find(key);
  if (announced == announced_.end()) announced = announced_.emplace(std::string(key), std::set<Instant>{}).first;
  return announced->second.insert(*at).second;
}

}  // namespace tl::app
