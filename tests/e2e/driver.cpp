#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tl::e2e {
namespace fs = std::filesystem;

namespace {

struct WindowSearch {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectVisible(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<WindowSearch*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == search->processId && IsWindowVisible(hwnd)) search->found.push_back(hwnd);
  return TRUE;
}

}  // namespace

RunningProgram::RunningProgram() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  fs::path dir = fs::path(temp) / (L"tallyleaf-e2e-" + std::to_wstring(GetCurrentProcessId()) +
                                   L"-" + std::to_wstring(GetTickCount()));
  fs::create_directories(dir);
  directory_ = dir.wstring();
  fs::path exe = dir / L"tallyleaf.exe";
  fs::copy_file(TALLYLEAF_EXE, exe, fs::copy_options::overwrite_existing);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring command = L"\"" + exe.wstring() + L"\"";
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      directory_.c_str(), &startup, &process_)) {
    ADD_FAILURE() << "could not start tallyleaf.exe: error " << GetLastError();
  }
}

RunningProgram::~RunningProgram() {
  if (process_.hProcess) {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.hProcess, 1);
      WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  std::error_code ignored;
  fs::remove_all(directory_, ignored);
}

std::vector<HWND> RunningProgram::VisibleTopLevelWindows() const {
  WindowSearch search{process_.dwProcessId, {}};
  EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND RunningProgram::WaitForWindow(const std::wstring& title, DWORD timeoutMs) const {
  const DWORD start = GetTickCount();
  do {
    for (HWND hwnd : VisibleTopLevelWindows()) {
      if (WindowTitle(hwnd) == title) return hwnd;
    }
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

DWORD RunningProgram::WaitForExit(DWORD timeoutMs) const {
  WaitForSingleObject(process_.hProcess, timeoutMs);
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

std::wstring WindowTitle(HWND hwnd) {
  wchar_t buffer[256];
  int length = GetWindowTextW(hwnd, buffer, 256);
  return std::wstring(buffer, length > 0 ? length : 0);
}

}  // namespace tl::e2e
