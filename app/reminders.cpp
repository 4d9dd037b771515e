#include "app/reminders.h"

#include <string>

#include "app/clock.h"
#include "app/command_calls.h"
#include "app/dialogs.h"
#include "app/marker_text.h"
#include "app/scaling.h"
#include "commands/dialogs.h"
#include "forms/ids.h"

namespace tl::app {
namespace {

using namespace ids;

OwnedText SelectedEntryText() { return kEntries.ItemText(kEntries.CurrentSelection(), 0); }

// The size in pixels at 96 DPI.
void SetLayout(int32_t width, int32_t height) {
  WriteInt(ReminderWindow, prop::Height, ScaledForWindow(ReminderWindow, height));
  WriteInt(ReminderWindow, prop::Width, ScaledForWindow(ReminderWindow, width));
}

// The reminder row whose entry, marked, reads as the given entry text; -1 when there is none.
int32_t ReminderRowOfMarkedEntry(std::string_view markedEntry) {
  const int32_t count = kReminders.ItemCount();
  for (int32_t row = 0; row < count; ++row) {
    const OwnedText key = kReminders.ItemText(row, 0);
    if (kReminderMarker + std::string(EntryTextOfKey(key.c_str()).view()) == markedEntry) return row;
  }
  return -1;
}

// With no entry selected there is nothing to set a reminder for, so the window is not opened:
// a first load would close itself again, and a window already loaded would be filled with no
// entry at all. OpenWindow answers false when the created handler closed the window.
bool OpenReminderWindowForSelectedEntry() {
  return !SelectedEntryText().empty() && OpenWindow(ReminderWindow, false);
}

}  // namespace

int32_t ReminderRowOfKey(std::string_view key) {
  const int32_t count = kReminders.ItemCount();
  for (int32_t row = 0; row < count; ++row) {
    if (kReminders.ItemText(row, 0) == key) return row;
  }
  return -1;
}

// The boxes offer the next whole minute of the clock, with its date, so that the default is a
// time that will come.
void FillReminderFields() {
  const int32_t selected = kEntries.CurrentSelection();
  const std::string caption = "事件：" + std::string(kEntries.ItemText(selected, 1).view()) + "\r\n" +
                              kKeyTextSeparator + std::string(kEntries.ItemText(selected, 0).view());
  WriteText(ReminderCaption, prop::LabelCaption, caption.c_str());
  const auto now = ClockNow();
  if (!now) return;
  const DateTimeParts next = NextMinute(*now);
  WriteText(ReminderHourBox, prop::EditBoxContent, ClockNumberText(next.hour).c_str());
  WriteText(ReminderMinuteBox, prop::EditBoxContent, ClockNumberText(next.minute).c_str());
  WriteDateTime(ReminderDateBox, prop::DatePickerValue, ComposeDateTime(next));
}

HandlerResult OnReminderWindowCreated(Args) {
  if (SelectedEntryText().empty() && !RestoringKeptReminders()) {
    Call(cmd::kCloseWindow, ReminderWindow, true);
    return NoAnswer;
  }
  FillReminderFields();
  WriteInt(ReminderList, prop::ListShowSelectionAlways, 1);
  WriteInt(ReminderTimer, prop::TimerInterval, 1000);
  WriteInt(ReminderList, prop::ListShowSelectionAlways, 1);
  return NoAnswer;
}

HandlerResult OnAddReminder(Args) {
  if (!OpenReminderWindowForSelectedEntry()) return NoAnswer;
  SetLayout(283, 165);
  Call(cmd::kRefreshDisplay, ReminderWindow);
  FillReminderFields();
  WriteBool(ReminderWindow, prop::IsVisible, true);
  return NoAnswer;
}

HandlerResult OnShowReminders(Args) {
  if (!OpenReminderWindowForSelectedEntry()) return NoAnswer;
  SetLayout(856, 363);
  WriteBool(ReminderWindow, prop::IsVisible, true);
  Call(cmd::kRefreshDisplay, ReminderWindow);
  FillReminderFields();
  return NoAnswer;
}

// The question is asked in a nested message loop, so the entry and the reminder row are looked
// up again afterwards rather than taken from the selections, which the user may have moved.
HandlerResult OnDeleteReminder(Args) {
  const int32_t entry = kEntries.CurrentSelection();
  const OwnedText markedEntry = kEntries.ItemText(entry, 0);
  if (markedEntry.empty()) return NoAnswer;
  if (!OpenWindow(ReminderWindow, false)) return NoAnswer;
  SetLayout(856, 363);
  WriteBool(ReminderWindow, prop::IsVisible, false);
  const int32_t row = ReminderRowOfMarkedEntry(markedEntry.view());
  if (row < 0) return NoAnswer;
  kReminders.SetCurrentSelection(row);
  kReminders.EnsureVisible(row);
  const OwnedText key = kReminders.ItemText(row, 0);
  const OwnedText entryText = EntryTextOfKey(key.c_str());
  const std::string question = "删除“" + std::string(entryText.view()) + "”的提醒事件吗？";
  if (ShowMessage(question.c_str(), 4) != 5) return NoAnswer;
  if (kEntries.ItemText(entry, 0) == markedEntry.view()) kEntries.SetItemText(entry, 0, entryText.c_str());
  const int32_t current = ReminderRowOfKey(key.view());
  if (current >= 0) kReminders.DeleteItem(current);
  Announcements().Forget(key.view());
  KeepReminders();
  return NoAnswer;
}

HandlerResult OnReminderWindowMayClose(Args) {
  WriteBool(ReminderWindow, prop::IsVisible, false);
  return Answer(0);
}

// The window lives until the program ends; there is nothing to let go of.
HandlerResult OnReminderWindowDestroyed(Args) { return NoAnswer; }

OwnedText EntryTextOfKey(const char* key) { return TextAfterLastMarker(key, kKeyTextSeparator); }

}  // namespace tl::app
