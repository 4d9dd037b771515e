// Menus opened from the keyboard (the Apps key, Shift+F10). The system tells the focused window
// with a WM_CONTEXTMENU that carries no pointer position. The unit it reaches names the screen
// point its menu belongs at and raises the event a right click on it raises; the pop-up menu
// command then opens there instead of at the pointer. Windows only.
#pragma once

#include <windows.h>

#include <optional>

namespace tl {

// Whether a message asks for a menu from the keyboard rather than after a right click.
inline bool IsKeyboardContextMenu(UINT message, LPARAM lParam) {
  return message == WM_CONTEXTMENU && lParam == static_cast<LPARAM>(-1);
}

// While it lives, the first menu popped up opens at this screen point.
class KeyboardMenuPlace {
 public:
  explicit KeyboardMenuPlace(POINT screen);
  ~KeyboardMenuPlace();
  KeyboardMenuPlace(const KeyboardMenuPlace&) = delete;
  KeyboardMenuPlace& operator=(const KeyboardMenuPlace&) = delete;

 private:
  std::optional<POINT> outer_;
};

// The point of the menu the keyboard asked for, taken once; nothing when the pointer opened it.
std::optional<POINT> TakeKeyboardMenuPlace();

}  // namespace tl
