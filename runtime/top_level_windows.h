// The desktop's top-level windows, of every process, and which process made a window. Windows
// only.
#pragma once

#include <windows.h>

#include <vector>

namespace tl {

// Every top-level window, front to back, hidden ones included.
std::vector<HWND> TopLevelWindows();
// The id of the process whose thread made the window; 0 for no window.
DWORD ProcessOfWindow(HWND window);

// Sent to a program window that a second start brings forward: a window no monitor shows any
// more goes back to where a start puts it. Registered, so that it reaches another process.
UINT BringIntoReachMessage();
// Whether any part of the rectangle lies in some monitor's work area.
bool InReach(const RECT& rect);

}  // namespace tl
