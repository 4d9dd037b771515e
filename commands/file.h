// The file commands: whole-file reads and writes of byte sets, and the program's directory.
// Windows only; file names are GBK texts, widened at the call.
#pragma once

#include <string>
#include <string_view>

#include "runtime/command.h"

namespace tl::cmd {

// The name's bytes, or the empty byte set (null) when the file is missing, empty or unreadable.
ByteSetBlock ReadFile(std::string_view name);
// (name, byte sets...): creates or cuts the file and writes the byte sets one after another.
bool WriteFile(std::string_view name, MoreRecords byteSets);
std::string GetRunDirectory();

// WriteFile that reports success only once the bytes reached the disk (flushed before the file
// is closed); a text part is written without its end.
bool WriteFileFlushed(std::string_view name, MoreRecords parts);
// The source takes the target's place in one step; a crash leaves either the old or the new
// target.
bool ReplaceFileWith(std::string_view source, std::string_view target);
// Copies, but never over an existing target; true once the copy reached the disk, and a copy that
// fails leaves no target behind.
bool CopyToNewFile(std::string_view source, std::string_view target);
bool RemoveFile(std::string_view name);
// Whether the file could be replaced now: missing, or a plain file that is not read-only and
// that no other program holds without letting it be deleted.
bool CanReplace(std::string_view name);

// What a name is on disk, file or directory.
enum class NameKind : int32_t { Missing = -1, Unknown = -2, File = 0, ReadOnlyFile = 1, Folder = 2 };
int32_t KindOfName(std::string_view name);
// Why the last file command above that failed (a write, copy, replacement, removal or
// replaceability look) did not succeed.
enum class FileError : int32_t { Other = 0, DiskFull = 1, HeldByOther = 2, WriteProtected = 3, AccessDenied = 4 };
int32_t LastFileError();

// What tells, without reading it, that a file changed since it was last looked at. One look at
// the file gives both fields.
struct FileStamp {
  int64_t length = -1;  // -1: no such file; -2: the file could not be looked at
  int64_t time = -1;    // the last-write time in 100 ns steps; -1 and -2 as the length
  bool operator==(const FileStamp&) const = default;
  bool missing() const { return length == -1; }
  bool known() const { return length != -2; }
};
static_assert(sizeof(FileStamp) == 16, "the stamp travels as 16 bytes, each field low byte first");

// The byte length; -1 and -2 as FileStamp's.
int64_t FileLength(std::string_view name);
AsBytes<FileStamp> StampOfFile(std::string_view name);

// The executable's directory without a trailing backslash ("C:" for a program in a root).
const std::string& RunDirectory();

inline constexpr auto kReadFile = MakeCommand<ReadFile>("ReadFile");
inline constexpr auto kWriteFile = MakeCommand<WriteFile>("WriteFile");
inline constexpr auto kGetRunDirectory = MakeCommand<GetRunDirectory>("GetRunDirectory");
inline constexpr auto kWriteFileFlushed = MakeCommand<WriteFileFlushed>("WriteFileFlushed");
inline constexpr auto kReplaceFileWith = MakeCommand<ReplaceFileWith>("ReplaceFileWith");
inline constexpr auto kCopyToNewFile = MakeCommand<CopyToNewFile>("CopyToNewFile");
inline constexpr auto kRemoveFile = MakeCommand<RemoveFile>("RemoveFile");
inline constexpr auto kFileLength = MakeCommand<FileLength>("FileLength");
inline constexpr auto kFileStamp = MakeCommand<StampOfFile>("FileStamp");
inline constexpr auto kCanReplace = MakeCommand<CanReplace>("CanReplace");
inline constexpr auto kKindOfName = MakeCommand<KindOfName>("KindOfName");
inline constexpr auto kLastFileError = MakeCommand<LastFileError>("LastFileError");

}  // namespace tl::cmd
