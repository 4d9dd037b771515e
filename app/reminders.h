// What the reminder handlers (app/app_handlers.h) share. Reminders are set for an entry of the entry
// list in the reminder window, deleted, and announced when their minute comes. The window stays
// loaded once a reminder command has been given with an entry selected; closing it only hides
// it, so its timer keeps checking.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "app/app_handlers.h"
#include "app/reminder_schedule.h"
#include "forms/ids.h"

namespace tl::app {

// The two lists every reminder handler works on.
inline constexpr ListUnit kEntries{ids::EntryList};
inline constexpr ListUnit kReminders{ids::ReminderList};

// Texts the reminder logic shares.
inline constexpr const char* kReminderMarker = "[提醒]";
// Separates the creation time from the entry text inside a reminder's key.
inline constexpr const char* kKeyTextSeparator = "     ";

// The clock now, read through the date-time text form; null only if that form cannot be read.
std::optional<DateTimeParts> ClockNow();
// The entry text inside a reminder's key.
OwnedText EntryTextOfKey(const char* key);
// The row of the reminder list holding the key; -1 when there is none.
int32_t ReminderRowOfKey(std::string_view key);
// What the reminders remember between ticks, for the program's run.
AnnouncementLedger& Announcements();

void FillReminderFields();
// Takes the marker off every entry that reads as the key's entry text marked.
void UnmarkEntries(const char* key);

// Reminders kept across runs (kept_reminders.cpp). The rows are written to the reminder file
// after every change and before every announcement; a save that fails is retried by the save
// timer.
void KeepReminders();
void KeepRemindersIfOwed();
// Just before a box shows the notices handed out: the reminders it tells as missed leave the
// file, as an announcement's is kept as announced just before its box.
void ForgetToldReminders();
// At start, after the entries load: the reminders still ahead are rows again with the timer
// running; those whose minute passed while the program was not running are told once, and go.
void RestoreKeptReminders();
// True while the start loads the reminder window for kept reminders, with no entry selected.
bool RestoringKeptReminders();

}  // namespace tl::app
