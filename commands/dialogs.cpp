#include "commands/dialogs.h"

#include <commctrl.h>

#include <string>

#include "commands/text.h"
#include "commands/unit_lookup.h"
#include "runtime/gbk.h"
#include "runtime/keyboard_menu.h"
#include "runtime/ownerless_box.h"
#include "runtime/requests.h"
#include "runtime/value.h"
#include "runtime/window_dpi.h"

namespace tl::cmd {
namespace {

bool IsBasicType(uint32_t type) {
  switch (type) {
    case DataType::Byte:
    case DataType::Short:
    case DataType::Int:
    case DataType::Long:
    case DataType::Float:
    case DataType::Double:
    case DataType::Bool:
    case DataType::DateTime:
    case DataType::Text: return true;
    default: return false;
  }
}

// A message of our own, so that it can never collide with the runtime's private ones.
UINT DeferredCloseMessage() {
  static const UINT message = RegisterWindowMessageW(L"Tallyleaf.DeferredClose");
  return message;
}
constexpr UINT_PTR kDeferredCloseSubclass = 0x54434C53;

// Destroying directly skips the close request, so a window whose may-close handler refuses
// to close is destroyed all the same.
LRESULT CALLBACK DeferredClose(HWND w, UINT message, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (message == DeferredCloseMessage()) {
    DestroyWindow(w);
    return 0;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(w, DeferredClose, kDeferredCloseSubclass);
  return DefSubclassProc(w, message, wp, lp);
}

}  // namespace

int32_t MessageBox(const ArgRecord& content, int32_t style, std::optional<std::string_view> title,
                   const ArgRecord& owner) {
  const std::string text = IsBasicType(content.type) ? TextForm(content) : std::string();
  auto flags = static_cast<UINT>(style);
  if (!(flags & MB_SYSTEMMODAL)) flags |= MB_TASKMODAL;
  HWND ownerWindow = OwnerWindow(owner);
  const std::wstring wideText = Widen(text), caption = Widen(title.value_or("信息："));
  const int answer = ownerWindow ? MessageBoxW(ownerWindow, wideText.c_str(), caption.c_str(), flags)
                                 : OwnerlessMessageBox(wideText.c_str(), caption.c_str(), flags);
  // Platform ids 1 (OK) to 7 (No) become the button codes 0 to 6.
  return answer >= IDOK && answer <= IDNO ? answer - 1 : 0;
}

bool LoadProgramWindow(UnitRef window, std::optional<UnitRef> owner, bool modal) {
  Unit* ownerUnit = nullptr;
  if (owner) {
    ownerUnit = FindUnit(Codec<UnitRef>::Encode(*owner), false);
    if (!ownerUnit) return false;
  }
  const LoadWindowRecord request{window.window, ownerUnit, modal ? 1 : 0};
  return CallRuntime(Request::LoadWindow, reinterpret_cast<intptr_t>(&request)) == 0;
}

void CloseWindow(UnitRef unit, bool atOnce) {
  HWND hwnd = UnitWindow(unit, true);
  if (!hwnd) return;
  // Closed by the program: no close request is raised, and windows it disabled as a modal
  // window get their states back.
  const bool isWindow = (unit.unit >> 28) == 0 && CallRuntime(Request::CloseByProgram, unit.window) != 0;
  if (!isWindow || atOnce) {
    DestroyWindow(hwnd);  // a control is removed from its window
    return;
  }
  // Deferred: destroyed when the message loop next dispatches to the window.
  SetWindowSubclass(hwnd, DeferredClose, kDeferredCloseSubclass, 0);
  PostMessageW(hwnd, DeferredCloseMessage(), 0, 0);
}

bool IsWindowLoaded(UnitRef window) {
  HWND hwnd = UnitWindow(window, false);
  return hwnd && IsWindow(hwnd);
}

int32_t GetWindowHandle(UnitRef unit) { return static_cast<int32_t>(PointerWord(UnitWindow(unit, true))); }

int32_t WindowDpi(UnitRef unit) { return DpiOfWindow(UnitWindow(unit, false)); }

void SetFocus(UnitRef unit) {
  if (HWND hwnd = UnitWindow(unit, true)) ::SetFocus(hwnd);
}

void RefreshDisplay(UnitRef unit) {
  if (HWND hwnd = UnitWindow(unit, true)) UpdateWindow(hwnd);
}

void PopupMenu(UnitRef unit, UnitRef menuRef) {
  if (menuRef.type != UnitType::Menu || menuRef.window != unit.window) return;  // not a menu of that window
  HWND window = UnitWindow(unit, true) ? UnitWindow({unit.window, 0, UnitType::Window}, true) : nullptr;
  if (!window) return;
  auto* menu = reinterpret_cast<HMENU>(CallRuntime(Request::PopupMenu, menuRef.window, menuRef.unit));
  if (!menu) return;
  SetForegroundWindow(window);
  // Choosing an item sends the window the same command as its menu bar would.
  if (const std::optional<POINT> place = TakeKeyboardMenuPlace()) {
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, place->x, place->y, 0, window, nullptr);
  } else {
    POINT p{};
    GetCursorPos(&p);
    TrackPopupMenu(menu, TPM_RIGHTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, p.x - 5, p.y - 5, 0, window, nullptr);
  }
  PostMessageW(window, WM_NULL, 0, 0);  // lets the menu close properly after a click elsewhere
  DestroyMenu(menu);
}

int32_t MouseX() {
  POINT p{};
  GetCursorPos(&p);
  return p.x;
}

int32_t MouseY() {
  POINT p{};
  GetCursorPos(&p);
  return p.y;
}

}  // namespace tl::cmd
