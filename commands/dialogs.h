// The dialog, window and pointer commands: message and input boxes, loading and closing the
// program's windows, acting on a unit's native window, pop-up menus and the pointer position.
// Windows only; units are reached through the runtime's request entry.
#pragma once

#include <windows.h>

#include <span>

#include "commands/args.h"
#include "runtime/form_image.h"
#include "runtime/menu_bar.h"

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

inline constexpr CommandEntry kDialogCommands[] = {
    {"MessageBox", MessageBox},           {"InputBox", InputBox},
    {"LoadWindow", LoadWindow},           {"CloseWindow", CloseWindow},
    {"GetWindowHandle", GetWindowHandle}, {"SetFocus", SetFocus},
    {"RefreshDisplay", RefreshDisplay},   {"PopupMenu", PopupMenu},
    {"MouseX", MouseX},                   {"MouseY", MouseY},
    {"IsWindowLoaded", IsWindowLoaded},
};

// A pop-up menu of the items nested under the item at menuIndex of a window's run of menu
// items, with the window's command ids (kFirstMenuCommand + position in the run); null when
// that item has no sub-items. The caller destroys it.
HMENU BuildPopupMenu(std::span<const MenuItemFields> run, size_t menuIndex);

}  // namespace tl::cmd
