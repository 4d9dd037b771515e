// A message box without an owner window, raised above the program's always-on-top windows.
// Windows only.
#pragma once

#include <windows.h>

namespace tl {

// MessageBoxW without an owner, put into the topmost band before it shows so that it never
// opens under an always-on-top window of the program it keeps waiting.
int OwnerlessMessageBox(const wchar_t* text, const wchar_t* title, UINT style);

}  // namespace tl
