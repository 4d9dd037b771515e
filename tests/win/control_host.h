// The parent window of the control tests: like the runtime's windows, it hands the
// notifications of the controls inside it to their units. Also the font record and window
// helpers the Windows tests share.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "runtime/unit.h"
#include "runtime/window_class.h"
#include "tests/win/message_pump.h"

namespace tl::test {

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

// A window's text and class name as the wide API answers them.
inline std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[1024];
  const int length = GetWindowTextW(hwnd, buffer, 1024);
  return std::wstring(buffer, length > 0 ? length : 0);
}
inline std::wstring ClassOf(HWND hwnd) {
  wchar_t buffer[64];
  const int length = GetClassNameW(hwnd, buffer, 64);
  return std::wstring(buffer, length > 0 ? length : 0);
}

// A key pressed and released through the desktop's input queue, as a person would.
inline void PressKey(WORD key) {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = key;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof(INPUT));
}

// A stored 60-byte logical-font record in the GB2312 set; the empty face lets the platform
// choose.
inline std::vector<uint8_t> FontRecord(int32_t height, int32_t weight = 0) {
  std::vector<uint8_t> font(60, 0);
  std::memcpy(font.data(), &height, 4);
  std::memcpy(font.data() + 16, &weight, 4);
  font[23] = GB2312_CHARSET;
  return font;
}

}  // namespace tl::test
