// Registering the program's own window classes (forms, the hidden owner, runtime-drawn units,
// the timer's and the balloon tip's windows): once per process, with the arrow cursor and no
// background brush, since every one of them paints or hides its own background. Windows only.
#pragma once

#include <windows.h>

namespace tl {

// True when the class exists afterwards, registered now or before. The icons are what a window of
// the class shows while it is given none of its own.
inline bool RegisterWindowClass(const wchar_t* name, WNDPROC procedure, UINT style, HICON bigIcon = nullptr,
                                HICON smallIcon = nullptr) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  if (GetClassInfoExW(instance, name, &cls)) return true;
  cls.style = style;
  cls.lpfnWndProc = procedure;
  cls.hInstance = instance;
  cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  cls.hIcon = bigIcon;
  cls.hIconSm = smallIcon;
  cls.lpszClassName = name;
  return RegisterClassExW(&cls) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace tl
