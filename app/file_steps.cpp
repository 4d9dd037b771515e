#include "app/file_steps.h"

#include "app/command_calls.h"
#include "app/entry_text.h"

namespace tl::app {
namespace {

// The backup file written longest ago; nothing when no backup file can be looked at.
std::optional<std::string> OldestBackup(const char* name) {
  std::optional<std::string> oldest;
  int64_t oldestTime = 0;
  for (int n = 1; n <= kLastBackup; ++n) {
    std::string backup = BackupName(name, n);
    const FileStamp stamp = StampOf(backup);
    if (stamp.missing() || !stamp.known() || (oldest && stamp.time >= oldestTime)) continue;
    oldestTime = stamp.time;
    oldest = std::move(backup);
  }
  return oldest;
}

}  // namespace

Presence PresenceOf(const std::string& name) {
  const int64_t length = Call(cmd::kFileLength, name);
  return length == -1 ? Presence::Missing : length == -2 ? Presence::Unknown : Presence::Present;
}

FileStamp StampOf(const std::string& name) { return Call(cmd::kFileStamp, name); }

cmd::NameKind KindOf(const std::string& name) { return static_cast<cmd::NameKind>(Call(cmd::kKindOfName, name)); }

OwnedByteSet ReadBytes(const char* name) { return Call(cmd::kReadFile, name); }

std::optional<OwnedByteSet> ReadWhole(const std::string& name, int64_t largest) {
  const FileStamp stamp = StampOf(name);
  if (stamp.length < 0 || stamp.length > largest) return std::nullopt;
  OwnedByteSet bytes = ReadBytes(name.c_str());
  if (static_cast<int64_t>(bytes.bytes().size()) != stamp.length || StampOf(name) != stamp) return std::nullopt;
  return bytes;
}

bool WriteFlushed(const std::string& name, const std::string& text) {
  return Call(cmd::kWriteFileFlushed, name, {Encode<std::string_view>(text)});
}

bool Replace(const std::string& source, const char* target) {
  return Call(cmd::kReplaceFileWith, source, target);
}

bool Remove(const std::string& name) {
  return Call(cmd::kRemoveFile, name) || PresenceOf(name) == Presence::Missing;
}

std::optional<std::pair<std::string, bool>> CopyToBackup(const std::string& from, const char* name) {
  for (int n = 1; n <= kLastBackup; ++n) {
    std::string backup = BackupName(name, n);
    const cmd::NameKind kind = KindOf(backup);
    if (kind == cmd::NameKind::Unknown) return std::nullopt;
    if (kind != cmd::NameKind::Missing) continue;
    if (Call(cmd::kCopyToNewFile, from, backup)) return std::pair{std::move(backup), false};
    // Taken meanwhile by another program: the next number. Otherwise the copy failed.
    if (KindOf(backup) == cmd::NameKind::Missing) return std::nullopt;
  }
  std::optional<std::string> oldest = OldestBackup(name);
  if (!oldest) return std::nullopt;
  const std::string copy = TemporaryName(*oldest);
  if (!Remove(copy) || !Call(cmd::kCopyToNewFile, from, copy) || !Replace(copy, oldest->c_str())) {
    Remove(copy);
    return std::nullopt;
  }
  return std::pair{std::move(*oldest), true};
}

std::string Quoted(std::string_view name) { return "“" + std::string(name) + "”"; }

std::string KeptNotice(std::string_view why, const char* name, const std::string& backup) {
  return "文件" + Quoted(name) + std::string(why) + "为免丢失，原文件已保存为" + Quoted(backup) +
         "，在程序所在的文件夹中。";
}

std::string OldestBackupNotice(const std::string& backup) {
  return "备份的编号已经用到" + std::to_string(kLastBackup) + "，所以最早的备份" + Quoted(backup) +
         "被覆盖了。请把不再需要的备份删掉或移走。";
}

}  // namespace tl::app
