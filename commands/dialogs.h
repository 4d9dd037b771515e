// The dialog, window and pointer commands: message and input boxes, loading and closing the
// program's windows, acting on a unit's native window, pop-up menus and the pointer position.
// Windows only; units are reached through the runtime's request entry.
#pragma once

#include <windows.h>

#include "runtime/args.h"

namespace tl::cmd {

void MessageBox(ArgRecord* result, int argc, ArgRecord* args);
void InputBox(ArgRecord* result, int argc, ArgRecord* args);
void LoadWindow(ArgRecord* result, int argc, ArgRecord* args);
void CloseWindow(ArgRecord* result, int argc, ArgRecord* args);
// Whether a window is loaded now (its native window exists); never a runtime error.
void IsWindowLoaded(ArgRecord* result, int argc, ArgRecord* args);
void GetWindowHandle(ArgRecord* result, int argc, ArgRecord* args);
void SetFocus(ArgRecord* result, int argc, ArgRecord* args);
void RefreshDisplay(ArgRecord* result, int argc, ArgRecord* args);
void PopupMenu(ArgRecord* result, int argc, ArgRecord* args);
void MouseX(ArgRecord* result, int argc, ArgRecord* args);
void MouseY(ArgRecord* result, int argc, ArgRecord* args);

}  // namespace tl::cmd
