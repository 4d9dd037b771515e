// The reminder timer's tick: the reminders whose announcement instant the clock has passed since
// the previous tick are announced, one box after the other, and their entries lose the marker.
#include <array>
#include <string>
#include <vector>

#include "app/clock.h"
#include "app/command_calls.h"
#include "app/dialogs.h"
#include "app/marker_text.h"
#include "app/reminders.h"
#include "commands/dialogs.h"
#include "commands/time.h"
#include "forms/ids.h"

namespace tl::app {
namespace {

using namespace ids;

std::optional<DateTimeParts> MinuteOfRow(int32_t row) {
  std::array<OwnedText, 5> columns;
  for (int32_t c = 0; c < 5; ++c) columns[c] = kReminders.ItemText(row, c + 1);
  return ReminderMinute(columns[0].view(), columns[1].view(), columns[2].view(), columns[3].view(),
                        columns[4].view());
}

void Announce(int32_t row, const OwnedText& key) {
  Call(cmd::kSetFocus, ReminderList);
  kReminders.SetCurrentSelection(row);
  kReminders.EnsureVisible(row);
  ShowMessage((std::string(key.view()) + "\r\n快去要钱吧，时间到了！").c_str(), 0);
}

}  // namespace

// The announced reminder's own key names the entries, whatever row the user selected meanwhile.
void UnmarkEntries(const char* key) {
  Call(cmd::kSetFocus, EntryList);
  const OwnedText entryText = EntryTextOfKey(key);
  const std::string marked = kReminderMarker + std::string(entryText.view());
  for (int32_t row = 0; row < kEntries.ItemCount(); ++row) {
    if (kEntries.ItemText(row, 0) != marked) continue;
    kEntries.SetCurrentSelection(row);
    kEntries.SetItemText(row, 0, entryText.c_str());
  }
}

std::optional<DateTimeParts> ClockNow() {
  const OwnedText t = DateTimeText(DateTimeNow());
  const char* c = t.c_str();
  return ClockFromComponents(TextBeforeMarker(c, "年").view(), TextBetween(c, "年", "月").view(),
                             TextBetween(c, "月", "日").view(), TextBetween(c, "日", "时").view(),
                             TextBetween(c, "时", "分").view(), TextBetween(c, "分", "秒").view());
}

AnnouncementLedger& Announcements() {
  static AnnouncementLedger ledger;
  return ledger;
}

// Boxes and pauses run nested message loops, in which further ticks run and rows may change: the
// keys are taken once, and each row is looked up again when its turn comes.
HandlerResult OnReminderTick(Args) {
  const auto now = ClockNow();
  const auto instant = now ? InstantOf(*now) : std::nullopt;
  if (!instant) return NoAnswer;
  const TickSpan span = Announcements().BeginTick(*instant);
  std::vector<OwnedText> keys;
  for (int32_t row = 0, count = kReminders.ItemCount(); row < count; ++row) {
    keys.push_back(kReminders.ItemText(row, 0));
  }
  for (const OwnedText& key : keys) {
    const int32_t row = ReminderRowOfKey(key.view());
    if (row < 0) continue;
    const auto minute = MinuteOfRow(row);
    if (!minute || !Announcements().TakeIfDue(key.view(), *minute, span)) continue;
    // Kept as announced before the box shows: a start after a kill never announces it again.
    KeepReminders();
    Announce(row, key);
    UnmarkEntries(key.c_str());
    Call(cmd::kDelay, 1000);
  }
  return NoAnswer;
}

}  // namespace tl::app
