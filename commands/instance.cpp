#include "commands/instance.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>

#include "commands/file.h"
#include "runtime/gbk.h"

namespace tl::cmd {
namespace {

std::wstring Folded(std::wstring text) {
  CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

// Object names are limited in length and cannot hold backslashes: the directory is hashed.
std::wstring ClaimName() {
  uint64_t hash = 14695981039346656037ull;
  for (wchar_t c : Folded(Widen(ProgramDirectory()))) {
    hash = (hash ^ static_cast<uint16_t>(c)) * 1099511628211ull;
  }
  wchar_t name[64];
  swprintf(name, 64, L"Local\\Tallyleaf-%016llx", static_cast<unsigned long long>(hash));
  return name;
}

std::wstring DirectoryOfProcess(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (!process) return {};
  wchar_t path[MAX_PATH * 4];
  DWORD length = MAX_PATH * 4;
  std::wstring directory;
  if (QueryFullProcessImageNameW(process, 0, path, &length)) {
    directory.assign(path, length);
    directory.erase(std::min(directory.size(), directory.rfind(L'\\')));
  }
  CloseHandle(process);
  return Folded(directory);
}

struct Search {
  std::wstring title;
  std::wstring directory;
  HWND found = nullptr;
};

BOOL CALLBACK Consider(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD processId = 0;
  GetWindowThreadProcessId(hwnd, &processId);
  if (processId == GetCurrentProcessId() || !IsWindowVisible(hwnd)) return TRUE;
  wchar_t title[256];
  const int length = GetWindowTextW(hwnd, title, 256);
  if (std::wstring_view(title, length > 0 ? length : 0) != search->title) return TRUE;
  if (DirectoryOfProcess(processId) != search->directory) return TRUE;
  search->found = hwnd;
  return FALSE;
}

}  // namespace

void ClaimRunDirectory(ArgRecord* result, int, ArgRecord*) {
  // The handle stays open on purpose: the claim ends with the process. A claim that cannot be
  // made at all does not keep the program from running.
  HANDLE claim = CreateMutexW(nullptr, FALSE, ClaimName().c_str());
  SetBool(result, !(claim && GetLastError() == ERROR_ALREADY_EXISTS));
}

void ShowRunningInstance(ArgRecord* result, int argc, ArgRecord* args) {
  Search search{Widen(Args(argc, args).Text(0)), Folded(Widen(ProgramDirectory()))};
  EnumWindows(Consider, reinterpret_cast<LPARAM>(&search));
  if (search.found) {
    if (IsIconic(search.found)) ShowWindow(search.found, SW_RESTORE);
    SetForegroundWindow(search.found);
  }
  SetBool(result, search.found != nullptr);
}

}  // namespace tl::cmd
