#include "runtime/menu_bar.h"

#include <array>
#include <optional>
#include <string>

#include "runtime/gbk.h"
#include "runtime/value.h"
#include "runtime/window_map.h"

namespace tl {
namespace {

struct ShortcutKey {
  BYTE modifiers;
  WORD key;
};

// Entries 1-76 of the key-name table, in order.
ShortcutKey KeyOf(int32_t shortcut) {
  if (shortcut >= 1 && shortcut <= 26) return {FCONTROL, static_cast<WORD>('A' + shortcut - 1)};
  const int f = (shortcut - 27) % 12;
  const WORD fkey = static_cast<WORD>(VK_F1 + f);
  if (shortcut >= 27 && shortcut <= 38) return {0, fkey};
  if (shortcut >= 39 && shortcut <= 50) return {FCONTROL, fkey};
  if (shortcut >= 51 && shortcut <= 62) return {FSHIFT, fkey};
  if (shortcut >= 63 && shortcut <= 74) return {FCONTROL | FSHIFT, fkey};
  if (shortcut == 75) return {0, VK_INSERT};
  return {0, VK_DELETE};
}

constexpr std::array<std::string_view, 12> kFunctionKeys = {
    "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12"};

UINT Flags(const MenuItemFields& item) {
  return ((item.flags & MenuFlag::Checked) ? MF_CHECKED : 0u) |
         ((item.flags & MenuFlag::Disabled) ? MF_GRAYED : 0u);
}

std::wstring Caption(const MenuItemFields& item, int32_t shortcut) {
  std::string text = item.caption;
  std::string_view key = ShortcutName(shortcut);
  if (!key.empty()) {
    text += '\t';
    text += key;
  }
  return Widen(text);
}

// Builds menus from a window's run of menu items. Every item gets the window's command id for its
// position in the run, so a pop-up chosen from sends the same command as the menu bar would.
class Builder {
 public:
  explicit Builder(std::span<const MenuItemFields> run) : run_(run), popups_(run.size()) {}

  // The items after i whose level is greater than item i's.
  size_t EndOfChildren(size_t i) const {
    size_t end = i + 1;
    while (end < run_.size() && run_[end].level > run_[i].level) ++end;
    return end;
  }

  // Appends items [begin, end) and the items nested under them; a hidden item is left out
  // with everything under it.
  void Fill(HMENU menu, size_t begin, size_t end) {
    size_t i = begin;
    while (i < end) {
      const MenuItemFields& item = run_[i];
      const UINT command = kFirstMenuCommand + static_cast<UINT>(i);
      AddAccelerator(item, command);
      const size_t childrenEnd = EndOfChildren(i);
      if (childrenEnd > i + 1) {
        // Filled even when hidden: the items under a hidden one keep their shortcuts.
        HMENU popup = CreatePopupMenu();
        Fill(popup, i + 1, childrenEnd);
        if (item.flags & MenuFlag::Hidden) {
          DestroyMenu(popup);
        } else {
          popups_[i] = popup;
          AppendMenuW(menu, MF_POPUP | Flags(item), reinterpret_cast<UINT_PTR>(popup),
                      Caption(item, 0).c_str());
        }
      } else if (!(item.flags & MenuFlag::Hidden)) {
        if (item.caption == "-") {
          AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        } else {
          AppendMenuW(menu, MF_STRING | Flags(item), command, Caption(item, item.shortcut).c_str());
        }
      }
      i = childrenEnd;
    }
  }

  // A title's pop-up, filled with the items under it.
  HMENU Popup(size_t title) {
    HMENU popup = CreatePopupMenu();
    Fill(popup, title + 1, EndOfChildren(title));
    popups_[title] = popup;
    return popup;
  }

  // The pop-up each item opens; null for items that open none or are hidden.
  const std::vector<HMENU>& popups() const { return popups_; }
  const std::vector<ACCEL>& accelerators() const { return accelerators_; }

 private:
  void AddAccelerator(const MenuItemFields& item, UINT command) {
    if (item.shortcut < 1 || item.shortcut > 76) return;
    ShortcutKey key = KeyOf(item.shortcut);
    accelerators_.push_back({static_cast<BYTE>(FVIRTKEY | key.modifiers), key.key,
                             static_cast<WORD>(command)});
  }

