#include "commands/instance.h"

#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>

#include "commands/file_system.h"
#include "runtime/gbk.h"
#include "runtime/program_path.h"
#include "runtime/top_level_windows.h"

namespace tl::cmd {
namespace {

// The file that marks a directory as taken. Its content does not matter; the open handle does.
constexpr wchar_t kLockFileName[] = L"tallyleaf.lock";
// A running copy that does not answer this soon is brought forward all the same.
constexpr UINT kBringIntoReachWaitMs = 2000;

std::wstring LockFileIn(const std::wstring& directoryWithSlash) { return directoryWithSlash + kLockFileName; }

// What makes a file the same file whatever path reaches it: an 8.3 name, a symbolic link or
// junction, another drive letter or a network path all lead to one volume and one file index.
struct FileIdentity {
  DWORD volume = 0, high = 0, low = 0;
  bool operator==(const FileIdentity&) const = default;
};

// Opens with no data access, which no sharing mode refuses: the identity of the lock file can be
// read while the running copy holds it exclusively. A directory opens as well.
std::optional<FileIdentity> IdentityOf(const std::wstring& path) {
  OpenFile file(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
  if (!file.valid()) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!Files().identify(file.get(), &info)) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

// What tells two copies' directories apart: the lock file's identity, or the directory's own
// where there is no lock file.
std::optional<FileIdentity> DirectoryKey(const std::wstring& directoryWithSlash) {
  if (std::optional<FileIdentity> lock = IdentityOf(LockFileIn(directoryWithSlash))) return lock;
  return IdentityOf(directoryWithSlash);
}

// The session-wide name of a directory's claim, made of its identity, not of a path.
std::wstring ClaimName(const FileIdentity& directory) {
  wchar_t name[64];
  std::swprintf(name, 64, L"Local\\Tallyleaf.%08lX.%08lX.%08lX", directory.volume, directory.high, directory.low);
  return name;
}

// Another copy holds the lock file for as long as it runs; a virus scanner or a backup program
// that opened it lets go within moments. A sharing violation is believed only once it lasts.
constexpr int kLockAttempts = 5;
constexpr DWORD kLockRetryMs = 100;

OpenFile OpenLockFile(const std::wstring& directoryWithSlash) {
  for (int attempt = 1;; ++attempt) {
    OpenFile lock(LockFileIn(directoryWithSlash).c_str(), GENERIC_READ, 0, OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN);
    if (lock.valid() || GetLastError() != ERROR_SHARING_VIOLATION || attempt == kLockAttempts) return lock;
    Sleep(kLockRetryMs);
  }
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
  return !directory.empty() && DirectoryKey(directory) == lock;
}

}  // namespace

DirectoryClaim ClaimDirectory(const std::wstring& directoryWithSlash) {
  DirectoryClaim claim;
  // The entry files' names resolve against the current directory: unless it is the program's,
  // the claim would cover other files than the program writes.
  if (directoryWithSlash.empty() || !Files().setDirectory(directoryWithSlash.c_str())) return claim;
  // No sharing at all: while this handle is open no other open of the file succeeds, by any path
  // that reaches it. The file is left in place at the end on purpose; deleting it on close would
  // leave a moment in which the next opener is refused with "access denied" instead of a sharing
  // violation, and would run as a second writer.
  OpenFile lock = OpenLockFile(directoryWithSlash);
  if (!lock.valid() && GetLastError() == ERROR_SHARING_VIOLATION) {
    claim.claim = Claim::Taken;
    return claim;
  }
  // The directory is also claimed by its identity, for the copy that cannot make the lock file
  // (a read-only folder, a folder in its place, no right to create it).
  const std::optional<FileIdentity> identity = IdentityOf(directoryWithSlash);
  const HANDLE named = identity ? Files().nameObject(ClaimName(*identity).c_str()) : nullptr;
  if (named && GetLastError() == ERROR_ALREADY_EXISTS) {
    Files().close(named);
    claim.claim = Claim::Taken;
    return claim;
  }
  if (!lock.valid() && !named) return claim;
  claim.claim = Claim::Claimed;
  claim.lock = lock.Release();
  claim.named = named;
  return claim;
}

int32_t ClaimRunDirectory() {
  // Open for the life of the process and never closed: the system lets go of them when the
  // process ends, however it ends, so a crash never leaves the directory claimed.
  static DirectoryClaim kept;
  if (kept.claim != Claim::Claimed) kept = ClaimDirectory(tl::ProgramDirectory());
  return static_cast<int32_t>(kept.claim);
}

bool ShowRunningInstance(std::string_view windowTitle) {
  const std::optional<FileIdentity> lock = DirectoryKey(tl::ProgramDirectory());
  if (!lock) return false;
  const std::wstring title = Widen(windowTitle);
  for (HWND hwnd : TopLevelWindows()) {
    if (!IsRunningCopy(hwnd, title, *lock)) continue;
    if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
    // Answered before the window comes forward, so that it comes forward where it can be seen;
    // the running copy may bring itself forward while it answers.
    DWORD processId = 0;
    GetWindowThreadProcessId(hwnd, &processId);
    AllowSetForegroundWindow(processId);
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(hwnd, BringIntoReachMessage(), 0, 0, SMTO_ABORTIFHUNG, kBringIntoReachWaitMs, &answer);
    SetForegroundWindow(hwnd);
    return true;
  }
  return false;
}

}  // namespace tl::cmd
