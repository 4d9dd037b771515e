#include "commands/dialogs.h"

#include <commctrl.h>

#include <string>

#include "commands/text.h"
#include "commands/unit_lookup.h"
#include "runtime/gbk.h"
#include "runtime/ownerless_box.h"
#include "runtime/value.h"

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

void MessageBox(ArgRecord* result, int argc, ArgRecord* args) {
  const Args a(argc, args);
  const std::string content = IsBasicType(a[0].type) ? ValueText(a[0]) : std::string();
  const std::string title = a.Given(2) ? std::string(a.Text(2)) : std::string("信息：");
  auto style = static_cast<UINT>(a.Int(1));
  if (!(style & MB_SYSTEMMODAL)) style |= MB_TASKMODAL;
  HWND owner = OwnerWindow(a[3]);
  const std::wstring text = Widen(content), caption = Widen(title);
  const int answer = owner ? MessageBoxW(owner, text.c_str(), caption.c_str(), style)
                           : OwnerlessMessageBox(text.c_str(), caption.c_str(), style);
  // Platform ids 1 (OK) to 7 (No) become the button codes 0 to 6.
  SetInt(result, answer >= IDOK && answer <= IDNO ? answer - 1 : 0);
}

void LoadWindow(ArgRecord* result, int argc, ArgRecord* args) {
  const Args a(argc, args);
  SetBool(result, false);
  Unit* owner = nullptr;
  if (a.Given(1)) {
    owner = FindUnit(a[1], false);
    if (!owner) return;
  }
  // The runtime's load request record: window id, owner unit object or none, modal flag.
  struct {
    uint32_t window;
    Unit* owner;
    int32_t modal;
  } request{a[0].low, owner, a.Bool(2) ? 1 : 0};
  SetBool(result, CallRuntime(Request::LoadWindow, reinterpret_cast<intptr_t>(&request)) == 0);
}

void CloseWindow(ArgRecord*, int argc, ArgRecord* args) {
  const Args a(argc, args);
  HWND hwnd = UnitWindow(a[0], true);
  if (!hwnd) return;
  // Closed by the program: no close request is raised, and windows it disabled as a modal
  // window get their states back.
  const bool isWindow = (a[0].high >> 28) == 0 && CallRuntime(Request::CloseByProgram, a[0].low) != 0;
  if (!isWindow) {
    DestroyWindow(hwnd);  // a control: removed from its window
    return;
  }
  if (a.Bool(1)) {
    DestroyWindow(hwnd);
    return;
  }
  // Deferred: destroyed when the message loop next dispatches to the window.
  SetWindowSubclass(hwnd, DeferredClose, kDeferredCloseSubclass, 0);
  PostMessageW(hwnd, DeferredCloseMessage(), 0, 0);
}

void IsWindowLoaded(ArgRecord* result, int argc, ArgRecord* args) {
  HWND hwnd = UnitWindow(Args(argc, args)[0], false);
  SetBool(result, hwnd && IsWindow(hwnd));
}

void GetWindowHandle(ArgRecord* result, int argc, ArgRecord* args) {
  SetInt(result, static_cast<int32_t>(PointerWord(UnitWindow(Args(argc, args)[0], true))));
}

void SetFocus(ArgRecord*, int argc, ArgRecord* args) {
  if (HWND hwnd = UnitWindow(Args(argc, args)[0], true)) ::SetFocus(hwnd);
}

void RefreshDisplay(ArgRecord*, int argc, ArgRecord* args) {
  if (HWND hwnd = UnitWindow(Args(argc, args)[0], true)) UpdateWindow(hwnd);
}

void PopupMenu(ArgRecord*, int argc, ArgRecord* args) {
  const Args a(argc, args);
  const ArgRecord& unit = a[0];
  const ArgRecord& menuRef = a[1];
  if (menuRef.type != UnitType::Menu || menuRef.low != unit.low) return;  // not a menu of that window
  HWND window = UnitWindow(unit, true) ? UnitWindow(ArgRecord{unit.low, 0, UnitType::Window}, true) : nullptr;
  if (!window) return;
  auto* menu = reinterpret_cast<HMENU>(CallRuntime(Request::PopupMenu, menuRef.low, menuRef.high));
  if (!menu) return;
  SetForegroundWindow(window);
  POINT p{};
  GetCursorPos(&p);
  // Choosing an item sends the window the same command as its menu bar would.
  TrackPopupMenu(menu, TPM_RIGHTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, p.x - 5, p.y - 5, 0, window, nullptr);
  PostMessageW(window, WM_NULL, 0, 0);  // lets the menu close properly after a click elsewhere
  DestroyMenu(menu);
}

void MouseX(ArgRecord* result, int, ArgRecord*) {
  POINT p{};
  GetCursorPos(&p);
  SetInt(result, p.x);
}

void MouseY(ArgRecord* result, int, ArgRecord*) {
  POINT p{};
  GetCursorPos(&p);
  SetInt(result, p.y);
}

}  // namespace tl::cmd
