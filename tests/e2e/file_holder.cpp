// Another program holding a file open, as an editor, a backup tool or a virus scanner would:
// opens the file with the sharing asked for, optionally writes new text into it first, sets the
// event "<events>.held", and keeps the file open until the event "<events>.release" is set (or
// two minutes pass, so a test that died leaves nothing behind).
// Usage: file_holder <file> <none|read|readwrite|all> <events> [text to write, stored as GBK]
// Exit codes: 0 held and let go, 1 bad arguments, 2 the file could not be opened, 3 not written.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

namespace {

constexpr DWORD kLongestHoldMs = 120000;

DWORD SharingOf(const wchar_t* name) {
  if (std::wcscmp(name, L"none") == 0) return 0;
  if (std::wcscmp(name, L"read") == 0) return FILE_SHARE_READ;
  if (std::wcscmp(name, L"readwrite") == 0) return FILE_SHARE_READ | FILE_SHARE_WRITE;
  if (std::wcscmp(name, L"all") == 0) return FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  return ~DWORD{0};
}

std::string Gbk(const wchar_t* text) {
  const int length = static_cast<int>(std::wcslen(text));
  const int n = WideCharToMultiByte(936, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(936, 0, text, length, bytes.data(), n, nullptr, nullptr);
  return bytes;
}

// The text argument names line breaks as "\n" would be awkward on a command line: "|" stands
// for CR LF.
std::string WithLineBreaks(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '|' ? std::string("\r\n") : std::string(1, c);
  return out;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return 1;
  if (argc < 4 || argc > 5) return 1;
  const DWORD sharing = SharingOf(argv[2]);
  if (sharing == ~DWORD{0}) return 1;
  const bool writes = argc == 5;
  HANDLE file = CreateFileW(argv[1], GENERIC_READ | (writes ? GENERIC_WRITE : 0), sharing, nullptr,
                            writes ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  if (writes) {
    const std::string bytes = WithLineBreaks(Gbk(argv[4]));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size() || !SetEndOfFile(file) || !FlushFileBuffers(file)) {
      return 3;
    }
  }
  const std::wstring events = argv[3];
  HANDLE held = OpenEventW(EVENT_MODIFY_STATE, FALSE, (events + L".held").c_str());
  HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, (events + L".release").c_str());
  if (!held || !release) return 1;
  SetEvent(held);
  WaitForSingleObject(release, kLongestHoldMs);
  CloseHandle(file);
  return 0;
}
