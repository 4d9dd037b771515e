// The entry file and the time file: the list's mirror on disk. Both are replaced together
// through temporary files, only when what they hold differs from the list, and a file that did
// not load exactly is copied aside before it is first replaced.
#include <array>
#include <string>
#include <vector>

#include "app/app_handlers.h"
#include "app/entry_text.h"
#include "app/units.h"
#include "commands/file.h"
#include "commands/text.h"

namespace tl::app {
namespace {

constexpr const char* kEntryFile = "bugaun.txt";
constexpr const char* kTimeFile = "jilusjian.txt";
constexpr uint32_t kEntryColumn = 0, kTimeColumn = 1;

// What tells, without reading it, that a file changed since it was last looked at.
struct FileStamp {
  int64_t length = -1;  // -1: no such file
  int64_t time = -1;
  bool operator==(const FileStamp&) const = default;
};

// One file of the pair as this program last saw it on disk.
struct MirroredFile {
  const char* name;
  uint32_t column;
  FileStamp stamp;
  std::optional<std::string> content;  // nothing: no such file
  bool backupPending = false;          // it holds data the list did not load exactly
};

struct Mirror {
  MirroredFile time{kTimeFile, kTimeColumn, {}, std::nullopt};
  MirroredFile entries{kEntryFile, kEntryColumn, {}, std::nullopt};
  bool known = false;  // the stamps and contents above were read at least once
  // The files may differ from the list although neither changed since the last look: after
  // the load, and after a save that failed.
  bool unsettled = true;
  // The save texts last built from the list, one per column, and the change count they were
  // built at.
  uint32_t builtAt = 0;
  std::array<std::string, 2> lines;
  const std::string& LinesOf(const MirroredFile& file) const { return lines[file.column]; }
  bool built = false;
  SaveFailureNotice failure;
  std::vector<std::string> notices;  // told to the user after the save that found them
  bool telling = false;              // a notice is open; ticks keep saving meanwhile
};

Mirror& State() {
  static Mirror mirror;
  return mirror;
}

FileStamp StampOf(const char* name) {
  const ByteSet stamp = CallByteSet(cmd::FileStamp, {TextArg(name)});
  const std::span<const uint8_t> bytes = stamp.bytes();
  if (bytes.size() != 16) return {};
  uint64_t fields[2] = {0, 0};
  for (int i = 15; i >= 0; --i) fields[i / 8] = (fields[i / 8] << 8) | bytes[static_cast<size_t>(i)];
  return {static_cast<int64_t>(fields[0]), static_cast<int64_t>(fields[1])};
}

bool Exists(const std::string& name) { return CallLong(cmd::FileLength, {TextArg(name.c_str())}) >= 0; }

ByteSet ReadBytes(const char* name) { return CallByteSet(cmd::ReadFile, {TextArg(name)}); }

// The file's lines; its bytes and its whole text are let go before the lines are used.
TextArray FileLines(const char* name) {
  const Text text = CallText(cmd::ToText, {ByteSetArg(ReadBytes(name))});
  return CallTextArray(cmd::SplitText, {TextArg(text), TextArg("\r\n"), Omitted()});
}

std::string_view AsText(std::span<const uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// The file's whole content, or nothing when it is missing or could not be read whole.
std::optional<std::string> ReadWhole(const char* name, const FileStamp& stamp) {
  if (stamp.length < 0) return std::nullopt;
  ByteSet bytes = ReadBytes(name);
  if (static_cast<int64_t>(bytes.bytes().size()) != stamp.length) return std::nullopt;
  return std::string(AsText(bytes.bytes()));
}

// The whole list in one read: a method call per text made a save of 100,000 entries take
// forty times as long as writing its bytes.
void BuildTexts(Mirror& m, const ListView& list, uint32_t changeCount) {
  const ByteSet rows = list.RowTexts();
  ColumnLines(AsText(rows.bytes()), m.lines);
  m.builtAt = changeCount;
  m.built = true;
}

void Look(MirroredFile& file, const FileStamp& stamp) {
  file.stamp = stamp;
  file.content = ReadWhole(file.name, stamp);
}

void Look(MirroredFile& file) { Look(file, StampOf(file.name)); }

bool Replace(const std::string& source, const char* target) {
  return CallBool(cmd::ReplaceFileWith, {TextArg(source.c_str()), TextArg(target)});
}

void Remove(const std::string& name) { Call(cmd::RemoveFile, {TextArg(name.c_str())}); }

// The text goes as it is: no line holds a zero byte.
bool WriteFlushed(const std::string& name, const std::string& text) {
  return CallBool(cmd::WriteFileFlushed, {TextArg(name.c_str()), TextArg(text.c_str())});
}

// Brings the pair to one of the two states a save moves between; false when a left-over
// replacement could not be finished yet.
bool SettlePair() {
  const std::string timeTemporary = TemporaryName(kTimeFile), entryTemporary = TemporaryName(kEntryFile);
  switch (RecoveryFor(Exists(timeTemporary), Exists(entryTemporary))) {
    case PairRecovery::Nothing: return true;
    case PairRecovery::DiscardTimeTemporary: Remove(timeTemporary); return true;
    case PairRecovery::DiscardBoth:
      Remove(timeTemporary);
      Remove(entryTemporary);
      return true;
    case PairRecovery::FinishEntryReplacement: return Replace(entryTemporary, kEntryFile);
  }
  return false;
}

// Both temporary files are written whole before the first replacement; the time file is
// replaced before the entry file. A start that finds what a kill left behind settles it the
// same way as the next save does.
bool WritePair(const std::string& times, const std::string& entries) {
  if (!SettlePair()) return false;
  const std::string timeTemporary = TemporaryName(kTimeFile), entryTemporary = TemporaryName(kEntryFile);
  if (!WriteFlushed(timeTemporary, times) || !WriteFlushed(entryTemporary, entries)) {
    Remove(timeTemporary);
    Remove(entryTemporary);
    return false;
  }
  if (!Replace(timeTemporary, kTimeFile)) {
    Remove(timeTemporary);
    Remove(entryTemporary);
    return false;
  }
  // A failure here leaves the entry file's temporary for the next save (or start) to finish.
  return Replace(entryTemporary, kEntryFile);
}

std::string Quoted(std::string_view name) { return "“" + std::string(name) + "”"; }

// Copies a file that did not load exactly to the first free backup name; false when it could
// not be copied, in which case the file must not be replaced yet.
bool KeepBackup(Mirror& m, MirroredFile& file) {
  if (!file.backupPending) return true;
  if (file.stamp.length < 0) {  // deleted meanwhile: nothing left to keep
    file.backupPending = false;
    return true;
  }
  for (int n = 1; n < 10000; ++n) {
    const std::string backup = BackupName(file.name, n);
    if (Exists(backup)) continue;
    if (!CallBool(cmd::CopyToNewFile, {TextArg(file.name), TextArg(backup.c_str())})) return false;
    file.backupPending = false;
    m.notices.push_back("文件" + Quoted(file.name) + "没有能够完整、原样地读入（可能被其他程序占用、含有零字节或不是GBK编码）。" +
                        "为免丢失，原文件已保存为" + Quoted(backup) + "，在程序所在的文件夹中。");
    return true;
  }
  return false;
}

enum class SaveOutcome { Saved, NotKept, NotWritten };

SaveOutcome SaveNow(Mirror& m) {
  if (!KeepBackup(m, m.time) || !KeepBackup(m, m.entries)) return SaveOutcome::NotKept;
  if (!WritePair(m.LinesOf(m.time), m.LinesOf(m.entries))) return SaveOutcome::NotWritten;
  m.time.content = m.LinesOf(m.time);
  m.entries.content = m.LinesOf(m.entries);
  m.time.stamp = StampOf(kTimeFile);
  m.entries.stamp = StampOf(kEntryFile);
  return SaveOutcome::Saved;
}

void TellNotices(Mirror& m) {
  if (m.telling) return;
  m.telling = true;
  while (!m.notices.empty()) {
    const std::string notice = std::move(m.notices.front());
    m.notices.erase(m.notices.begin());
    ShowMessage(notice.c_str(), 0);
  }
  m.telling = false;
}

// Why saving has failed for a while: a file that could not be read is never replaced before its
// backup is made; otherwise writing failed.
std::string FailureNotice(const Mirror& m, SaveOutcome outcome) {
  if (outcome == SaveOutcome::NotKept) {
    const char* name = m.time.backupPending ? kTimeFile : kEntryFile;
    return "事件没有能够保存：文件" + Quoted(name) + "无法读取（可能被其他程序占用，或没有读取权限）。" +
           "为免丢失其中的内容，在为它留下备份之前不会覆盖它。程序会继续尝试保存。";
  }
  return "事件没有能够保存：写入" + Quoted(kEntryFile) + "或" + Quoted(kTimeFile) +
         "失败（文件夹可能是只读的，或磁盘已满）。程序会继续尝试保存。";
}

constexpr double kSecondsPerDay = 86400.0;

}  // namespace

void RecoverInterruptedSave() { SettlePair(); }

void LoadEntryFiles(const ListView& list) {
  const TextArray entries = FileLines(kEntryFile);
  for (double n = 1; n <= entries.Count(); ++n) {
    list.InsertItem(std::nullopt, entries.At(n));
  }
  const TextArray times = FileLines(kTimeFile);
  for (double n = 1; n <= times.Count(); ++n) {
    list.SetItemText(TruncateToInteger(n - 1.0), kTimeColumn, times.At(n));
  }
}

void LoadMainEntryFiles() {
  const ListView list(units::EntryList);
  Mirror& m = State();
  LoadEntryFiles(list);
  Look(m.time);
  Look(m.entries);
  m.known = true;
  m.unsettled = true;
  BuildTexts(m, list, list.ChangeCount());
  for (MirroredFile* file : {&m.time, &m.entries}) {
    const std::string& saved = m.LinesOf(*file);
    const bool unreadable = file->stamp.length >= 0 && !file->content;
    file->backupPending = unreadable || !LoadedExactly(file->content, saved);
  }
}

HandlerResult SaveEntryFiles(Args) {
  Mirror& m = State();
  const ListView list(units::EntryList);
  const uint32_t changeCount = list.ChangeCount();
  const FileStamp time = StampOf(kTimeFile), entries = StampOf(kEntryFile);
  const bool listChanged = !m.built || changeCount != m.builtAt;
  const bool filesChanged = !m.known || time != m.time.stamp || entries != m.entries.stamp;
  if (listChanged || filesChanged || m.unsettled) {
    if (filesChanged) {
      // The stamps just taken say what is read; a change after them shows on the next tick.
      Look(m.time, time);
      Look(m.entries, entries);
      m.known = true;
    }
    if (listChanged) BuildTexts(m, list, changeCount);
    m.unsettled = false;
    if (m.time.content != m.LinesOf(m.time) || m.entries.content != m.LinesOf(m.entries)) {
      const SaveOutcome outcome = SaveNow(m);
      const bool saved = outcome == SaveOutcome::Saved;
      // After a failure nothing on disk need change for the next tick to try again.
      m.unsettled = !saved;
      if (m.failure.Record(saved, Now() * kSecondsPerDay)) m.notices.push_back(FailureNotice(m, outcome));
    }
  }
  RefreshPinTip();
  TellNotices(m);
  return NoAnswer;
}

}  // namespace tl::app