  std::span<const MenuItemFields> run_;
  std::vector<HMENU> popups_;
  std::vector<ACCEL> accelerators_;
};

std::vector<MenuItemFields> RunItems(const UnitRecordArray& units, const MenuRun& run) {
  std::vector<MenuItemFields> items;
  items.reserve(run.count);
  for (size_t i = 0; i < run.count; ++i) items.push_back(units.MenuItem(run.first + i));
  return items;
}

void* NoInterface(InterfaceCode) { return nullptr; }

}  // namespace

const UnitTypeDescriptor kMenuType = {"菜单", "menu", UnitState::RaisesEventsAlt, NoInterface};

MenuRun FindMenuRun(const UnitRecordArray& units) {
  for (size_t i = 0; i < units.size(); ++i) {
    if (!units.IsMenuItem(i)) continue;
    size_t end = i;
    while (end < units.size() && units.IsMenuItem(end)) ++end;
    return {i, end - i};
  }
  return {};
}

std::string_view ShortcutName(int32_t shortcut) {
  static const std::array<std::string, 77> names = [] {
    std::array<std::string, 77> n;
    n[0] = "（无）";
    for (int i = 0; i < 26; ++i) n[1 + i] = std::string("Ctrl+") + static_cast<char>('A' + i);
    for (int i = 0; i < 12; ++i) {
      std::string f(kFunctionKeys[i]);
      n[27 + i] = f;
      n[39 + i] = "Ctrl+" + f;
      n[51 + i] = "Shift+" + f;
      n[63 + i] = "Ctrl+Shift+" + f;
    }
    n[75] = "Ins";
    n[76] = "Del";
    return n;
  }();
  if (shortcut < 1 || shortcut > 76) return {};
  return names[shortcut];
}

BuiltMenu BuildMenuBar(UnitRecordArray& units, const MenuRun& run) {
  const std::vector<MenuItemFields> items = RunItems(units, run);
  Builder builder(items);
  BuiltMenu built;
  built.bar = CreateMenu();
  for (size_t i = 0; i < items.size(); i = builder.EndOfChildren(i)) {
    if (items[i].level != 0) continue;
    HMENU popup = builder.Popup(i);
    if (items[i].flags & MenuFlag::Hidden) {
      built.detachedMenus.push_back(popup);
    } else {
      AppendMenuW(built.bar, MF_POPUP | Flags(items[i]), reinterpret_cast<UINT_PTR>(popup),
                  Caption(items[i], 0).c_str());
    }
  }
  // Hidden titles keep their pop-ups too, so the application can pop them up.
  for (size_t i = 0; i < items.size(); ++i) {
    if (builder.EndOfChildren(i) > i + 1 || items[i].level == 0) {
      units.SetMenuReserved0(run.first + i, PointerWord(builder.popups()[i]));
    }
  }
  const std::vector<ACCEL>& accelerators = builder.accelerators();
  if (!accelerators.empty()) {
    built.accelerators = CreateAcceleratorTableW(const_cast<ACCEL*>(accelerators.data()),
                                                 static_cast<int>(accelerators.size()));
  }
  return built;
}

HMENU BuildPopupMenu(std::span<const MenuItemFields> run, size_t menuIndex) {
  if (menuIndex + 1 >= run.size() || run[menuIndex + 1].level <= run[menuIndex].level) return nullptr;
  return Builder(run).Popup(menuIndex);
}

HMENU PopupMenuOf(uint32_t windowId, uint32_t menuId) {
  const WindowDefinition* definition = FindWindowDefinition(windowId);
  if (!definition) return nullptr;
  const MenuRun run = FindMenuRun(definition->units);
  const std::optional<size_t> at = definition->units.IndexOf(menuId);
  if (!at || *at < run.first || *at >= run.first + run.count) return nullptr;
  return BuildPopupMenu(RunItems(definition->units, run), *at - run.first);
}

void DestroyBuiltMenu(BuiltMenu& menu) {
  if (menu.bar) DestroyMenu(menu.bar);
  for (HMENU popup : menu.detachedMenus) DestroyMenu(popup);
  if (menu.accelerators) DestroyAcceleratorTable(menu.accelerators);
  menu = {};
}

}  // namespace tl
