// Finds the dialogs a process shows: its message boxes and input boxes are "#32770" windows, its
// popup menus "#32768" windows.
#pragma once

#include <windows.h>

#include <functional>
#include <thread>

namespace tl::test {

// The first visible top-level window of the class that the process made, or null.
HWND FindShownWindowOfClass(DWORD processId, const wchar_t* className);
// The first visible dialog of the process, or null.
HWND FindDialog(DWORD processId);
// The first visible dialog of the process once one shows, or null after the timeout.
HWND WaitForDialog(DWORD processId, DWORD timeoutMs);
// The first visible dialog owned by the window once one shows, or null after the timeout.
HWND WaitForOwnedDialog(HWND owner, DWORD timeoutMs);

// While code on this thread shows a dialog and waits for it, another thread looks at the first
// dialog of this process to show and answers it (not at all when none shows).
class DialogDriver {
 public:
  explicit DialogDriver(std::function<void(HWND)> answer);
  ~DialogDriver() { thread_.join(); }

 private:
  std::thread thread_;
};

}  // namespace tl::test
