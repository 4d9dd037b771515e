// The file commands that let a program replace a file without ever leaving it half written:
// a write that reaches the disk before it reports success, an atomic replacement, a copy that
// never overwrites, removal, and the length and time that tell a file was changed by others.
#include <windows.h>

#include "commands/file.h"
#include "runtime/gbk.h"

namespace tl::cmd {
namespace {

std::wstring WideName(const Args& a, size_t i) { return Widen(a.Text(i)); }

// Length and last-write time of an existing file; false for a missing one.
bool Attributes(const std::wstring& name, WIN32_FILE_ATTRIBUTE_DATA& data) {
  return !name.empty() && GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data) &&
         !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
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
  HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  bool ok = true;
  for (size_t i = 1; ok && i < a.size(); ++i) {
    const std::span<const uint8_t> bytes = ArgBytes(a, i);
    DWORD written = 0;
    ok = bytes.empty() || (::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                           written == bytes.size());
  }
  ok = ok && FlushFileBuffers(file);
  ok = CloseHandle(file) && ok;
  SetBool(result, ok);
}

void ReplaceFileWith(ArgRecord* result, int argc, ArgRecord* args) {
  const Args a(argc, args);
  const std::wstring source = WideName(a, 0), target = WideName(a, 1);
  SetBool(result, !source.empty() && !target.empty() &&
                      MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

void CopyToNewFile(ArgRecord* result, int argc, ArgRecord* args) {
  const Args a(argc, args);
  const std::wstring source = WideName(a, 0), target = WideName(a, 1);
  SetBool(result, !source.empty() && !target.empty() && CopyFileW(source.c_str(), target.c_str(), TRUE));
}

void RemoveFile(ArgRecord* result, int argc, ArgRecord* args) {
  const std::wstring name = WideName(Args(argc, args), 0);
  SetBool(result, !name.empty() && DeleteFileW(name.c_str()));
}

void FileLength(ArgRecord* result, int argc, ArgRecord* args) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!Attributes(WideName(Args(argc, args), 0), data)) return SetLong(result, -1);
  SetLong(result, static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow));
}

void FileStamp(ArgRecord* result, int argc, ArgRecord* args) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  uint64_t fields[2] = {~0ull, ~0ull};
  if (Attributes(WideName(Args(argc, args), 0), data)) {
    fields[0] = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    fields[1] = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  }
  uint8_t bytes[16];
  for (int i = 0; i < 16; ++i) bytes[i] = static_cast<uint8_t>(fields[i / 8] >> (8 * (i % 8)));
  SetByteSet(result, bytes);
}

}  // namespace tl::cmd
