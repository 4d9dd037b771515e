// The yardstick for the program's start-up and idle cost: a bare Win32 window with two 1 ms
// timers whose ticks do nothing. Built a second time with BARE_WITH_IMPORTS, it also imports
// every system DLL the program imports, which tells what loading them costs at start. Built with
// BARE_READS_POINTER, the first timer's tick reads the pointer once, as the program's auto-shrink
// tick does: what that one call costs on its own.
#include <windows.h>

#ifdef BARE_WITH_IMPORTS
#include <commctrl.h>
#include <mmsystem.h>
#include <ole2.h>
#include <shellapi.h>

// One function of each DLL, so that the loader maps them all before the window appears.
[[maybe_unused]] const void* const kImports[] = {
    reinterpret_cast<const void*>(&InitCommonControlsEx), reinterpret_cast<const void*>(&OleInitialize),
    reinterpret_cast<const void*>(&SysAllocString),       reinterpret_cast<const void*>(&ShellExecuteW),
    reinterpret_cast<const void*>(&PlaySoundW),           reinterpret_cast<const void*>(&AlphaBlend),
    reinterpret_cast<const void*>(&CreateFontW),
};
#endif

namespace {

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
#ifdef BARE_READS_POINTER
  if (message == WM_TIMER && wParam == 1) {
    POINT pointer;
    GetCursorPos(&pointer);
  }
#endif
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW type{};
  type.lpfnWndProc = Procedure;
  type.hInstance = instance;
  type.lpszClassName = L"BareWindow";
  RegisterClassW(&type);
#ifdef BARE_WITH_IMPORTS
  // What the program's start-up does with them: OLE and the common controls.
  OleInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
  InitCommonControlsEx(&controls);
#endif
  HWND hwnd = CreateWindowExW(WS_EX_TOPMOST, L"BareWindow", L"BareWindow", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 284, 440, nullptr, nullptr, instance, nullptr);
  SetTimer(hwnd, 1, 1, nullptr);
  SetTimer(hwnd, 2, 1, nullptr);
  ShowWindow(hwnd, SW_SHOW);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
