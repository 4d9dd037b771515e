#include "tests/win/dialog_finder.h"

namespace tl::test {
namespace {

struct DialogSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindDialogOf(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<DialogSearch*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t cls[16];
  if (pid == search->processId && IsWindowVisible(hwnd) && GetClassNameW(hwnd, cls, 16) &&
      lstrcmpW(cls, L"#32770") == 0) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND FindDialog(DWORD processId) {
  DialogSearch search{processId, nullptr};
  EnumWindows(FindDialogOf, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForDialog(DWORD processId, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND found = FindDialog(processId)) return found;
    if (GetTickCount() - start >= timeoutMs) return nullptr;
    Sleep(10);
  }
}

}  // namespace tl::test
