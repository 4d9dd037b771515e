#include "runtime/window_dpi.h"

#include "runtime/window_unit.h"

namespace tl {

int32_t DpiOfWindow(HWND window) {
  if (!window) return SystemDpi();
  if (const WindowUnit* unit = WindowUnit::FromHandle(GetAncestor(window, GA_ROOT))) return unit->dpi();
  return QueryWindowDpi(window);
}

}  // namespace tl
