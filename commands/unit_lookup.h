// How the window commands reach the native windows of units the runtime finds (FindUnit). Windows
// only.
#pragma once

#include <windows.h>

#include "runtime/command.h"
#include "runtime/unit.h"
#include "runtime/unit_events.h"
#include "runtime/value.h"

namespace tl::cmd {

inline HWND UnitWindow(const UnitRef& ref, bool checked) {
  Unit* unit = FindUnit(Codec<UnitRef>::Encode(ref), checked);
  return unit ? unit->hwnd() : nullptr;
}

// An owner given as a window unit or as a native handle; a window that is not loaded gives none.
inline HWND OwnerWindow(const ArgRecord& owner) {
  if (owner.type == TypeCode(UnitType::Window)) return UnitWindow(Codec<UnitRef>::Decode(owner), false);
  if (owner.type == DataType::Int) return reinterpret_cast<HWND>(static_cast<uintptr_t>(owner.low));
  return nullptr;
}

}  // namespace tl::cmd
