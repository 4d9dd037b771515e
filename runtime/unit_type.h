// The unit-type interface: what the window loader and the property services need from every
// type of unit (window, controls, menu). One descriptor per type; GetUnitInterface answers
// numeric interface codes with entry points.
#pragma once

#include <cstdint>

namespace tl {

namespace UnitState {
inline constexpr uint32_t RaisesEvents = 0x40;
inline constexpr uint32_t RaisesEventsAlt = 0x04;
inline constexpr uint32_t PagedContainer = 0x100;
inline constexpr uint32_t Invisible = 0x8000;  // timer, input device, balloon tip
}  // namespace UnitState

enum class InterfaceCode : int32_t {
  CreateUnit = 1,
  WriteProperty = 4,
  ReadProperty = 6,
};

using GetUnitInterfaceFn = void* (*)(InterfaceCode code);

struct UnitTypeDescriptor {
  const char* name;         // GBK, e.g. "窗口"
  const char* englishName;  // e.g. "window"
  uint32_t stateFlags;
  GetUnitInterfaceFn getInterface;
};

// A command library: its unit types (index = type number - 1; null entries are unknown types)
// and the entry that receives the runtime's request entry (code 1) and the end (code 6).
struct LibraryRecord {
  const char* name;
  const UnitTypeDescriptor* const* unitTypes;
  uint32_t unitTypeCount;
  intptr_t (*notifyLibrary)(int32_t code, intptr_t arg);
};

}  // namespace tl
