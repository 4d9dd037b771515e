// The entry file and the time file: the list's mirror on disk. Both are replaced together
// through temporary files, only when the list or a file changed, and a file that holds bytes the
// list does not (it did not load exactly, or another program wrote it) is copied aside before it
// is replaced.
#include "app/entry_files.h"

#include <array>
#include <deque>
#include <string>
#include <utility>

#include "app/app_handlers.h"
#include "app/clock.h"
#include "app/command_calls.h"
#include "app/dialogs.h"
#include "app/file_steps.h"
#include "app/kept_reminders.h"
#include "app/reminders.h"
#include "commands/file.h"
#include "forms/ids.h"

namespace tl::app {
namespace {

std::string_view AsText(std::span<const uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}






const std::string& EntryTemporary() {
  static const std::string name = TemporaryName(kEntryFile);
  return name;
}
const std::string& TimeTemporary() {
  static const std::string name = TemporaryName(kTimeFile);
  return name;
}

// Both temporaries go, the entry file's first, and the time file's only once the entry file's
// is gone: an entry temporary left alone always means a complete replacement whose time file is
// already in place.
bool DiscardTemporaries() { return Remove(EntryTemporary()) && Remove(TimeTemporary()); }

// Where the newest entries are: a replacement that could not be finished holds them. Nothing
// when that cannot be told now.
std::optional<std::string> EntrySource() {
  const Presence time = PresenceOf(TimeTemporary()), entry = PresenceOf(EntryTemporary());
  if (time == Presence::Unknown || entry == Presence::Unknown) return std::nullopt;
  const bool pending = RecoveryFor(time == Presence::Present, entry == Presence::Present) ==
                       PairRecovery::FinishEntryReplacement;
  return pending ? EntryTemporary() : kEntryFile;
}

// The text a file's bytes give: up to a zero byte, as every text of the runtime ends.
std::string_view LoadedText(const OwnedByteSet& bytes) {
  const std::string_view text = AsText(bytes.bytes());
  return text.substr(0, text.find('\0'));
}

// Appends a row per line to the list (column 0), or sets the rows' texts line by line: one call
// for the whole file instead of a call a row.
void AddLines(const ListUnit& list, uint32_t column, const OwnedByteSet& bytes) {
  list.AddLines(static_cast<int32_t>(column), OwnedText::Copy(LoadedText(bytes)), "\r\n");
}







// Why a save could not write or replace the pair, as far as the files and the last failure
// tell; empty when they do not tell.
std::string Obstacle() {
  for (const std::string& name : {std::string(kEntryFile), std::string(kTimeFile), EntryTemporary(), TimeTemporary()}) {
    switch (KindOf(name)) {
      case cmd::NameKind::Folder:
        return "程序所在的文件夹里有一个名为" + Quoted(name) + "的文件夹，占用了这个文件名（请把它移走或改名）";
      case cmd::NameKind::ReadOnlyFile:
        return "文件" + Quoted(name) + "是只读的（请在它的属性中取消“只读”）";
      default: break;
    }
  }
  switch (static_cast<cmd::FileError>(Call(cmd::kLastFileError))) {
    case cmd::FileError::DiskFull: return "磁盘已满（请腾出一些空间）";
    case cmd::FileError::HeldByOther: return "文件被其他程序占用（例如同步或备份软件，或打开着它的编辑器）";
    case cmd::FileError::WriteProtected: return "磁盘是写保护的";
    case cmd::FileError::AccessDenied: return "没有写入的权限（文件夹可能是只读的）";
    case cmd::FileError::Other: break;
  }
  return "";
}


}  // namespace

// Nothing when the file is missing. A file too large or not read whole loads what could be read
// and is marked to be kept; one that cannot be read yet is loaded again when it can.
std::optional<OwnedByteSet> EntryFiles::LoadFile(const ListUnit& list, File& file, const std::optional<std::string>& source) {
  const FileStamp stamp = source ? StampOf(*source) : FileStamp{-2, -2};
  if (stamp.missing()) return std::nullopt;
  if (!stamp.known()) {
    file.unread = true;
    file.keep = Keep::NotLoadedExactly;
    return OwnedByteSet();
  }
  if (stamp.length > kLargestLoadedFile) {
    file.keep = Keep::TooLarge;
    return OwnedByteSet();
  }
  OwnedByteSet bytes = ReadBytes(source->c_str());
  // A file another program rewrote while it was read is not read whole.
  if (static_cast<int64_t>(bytes.bytes().size()) != stamp.length || StampOf(*source) != stamp) {
    file.unread = true;
    file.keep = Keep::NotLoadedExactly;
  }
  AddLines(list, file.column, bytes);
  return bytes;
}

void EntryFiles::Load(const ListUnit& list) {
  const std::optional<std::string> entrySource = EntrySource();
  entries_.source = entrySource.value_or(kEntryFile);
  time_.stamp = StampOf(kTimeFile);
  entries_.stamp = StampOf(kEntryFile);
  const bool wasEmpty = list.ItemCount() == 0;
  const std::optional<OwnedByteSet> entryBytes = LoadFile(list, entries_, entrySource);
  const std::optional<OwnedByteSet> timeBytes = LoadFile(list, time_, kTimeFile);
  loadedAt_ = list.ChangeCount();
  if (wasEmpty) BuildLoadedLines(list, entryBytes, timeBytes);
  BuildLines(list, loadedAt_);
  auto text = [](const std::optional<OwnedByteSet>& bytes) -> std::optional<std::string_view> {
    if (!bytes) return std::nullopt;
    return AsText(bytes->bytes());
  };
  const std::string_view entryLines = lines_.column(entries_.column), timeLines = lines_.column(time_.column);
  if (entries_.keep == Keep::Nothing && !LoadedExactly(text(entryBytes), entryLines)) {
    entries_.keep = Keep::NotLoadedExactly;
  }
  if (time_.keep == Keep::Nothing && !TimesLoadedExactly(text(timeBytes), timeLines)) {
    time_.keep = Keep::NotLoadedExactly;
  }
  const bool diskHoldsList = entrySource == std::string(kEntryFile) && text(entryBytes) == entryLines && text(timeBytes) == timeLines;
  for (const File* file : {&entries_, &time_}) {
    if (file->unread) {
      notices_.push_back("文件" + Quoted(file->name) +
                         "无法读取（可能被其他程序独占打开，或没有读取权限），列表中暂时没有它的内容。" +
                         "它能够读取时程序会自动读入；在那之前不会覆盖它。");
    }
  }
  // A file to keep is kept at the first tick, and the user told then.
  owed_ = !diskHoldsList || entries_.keep != Keep::Nothing || time_.keep != Keep::Nothing;
}

// While the list is as the load left it, a file that could not be read is loaded again as soon
// as it can be, rather than replaced by the part of it the list holds.
bool EntryFiles::ReloadIfUnread(const ListUnit& list) {
  if (!(time_.unread || entries_.unread) || list.ChangeCount() != loadedAt_) return false;
  if (time_.unread && !ReadWhole(kTimeFile, kLargestLoadedFile)) return true;
  if (entries_.unread) {
    const std::optional<std::string> source = EntrySource();
    if (!source || !ReadWhole(*source, kLargestLoadedFile)) return true;
  }
  for (int32_t row = list.ItemCount() - 1; row >= 0; --row) list.DeleteItem(row);
  for (File* file : {&time_, &entries_}) {
    file->keep = Keep::Nothing;
    file->unread = false;
  }
  Load(list);
  return true;
}

// The lines of a list that was empty before the load are the files' own lines, unless the list
// did not take them a row a line in order; then BuildLines reads the rows.
void EntryFiles::BuildLoadedLines(const ListUnit& list, const std::optional<OwnedByteSet>& entryBytes,
                                  const std::optional<OwnedByteSet>& timeBytes) {
  if (list.Sorts()) return;
  std::array<std::string_view, EntryLines::kColumns> texts;
  texts[entries_.column] = entryBytes ? LoadedText(*entryBytes) : std::string_view();
  texts[time_.column] = timeBytes ? LoadedText(*timeBytes) : std::string_view();
  lines_.BuildFromTexts(static_cast<size_t>(list.ColumnCount()), texts);
  built_ = lines_.rows() == list.ItemCount();
  builtAt_ = loadedAt_;
}

// The lines follow the list's changes since they were last right, reading the texts of the rows
// those changes touched; the whole list is read in one go when the list no longer knows them
// all (or at the first save).
void EntryFiles::BuildLines(const ListUnit& list, uint32_t changeCount) {
  if (built_ && changeCount == builtAt_) return;
  if (!built_ || !PatchLines(list)) lines_.Build(AsText(list.RowTexts().bytes()));
  builtAt_ = changeCount;
  built_ = true;
}

bool EntryFiles::PatchLines(const ListUnit& list) {
  const std::optional<std::vector<RowChange>> changes = list.ChangesSince(builtAt_);
  if (!changes) return false;
  const std::optional<std::vector<int32_t>> rows = lines_.Replay(*changes);
  if (!rows || lines_.rows() != list.ItemCount()) return false;
  for (int32_t row : *rows) {
    for (size_t column = 0; column < EntryLines::kColumns; ++column) {
      lines_.SetText(row, column, list.ItemText(row, static_cast<int32_t>(column)).view());
    }
  }
  return true;
}

// A file whose stamp moved although this program did not write it: unless it already holds the
// list's lines, another program wrote it, and what it wrote is kept before it is replaced. A
// file deleted meanwhile has nothing left to keep; one that cannot be looked at or read is kept
// as if another program wrote it.
void EntryFiles::NoteOutsideChange(File& file, const FileStamp& now) {
  if (now == file.stamp) return;
  file.stamp = now;
  if (now.missing() || file.keep != Keep::Nothing) return;
  const std::optional<OwnedByteSet> bytes = ReadWhole(file.name, kLargestLoadedFile);
  if (!bytes || AsText(bytes->bytes()) != lines_.column(file.column)) file.keep = Keep::ChangedElsewhere;
}

// Copies a file marked to be kept to a backup; false when it could not be copied, in which case
// the file must not be replaced yet. What the list did not load exactly is copied from the file
// it was loaded from.
bool EntryFiles::KeepBackup(File& file) {
  if (file.keep == Keep::Nothing) return true;
  const bool fromLoad = file.keep == Keep::NotLoadedExactly || file.keep == Keep::TooLarge;
  const std::string& from = fromLoad && PresenceOf(file.source) != Presence::Missing ? file.source : file.name;
  switch (PresenceOf(from)) {
    case Presence::Missing: file.keep = Keep::Nothing; return true;
    case Presence::Unknown: failedFile_ = &file; return false;
    case Presence::Present: break;
  }
  if (!KeepCopy(from, file.name, file.keep)) {
    failedFile_ = &file;
    return false;
  }
  file.keep = Keep::Nothing;
  file.unread = false;
  return true;
}

// Copies `from` to a backup of `name` and tells the user why.
bool EntryFiles::KeepCopy(const std::string& from, const char* name, Keep why) {
  const std::optional<std::pair<std::string, bool>> kept = CopyToBackup(from, name);
  if (!kept) return false;
  const auto& [backup, overwroteOldest] = *kept;
  switch (why) {
    case Keep::TooLarge: notices_.push_back(KeptNotice("太大（超过64 MB），没有读入。", name, backup)); break;
    case Keep::ChangedElsewhere:
      notices_.push_back(KeptNotice("在程序运行时被其他程序改动过，程序将按列表重写它。", name, backup));
      break;
    case Keep::NewerThanReplacement:
      notices_.push_back(KeptNotice("在程序上次没能完成的保存之后被改动过（或与时间文件的行数对不上），程序将完成那次保存。",
                                    name, backup));
      break;
    default:
      notices_.push_back(KeptNotice(
          "没有能够完整、原样地读入（可能被其他程序占用、含有零字节、不是GBK编码或带有字节顺序标记）。", name, backup));
  }
  if (overwroteOldest) notices_.push_back(OldestBackupNotice(backup));
  return true;
}

void EntryFiles::Recover() { SettlePair(); }

// Brings the pair to one of the two states a save moves between; false when a left-over
// replacement could not be finished yet. Only what is known to be there or not decides what goes.
bool EntryFiles::SettlePair() {
  const Presence time = PresenceOf(TimeTemporary()), entry = PresenceOf(EntryTemporary());
  if (time == Presence::Unknown || entry == Presence::Unknown) return false;
  switch (RecoveryFor(time == Presence::Present, entry == Presence::Present)) {
    case PairRecovery::Nothing: return true;
    case PairRecovery::DiscardTimeTemporary: return Remove(TimeTemporary());
    case PairRecovery::DiscardBoth: return DiscardTemporaries();
    case PairRecovery::FinishEntryReplacement: return FinishEntryReplacement();
  }
  return false;
}

// The entry file a left-over replacement would replace is kept first when it was written after
// the replacement, or when the replacement does not pair with the time file already in place.
bool EntryFiles::FinishEntryReplacement() {
  const FileStamp pending = StampOf(EntryTemporary()), current = StampOf(kEntryFile);
  if (!pending.known() || !current.known()) return false;
  if (!current.missing() && current != keptBeforeFinishing_) {
    const std::optional<OwnedByteSet> pendingBytes = ReadWhole(EntryTemporary(), kLargestLoadedFile), times = ReadWhole(kTimeFile, kLargestLoadedFile);
    if (!pendingBytes || (!times && !StampOf(kTimeFile).missing())) return false;
    const std::string_view timeText = times ? AsText(times->bytes()) : std::string_view();
    if (!FinishesSafely(AsText(pendingBytes->bytes()), timeText, pending.time, current.time)) {
      if (!KeepCopy(kEntryFile, kEntryFile, Keep::NewerThanReplacement)) return false;
      keptBeforeFinishing_ = current;
    }
  }
  if (!Replace(EntryTemporary(), kEntryFile) && PresenceOf(EntryTemporary()) != Presence::Missing) return false;
  entries_.stamp = pending;
  return true;
}

// Replaces a file by its temporary after a last look at it: what another program wrote since
// this program last saw it is kept first. A replacement that reports failure but took effect
// (its temporary is gone) is done.
EntryFiles::Step EntryFiles::ReplaceWith(File& file, const std::string& temporary, const FileStamp& written) {
  const FileStamp now = StampOf(file.name);
  if (!now.known()) return Step::Failed;
  NoteOutsideChange(file, now);
  if (!KeepBackup(file)) return Step::NotKept;
  if (!Replace(temporary, file.name) && PresenceOf(temporary) != Presence::Missing) return Step::Failed;
  if (written.known()) file.stamp = written;
  return Step::Done;
}

// Both temporary files are written whole before the first replacement, and the time file is
// replaced only when the entry file can be replaced after it: the two files on disk are always a
// pair the list had, but for the instant between the two replacements. A start that finds what
// a crash left behind settles it the same way as the next save does.
EntryFiles::Outcome EntryFiles::WritePair() {
  if (!SettlePair() || !Call(cmd::kCanReplace, kEntryFile)) return Outcome::NotWritten;
  if (!WriteFlushed(TimeTemporary(), lines_.column(time_.column)) ||
      !WriteFlushed(EntryTemporary(), lines_.column(entries_.column))) {
    DiscardTemporaries();
    return Outcome::NotWritten;
  }
  const FileStamp timesWritten = StampOf(TimeTemporary()), entriesWritten = StampOf(EntryTemporary());
  if (!Call(cmd::kCanReplace, kEntryFile)) {
    DiscardTemporaries();
    return Outcome::NotWritten;
  }
  switch (ReplaceWith(time_, TimeTemporary(), timesWritten)) {
    case Step::Done: break;
    case Step::NotKept: DiscardTemporaries(); return Outcome::NotKept;
    // Both temporaries go only while the time file's is known to be there: without it, the
    // entry file's is a replacement to finish.
    case Step::Failed:
      if (PresenceOf(TimeTemporary()) == Presence::Present) DiscardTemporaries();
      return Outcome::NotWritten;
  }
  // A failure here leaves the entry file's temporary for the next save (or start) to finish.
  switch (ReplaceWith(entries_, EntryTemporary(), entriesWritten)) {
    case Step::Done: return Outcome::Saved;
    case Step::NotKept: return Outcome::NotKept;
    case Step::Failed: return Outcome::NotWritten;
  }
  return Outcome::NotWritten;
}

EntryFiles::Outcome EntryFiles::Save() {
  if (!KeepBackup(time_) || !KeepBackup(entries_)) return Outcome::NotKept;
  return WritePair();
}

void EntryFiles::Record(Outcome outcome, double nowSeconds) {
  const bool saved = outcome == Outcome::Saved;
  owed_ = !saved;
  if (!saved) failedAs_ = outcome;
  if (failure_.Record(saved, nowSeconds)) notices_.push_back(FailureNotice());
}

// Why saving has failed for a while: a file holding bytes the list does not is never replaced
// before its backup is made; otherwise writing or replacing failed, for a reason the files may
// tell.
std::string EntryFiles::FailureNotice() const {
  if (failedAs_ == Outcome::NotKept && failedFile_) {
    return "事件没有能够保存：无法为文件" + Quoted(failedFile_->name) +
           "留下备份（读取它或写入备份失败：它可能被其他程序占用，文件夹可能是只读的，或磁盘已满）。" +
           "为免丢失其中的内容，在留下备份之前不会覆盖它。程序会继续尝试保存。";
  }
  const std::string obstacle = Obstacle();
  const std::string what = "事件没有能够保存：写入或替换" + Quoted(kEntryFile) + "和" + Quoted(kTimeFile) + "失败";
  if (!obstacle.empty()) return what + "，因为" + obstacle + "。程序会继续尝试保存。";
  return what + "（文件可能被其他程序占用，文件夹可能是只读的，或磁盘已满）。程序会继续尝试保存。";
}

void EntryFiles::WorkReadOnly() {
  readOnly_ = true;
  notices_.push_back(
      "程序没有能够占用它所在的文件夹（文件夹可能是只读的，或其中有一个名为“tallyleaf.lock”的文件夹），"
      "无法确定没有另一个Tallyleaf在改写同样的文件。为免两个程序互相覆盖，这次运行只显示事件，"
      "对事件的改动不会保存。");
}

bool EntryFiles::Owed(uint32_t changeCount, const FileStamp& times, const FileStamp& entries) const {
  return owed_ || !built_ || changeCount != builtAt_ || times != time_.stamp || entries != entries_.stamp;
}

EntryFiles::Outcome EntryFiles::SaveChanges(const ListUnit& list, uint32_t changeCount, const FileStamp& times,
                                            const FileStamp& entries) {
  BuildLines(list, changeCount);
  NoteOutsideChange(time_, times);
  NoteOutsideChange(entries_, entries);
  return Save();
}

// A tick that finds the list as it was reads one counter; the files are looked at a few times a
// second, so that one another program deleted is written again soon. A save always looks first,
// so another program's change is caught before it could be replaced.
void EntryFiles::Tick(const ListUnit& list, double nowSeconds) {
  if (readOnly_ || ReloadIfUnread(list)) return;
  const uint32_t changeCount = list.ChangeCount();
  const bool listChanged = !built_ || changeCount != builtAt_;
  // A clock set back counts as time gone by.
  const bool lookedLately = nowSeconds >= lookedAt_ && nowSeconds - lookedAt_ < kLookInterval;
  if (!owed_ && !listChanged && lookedLately) return;
  lookedAt_ = nowSeconds;
  const FileStamp times = StampOf(kTimeFile), entries = StampOf(kEntryFile);
  if (Owed(changeCount, times, entries)) Record(SaveChanges(list, changeCount, times, entries), nowSeconds);
}

bool EntryFiles::SaveNow(const ListUnit& list, double nowSeconds) {
  // A file still unread holds all the list does: nothing of the user's is missing from disk.
  if ((readOnly_ || time_.unread || entries_.unread) && list.ChangeCount() == loadedAt_) return true;
  if (readOnly_) return false;
  const uint32_t changeCount = list.ChangeCount();
  const FileStamp times = StampOf(kTimeFile), entries = StampOf(kEntryFile);
  if (!Owed(changeCount, times, entries)) return true;
  const Outcome outcome = SaveChanges(list, changeCount, times, entries);
  Record(outcome, nowSeconds);
  return outcome == Outcome::Saved;
}

std::vector<std::string> EntryFiles::TakeNotices() { return std::exchange(notices_, {}); }

EntryFiles& MainEntryFiles() {
  static EntryFiles files;
  return files;
}

// Shows what the mirror has to tell. Message boxes run nested message loops in which ticks go on
// saving; what those ticks find joins the queue of the box already being shown.
void TellEntryFileNotices() {
  static std::deque<std::string> queue;
  static bool telling = false;
  for (std::string& notice : MainEntryFiles().TakeNotices()) queue.push_back(std::move(notice));
  for (std::string& notice : MainReminderFile().TakeNotices()) queue.push_back(std::move(notice));
  if (telling) return;
  telling = true;
  while (!queue.empty()) {
    // What one tick found is told in one box.
    std::string text;
    for (; !queue.empty(); queue.pop_front()) text += (text.empty() ? "" : "\r\n\r\n") + queue.front();
    ForgetToldReminders();
    ShowMessage(text.c_str(), 0);
  }
  telling = false;
}

void RecoverInterruptedSave() { MainEntryFiles().Recover(); }

void WorkReadOnly() {
  MainEntryFiles().WorkReadOnly();
  MainReminderFile().WorkReadOnly();
}

void LoadEntryFiles(const ListUnit& list) {
  AddLines(list, 0, ReadBytes(EntrySource().value_or(kEntryFile).c_str()));
  AddLines(list, 1, ReadBytes(kTimeFile));
}

void LoadMainEntryFiles() { MainEntryFiles().Load(ListUnit(ids::EntryList)); }

HandlerResult SaveEntryFiles(Args) {
  MainEntryFiles().Tick(ListUnit(ids::EntryList), NowSeconds());
  KeepRemindersIfOwed();
  TellEntryFileNotices();
  return NoAnswer;
}

bool SaveBeforeEnd() {
  const ListUnit list(ids::EntryList);
  list.FinishEditing();
  return MainEntryFiles().SaveNow(list, NowSeconds());
}

}  // namespace tl::app
