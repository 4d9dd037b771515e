#include "runtime/loader.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "runtime/cursors.h"
#include "runtime/dispatch.h"
#include "runtime/memory.h"
#include "runtime/runtime_error.h"
#include "runtime/menu_bar.h"
#include "runtime/program_header.h"
#include "runtime/runtime_state.h"
#include "runtime/system_dpi.h"
#include "runtime/unit_events.h"
#include "runtime/unit.h"
#include "runtime/window_dpi.h"
#include "runtime/window_map.h"
#include "runtime/window_unit.h"
#include "runtime/value.h"

namespace tl {
namespace {

constexpr int32_t kFirstChildId = 100;
constexpr int32_t kChildIdStep = 10;

struct CreatedUnit {
  size_t index;
  bool visible;
  bool pagedContainer;
};

CreateUnitFn CreateEntryOf(uint32_t type, uint32_t* stateFlags) {
  const UnitTypeDescriptor* descriptor = FindUnitType(type);
  if (!descriptor || !descriptor->getInterface) return nullptr;
  *stateFlags = descriptor->stateFlags;
  return reinterpret_cast<CreateUnitFn>(descriptor->getInterface(InterfaceCode::CreateUnit));
}

Unit* AsUnit(uint32_t slot) { return WordPointer<Unit*>(slot); }

// A record's place is in pixels at 96 DPI; the unit is created at the DPI it will show at.
struct ScaledPlace {
  int32_t left, top, width, height;
};

ScaledPlace PlaceAt(const UnitRecordFields& fields, int32_t dpi) {
  return {ScaleToDpi(fields.left, dpi), ScaleToDpi(fields.top, dpi), ScaleToDpi(fields.width, dpi),
          ScaleToDpi(fields.height, dpi)};
}

// Releases what a load made of a definition: cursors, unit objects (controls first, the window
// last) and the working array, which goes back to the copy taken when the load began.
void ReleaseLoadedUnits(WindowDefinition& definition) {
  UnitRecordArray& units = definition.units;
  std::unique_ptr<Unit> window;
  for (size_t i = units.size(); i-- > 0;) {
    if (units.IsMenuItem(i)) continue;
    ReleaseUnitCursor(WordPointer<HCURSOR>(units.CursorSlot(i)));
    units.SetCursorSlot(i, 0);
    std::unique_ptr<Unit> unit(AsUnit(units.ObjectSlot(i)));
    StoreUnitObject(definition, i, nullptr);
    if (i == 0) window = std::move(unit);
  }
  window.reset();
  definition.units = std::move(definition.saved);
  definition.saved = UnitRecordArray();
}

// Undoes a load that failed at unit creation.
int FailLoad(WindowDefinition& definition, BuiltMenu& menu, bool windowOwnsMenu) {
  if (windowOwnsMenu) menu.bar = nullptr;  // destroyed with the native window
  ReleaseLoadedUnits(definition);
  DestroyBuiltMenu(menu);
  ResumeEvents();
  return 0;
}

void PlaceControls(WindowDefinition& definition, std::vector<CreatedUnit>& created) {
  UnitRecordArray& units = definition.units;
  HWND windowHandle = AsUnit(units.ObjectSlot(0))->hwnd();
  std::vector<bool> hidden(units.size(), false);
  // Each record is read once: reading one copies all its fields.
  std::vector<uint32_t> parents(units.size(), 0);
  for (size_t i = 1; i < units.size(); ++i) {
    if (!units.IsMenuItem(i)) parents[i] = units.Unit(i).parent;
  }
  // Parents, and the pages after the first of paged containers start hidden.
  for (size_t i = 1; i < units.size(); ++i) {
    if (units.IsMenuItem(i)) continue;
    Unit* unit = AsUnit(units.ObjectSlot(i));
    HWND parent = windowHandle;
    if (parents[i] != 0) {
      auto at = units.IndexOf(parents[i]);
      if (at && !units.IsMenuItem(*at) && AsUnit(units.ObjectSlot(*at))) {
        parent = AsUnit(units.ObjectSlot(*at))->hwnd();
      }
    }
    if (unit->hwnd() && parent && GetParent(unit->hwnd()) != parent) SetParent(unit->hwnd(), parent);
  }
  for (const CreatedUnit& c : created) {
    if (!c.pagedContainer) continue;
    bool afterSeparator = false;
    for (uint32_t child : units.Unit(c.index).children) {
      if (child == 0) {
        afterSeparator = true;
      } else if (afterSeparator) {
        if (auto at = units.IndexOf(child)) hidden[*at] = true;
      }
    }
  }
  // Record order is front-to-back among siblings. A new child goes below its siblings, so
  // creating the units in record order has placed them already: only a unit out of place (one
  // moved to another parent) is moved.
  for (size_t i = 1; i < units.size(); ++i) {
    if (units.IsMenuItem(i)) continue;
    HWND self = AsUnit(units.ObjectSlot(i))->hwnd();
    if (!self) continue;
    HWND after = HWND_TOP;
    for (size_t j = i - 1; j >= 1; --j) {
      if (!units.IsMenuItem(j) && parents[j] == parents[i] && AsUnit(units.ObjectSlot(j))->hwnd()) {
        after = AsUnit(units.ObjectSlot(j))->hwnd();
        break;
      }
    }
    if (GetWindow(self, GW_HWNDPREV) == (after == HWND_TOP ? nullptr : after)) continue;
    SetWindowPos(self, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  for (size_t i = 0; i < units.size(); ++i) {
    if (units.IsMenuItem(i)) continue;
    std::vector<uint8_t> data = units.Unit(i).cursorData;
    units.SetCursorSlot(i, PointerWord(CreateUnitCursor(data)));
  }
  for (CreatedUnit& c : created) {
    if (hidden[c.index]) c.visible = false;
  }
}

void SendToControls(const UnitRecordArray& units, UINT message) {
  for (size_t i = units.size(); i-- > 1;) {
    if (units.IsMenuItem(i)) continue;
    Unit* unit = AsUnit(units.ObjectSlot(i));
    if (unit && unit->hwnd() && IsWindow(unit->hwnd())) SendMessageW(unit->hwnd(), message, 0, 0);
  }
}

bool Alive(const WindowDefinition& definition) {
  WindowUnit* window = LoadedWindow(definition);
  return window && window->hwnd() && IsWindow(window->hwnd());
}

// Once every unit exists and events flow again: raises created, moved and resized; shows a
// window that starts visible as its position property says, raising focus gained for the unit
// the focus lands on; disables the other windows for a modal one; tells the controls the window
// is up; and only then marks it loaded. Each step first checks that a handler has not closed it.
void FinishLoad(WindowDefinition& definition, bool visible, bool modal) {
  if (!Alive(definition)) return;
  LoadedWindow(definition)->raisesFrameEvents = true;
  for (int32_t event : {WindowEvent::Created, WindowEvent::Moved, WindowEvent::Resized}) {
    if (!Alive(definition)) return;
    RaiseEvent(definition.id, 0, event);
  }
  if (!Alive(definition)) return;
  WindowUnit* window = LoadedWindow(definition);
  HWND hwnd = window->hwnd();
  if (visible) {
    const int position = window->properties().position;
    // Showing a new window may report its first place and size once more: the load has
    // raised those events already.
    window->raisesFrameEvents = false;
    ShowWindow(hwnd, position == 3 ? SW_SHOWMAXIMIZED : position == 2 ? SW_SHOWMINIMIZED : SW_SHOW);
    window->raisesFrameEvents = true;
    HWND focus = GetFocus();
    if (focus && (focus == hwnd || IsChild(hwnd, focus))) {
      for (size_t i = 0; i < definition.units.size(); ++i) {
        Unit* unit = UnitObject(definition, i);
        if (unit && unit->hwnd() == focus) {
          RaiseEvent(definition.id, definition.units.IdAt(i), UnitEvent::FocusGained);
          break;
        }
      }
    }
  }
  if (!Alive(definition)) return;
  window = LoadedWindow(definition);  // a focus handler may have closed and reloaded it
  if (modal) {
    std::vector<HWND> others;
    for (auto& other : Runtime().windows) {
      if (other.get() == &definition || !Alive(*other)) continue;
      HWND top = LoadedWindow(*other)->hwnd();
      if (!(GetWindowLongW(top, GWL_STYLE) & WS_CHILD)) others.push_back(top);
    }
    window->DisableOtherWindows(others);
  }
  HWND focus = GetFocus();
  SendToControls(definition.units, kMsgWindowUp);
  if (GetFocus() != focus && focus && IsWindow(focus)) SetFocus(focus);
  // The focus change raises events of other windows, whose handlers may close this one.
  if (!Alive(definition)) return;
  LoadedWindow(definition)->loaded = true;
}

}  // namespace

void LoadFormImage() {
  RuntimeState& rt = Runtime();
  const ProgramHeader* header = ProgramHeaderInUse();
  const uint32_t handlerCount = header && header->codeBase ? header->codeBase->count : 0;
  std::optional<std::vector<WindowDefinitionData>> read;
  ReadError error{"no form image", 0};
  if (header && header->formImage) {
    read = ReadFormImage({header->formImage, header->formImageLength}, handlerCount, &error);
  }
  if (!read) {
    // The message is fixed; the reason goes where a developer looks for it.
    const std::string reason = "form image: " + error.Text() + "\n";
    OutputDebugStringA(reason.c_str());
    std::fputs(reason.c_str(), stderr);
    RaiseRuntimeError(0, "载入窗口模板数据段出错!");
  }
  for (WindowDefinitionData& data : *read) {
    auto definition = std::make_unique<WindowDefinition>();
    definition->id = data.id;
    definition->word1 = data.word1;
    definition->word2 = data.word2;
    definition->text1 = std::move(data.text1);
    definition->text2 = std::move(data.text2);
    definition->units = std::move(data.units);
    definition->events = EventIndex(definition->units);
    rt.windows.push_back(std::move(definition));
  }
}

int LoadWindowFromDefinition(WindowDefinition& definition, bool modal, HWND owner) {
  if (definition.units.size() == 0 || definition.units.IsMenuItem(0)) return 0;
  if (WindowUnit* existing = LoadedWindow(definition)) {
    if (existing->hwnd() && IsWindow(existing->hwnd()) && !existing->closePending) {
      // A hidden window stays hidden and inactive: activating it would take the keyboard
      // from the visible window the user works in.
      if (!IsWindowVisible(existing->hwnd())) return 1;
      if (IsIconic(existing->hwnd())) {
        ShowWindow(existing->hwnd(), SW_RESTORE);
      } else {
        SetActiveWindow(existing->hwnd());
      }
      return 1;
    }
    existing->RestoreDisabledWindows();
    if (existing->hwnd() && IsWindow(existing->hwnd())) {
      DestroyWindow(existing->hwnd());
    } else {
      WindowDestroyed(definition.id);
    }
  }
  if (modal) owner = nullptr;
  else if (owner && !IsWindow(owner)) return 0;

  SuspendEvents();
  if (LoadedWindow(definition)) {
    // A handler run for the queued messages has loaded this window meanwhile: building over
    // it would orphan that instance, so treat it as the instance that is already open.
    ResumeEvents();
    return LoadWindowFromDefinition(definition, modal, owner);
  }
  definition.saved = definition.units;
  UnitRecordArray& units = definition.units;
  MenuRun run = FindMenuRun(units);
  BuiltMenu menu;
  if (run.count >= 1) menu = BuildMenuBar(units, run);

  std::vector<CreatedUnit> created;
  HWND windowHandle = nullptr;
  int32_t windowDpi = kDesignDpi;
  std::vector<size_t> order{0};
  for (size_t i = 1; i < units.size(); ++i) {
    if (!units.IsMenuItem(i)) order.push_back(i);
  }
  // Child ids count up from the last record: the first control record gets the highest.
  int32_t childId = kFirstChildId + (static_cast<int32_t>(order.size()) - 2) * kChildIdStep;
  for (size_t index : order) {
    UnitRecordFields fields = units.Unit(index);
    uint32_t stateFlags = 0;
    CreateUnitFn create = CreateEntryOf(fields.type, &stateFlags);
    if (!create) return FailLoad(definition, menu, windowHandle != nullptr);
    const bool invisibleType = stateFlags & UnitState::Invisible;
    const bool visible = !invisibleType && (fields.flags & UnitFlag::Visible);
    uint32_t style = 0;
    if ((fields.flags & UnitFlag::Disabled) && !invisibleType) style |= WS_DISABLED;
    if (fields.flags & UnitFlag::TabStop) style |= WS_TABSTOP;
    std::span<const uint8_t> block = units.PropertyBlock(index);
    Unit* unit = nullptr;
    if (index == 0) {
      // The window does not exist yet: it is made at the system's DPI, the primary monitor's.
      const ScaledPlace place = PlaceAt(fields, SystemDpi());
      SetCreatingModal(modal);
      unit = create(block.empty() ? nullptr : block.data(), static_cast<int32_t>(block.size()),
                    style, owner, 0, menu.bar, place.left, place.top, place.width, place.height,
                    definition.id, units.IdAt(0), 0, 0);
      SetCreatingModal(false);
      if (unit) StoreUnitObject(definition, 0, unit);
      if (!unit || !unit->hwnd() || !IsWindow(unit->hwnd())) {
        return FailLoad(definition, menu, unit && unit->hwnd());
      }
      windowHandle = unit->hwnd();
      windowDpi = DpiOfWindow(windowHandle);
    } else {
      const ScaledPlace place = PlaceAt(fields, windowDpi);
      unit = create(block.empty() ? nullptr : block.data(), static_cast<int32_t>(block.size()),
                    style, windowHandle, childId, nullptr, place.left, place.top, place.width,
                    place.height, definition.id, units.IdAt(index), 0, 0);
      childId -= kChildIdStep;
      if (!unit) return FailLoad(definition, menu, true);
      StoreUnitObject(definition, index, unit);
    }
    created.push_back({index, visible, (stateFlags & UnitState::PagedContainer) != 0});
  }
  WindowUnit* window = LoadedWindow(definition);
  for (HMENU detached : menu.detachedMenus) window->KeepDetachedMenu(detached);

  PlaceControls(definition, created);
  SendToControls(units, kMsgAllUnitsExist);
  SendMessageW(windowHandle, kMsgWindowBuilt, 0, 0);
  bool windowVisible = false;
  for (const CreatedUnit& c : created) {
    if (c.index == 0) {
      windowVisible = c.visible;
      continue;
    }
    Unit* unit = UnitObject(definition, c.index);
    if (unit && unit->hwnd()) ShowWindow(unit->hwnd(), c.visible ? SW_SHOWNA : SW_HIDE);
  }
  window->SetAccelerators(menu.accelerators);
  ResumeEvents();
  FinishLoad(definition, windowVisible, modal);
  return 1;
}

int LoadWindowRequest(uint32_t windowId, HWND owner, bool modal) {
  WindowDefinition* definition = FindWindowDefinition(windowId);
  if (!definition || LoadWindowFromDefinition(*definition, modal, owner) != 1) return 0;
  // A window that its own handlers closed during the load is not loaded: its caller must not
  // go on to use it.
  if (!Alive(*definition)) return 0;
  WindowUnit* window = LoadedWindow(*definition);
  if (!modal) return 1;
  if (!(GetWindowLongW(window->hwnd(), GWL_STYLE) & WS_VISIBLE)) return 1;
  if (owner && (GetWindowLongW(owner, GWL_EXSTYLE) & WS_EX_TOPMOST)) {
    SetWindowPos(window->hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  RunModalLoop(windowId);
  return 1;
}

bool CloseByProgram(uint32_t windowId) {
  WindowDefinition* definition = FindWindowDefinition(windowId);
  WindowUnit* window = definition ? LoadedWindow(*definition) : nullptr;
  if (!window || !window->hwnd()) return false;
  window->closePending = true;
  window->RestoreDisabledWindows();
  return true;
}

void WindowDestroyed(uint32_t windowId) {
  RuntimeState& rt = Runtime();
  WindowDefinition* definition = FindWindowDefinition(windowId);
  if (!definition || !LoadedWindow(*definition)) return;
  ReleaseLoadedUnits(*definition);
  if (rt.modalWindow == windowId) rt.modalWindow = 0;
  if (!AnyLoadedWindowAlive() && rt.loopEntered && !rt.ending) PostQuitMessage(0);
}

}  // namespace tl
