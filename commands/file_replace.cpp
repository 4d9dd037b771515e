// The file commands that let a program replace a file without ever leaving it half written:
// a write that reaches the disk before it reports success, an atomic replacement, a copy that
// never overwrites and reaches the disk before it reports success, removal, and the length and
// time that tell a file was changed by others.
#include <windows.h>

#include <vector>

#include "commands/file.h"
#include "commands/file_system.h"
#include "runtime/gbk.h"

namespace tl::cmd {
namespace {

enum class Look { Found, Missing, Failed };

// The error of the last file command that failed.
DWORD lastError = ERROR_SUCCESS;

bool Failed() {
  lastError = GetLastError();
  return false;
}

// Whether a name another look called missing really is: an open that needs no access finds a
// file or directory that is there. A look is not trusted to say "not found" on its own, for
// what it says missing is written over without a backup.
bool ConfirmedMissing(const std::wstring& name) {
  OpenFile file(name.c_str(), 0, kShareAll, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
  if (file.valid()) return false;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Length, attributes and last-write time of a name. A name that is not there is missing; any
// other failure says nothing about it.
Look LookAt(const std::wstring& name, WIN32_FILE_ATTRIBUTE_DATA& data) {
  if (name.empty()) return Look::Missing;
  if (Files().attributes(name.c_str(), &data)) return Look::Found;
  if (GetLastError() != ERROR_FILE_NOT_FOUND) return Look::Failed;
  return ConfirmedMissing(name) ? Look::Missing : Look::Failed;
}

// The same for a file: a directory of that name is no file, and is missing.
Look Attributes(const std::wstring& name, WIN32_FILE_ATTRIBUTE_DATA& data) {
  const Look look = LookAt(name, data);
  return look == Look::Found && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? Look::Missing : look;
}

constexpr int64_t kMissing = -1, kNotLooked = -2;

bool WriteAll(HANDLE file, std::span<const uint8_t> bytes) {
  DWORD written = 0;
  return bytes.empty() ||
         (Files().write(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written) && written == bytes.size());
}

// Copies an open file into a new one in pieces, so that a file too large to load can still be
// kept; true only once the copy reached the disk.
bool CopyInto(HANDLE source, HANDLE target) {
  static constexpr DWORD kPiece = 1 << 16;
  std::vector<uint8_t> piece(kPiece);
  for (;;) {
    DWORD read = 0;
    if (!Files().read(source, piece.data(), kPiece, &read)) return false;
    if (read == 0) return Files().flush(target) != 0;
    if (!WriteAll(target, {piece.data(), read})) return false;
  }
}

// A byte set's bytes, or a text's without its end; nothing for other values.
std::span<const uint8_t> PartBytes(const ArgRecord& part) {
  if (part.type == DataType::ByteSet) return Codec<Bytes>::Decode(part);
  const std::string_view text = Codec<std::string_view>::Decode(part);
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

}  // namespace

bool WriteFileFlushed(std::string_view name, MoreRecords parts) {
  const std::wstring wide = Widen(name);
  if (wide.empty()) return false;
  OpenFile file(wide.c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS);
  if (!file.valid()) return Failed();
  bool ok = true;
  for (size_t i = 0; ok && i < parts.size(); ++i) ok = WriteAll(file.get(), PartBytes(parts[i]));
  ok = ok && Files().flush(file.get());
  if (!ok) Failed();
  return (file.Close() || Failed()) && ok;
}

bool ReplaceFileWith(std::string_view sourceName, std::string_view targetName) {
  const std::wstring source = Widen(sourceName), target = Widen(targetName);
  return !source.empty() && !target.empty() && (Files().replace(source.c_str(), target.c_str()) || Failed());
}

bool CopyToNewFile(std::string_view sourceName, std::string_view targetName) {
  const std::wstring source = Widen(sourceName), target = Widen(targetName);
  if (source.empty() || target.empty()) return false;
  OpenFile from(source.c_str(), GENERIC_READ, kShareAll, OPEN_EXISTING);
  if (!from.valid()) return Failed();
  OpenFile to(target.c_str(), GENERIC_WRITE, 0, CREATE_NEW);
  if (!to.valid()) return Failed();
  const bool copied = CopyInto(from.get(), to.get()) || Failed();
  if ((to.Close() || Failed()) && copied) return true;
  // A copy cut short is no backup: it goes, so that nobody takes it for one.
  Files().remove(target.c_str());
  return false;
}

bool RemoveFile(std::string_view name) {
  const std::wstring wide = Widen(name);
  return !wide.empty() && (Files().remove(wide.c_str()) || Failed());
}

bool CanReplace(std::string_view name) {
  const std::wstring wide = Widen(name);
  WIN32_FILE_ATTRIBUTE_DATA data;
  switch (LookAt(wide, data)) {
    case Look::Missing: return true;
    case Look::Failed: return Failed();
    case Look::Found: break;
  }
  if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return Failed();
  }
  // Asks for no more than a replacement does: the right to delete, sharing everything.
  OpenFile file(wide.c_str(), DELETE, kShareAll, OPEN_EXISTING);
  return file.valid() || Failed();
}

int32_t KindOfName(std::string_view name) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  switch (LookAt(Widen(name), data)) {
    case Look::Missing: return static_cast<int32_t>(NameKind::Missing);
    case Look::Failed: return static_cast<int32_t>(NameKind::Unknown);
    case Look::Found: break;
  }
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return static_cast<int32_t>(NameKind::Folder);
  return static_cast<int32_t>(data.dwFileAttributes & FILE_ATTRIBUTE_READONLY ? NameKind::ReadOnlyFile : NameKind::File);
}

int32_t LastFileError() {
  switch (lastError) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return static_cast<int32_t>(FileError::DiskFull);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return static_cast<int32_t>(FileError::HeldByOther);
    case ERROR_WRITE_PROTECT: return static_cast<int32_t>(FileError::WriteProtected);
    case ERROR_ACCESS_DENIED: return static_cast<int32_t>(FileError::AccessDenied);
    default: return static_cast<int32_t>(FileError::Other);
  }
}

int64_t FileLength(std::string_view name) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  switch (Attributes(Widen(name), data)) {
    case Look::Missing: return kMissing;
    case Look::Failed: return kNotLooked;
    case Look::Found: break;
  }
  return static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

AsBytes<FileStamp> StampOfFile(std::string_view name) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  switch (Attributes(Widen(name), data)) {
    case Look::Missing: return {{kMissing, kMissing}};
    case Look::Failed: return {{kNotLooked, kNotLooked}};
    case Look::Found: break;
  }
  const uint64_t length = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  const uint64_t time = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  return {{static_cast<int64_t>(length), static_cast<int64_t>(time)}};
}

}  // namespace tl::cmd
