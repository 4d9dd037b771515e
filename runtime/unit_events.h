// How unit types and command libraries reach the runtime: the request entry each library is
// given at start-up, and raising a unit's events through it. Windows only.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "runtime/events.h"

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

}  // namespace tl
