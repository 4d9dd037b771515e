// The reminder rows as this tool follows them, and the texts the program makes of them: the
// reminder file's bytes for a state of the rows, written here from the file's description so that
// the program's writer is checked by another, and the reminders a message box tells.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tl::kill_test {

inline const std::wstring kMarker = L"[提醒]";

struct Reminder {
  std::wstring key;                  // the caption of the reminder window that set it
  std::array<std::wstring, 5> when;  // year, month, day, hour and minute as the row shows them
  bool announced = false;            // kept as announced; the list does not show it

  bool operator==(const Reminder&) const = default;
};
using Reminders = std::vector<Reminder>;

// The key of a reminder set for the entry with this time and text.
std::wstring ReminderKey(const std::wstring& time, const std::wstring& text);
std::wstring EntryTextOfKey(const std::wstring& key);
// Whether the rows show alike: keys and times, announced or not.
bool SameRows(const Reminders& a, const Reminders& b);

// The reminder file's bytes for these rows.
std::string ReminderFileBytes(const Reminders& rows);
// Whether the bytes are a whole reminder file: its first line, then lines of a state and six
// fields, every line ended by CR LF.
bool WholeReminderFile(const std::string& bytes);

// What a message box tells of reminders: the keys of announcements, and the lines of the box
// that tells at start the reminders missed while the program was not running.
struct Tells {
  std::vector<std::wstring> keys, missed;
};
Tells TellsOf(const std::wstring& boxText);
// The missed-reminder box's line for a reminder: its entry text and the minute it was due.
std::wstring MissedLine(const Reminder& reminder);

// A file's bytes for the report, line ends made visible.
std::string Shown(const std::optional<std::string>& file);
// Reminder rows for the report: each key, and the time of its minute.
std::string ShownReminderRows(const Reminders& rows);

}  // namespace tl::kill_test
