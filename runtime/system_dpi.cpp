#include "runtime/system_dpi.h"

#include "runtime/late_bound.h"

namespace tl {

int32_t SystemDpi() {
  static const int32_t dpi = [] {
    HDC screen = GetDC(nullptr);
    const int value = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return value > 0 ? value : kDesignDpi;
  }();
  return dpi;
}

int32_t QueryWindowDpi(HWND window) {
  const UINT dpi = window ? late::GetDpiForWindow(window) : 0;
  return dpi > 0 ? static_cast<int32_t>(dpi) : SystemDpi();
}

}  // namespace tl
