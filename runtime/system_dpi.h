// The DPI as the system answers for it: its own, and a window's. Windows only.
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

}  // namespace tl
