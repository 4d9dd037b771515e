#include "commands/dialogs.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "commands/text.h"
#include "commands/unit_lookup.h"
#include "runtime/gbk.h"
#include "runtime/runtime_state.h"
#include "runtime/window_unit.h"

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

// ---- CloseWindow ----------------------------------------------------------------------------

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

// ---- PopupMenu ------------------------------------------------------------------------------

UINT ItemFlags(const MenuItemFields& item) {
  return (item.flags & MenuFlag::Checked ? MF_CHECKED : 0u) | (item.flags & MenuFlag::Disabled ? MF_GRAYED : 0u);
}

// Appends the items after position i that are nested deeper than parentLevel.
void AppendItems(HMENU menu, std::span<const MenuItemFields> run, size_t& i, int32_t parentLevel) {
  while (i < run.size() && run[i].level > parentLevel) {
    const MenuItemFields& item = run[i];
    const size_t index = i++;
    const bool opensSubmenu = i < run.size() && run[i].level > item.level;
    if (item.flags & MenuFlag::Hidden) {
      while (i < run.size() && run[i].level > item.level) ++i;
      continue;
    }
    std::wstring caption = Widen(item.caption);
    if (item.shortcut) caption += L"\t" + Widen(ShortcutName(item.shortcut));
    if (opensSubmenu) {
      HMENU sub = CreatePopupMenu();
      AppendItems(sub, run, i, item.level);
      AppendMenuW(menu, MF_POPUP | MF_STRING | ItemFlags(item), reinterpret_cast<UINT_PTR>(sub), caption.c_str());
    } else if (item.caption == "-") {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(menu, MF_STRING | ItemFlags(item), kFirstMenuCommand + index, caption.c_str());
    }
  }
}

}  // namespace

HMENU BuildPopupMenu(std::span<const MenuItemFields> run, size_t menuIndex) {
  if (menuIndex + 1 >= run.size() || run[menuIndex + 1].level <= run[menuIndex].level) return nullptr;
  HMENU menu = CreatePopupMenu();
  size_t i = menuIndex + 1;
  AppendItems(menu, run, i, run[menuIndex].level);
  return menu;
}

void MessageBox(ArgRecord* result, int argc, ArgRecord* args) {
  const Args a(argc, args);
  const std::string content = IsBasicType(a[0].type) ? ValueText(a[0]) : std::string();
  const std::string title = a.Given(2) ? std::string(a.Text(2)) : std::string("信息：");
  auto style = static_cast<UINT>(a.Int(1));
  if (!(style & MB_SYSTEMMODAL)) style |= MB_TASKMODAL;
  const int answer = MessageBoxW(OwnerWindow(a[3]), Widen(content).c_str(), Widen(title).c_str(), style);
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
  WindowUnit* window = (a[0].high >> 28) == 0 ? WindowUnit::FromHandle(hwnd) : nullptr;
  if (!window) {
    DestroyWindow(hwnd);  // a control: removed from its window
    return;
  }
  // Closed by the program: no close request is raised, and windows it disabled as a modal
  // window get their states back.
  window->closePending = true;
  window->RestoreDisabledWindows();
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
  SetInt(result, static_cast<int32_t>(reinterpret_cast<uintptr_t>(UnitWindow(Args(argc, args)[0], true))));
}

void SetFocus(ArgRecord*, int argc, ArgRecord* args) {
  if (HWND hwnd = UnitWindow(Args(argc, args)[0], true)) ::SetFocus(hwnd);
}

void RefreshDisplay(ArgRecord*, int argc, ArgRecord* args) {
  if (HWND hwnd = UnitWindow(Args(argc, args)[0], true)) UpdateWindow(hwnd);
}

// The window's run of menu items as its definition holds them now, and where the menu lies in it.
std::vector<MenuItemFields> MenuItemsOf(uint32_t windowId, uint32_t menuId, size_t& menuIndex) {
  using WindowMap = std::vector<std::unique_ptr<WindowDefinition>>;
  const auto* map = reinterpret_cast<const WindowMap*>(CallRuntime(Request::WindowMap));
  if (!map) return {};
  for (const auto& definition : *map) {
    if (definition->id != windowId) continue;
    const UnitRecordArray& units = definition->units;
    const MenuRun run = FindMenuRun(units);
    const std::optional<size_t> at = units.IndexOf(menuId);
    if (!at || *at < run.first || *at >= run.first + run.count) return {};
    std::vector<MenuItemFields> items;
    for (size_t i = 0; i < run.count; ++i) items.push_back(units.MenuItem(run.first + i));
    menuIndex = *at - run.first;
    return items;
  }
  return {};
}

void PopupMenu(ArgRecord*, int argc, ArgRecord* args) {
  const Args a(argc, args);
  const ArgRecord& unit = a[0];
  const ArgRecord& menuRef = a[1];
  if (menuRef.type != UnitType::Menu || menuRef.low != unit.low) return;  // not a menu of that window
  HWND window = UnitWindow(unit, true) ? UnitWindow(ArgRecord{unit.low, 0, UnitType::Window}, true) : nullptr;
  if (!window) return;
  size_t menuIndex = 0;
  const std::vector<MenuItemFields> items = MenuItemsOf(unit.low, menuRef.high, menuIndex);
  HMENU menu = BuildPopupMenu(items, menuIndex);
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
