#include "tests/win/dialog_finder.h"

#include "runtime/top_level_windows.h"

namespace tl::test {

HWND FindShownWindowOfClass(DWORD processId, const wchar_t* className) {
  for (HWND hwnd : TopLevelWindows()) {
    wchar_t cls[16];
    if (ProcessOfWindow(hwnd) == processId && IsWindowVisible(hwnd) && GetClassNameW(hwnd, cls, 16) &&
        lstrcmpW(cls, className) == 0) {
      return hwnd;
    }
  }
  return nullptr;
}

HWND FindDialog(DWORD processId) { return FindShownWindowOfClass(processId, L"#32770"); }

HWND WaitForDialog(DWORD processId, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND found = FindDialog(processId)) return found;
    if (GetTickCount() - start >= timeoutMs) return nullptr;
    Sleep(10);
  }
}

HWND WaitForOwnedDialog(HWND owner, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    for (HWND hwnd : TopLevelWindows()) {
      wchar_t cls[16];
      if (GetWindow(hwnd, GW_OWNER) == owner && IsWindowVisible(hwnd) && GetClassNameW(hwnd, cls, 16) &&
          lstrcmpW(cls, L"#32770") == 0) {
        return hwnd;
      }
    }
    if (GetTickCount() - start >= timeoutMs) return nullptr;
    Sleep(10);
  }
}

DialogDriver::DialogDriver(std::function<void(HWND)> answer)
    : thread_([answer = std::move(answer)] {
        if (HWND dialog = WaitForDialog(GetCurrentProcessId(), 2000)) answer(dialog);
      }) {}

}  // namespace tl::test
