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

std::wstring WideName(const Args& a, size_t i) { return Widen(a.Text(i)); }

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
std::span<const uint8_t> ArgBytes(const Args& a, size_t i) {
  if (a[i].type == DataType::ByteSet) return ByteSetView(ArgPointer(a[i]));
  const std::string_view text = a.Text(i);
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

void SetLong(ArgRecord* result, int64_t value) {
  const auto bits = static_cast<uint64_t>(value);
  *result = {static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32), DataType::Long};
}

}  // namespace

void WriteFileFlushed(ArgRecord* result, int argc, ArgRecord* args) {
  SetBool(result, false);
  const Args a(argc, args);
  const std::wstring name = WideName(a, 0);
  if (name.empty()) return;
  OpenFile file(name.c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS);
  if (!file.valid()) return;
  bool ok = true;
  for (size_t i = 1; ok && i < a.size(); ++i) ok = WriteAll(file.get(), ArgBytes(a, i));
  ok = ok && Files().flush(file.get());
  ok = file.Close() && ok;
  SetBool(result, ok);
}

void ReplaceFileWith(ArgRecord* result, int argc, ArgRecord* args) {
  const Args a(argc, args);
  const std::wstring source = WideName(a, 0), target = WideName(a, 1);
  SetBool(result, !source.empty() && !target.empty() && Files().replace(source.c_str(), target.c_str()));
}

void CopyToNewFile(ArgRecord* result, int argc, ArgRecord* args) {
  SetBool(result, false);
  const Args a(argc, args);
  const std::wstring source = WideName(a, 0), target = WideName(a, 1);
  if (source.empty() || target.empty()) return;
  OpenFile from(source.c_str(), GENERIC_READ, kShareAll, OPEN_EXISTING);
  if (!from.valid()) return;
  OpenFile to(target.c_str(), GENERIC_WRITE, 0, CREATE_NEW);
  if (!to.valid()) return;
  const bool copied = CopyInto(from.get(), to.get());
  if (to.Close() && copied) return SetBool(result, true);
  // A copy cut short is no backup: it goes, so that nobody takes it for one.
  Files().remove(target.c_str());
}

void RemoveFile(ArgRecord* result, int argc, ArgRecord* args) {
  const std::wstring name = WideName(Args(argc, args), 0);
  SetBool(result, !name.empty() && Files().remove(name.c_str()));
}

void FileLength(ArgRecord* result, int argc, ArgRecord* args) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  switch (Attributes(WideName(Args(argc, args), 0), data)) {
    case Look::Missing: return SetLong(result, kMissing);
    case Look::Failed: return SetLong(result, kNotLooked);
    case Look::Found: break;
  }
  SetLong(result, static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow));
}

void FileStamp(ArgRecord* result, int argc, ArgRecord* args) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  uint64_t fields[2] = {~0ull, ~0ull};
  const Look look = Attributes(WideName(Args(argc, args), 0), data);
  if (look == Look::Failed) fields[0] = fields[1] = static_cast<uint64_t>(kNotLooked);
  if (look == Look::Found) {
    fields[0] = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    fields[1] = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  }
  uint8_t bytes[16];
  for (int i = 0; i < 16; ++i) bytes[i] = static_cast<uint8_t>(fields[i / 8] >> (8 * (i % 8)));
  SetByteSet(result, bytes);
}

}  // namespace tl::cmd
