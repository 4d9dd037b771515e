#include "runtime/property_services.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <memory>

#include "runtime/cursors.h"
#include "runtime/dispatch.h"
#include "runtime/gbk.h"
#include "runtime/memory.h"
#include "runtime/runtime_error.h"
#include "runtime/menu_bar.h"
#include "runtime/program_header.h"
#include "runtime/runtime_state.h"
#include "runtime/unit.h"
#include "runtime/value.h"
#include "runtime/window_map.h"
#include "runtime/window_unit.h"

namespace tl {
namespace {

using Common = CommonProperty;
enum class MenuProperty : int32_t { Caption, Checked, Disabled, Visible };

struct Target {
  WindowDefinition* definition;
  size_t index;
};

Target Locate(uint32_t windowId, uint32_t unitId) {
  WindowDefinition* definition = FindWindowDefinition(windowId);
  if (!definition) RaiseRuntimeError(0, "未载入欲访问窗口组件所在的窗口");
  auto index = unitId == 0 ? std::optional<size_t>(0) : definition->units.IndexOf(unitId);
  if (!index) RaiseRuntimeError(0, "指定窗口或窗口组件不存在或尚未载入");
  return {definition, *index};
}

uint64_t Pack(uint32_t low, uint32_t high = 0) { return (static_cast<uint64_t>(high) << 32) | low; }

// The live rectangle: the window in screen coordinates, a control in its parent's client area.
RECT LiveRect(HWND hwnd, bool isWindow) {
  RECT r;
  GetWindowRect(hwnd, &r);
  if (!isWindow) {
    if (HWND parent = GetParent(hwnd)) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  }
  return r;
}

uint64_t ReadMenuItem(const WindowDefinition& definition, size_t index, int32_t property) {
  MenuItemFields item = definition.units.MenuItem(index);
  switch (static_cast<MenuProperty>(property)) {
    case MenuProperty::Caption: return Pack(PointerWord(NewText(item.caption)));
    case MenuProperty::Checked: return Pack((item.flags & MenuFlag::Checked) ? 1 : 0);
    case MenuProperty::Disabled: return Pack((item.flags & MenuFlag::Disabled) ? 1 : 0);
    case MenuProperty::Visible: return Pack((item.flags & MenuFlag::Hidden) ? 0 : 1);
  }
  return 0;
}

// A menu item's state lives in its record; a loaded window's menus follow it.
void WriteMenuItem(WindowDefinition& definition, size_t index, int32_t property, uint32_t low) {
  UnitRecordArray& units = definition.units;
  MenuItemFields item = units.MenuItem(index);
  MenuRun run = FindMenuRun(units);
  const UINT command = kFirstMenuCommand + static_cast<UINT>(index - run.first);
  WindowUnit* window = LoadedWindow(definition);
  auto setFlag = [&](uint32_t flag, bool on) {
    uint32_t flags = on ? (item.flags | flag) : (item.flags & ~flag);
    if (flags == item.flags) return false;
    units.SetMenuFlags(index, flags);
    return true;
  };
  auto eachLiveMenu = [&](auto apply) {
    if (!window || !window->hwnd()) return;
    if (HMENU bar = GetMenu(window->hwnd())) apply(bar);
    for (size_t i = run.first; i < run.first + run.count; ++i) {
      if (HMENU popup = WordPointer<HMENU>(units.MenuItem(i).reserved[0])) apply(popup);
    }
  };
  switch (static_cast<MenuProperty>(property)) {
    case MenuProperty::Caption: {
      std::string caption(TextView(WordPointer<const char*>(low)));
      units.SetMenuCaption(index, caption);
      std::wstring wide = Widen(caption);
      eachLiveMenu([&](HMENU menu) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING;
        info.dwTypeData = wide.data();
        SetMenuItemInfoW(menu, command, FALSE, &info);
      });
      break;
    }
    case MenuProperty::Checked:
      if (setFlag(MenuFlag::Checked, low != 0)) {
        eachLiveMenu([&](HMENU menu) { CheckMenuItem(menu, command, MF_BYCOMMAND | (low ? MF_CHECKED : MF_UNCHECKED)); });
      }
      break;
    case MenuProperty::Disabled:
      if (setFlag(MenuFlag::Disabled, low != 0)) {
        eachLiveMenu([&](HMENU menu) { EnableMenuItem(menu, command, MF_BYCOMMAND | (low ? MF_GRAYED : MF_ENABLED)); });
      }
      break;
    case MenuProperty::Visible:
      // Takes effect in the menu bar when the window is next loaded.
      setFlag(MenuFlag::Hidden, low == 0);
      break;
  }
  if (window && window->hwnd()) DrawMenuBar(window->hwnd());
}

// The unit's native window while it exists, else null (the stored definition answers).
HWND LiveHandle(const WindowDefinition& definition, size_t index) {
  Unit* unit = UnitObject(definition, index);
  return unit && unit->hwnd() && IsWindow(unit->hwnd()) ? unit->hwnd() : nullptr;
}

// Left, top, width, height: live when the native window exists, else as stored. The record is
// read only when there is no native window: reading one copies all its fields, and the timer
// handlers read a window's place as often as the platform's timer allows.
std::array<int32_t, 4> CurrentRect(const UnitRecordArray& units, size_t index, HWND hwnd) {
  if (!hwnd) {
    const UnitRecordFields fields = units.Unit(index);
    return {fields.left, fields.top, fields.width, fields.height};
  }
  RECT r = LiveRect(hwnd, index == 0);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

uint64_t ReadCommon(const WindowDefinition& definition, size_t index, Common property) {
  HWND hwnd = LiveHandle(definition, index);
  switch (property) {
    case Common::Left:
    case Common::Top:
    case Common::Width:
    case Common::Height:
      return Pack(static_cast<uint32_t>(CurrentRect(definition.units, index, hwnd)[static_cast<int>(property)]));
    case Common::Tag: return Pack(PointerWord(NewText(definition.units.Unit(index).tag)));
    case Common::Visible:
      if (hwnd) return Pack((GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) ? 1 : 0);
      return Pack((definition.units.Unit(index).flags & UnitFlag::Visible) ? 1 : 0);
    case Common::Disabled:
      if (hwnd) return Pack(IsWindowEnabled(hwnd) ? 0 : 1);
      return Pack((definition.units.Unit(index).flags & UnitFlag::Disabled) ? 1 : 0);
    case Common::Cursor: return Pack(PointerWord(NewByteSet(definition.units.Unit(index).cursorData)));
  }
  return 0;
}

void WriteCommon(WindowDefinition& definition, size_t index, Common property, uint32_t low) {
  UnitRecordArray& units = definition.units;
  HWND hwnd = LiveHandle(definition, index);
  switch (property) {
    case Common::Left:
    case Common::Top:
    case Common::Width:
    case Common::Height: {
      std::array<int32_t, 4> value = CurrentRect(units, index, hwnd);
      // Handlers write the same place on every tick: an unchanged one must not move or repaint.
      if (value[static_cast<int>(property)] == static_cast<int32_t>(low)) break;
      value[static_cast<int>(property)] = static_cast<int32_t>(low);
      if (hwnd) {
        SetWindowPos(hwnd, nullptr, value[0], value[1], value[2], value[3], SWP_NOZORDER | SWP_NOACTIVATE);
      } else {
        units.SetRect(index, value[0], value[1], value[2], value[3]);
      }
      break;
    }
    case Common::Tag: units.SetTag(index, TextView(WordPointer<const char*>(low))); break;
    case Common::Visible:
      if (hwnd) {
        if (((GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0) == (low != 0)) break;
        ShowWindow(hwnd, low ? (index == 0 ? SW_SHOW : SW_SHOWNA) : SW_HIDE);
      } else {
        const uint32_t flags = units.Unit(index).flags;
        units.SetFlags(index, low ? (flags | UnitFlag::Visible) : (flags & ~UnitFlag::Visible));
      }
      break;
    case Common::Disabled:
      if (hwnd) {
        if ((IsWindowEnabled(hwnd) == FALSE) == (low != 0)) break;
        EnableWindow(hwnd, low ? FALSE : TRUE);
      } else {
        const uint32_t flags = units.Unit(index).flags;
        units.SetFlags(index, low ? (flags | UnitFlag::Disabled) : (flags & ~UnitFlag::Disabled));
      }
      break;
    case Common::Cursor: {
      auto data = ByteSetView(WordPointer<const void*>(low));
      const std::vector<uint8_t> stored = units.Unit(index).cursorData;
      if (std::equal(data.begin(), data.end(), stored.begin(), stored.end())) break;
      units.SetCursorData(index, data);
      if (LoadedWindow(definition)) {
        ReleaseUnitCursor(WordPointer<HCURSOR>(units.CursorSlot(index)));
        units.SetCursorSlot(index, PointerWord(CreateUnitCursor(data)));
      }
      break;
    }
  }
}

// A control whose new property value needs a new native control is built again in place.
void RecreateUnit(WindowDefinition& definition, size_t index, Unit* old) {
  const UnitTypeDescriptor* type = FindUnitType(definition.units.Unit(index).type);
  auto create = type ? reinterpret_cast<CreateUnitFn>(type->getInterface(InterfaceCode::CreateUnit)) : nullptr;
  if (!create || index == 0) return;
  ProcessQueuedMessages();
  // A handler run for the queued messages may have closed the window, releasing the unit.
  if (UnitObject(definition, index) != old || !old->hwnd() || !IsWindow(old->hwnd())) return;
  ++Runtime().suspendCount;
  HWND oldHandle = old->hwnd();
  HWND parent = GetParent(oldHandle);
  RECT r = LiveRect(oldHandle, false);
  const LONG style = GetWindowLongW(oldHandle, GWL_STYLE);
  const uint32_t extra = (style & WS_DISABLED) | (style & WS_TABSTOP);
  std::vector<uint8_t> block = old->PropertyData();
  Unit* fresh = create(block.empty() ? nullptr : block.data(), static_cast<int32_t>(block.size()),
                       extra, parent, GetDlgCtrlID(oldHandle), nullptr, r.left, r.top,
                       r.right - r.left, r.bottom - r.top, old->windowId(), old->unitId(), 0, 0);
  if (fresh) {
    if (HWND h = fresh->hwnd()) {
      if (GetParent(h) != parent) SetParent(h, parent);
      SetWindowPos(h, oldHandle, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      ShowWindow(h, (style & WS_VISIBLE) ? SW_SHOWNA : SW_HIDE);
    }
    StoreUnitObject(definition, index, fresh);
    std::unique_ptr<Unit> discard(old);
  }
  ProcessQueuedMessages();
  if (Runtime().suspendCount > 0) --Runtime().suspendCount;
}

Unit* LiveUnitForTypeProperty(const Target& target) {
  Unit* unit = UnitObject(*target.definition, target.index);
  if (!unit) RaiseRuntimeError(0, "指定窗口尚未载入");
  return unit;
}

}  // namespace

uint64_t ReadUnitProperty(uint32_t windowId, uint32_t unitId, int32_t index, int32_t) {
  Target target = Locate(windowId, unitId);
  if (target.definition->units.IsMenuItem(target.index)) {
    return ReadMenuItem(*target.definition, target.index, index);
  }
  if (index >= 0 && index < kFirstOwnProperty) {
    return ReadCommon(*target.definition, target.index, static_cast<Common>(index));
  }
  Unit* unit = LiveUnitForTypeProperty(target);
  const UnitTypeDescriptor* type = FindUnitType(target.definition->units.Unit(target.index).type);
  auto read = type ? reinterpret_cast<ReadPropertyFn>(type->getInterface(InterfaceCode::ReadProperty)) : nullptr;
  if (!read || index < kFirstOwnProperty) return 0;
  PropertyValue value = read(unit, index - kFirstOwnProperty);
  return Pack(value.low, value.high);
}

void WriteUnitProperty(uint32_t windowId, uint32_t unitId, int32_t index, int32_t, uint32_t low,
                       uint32_t high) {
  Target target = Locate(windowId, unitId);
  if (target.definition->units.IsMenuItem(target.index)) {
    WriteMenuItem(*target.definition, target.index, index, low);
    return;
  }
  if (index >= 0 && index < kFirstOwnProperty) {
    WriteCommon(*target.definition, target.index, static_cast<Common>(index), low);
    return;
  }
  Unit* unit = LiveUnitForTypeProperty(target);
  const UnitTypeDescriptor* type = FindUnitType(target.definition->units.Unit(target.index).type);
  auto write = type ? reinterpret_cast<WritePropertyFn>(type->getInterface(InterfaceCode::WriteProperty)) : nullptr;
  if (!write || index < kFirstOwnProperty) return;
  if (write(unit, index - kFirstOwnProperty, {low, high}) == 1 && unit->hwnd() && IsWindow(unit->hwnd())) {
    RecreateUnit(*target.definition, target.index, unit);
  }
}

}  // namespace tl
