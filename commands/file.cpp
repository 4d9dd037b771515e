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

ByteSetBlock ReadFile(std::string_view name) {
  if (name.empty()) return {};
  OpenFile file(Widen(name).c_str(), GENERIC_READ, kShareAll, OPEN_EXISTING);
  if (!file.valid()) return {};
  LARGE_INTEGER size{};
  if (!Files().size(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > kMaxFileBytes) return {};

  const auto length = static_cast<DWORD>(size.QuadPart);
  // A file larger than the memory the process can still get is a failed read, not a reason to
  // end the program.
  auto* block = static_cast<uint8_t*>(TryAllocate(static_cast<uint32_t>(sizeof(ByteSetHeader) + length)));
  if (!block) return {};
  DWORD read = 0;
  if (!Files().read(file.get(), block + sizeof(ByteSetHeader), length, &read) || read == 0) {
    Free(block);
    return {};
  }
  const ByteSetHeader header{1, static_cast<int32_t>(read)};
  std::memcpy(block, &header, sizeof header);
  return {block};
}

bool WriteFile(std::string_view name, MoreRecords byteSets) {
  if (name.empty()) return false;
  // Created or cut to length 0, and nobody else may open it while it is written.
  OpenFile file(Widen(name).c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS);
  if (!file.valid()) return false;
  for (const ArgRecord& byteSet : byteSets) {
    const std::span<const uint8_t> bytes = Codec<Bytes>::Decode(byteSet);
    if (bytes.empty()) continue;
    DWORD written = 0;
    if (!Files().write(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written) ||
        written != bytes.size()) {
      return false;
    }
  }
  return file.Close();
}

const std::string& RunDirectory() {
  static const std::string directory = [] {
    std::wstring withSlash = tl::ProgramDirectory();
    if (!withSlash.empty()) withSlash.pop_back();
    return Narrow(withSlash);
  }();
  return directory;
}

std::string GetRunDirectory() { return RunDirectory(); }

}  // namespace tl::cmd
