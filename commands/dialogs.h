// The dialog, window and pointer commands: message and input boxes, loading and closing the
// program's windows, acting on a unit's native window, pop-up menus and the pointer position.
// Windows only; units are reached through the runtime's request entry.
#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

#include "runtime/command.h"

namespace tl::cmd {

// Shows any basic value with the style's buttons and icon; the title defaults to "信息：", the
// owner is a window unit or a native handle. Answers the button code (0 OK ... 6 No).
int32_t MessageBox(const ArgRecord& content, int32_t style, std::optional<std::string_view> title,
                   const ArgRecord& owner);
// The input box: a confirmed input is stored into the variable as the variable's type; `mode` 1
// any text, 2 integers, 3 decimals, 4 a password. The owner as MessageBox's.
bool InputBox(std::string_view prompt, std::string_view title, std::string_view initial, VariableRef variable,
              std::optional<int32_t> mode, const ArgRecord& owner);
// Loads a window of the program, owned by the given unit's window when one is given.
bool LoadProgramWindow(UnitRef window, std::optional<UnitRef> owner, bool modal);
// Closes a window (at once or when the message loop next reaches it) or removes a control.
void CloseWindow(UnitRef unit, bool atOnce);
// Whether a window is loaded now (its native window exists); never a runtime error.
bool IsWindowLoaded(UnitRef window);
int32_t GetWindowHandle(UnitRef unit);
// The DPI the unit's window is shown at (96 at 100 % scaling). A window's own DPI is kept by the
// runtime, so asking costs no call to the system; a unit that is not loaded answers the system's.
int32_t WindowDpi(UnitRef unit);
void SetFocus(UnitRef unit);
void RefreshDisplay(UnitRef unit);
// Pops the menu up at the pointer, for the window of the given unit; a menu the keyboard asked
// for opens where the unit placed it (see runtime/keyboard_menu.h).
void PopupMenu(UnitRef unitOfWindow, UnitRef menu);
int32_t MouseX();
int32_t MouseY();

inline constexpr auto kMessageBox = MakeCommand<MessageBox>("MessageBox");
inline constexpr auto kInputBox = MakeCommand<InputBox>("InputBox");
inline constexpr auto kLoadWindow = MakeCommand<LoadProgramWindow>("LoadWindow");
inline constexpr auto kCloseWindow = MakeCommand<CloseWindow>("CloseWindow");
inline constexpr auto kIsWindowLoaded = MakeCommand<IsWindowLoaded>("IsWindowLoaded");
inline constexpr auto kGetWindowHandle = MakeCommand<GetWindowHandle>("GetWindowHandle");
inline constexpr auto kWindowDpi = MakeCommand<WindowDpi>("WindowDpi");
inline constexpr auto kSetFocus = MakeCommand<SetFocus>("SetFocus");
inline constexpr auto kRefreshDisplay = MakeCommand<RefreshDisplay>("RefreshDisplay");
inline constexpr auto kPopupMenu = MakeCommand<PopupMenu>("PopupMenu");
inline constexpr auto kMouseX = MakeCommand<MouseX>("MouseX");
inline constexpr auto kMouseY = MakeCommand<MouseY>("MouseY");

}  // namespace tl::cmd
