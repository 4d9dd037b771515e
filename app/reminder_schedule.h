// The decisions behind reminders, free of windows and of the service table: reading clock and
// reminder texts as numbers, the default time offered for a new reminder, and which reminders a
// timer tick announces. The handlers feed it the texts they read and the clock they see, so the
// rules can be run against any clock.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "runtime/calendar.h"

namespace tl::app {

// Seconds from the start of 1 January 1970 (earlier times count negative), in the proleptic
// Gregorian calendar: an order on clock times.
using Instant = int64_t;

// Null when a field is outside the calendar (year 100-9999, an existing day, 0-23, 0-59).
std::optional<Instant> InstantOf(const DateTimeParts& time);
DateTimeParts ClockTimeAt(Instant instant);

// The clock's text form cut at its markers: year, month and day are required; hour, minute and
// second are left out of the text when they and everything after them are zero, so an empty one
// reads as 0.
std::optional<DateTimeParts> ClockFromComponents(std::string_view year, std::string_view month,
                                             std::string_view day, std::string_view hour,
                                             std::string_view minute, std::string_view second);

// The time offered for a new reminder: the next whole minute, carrying into the hour, the day,
// the month and the year.
DateTimeParts NextMinute(const DateTimeParts& now);

// What the user typed into the hour or the minute box.
enum class TypedNumberFault { None, Empty, OutOfRange };
struct TypedNumber {
  TypedNumberFault fault = TypedNumberFault::None;
  int value = 0;
};
// Decimal digits (leading zeros allowed, an optional "-" as the box lets one in) within 0..max.
TypedNumber ParseTypedNumber(std::string_view text, int max);
// The number as the clock writes it: decimal without leading zeros.
std::string ClockNumberText(int value);

// The minute a reminder row names, from its year, month, day, hour and minute columns; null when
// the columns do not spell an existing minute (such a row can never be announced).
std::optional<DateTimeParts> ReminderMinute(std::string_view year, std::string_view month, std::string_view day,
                                        std::string_view hour, std::string_view minute);

// The instant a reminder is announced: second 10 of its minute.
inline constexpr int kAnnouncementSecond = 10;
std::optional<Instant> AnnouncementInstant(const DateTimeParts& minute);

// The stretch of clock one tick covers: after the previous tick, up to and including this one.
struct TickSpan {
  std::optional<Instant> previous;
  Instant now = 0;
};

// Remembers, for one run, when each reminder was confirmed, which were announced, and when the
// last tick came. A reminder is announced on the first tick at or after second 10 of its minute
// whose span began before that instant; once per reminder and minute, also when the clock is set
// back; never when it was confirmed at or after that instant. Reminders are named by their key.
class AnnouncementLedger {
 public:
  // Starts a tick: answers the span since the previous tick and makes `now` the previous one of
  // the next tick (also of a tick nested in this one's announcements).
  TickSpan BeginTick(Instant now);
  void Confirmed(std::string_view key, Instant now);
  void Forget(std::string_view key);
  // Whether the reminder is due in the span; a due one is recorded as announced at once, so that
  // a nested tick does not announce it again while its box is open.
  bool TakeIfDue(std::string_view key, const DateTimeParts& minute, const TickSpan& span);
  // Whether the reminder was announced for that minute in this run.
  bool Announced(std::string_view key, const DateTimeParts& minute) const;

 private:
  std::optional<Instant> lastTick_;
  std::map<std::string, Instant, std::less<>> confirmed_;
  std::map<std::string, std::set<Instant>, std::less<>> announced_;
};

}  // namespace tl::app
