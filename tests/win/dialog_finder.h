// Finds the dialogs a process shows: its message boxes and input boxes are "#32770" windows, its
// popup menus "#32768" windows.
#pragma once

#include <windows.h>

namespace tl::test {

// The first visible top-level window of the class that the process made, or null.
HWND FindShownWindowOfClass(DWORD processId, const wchar_t* className);
// The first visible dialog of the process, or null.
HWND FindDialog(DWORD processId);
// The first visible dialog of the process once one shows, or null after the timeout.
HWND WaitForDialog(DWORD processId, DWORD timeoutMs);

}  // namespace tl::test
