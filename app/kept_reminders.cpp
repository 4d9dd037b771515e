// Reminders that outlive the run. The reminder list's rows are written to the reminder file after
// every change of them and before every announcement; a start brings back those still ahead and
// tells, once, those whose minute passed while the program was not running.
#include "app/kept_reminders.h"

#include <string>
#include <utility>

#include "app/app_handlers.h"
#include "app/clock.h"
#include "app/command_calls.h"
#include "app/dialogs.h"
#include "app/file_steps.h"
#include "app/reminders.h"
#include "commands/dialogs.h"
#include "commands/file.h"
#include "forms/ids.h"

namespace tl::app {
namespace {

using namespace ids;

const std::string kFile(kReminderFileName);

std::optional<std::string> ReadWholeText(const std::string& name) {
  const std::optional<OwnedByteSet> bytes = ReadWhole(name, kLargestReminderFile);
  if (!bytes) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(bytes->bytes().data()), bytes->bytes().size());
}

}  // namespace

void ReminderFileMirror::Recover() {
  if (!readOnly_) Remove(TemporaryName(kFile));
}

std::vector<KeptReminder> ReminderFileMirror::Load() {
  stamp_ = StampOf(kFile);
  if (stamp_.missing()) return {};
  const std::optional<std::string> bytes = ReadWholeText(kFile);
  std::optional<std::vector<KeptReminder>> reminders = bytes ? ReadReminderFile(*bytes) : std::nullopt;
  if (reminders) {
    written_ = *bytes;
    return std::move(*reminders);
  }
  keep_ = Keep::NotRead;
  owed_ = true;
  return {};
}

// Copies a file marked to be kept to a backup; false when that failed, and the file must not be
// replaced yet.
bool ReminderFileMirror::KeepBackup() {
  if (keep_ == Keep::Nothing) return true;
  switch (PresenceOf(kFile)) {
    case Presence::Missing: keep_ = Keep::Nothing; return true;
    case Presence::Unknown: return false;
    case Presence::Present: break;
  }
  const auto kept = CopyToBackup(kFile, kFile.c_str());
  if (!kept) return false;
  notices_.push_back(KeptNotice(keep_ == Keep::ChangedElsewhere ? "在程序运行时被其他程序改动过，程序将按提醒列表重写它。"
                                                                : "无法读取，或不是本程序写的提醒文件，其中的提醒没有读入。",
                                kFile.c_str(), kept->first));
  if (kept->second) notices_.push_back(OldestBackupNotice(kept->first));
  keep_ = Keep::Nothing;
  return true;
}

// Bytes that are not what this program's last replacement wrote came from another program.
void ReminderFileMirror::NoteOutsideChange() {
  const FileStamp now = StampOf(kFile);
  if (now == stamp_ || now.missing() || keep_ != Keep::Nothing) return;
  const std::optional<std::string> bytes = ReadWholeText(kFile);
  if (!bytes || *bytes != written_) keep_ = Keep::ChangedElsewhere;
}

// The file is written whole to a temporary and put in its place in one replacement, after a last
// look at it: what another program wrote since this program's last replacement is kept first.
// Its stamp is taken from the temporary, never from a look after a failure, which may show
// another program's writing.
bool ReminderFileMirror::Save(std::span<const KeptReminder> reminders, double nowSeconds) {
  if (readOnly_) return true;
  std::vector<KeptReminder> kept(reminders.begin(), reminders.end());
  kept.insert(kept.end(), missed_.begin(), missed_.end());
  const std::string text = ReminderFileText(kept);
  const std::string temporary = TemporaryName(kFile);
  bool saved = WriteFlushed(temporary, text);
  const FileStamp written = StampOf(temporary);
  if (saved) {
    NoteOutsideChange();
    saved = KeepBackup() && (Replace(temporary, kFile.c_str()) || PresenceOf(temporary) == Presence::Missing);
  }
  if (saved) {
    stamp_ = written;
    written_ = text;
  } else {
    Remove(temporary);
  }
  owed_ = !saved;
  if (failure_.Record(saved, nowSeconds)) {
    notices_.push_back("提醒没有能够保存：写入或替换" + Quoted(kFile) +
                       "失败（文件可能被其他程序占用，文件夹可能是只读的，或磁盘已满）。程序会继续尝试保存。");
  }
  return saved;
}

std::vector<std::string> ReminderFileMirror::TakeNotices() {
  missedHandedOut_ = missedHandedOut_ || !missed_.empty();
  return std::exchange(notices_, {});
}

