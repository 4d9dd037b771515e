// The yardstick for the program's start-up and idle cost: a bare Win32 window with two 1 ms
// timers whose ticks do nothing.
#include <windows.h>

namespace {

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW type{};
  type.lpfnWndProc = Procedure;
  type.hInstance = instance;
  type.lpszClassName = L"BareWindow";
  RegisterClassW(&type);
  HWND hwnd = CreateWindowExW(WS_EX_TOPMOST, L"BareWindow", L"BareWindow", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 284, 440, nullptr, nullptr, instance, nullptr);
  SetTimer(hwnd, 1, 1, nullptr);
  SetTimer(hwnd, 2, 1, nullptr);
  ShowWindow(hwnd, SW_SHOW);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
