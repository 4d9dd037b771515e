#include "runtime/menu_bar.h"

#include <array>
#include <string>

#include "runtime/gbk.h"
#include "runtime/value.h"

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

class Builder {
 public:
  Builder(UnitRecordArray& units, const MenuRun& run) : units_(units), run_(run) {}

  BuiltMenu Build() {
    BuiltMenu built;
    built.bar = CreateMenu();
    size_t i = 0;
    while (i < run_.count) {
      MenuItemFields title = Item(i);
      size_t end = EndOfChildren(i, title.level);
      if (title.level == 0) {
        HMENU popup = CreatePopupMenu();
        Fill(popup, i + 1, end);
        units_.SetMenuReserved0(run_.first + i, PointerWord(popup));
        if (title.flags & MenuFlag::Hidden) {
          built.detachedMenus.push_back(popup);
        } else {
          AppendMenuW(built.bar, MF_POPUP | Flags(title), reinterpret_cast<UINT_PTR>(popup),
                      Caption(title, 0).c_str());
        }
      }
      i = end;
    }
    if (!accelerators_.empty()) {
      built.accelerators =
          CreateAcceleratorTableW(accelerators_.data(), static_cast<int>(accelerators_.size()));
    }
    return built;
  }

 private:
  MenuItemFields Item(size_t i) const { return units_.MenuItem(run_.first + i); }

  // The items after i whose level is greater than level.
  size_t EndOfChildren(size_t i, int32_t level) const {
    size_t end = i + 1;
    while (end < run_.count && Item(end).level > level) ++end;
    return end;
  }

  static UINT Flags(const MenuItemFields& item) {
    return ((item.flags & MenuFlag::Checked) ? MF_CHECKED : 0u) |
           ((item.flags & MenuFlag::Disabled) ? MF_GRAYED : 0u);
  }

  static std::wstring Caption(const MenuItemFields& item, int32_t shortcut) {
    std::string text = item.caption;
    std::string_view key = ShortcutName(shortcut);
    if (!key.empty()) {
      text += '\t';
      text += key;
    }
    return Widen(text);
  }

  void Fill(HMENU menu, size_t begin, size_t end) {
    size_t i = begin;
    while (i < end) {
      MenuItemFields item = Item(i);
      const UINT command = kFirstMenuCommand + static_cast<UINT>(i);
      AddAccelerator(item, command);
      size_t childrenEnd = EndOfChildren(i, item.level);
      if (childrenEnd > i + 1) {
        HMENU popup = CreatePopupMenu();
        Fill(popup, i + 1, childrenEnd);
        units_.SetMenuReserved0(run_.first + i, PointerWord(popup));
        if (item.flags & MenuFlag::Hidden) {
          DestroyMenu(popup);
          units_.SetMenuReserved0(run_.first + i, 0);
        } else {
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

  void AddAccelerator(const MenuItemFields& item, UINT command) {
    if (item.shortcut < 1 || item.shortcut > 76) return;
    ShortcutKey key = KeyOf(item.shortcut);
    accelerators_.push_back({static_cast<BYTE>(FVIRTKEY | key.modifiers), key.key,
                             static_cast<WORD>(command)});
  }

  UnitRecordArray& units_;
  MenuRun run_;
  std::vector<ACCEL> accelerators_;
};

}  // namespace

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
  return Builder(units, run).Build();
}

void DestroyBuiltMenu(BuiltMenu& menu) {
  if (menu.bar) DestroyMenu(menu.bar);
  for (HMENU popup : menu.detachedMenus) DestroyMenu(popup);
  if (menu.accelerators) DestroyAcceleratorTable(menu.accelerators);
  menu = {};
}

}  // namespace tl
