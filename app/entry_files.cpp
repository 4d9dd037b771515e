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
#include "commands/file.h"
#include "forms/ids.h"

namespace tl::app {
namespace {

std::string_view AsText(std::span<const uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

enum class Presence { Missing, Present, Unknown };

Presence PresenceOf(const std::string& name) {
  const int64_t length = Call(cmd::kFileLength, name);
  return length == -1 ? Presence::Missing : length == -2 ? Presence::Unknown : Presence::Present;
}

OwnedByteSet ReadBytes(const char* name) { return Call(cmd::kReadFile, name); }

bool Replace(const std::string& source, const char* target) {
  return Call(cmd::kReplaceFileWith, source, target);
}

// True when the file is gone, whether or not it was there.
bool Remove(const std::string& name) {
  return Call(cmd::kRemoveFile, name) || PresenceOf(name) == Presence::Missing;
}

// The text goes as it is: no line holds a zero byte.
bool WriteFlushed(const std::string& name, const std::string& text) {
  return Call(cmd::kWriteFileFlushed, name, {Encode<std::string_view>(text)});
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

// Brings the pair to one of the two states a save moves between; false when a left-over
// replacement could not be finished yet.
bool SettlePair() {
  const Presence time = PresenceOf(TimeTemporary()), entry = PresenceOf(EntryTemporary());
  // Only what is known to be there or not decides what goes.
  if (time == Presence::Unknown || entry == Presence::Unknown) return false;
  switch (RecoveryFor(time == Presence::Present, entry == Presence::Present)) {
    case PairRecovery::Nothing: return true;
    case PairRecovery::DiscardTimeTemporary: return Remove(TimeTemporary());
    case PairRecovery::DiscardBoth: return DiscardTemporaries();
    case PairRecovery::FinishEntryReplacement: return Replace(EntryTemporary(), kEntryFile);
  }
  return false;
}

// Where the newest entries are: a replacement that could not be finished holds them. Nothing
// when that cannot be told now.
std::optional<std::string> EntrySource() {
  const Presence time = PresenceOf(TimeTemporary()), entry = PresenceOf(EntryTemporary());
  if (time == Presence::Unknown || entry == Presence::Unknown) return std::nullopt;
  const bool pending = RecoveryFor(time == Presence::Present, entry == Presence::Present) ==
                       PairRecovery::FinishEntryReplacement;
  return pending ? EntryTemporary() : kEntryFile;
}

// Both temporary files are written whole before the first replacement; the time file is
// replaced before the entry file. A start that finds what a crash left behind settles it the
// same way as the next save does.
bool WritePair(const std::string& times, const std::string& entries) {
  if (!SettlePair()) return false;
  if (!WriteFlushed(TimeTemporary(), times) || !WriteFlushed(EntryTemporary(), entries) ||
      !Replace(TimeTemporary(), kTimeFile)) {
    DiscardTemporaries();
    return false;
  }
  // A failure here leaves the entry file's temporary for the next save (or start) to finish.
  return Replace(EntryTemporary(), kEntryFile);
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

std::string Quoted(std::string_view name) { return "“" + std::string(name) + "”"; }

std::string KeptNotice(std::string_view why, const char* name, const std::string& backup) {
  return "文件" + Quoted(name) + std::string(why) + "为免丢失，原文件已保存为" + Quoted(backup) +
         "，在程序所在的文件夹中。";
}

FileStamp StampOf(const std::string& name) { return Call(cmd::kFileStamp, name); }

// A file's bytes when it can be read whole now.
std::optional<OwnedByteSet> ReadWhole(const std::string& name) {
  const FileStamp stamp = StampOf(name);
  if (stamp.length < 0 || stamp.length > kLargestLoadedFile) return std::nullopt;
  OwnedByteSet bytes = ReadBytes(name.c_str());
  if (static_cast<int64_t>(bytes.bytes().size()) != stamp.length) return std::nullopt;
  return bytes;
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
  if (static_cast<int64_t>(bytes.bytes().size()) != stamp.length) {
    file.unread = true;
    file.keep = Keep::NotLoadedExactly;
  }
  AddLines(list, file.column, bytes);
  return bytes;
}

void EntryFiles::Load(const ListUnit& list) {
  const std::optional<std::string> entrySource = EntrySource();
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
  if (time_.unread && !ReadWhole(kTimeFile)) return true;
  if (entries_.unread) {
    const std::optional<std::string> source = EntrySource();
    if (!source || !ReadWhole(*source)) return true;
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
  const std::optional<OwnedByteSet> bytes = ReadWhole(file.name);
  if (!bytes || AsText(bytes->bytes()) != lines_.column(file.column)) file.keep = Keep::ChangedElsewhere;
}

// Copies a file marked to be kept to the first free backup name; false when it could not be
// copied, in which case the file must not be replaced yet.
bool EntryFiles::KeepBackup(File& file) {
  if (file.keep == Keep::Nothing) return true;
  switch (PresenceOf(file.name)) {
    case Presence::Missing: file.keep = Keep::Nothing; return true;
    case Presence::Unknown: failedFile_ = &file; return false;
    case Presence::Present: break;
  }
  for (int n = 1; n < 10000; ++n) {
    const std::string backup = BackupName(file.name, n);
    const Presence presence = PresenceOf(backup);
    if (presence == Presence::Present) continue;
    if (presence == Presence::Unknown || !Call(cmd::kCopyToNewFile, file.name, backup)) break;
    switch (file.keep) {
      case Keep::TooLarge:
        notices_.push_back(KeptNotice("太大（超过64 MB），没有读入。", file.name, backup));
        break;
      case Keep::ChangedElsewhere:
        notices_.push_back(KeptNotice("在程序运行时被其他程序改动过，程序将按列表重写它。", file.name, backup));
        break;
      default:
        notices_.push_back(KeptNotice(
            "没有能够完整、原样地读入（可能被其他程序占用、含有零字节、不是GBK编码或带有字节顺序标记）。", file.name,
            backup));
    }
    file.keep = Keep::Nothing;
    file.unread = false;
    return true;
  }
  failedFile_ = &file;
  return false;
}

EntryFiles::Outcome EntryFiles::Save() {
  if (!KeepBackup(time_) || !KeepBackup(entries_)) return Outcome::NotKept;
  const bool written = WritePair(lines_.column(time_.column), lines_.column(entries_.column));
  // Whatever got through is this program's own writing, not another program's.
  for (File* file : {&time_, &entries_}) {
    const FileStamp now = StampOf(file->name);
    if (now.known()) file->stamp = now;
  }
  return written ? Outcome::Saved : Outcome::NotWritten;
}

void EntryFiles::Record(Outcome outcome, double nowSeconds) {
  const bool saved = outcome == Outcome::Saved;
  owed_ = !saved;
  if (!saved) failedAs_ = outcome;
  if (failure_.Record(saved, nowSeconds)) notices_.push_back(FailureNotice());
}

// Why saving has failed for a while: a file holding bytes the list does not is never replaced
// before its backup is made; otherwise writing or replacing failed.
std::string EntryFiles::FailureNotice() const {
  if (failedAs_ == Outcome::NotKept && failedFile_) {
    return "事件没有能够保存：无法为文件" + Quoted(failedFile_->name) +
           "留下备份（读取它或写入备份失败：它可能被其他程序占用，文件夹可能是只读的，或磁盘已满）。" +
           "为免丢失其中的内容，在留下备份之前不会覆盖它。程序会继续尝试保存。";
  }
  return "事件没有能够保存：写入或替换" + Quoted(kEntryFile) + "和" + Quoted(kTimeFile) +
         "失败（文件可能被其他程序占用，文件夹可能是只读的，或磁盘已满）。程序会继续尝试保存。";
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
  if (ReloadIfUnread(list)) return;
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
  if ((time_.unread || entries_.unread) && list.ChangeCount() == loadedAt_) return true;
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
  if (telling) return;
  telling = true;
  while (!queue.empty()) {
    // What one tick found is told in one box.
    std::string text;
    for (; !queue.empty(); queue.pop_front()) text += (text.empty() ? "" : "\r\n\r\n") + queue.front();
    ShowMessage(text.c_str(), 0);
  }
  telling = false;
}

namespace {

double NowSeconds() { return DateTimeNow() * static_cast<double>(kSecondsPerDay); }

}  // namespace

void RecoverInterruptedSave() { SettlePair(); }

void LoadEntryFiles(const ListUnit& list) {
  AddLines(list, 0, ReadBytes(EntrySource().value_or(kEntryFile).c_str()));
  AddLines(list, 1, ReadBytes(kTimeFile));
}

void LoadMainEntryFiles() { MainEntryFiles().Load(ListUnit(ids::EntryList)); }

HandlerResult SaveEntryFiles(Args) {
  MainEntryFiles().Tick(ListUnit(ids::EntryList), NowSeconds());
  TellEntryFileNotices();
  return NoAnswer;
}

bool SaveBeforeEnd() {
  const ListUnit list(ids::EntryList);
  list.FinishEditing();
  return MainEntryFiles().SaveNow(list, NowSeconds());
}

}  // namespace tl::app
