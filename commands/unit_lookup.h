// How the window commands find units: through the runtime's request entry, by the (window id,
// unit id) pair a unit reference carries. Windows only.
#pragma once

#include <windows.h>

#include "runtime/unit.h"
#include "runtime/unit_events.h"
#include "runtime/value.h"

namespace tl::cmd {

// A unit reference carries (window id, unit id). A window's own unit id has its top four bits
// clear; the runtime names the window's own unit with 0.
inline Unit* FindUnit(const ArgRecord& ref, bool checked) {
  const uint32_t unitId = (ref.high >> 28) == 0 ? 0 : ref.high;
  const Request request = checked ? Request::UnitObjectOrError : Request::UnitObject;
  return reinterpret_cast<Unit*>(CallRuntime(request, static_cast<intptr_t>(ref.low), static_cast<intptr_t>(unitId)));
}

inline HWND UnitWindow(const ArgRecord& ref, bool checked) {
  Unit* unit = FindUnit(ref, checked);
  return unit ? unit->hwnd() : nullptr;
}

// An owner given as a window unit or as a native handle; a window that is not loaded gives none.
inline HWND OwnerWindow(const ArgRecord& owner) {
  if (owner.type == UnitType::Window) return UnitWindow(owner, false);
  if (owner.type == DataType::Int) return reinterpret_cast<HWND>(static_cast<uintptr_t>(owner.low));
  return nullptr;
}

}  // namespace tl::cmd