void ReminderFileMirror::Tell(std::string notice) { notices_.push_back(std::move(notice)); }

void ReminderFileMirror::TellMissed(std::vector<KeptReminder> missed, std::string notice) {
  missed_ = std::move(missed);
  missedHandedOut_ = false;
  Tell(std::move(notice));
}

bool ReminderFileMirror::ForgetTold() {
  if (!missedHandedOut_) return false;
  missed_.clear();
  missedHandedOut_ = false;
  return true;
}

ReminderFileMirror& MainReminderFile() {
  static ReminderFileMirror file;
  return file;
}

namespace {

bool restoring = false;

std::optional<DateTimeParts> MinuteOf(const KeptReminder& r) {
  return ReminderMinute(r.when[0], r.when[1], r.when[2], r.when[3], r.when[4]);
}

// The reminder list's rows, each with whether it was announced in this run; none while the
// reminder window is not loaded.
std::vector<KeptReminder> ReminderRows() {
  std::vector<KeptReminder> rows;
  if (!Call(cmd::kIsWindowLoaded, ReminderWindow)) return rows;
  for (int32_t row = 0, count = kReminders.ItemCount(); row < count; ++row) {
    KeptReminder& r = rows.emplace_back();
    r.key = kReminders.ItemText(row, 0).view();
    for (int32_t c = 0; c < 5; ++c) r.when[static_cast<size_t>(c)] = kReminders.ItemText(row, c + 1).view();
    const auto minute = MinuteOf(r);
    r.announced = minute && Announcements().Announced(r.key, *minute);
  }
  return rows;
}

// The reminder window loaded hidden, its timer running, although no entry is selected.
void LoadReminderWindowHidden() {
  restoring = true;
  OpenWindow(ReminderWindow, false);
  restoring = false;
  WriteBool(ReminderWindow, prop::IsVisible, false);
}

void AddRow(const KeptReminder& r) {
  const int32_t row = kReminders.InsertItem(std::nullopt, "");
  kReminders.SetItemText(row, 0, r.key.c_str());
  for (int32_t c = 0; c < 5; ++c) kReminders.SetItemText(row, c + 1, r.when[static_cast<size_t>(c)].c_str());
}

std::string MissedNotice(std::span<const KeptReminder> missed) {
  std::string text = "程序没有运行时，下面的提醒已经到时间：";
  for (const KeptReminder& r : missed) {
    const auto& w = r.when;
    text += "\r\n" + std::string(EntryTextOfKey(r.key.c_str()).view()) + "（" + w[0] + "年" + w[1] + "月" + w[2] + "日" +
            w[3] + "时" + w[4] + "分）";
  }
  return text;
}

}  // namespace

bool RestoringKeptReminders() { return restoring; }

void KeepReminders() { MainReminderFile().Save(ReminderRows(), NowSeconds()); }

void ForgetToldReminders() {
  if (MainReminderFile().ForgetTold()) KeepReminders();
}

void KeepRemindersIfOwed() {
  static double triedAt = 0;
  const double now = NowSeconds();
  if (!MainReminderFile().owed() || (now >= triedAt && now - triedAt < 0.25)) return;
  triedAt = now;
  KeepReminders();
}

void RestoreKeptReminders() {
  ReminderFileMirror& file = MainReminderFile();
  file.Recover();
  const std::vector<KeptReminder> kept = file.Load();
  const auto clock = ClockNow();
  const auto now = clock ? InstantOf(*clock) : std::nullopt;
  if (kept.empty() || !now) return;
  std::vector<KeptReminder> restored, missed;
  for (const KeptReminder& r : kept) {
    switch (FateAtStart(r, *now)) {
      case KeptFate::Restore: restored.push_back(r); break;
      case KeptFate::Missed: missed.push_back(r); break;
      case KeptFate::Drop: break;
    }
  }
  if (!restored.empty()) {
    LoadReminderWindowHidden();
    for (const KeptReminder& r : restored) {
      AddRow(r);
      Announcements().Confirmed(r.key, *now);
    }
  }
  for (const KeptReminder& r : missed) UnmarkEntries(r.key.c_str());
  if (!missed.empty()) file.TellMissed(missed, MissedNotice(missed));
  // Those announced in an earlier run go now; the missed ones stay until their box shows.
  if (restored.size() + missed.size() != kept.size()) KeepReminders();
}

}  // namespace tl::app
