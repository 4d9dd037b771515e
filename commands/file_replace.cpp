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

// Length and last-write time of an existing file. A name that is not there, or is a directory,
// is missing; any other failure says nothing about the file.
Look Attributes(const std::wstring& name, WIN32_FILE_ATTRIBUTE_DATA& data) {
  if (name.empty()) return Look::Missing;
  if (!Files().attributes(name.c_str(), &data)) {
    return GetLastError() == ERROR_FILE_NOT_FOUND ? Look::Missing : Look::Failed;
  }
  return data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? Look::Missing : Look::Found;
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
  if (!file.valid()) return false;
  bool ok = true;
  for (size_t i = 0; ok && i < parts.size(); ++i) ok = WriteAll(file.get(), PartBytes(parts[i]));
  ok = ok && Files().flush(file.get());
  return file.Close() && ok;
}

bool ReplaceFileWith(std::string_view sourceName, std::string_view targetName) {
  const std::wstring source = Widen(sourceName), target = Widen(targetName);
  return !source.empty() && !target.empty() && Files().replace(source.c_str(), target.c_str());
}

bool CopyToNewFile(std::string_view sourceName, std::string_view targetName) {
  const std::wstring source = Widen(sourceName), target = Widen(targetName);
  if (source.empty() || target.empty()) return false;
  OpenFile from(source.c_str(), GENERIC_READ, kShareAll, OPEN_EXISTING);
  if (!from.valid()) return false;
  OpenFile to(target.c_str(), GENERIC_WRITE, 0, CREATE_NEW);
  if (!to.valid()) return false;
  const bool copied = CopyInto(from.get(), to.get());
  if (to.Close() && copied) return true;
  // A copy cut short is no backup: it goes, so that nobody takes it for one.
  Files().remove(target.c_str());
  return false;
}

bool RemoveFile(std::string_view name) {
  const std::wstring wide = Widen(name);
  return !wide.empty() && Files().remove(wide.c_str());
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
