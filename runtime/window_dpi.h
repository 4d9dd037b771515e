// The DPI a window is shown at, as the window units keep it. Windows only.
#pragma once

#include <windows.h>

#include <cstdint>

#include "runtime/system_dpi.h"

namespace tl {

// The DPI of the top-level window the window belongs to: a window unit's is kept by the unit and
// changes only when the system says so (WM_DPICHANGED); any other window's is asked for.
int32_t DpiOfWindow(HWND window);

}  // namespace tl
