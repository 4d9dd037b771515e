// How unit types and command libraries reach the runtime: the request entry each library is
// given at start-up, and raising a unit's events through it. Windows only.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "runtime/events.h"
#include "runtime/value.h"

namespace tl {

class Unit;

// Called by every library's notify entry with code 1.
void SetRuntimeRequest(RuntimeRequestFn entry);
intptr_t CallRuntime(Request code, intptr_t a = 0, intptr_t b = 0);

// Fills an event record for the unit (the window's own unit for window events) and fires it;
// the returned record carries the handler's answer (see Refused()).
EventRecord RaiseEvent(uint32_t window, uint32_t unit, int32_t index,
                       std::initializer_list<uint32_t> args = {});
EventRecord RaiseEvent(const Unit& unit, int32_t index, std::initializer_list<uint32_t> args = {});

// The unit a reference names (window id, unit id). A window's own unit id has its top four bits
// clear; the runtime names the window's own unit with 0. A unit that is not loaded is nothing,
// or, when checked, the runtime's error.
inline Unit* FindUnit(const ArgRecord& ref, bool checked) {
  const uint32_t unitId = (ref.high >> 28) == 0 ? 0 : ref.high;
  const Request request = checked ? Request::UnitObjectOrError : Request::UnitObject;
  return reinterpret_cast<Unit*>(CallRuntime(request, static_cast<intptr_t>(ref.low), static_cast<intptr_t>(unitId)));
}

}  // namespace tl
