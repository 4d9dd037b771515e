// The parent window of the control tests: like the runtime's windows, it hands the
// notifications of the controls inside it to their units.
#pragma once

#include <windows.h>

#include <optional>

#include "runtime/unit.h"
#include "runtime/window_class.h"

namespace tl {

inline LRESULT CALLBACK ControlHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (std::optional<LRESULT> answer = RouteToOwningUnit(window, message, wParam, lParam)) return *answer;
  if (message == WM_ERASEBKGND) {
    RECT client;
    GetClientRect(window, &client);
    FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
    return 1;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// The host's class name, registered on first use.
inline const wchar_t* ControlHostClass() {
  RegisterWindowClass(L"TL_ControlHost", &ControlHostProc, 0);
  return L"TL_ControlHost";
}

}  // namespace tl
