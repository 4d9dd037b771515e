// Finds the dialogs a process shows: its message boxes and input boxes are "#32770" windows.
#pragma once

#include <windows.h>

namespace tl::test {

// The first visible dialog of the process, or null.
HWND FindDialog(DWORD processId);
// The first visible dialog of the process once one shows, or null after the timeout.
HWND WaitForDialog(DWORD processId, DWORD timeoutMs);

}  // namespace tl::test
