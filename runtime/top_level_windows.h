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

}  // namespace tl
