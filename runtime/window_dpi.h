// The DPI a window is shown at. Windows only.
#pragma once

#include <windows.h>

#include <cstdint>

#include "runtime/dpi.h"

namespace tl {

// The system's DPI (the primary monitor's at log-on), read once.
int32_t SystemDpi();
// The DPI the system gives the window now: GetDpiForWindow where the system has it (Windows 10
// 1607 on), else the system's DPI. Asks the system on every call.
int32_t QueryWindowDpi(HWND window);
// The DPI of the top-level window the window belongs to: a window unit's is kept by the unit and
// changes only when the system says so (WM_DPICHANGED); any other window's is asked for.
int32_t DpiOfWindow(HWND window);

}  // namespace tl
