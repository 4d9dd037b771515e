// A unit type's interface entries called as the runtime calls them: the loader's create entry,
// and the property service's read and write entries.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>

#include "runtime/unit.h"
#include "runtime/unit_type.h"

namespace tl::test {

// Where the loader puts a unit: its parent, child id, rectangle in the parent and the
// identifiers its events carry, with the style the form adds to the type's own.
struct UnitPlace {
  HWND parent;
  int32_t childId;
  int32_t left, top, width, height;
  uint32_t windowId, unitId;
  uint32_t extraStyle = 0;
};

// The unit the type's create entry makes from the property block (none when it is empty), or
// null when the entry refuses.
Unit* CreateUnitEntry(const UnitTypeDescriptor& type, std::span<const uint8_t> block, const UnitPlace& place);
// The same unit shown without activation, as the loader shows a visible unit.
std::unique_ptr<Unit> CreateShownUnit(const UnitTypeDescriptor& type, std::span<const uint8_t> block,
                                      const UnitPlace& place);

// The type's property entries; numbers count from the type's first own property.
int WritePropertyEntry(const UnitTypeDescriptor& type, Unit* unit, int32_t number, PropertyValue value);
PropertyValue ReadPropertyEntry(const UnitTypeDescriptor& type, Unit* unit, int32_t number);

}  // namespace tl::test
