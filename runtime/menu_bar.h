// The menu bar and accelerator table a window gets from its run of menu-item records.
// Windows only.
#pragma once

#include <windows.h>

#include <span>
#include <string_view>
#include <vector>

#include "runtime/form_image.h"
#include "runtime/unit_type.h"

namespace tl {

// The menu type raises its items' "chosen" event; the loader builds menus itself.
extern const UnitTypeDescriptor kMenuType;
inline constexpr int32_t kMenuItemChosenEvent = 0;

struct MenuRun {
  size_t first = 0;  // record index of the first item
  size_t count = 0;  // 0: the window has no menu items
};
// The first run of consecutive menu-item records.
MenuRun FindMenuRun(const UnitRecordArray& units);

// The key name of a shortcut (1-76), empty for none.
std::string_view ShortcutName(int32_t shortcut);

struct BuiltMenu {
  HMENU bar = nullptr;
  HACCEL accelerators = nullptr;     // null when no item has a shortcut
  std::vector<HMENU> detachedMenus;  // pop-ups of hidden titles, not owned by the bar
};
// Builds the bar; every item that opens a pop-up gets the pop-up's handle in its first
// reserved word (hidden titles too, so the application can pop them up).
BuiltMenu BuildMenuBar(UnitRecordArray& units, const MenuRun& run);
void DestroyBuiltMenu(BuiltMenu& menu);

// A pop-up menu of the items nested under the item at menuIndex of a window's run of menu
// items, with the window's command ids (kFirstMenuCommand + position in the run); null when
// that item has no sub-items. The caller destroys it.
HMENU BuildPopupMenu(std::span<const MenuItemFields> run, size_t menuIndex);
// The same for a menu item of a window definition, as the definition holds its items now;
// null when the window has no such menu item (request 2100).
HMENU PopupMenuOf(uint32_t windowId, uint32_t menuId);

}  // namespace tl
