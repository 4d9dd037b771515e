#include "commands/file.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "runtime/gbk.h"
#include "runtime/memory.h"
#include "runtime/program_path.h"

namespace tl::cmd {
namespace {

class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : h_(h) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() {
    if (valid()) CloseHandle(h_);
  }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  // Closing can report a late write error; the caller learns of it.
  bool Close() {
    const bool ok = CloseHandle(h_) != 0;
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

// Byte sets beyond this are refused rather than risk a length that does not fit the header.
constexpr LONGLONG kMaxFileBytes = 0x7FFFFFF0;

}  // namespace

void ReadFile(ArgRecord* result, int argc, ArgRecord* args) {
  *result = PointerArg(nullptr, DataType::ByteSet);
  const std::string_view name = Args(argc, args).Text(0);
  if (name.empty()) return;
  // Other readers may share the file; writers are kept out while it is read.
  FileHandle file(CreateFileW(Widen(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > kMaxFileBytes) return;

  const auto length = static_cast<DWORD>(size.QuadPart);
  // A file larger than the memory the process can still get is a failed read, not a reason to
  // end the program.
  auto* block = static_cast<uint8_t*>(TryAllocate(static_cast<uint32_t>(sizeof(ByteSetHeader) + length)));
  if (!block) return;
  DWORD read = 0;
  if (!::ReadFile(file.get(), block + sizeof(ByteSetHeader), length, &read, nullptr) || read == 0) {
    Free(block);
    return;
  }
  const ByteSetHeader header{1, static_cast<int32_t>(read)};
  std::memcpy(block, &header, sizeof header);
  *result = PointerArg(block, DataType::ByteSet);
}

void WriteFile(ArgRecord* result, int argc, ArgRecord* args) {
  SetBool(result, false);
  const Args a(argc, args);
  const std::string_view name = a.Text(0);
  if (name.empty()) return;
  // Created or cut to length 0, and nobody else may open it while it is written.
  FileHandle file(CreateFileW(Widen(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return;
  for (size_t i = 1; i < a.size(); ++i) {
    if (a[i].type != DataType::ByteSet) continue;
    const std::span<const uint8_t> bytes = ByteSetView(ArgPointer(a[i]));
    if (bytes.empty()) continue;
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
      return;
    }
  }
  SetBool(result, file.Close());
}

const std::string& ProgramDirectory() {
  static const std::string directory = [] {
    std::wstring withSlash = tl::ProgramDirectory();
    if (!withSlash.empty()) withSlash.pop_back();
    return Narrow(withSlash);
  }();
  return directory;
}

void GetRunDirectory(ArgRecord* result, int, ArgRecord*) { SetText(result, ProgramDirectory()); }

}  // namespace tl::cmd
