#include "commands/file.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "commands/file_system.h"
#include "runtime/gbk.h"
#include "runtime/memory.h"
#include "runtime/program_path.h"

namespace tl::cmd {
namespace {

// Byte sets beyond this are refused rather than risk a length that does not fit the header.
constexpr LONGLONG kMaxFileBytes = 0x7FFFFFF0;

}  // namespace

void ReadFile(ArgRecord* result, int argc, ArgRecord* args) {
  *result = PointerArg(nullptr, DataType::ByteSet);
  const std::string_view name = Args(argc, args).Text(0);
  if (name.empty()) return;
  OpenFile file(Widen(name).c_str(), GENERIC_READ, kShareAll, OPEN_EXISTING);
  if (!file.valid()) return;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > kMaxFileBytes) return;

  const auto length = static_cast<DWORD>(size.QuadPart);
  // A file larger than the memory the process can still get is a failed read, not a reason to
  // end the program.
  auto* block = static_cast<uint8_t*>(TryAllocate(static_cast<uint32_t>(sizeof(ByteSetHeader) + length)));
  if (!block) return;
  DWORD read = 0;
  if (!Files().read(file.get(), block + sizeof(ByteSetHeader), length, &read) || read == 0) {
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
  OpenFile file(Widen(name).c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS);
  if (!file.valid()) return;
  for (size_t i = 1; i < a.size(); ++i) {
    if (a[i].type != DataType::ByteSet) continue;
    const std::span<const uint8_t> bytes = ByteSetView(ArgPointer(a[i]));
    if (bytes.empty()) continue;
    DWORD written = 0;
    if (!Files().write(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written) ||
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
