// The reminder file's text rules, free of windows: how the reminder rows are written as lines a
// person can read, how they are read back, and what a start does with each kept reminder.
// Portable.
//
// The file "tixing.txt" sits beside the entry files, GBK with CR LF line ends. Its first line
// names it; then one line per row of the reminder list, fields separated by tabs:
//   state  year  month  day  hour  minute  key
// The state is "待提醒" (not yet announced) or "已提醒" (announced); the five time fields are the
// row's columns as typed; the key is the row's first column, its line breaks, tabs and
// backslashes written as \r, \n, \t and \\ so that it reads back byte for byte.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/reminder_schedule.h"

namespace tl::app {

inline constexpr std::string_view kReminderFileName = "tixing.txt";
// A reminder file longer than this is not read: it is kept as a backup before it is replaced.
inline constexpr int64_t kLargestReminderFile = 16 << 20;

struct KeptReminder {
  std::string key;
  std::array<std::string, 5> when;  // year, month, day, hour, minute as the row holds them
  bool announced = false;

  bool operator==(const KeptReminder&) const = default;
};

std::string ReminderFileText(std::span<const KeptReminder> reminders);
// The reminders of a file this program wrote; null for anything else (another program's text,
// a damaged line, a byte the program would not write back the same), which is then kept as a
// backup rather than read.
std::optional<std::vector<KeptReminder>> ReadReminderFile(std::string_view bytes);

// What a start does with a kept reminder.
enum class KeptFate {
  Restore,  // a row again, announced at its minute as if set in this run
  Missed,   // its minute passed while the program was not running: told once at start, then gone
  Drop,     // announced in an earlier run: nothing more to do
};
KeptFate FateAtStart(const KeptReminder& reminder, Instant now);

}  // namespace tl::app
