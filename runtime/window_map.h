// The window map: the program's window definitions by window id, and the live unit objects their
// records hold while a window is loaded. Windows only.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/window_definition.h"

namespace tl {

class Unit;

// Null when no definition has the id.
WindowDefinition* FindWindowDefinition(uint32_t windowId);
// The live object in a record's object slot (null when the window is not loaded).
Unit* UnitObject(const WindowDefinition& definition, size_t index);
// Puts a live object (or none) in a record's object slot and in the window's handle index.
void StoreUnitObject(WindowDefinition& definition, size_t index, Unit* unit);
Unit* FindUnitObject(uint32_t windowId, uint32_t unitId);  // unit id 0: the window

}  // namespace tl
