// Confirming a reminder: the typed time is checked, its components are staged in the program's
// component arrays, a reminder row is added or changed, and the entry gets its marker.
#include <array>
#include <optional>
#include <string>

#include "app/clock.h"
#include "app/command_calls.h"
#include "app/dialogs.h"
#include "app/globals.h"
#include "app/marker_text.h"
#include "app/reminders.h"
#include "commands/dialogs.h"
#include "commands/text.h"
#include "forms/ids.h"

namespace tl::app {
namespace {

using namespace ids;

constexpr const char* kStagingPiece = "12，";
constexpr const char* kStagingSeparator = "，";
enum Component { Year, Month, Day, Hour, Minute };

// Null when the box holds what the clock never shows; the user is told what is wrong.
std::optional<int> TypedTime(const UnitRef& box, int max, const char* emptyMessage, const char* rangeMessage) {
  const OwnedText typed = ReadText(box, prop::EditBoxContent);
  const TypedNumber number = ParseTypedNumber(typed.view(), max);
  if (number.fault == TypedNumberFault::None) return number.value;
  ShowMessage(number.fault == TypedNumberFault::Empty ? emptyMessage : rangeMessage, 48);
  return std::nullopt;
}

// Every confirmation grows the staging box by one piece and sizes each component array to the
// number of pieces; the new components go into the last element.
void StageComponents(int hour, int minute) {
  const OwnedText staged = ReadText(StagingBox, prop::EditBoxContent);
  WriteText(StagingBox, prop::EditBoxContent, (std::string(staged.view()) + kStagingPiece).c_str());
  Globals& g = TheGlobals();
  for (void*& array : g.ReminderComponents) {
    const OwnedText content = ReadText(StagingBox, prop::EditBoxContent);
    TextArray pieces = Call(cmd::kSplitText, content, kStagingSeparator, std::nullopt);
    TextArray(array).Reset();
    array = pieces.Release();
  }
  g.ReminderComponentCount = static_cast<int32_t>(ArrayElementCount(g.ReminderComponents[Year]));
  const double slot = g.ReminderComponentCount;
  const OwnedText date = DateTimeText(ReadDateTime(ReminderDateBox, prop::DatePickerValue));
  const std::array<OwnedText, 5> values = {TextBeforeMarker(date.c_str(), "年"), TextBetween(date.c_str(), "年", "月"),
                                      TextBetween(date.c_str(), "月", "日"), OwnedText::Copy(ClockNumberText(hour)),
                                      OwnedText::Copy(ClockNumberText(minute))};
  for (int c = Year; c <= Minute; ++c) {
    TextArray array(g.ReminderComponents[c]);
    array.Put(slot, OwnedText::Copy(values[c].view()));
    g.ReminderComponents[c] = array.Release();
  }
}

void WriteReminderRow(int32_t row, const char* key) {
  const Globals& g = TheGlobals();
  kReminders.SetItemText(row, 0, key);
  for (int c = Year; c <= Minute; ++c) {
    TextArray array(g.ReminderComponents[c]);
    kReminders.SetItemText(row, c + 1, OwnedText::Copy(array.At(g.ReminderComponentCount)).c_str());
    array.Release();
  }
}

void RecordConfirmation(std::string_view key) {
  const auto now = ClockNow();
  if (const auto instant = now ? InstantOf(*now) : std::nullopt) Announcements().Confirmed(key, *instant);
}

// Marks every entry whose text is the key's entry text; an entry that already carries the marker
// ends the marking.
void MarkEntries(const char* key) {
  const OwnedText entryText = EntryTextOfKey(key);
  const std::string marked = kReminderMarker + std::string(entryText.view());
  const int32_t count = kEntries.ItemCount();
  for (int32_t row = 0; row < count; ++row) {
    const OwnedText text = kEntries.ItemText(row, 0);
    if (text.view() != entryText.view()) continue;
    Call(cmd::kSetFocus, EntryList);
    kEntries.SetCurrentSelection(row);
    if (text.view().starts_with(kReminderMarker)) return;
    kEntries.SetItemText(row, 0, marked.c_str());
    Call(cmd::kSetFocus, ReminderList);
  }
}

}  // namespace

HandlerResult OnConfirmReminder(Args) {
  const auto hour = TypedTime(ReminderHourBox, 23, "请填写提醒时间的小时（0 到 23）。",
                              "提醒时间的小时必须是 0 到 23 之间的整数。");
  if (!hour) return NoAnswer;
  const auto minute = TypedTime(ReminderMinuteBox, 59, "请填写提醒时间的分钟（0 到 59）。",
                                "提醒时间的分钟必须是 0 到 59 之间的整数。");
  if (!minute) return NoAnswer;
  StageComponents(*hour, *minute);

  const OwnedText key = ReadText(ReminderCaption, prop::LabelCaption);
  const int32_t count = kReminders.ItemCount();
  for (int32_t row = 0; row < count; ++row) {
    if (kReminders.ItemText(row, 0) != key.view()) continue;
    if (ShowMessage("已有此事件提醒，是否更改", 52) != 5) return NoAnswer;
    kReminders.SetCurrentSelection(row);
    kReminders.EnsureVisible(row);
    WriteReminderRow(row, key.c_str());
    RecordConfirmation(key.view());
    KeepReminders();
    return NoAnswer;
  }
  WriteReminderRow(kReminders.InsertItem(std::nullopt, ""), key.c_str());
  RecordConfirmation(key.view());
  KeepReminders();
  for (int32_t row = 0, rows = kReminders.ItemCount(); row < rows; ++row) {
    kReminders.SetCurrentSelection(row);
    kReminders.EnsureVisible(row);
  }
  MarkEntries(key.c_str());
  return NoAnswer;
}

}  // namespace tl::app
