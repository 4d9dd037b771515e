#include "commands/instance.h"

#include <windows.h>

#include <optional>
#include <string>

#include "runtime/gbk.h"
#include "runtime/program_path.h"
#include "runtime/top_level_windows.h"

namespace tl::cmd {
namespace {

// The file that marks a directory as taken. Its content does not matter; the open handle does.
constexpr wchar_t kLockFileName[] = L"tallyleaf.lock";
// A running copy that does not answer this soon is brought forward all the same.
constexpr UINT kBringIntoReachWaitMs = 2000;

// Open for the life of the process and never closed: the system lets go of it when the process
// ends, however it ends, so a crash never leaves the directory claimed.
HANDLE g_claim = INVALID_HANDLE_VALUE;

std::wstring LockFileIn(const std::wstring& directoryWithSlash) { return directoryWithSlash + kLockFileName; }

// What makes a file the same file whatever path reaches it: an 8.3 name, a symbolic link or
// junction, another drive letter or a network path all lead to one volume and one file index.
struct FileIdentity {
  DWORD volume = 0, high = 0, low = 0;
  bool operator==(const FileIdentity&) const = default;
};

// Opens with no data access, which no sharing mode refuses: the identity of the lock file can be
// read while the running copy holds it exclusively.
std::optional<FileIdentity> IdentityOf(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = GetFileInformationByHandle(file, &info);
  CloseHandle(file);
  if (!known) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

// The directory of another process's executable, with the trailing backslash, as that process
// named it when it started.
std::wstring DirectoryOfProcess(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (!process) return {};
  wchar_t path[MAX_PATH * 4];
  DWORD length = MAX_PATH * 4;
  std::wstring directory;
  if (QueryFullProcessImageNameW(process, 0, path, &length)) {
    directory.assign(path, length);
    const size_t slash = directory.find_last_of(L"\\/");
    directory.erase(slash == std::wstring::npos ? 0 : slash + 1);
  }
  CloseHandle(process);
  return directory;
}

// A window of the running copy: visible, of the title, in another process whose directory's lock
// file is this directory's lock file.
bool IsRunningCopy(HWND hwnd, std::wstring_view title, const FileIdentity& lock) {
  const DWORD processId = ProcessOfWindow(hwnd);
  if (processId == GetCurrentProcessId() || !IsWindowVisible(hwnd)) return false;
  wchar_t text[256];
  const int length = GetWindowTextW(hwnd, text, 256);
  if (std::wstring_view(text, length > 0 ? length : 0) != title) return false;
  const std::wstring directory = DirectoryOfProcess(processId);
  return !directory.empty() && IdentityOf(LockFileIn(directory)) == lock;
}

}  // namespace

bool ClaimRunDirectory() {
  if (g_claim != INVALID_HANDLE_VALUE) return true;
  // No sharing at all: while this handle is open no other open of the file succeeds, by any path
  // that reaches it. The file is left in place at the end on purpose; deleting it on close would
  // leave a moment in which the next opener is refused with "access denied" instead of a sharing
  // violation, and would run as a second writer.
  g_claim = CreateFileW(LockFileIn(tl::ProgramDirectory()).c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS,
                        FILE_ATTRIBUTE_HIDDEN, nullptr);
  const DWORD error = g_claim == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
  // Only a sharing violation says that another copy runs here. Any other failure (a read-only
  // folder or medium, no right to create the file) leaves the directory unclaimed and the program
  // running: it still shows the entries, and a save that cannot write reports its own failure.
  return error != ERROR_SHARING_VIOLATION;
}

bool ShowRunningInstance(std::string_view windowTitle) {
  const std::optional<FileIdentity> lock = IdentityOf(LockFileIn(tl::ProgramDirectory()));
  if (!lock) return false;
  const std::wstring title = Widen(windowTitle);
  for (HWND hwnd : TopLevelWindows()) {
    if (!IsRunningCopy(hwnd, title, *lock)) continue;
    if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
    // Answered before the window comes forward, so that it comes forward where it can be seen.
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(hwnd, BringIntoReachMessage(), 0, 0, SMTO_ABORTIFHUNG, kBringIntoReachWaitMs, &answer);
    SetForegroundWindow(hwnd);
    return true;
  }
  return false;
}

}  // namespace tl::cmd
