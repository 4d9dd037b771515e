// The unit-type interface: what the window loader and the property services need from every
// type of unit (window, controls, menu). One descriptor per type; GetUnitInterface answers
// numeric interface codes with entry points.
#pragma once

#include <cstdint>
#include <type_traits>

namespace tl {

// The properties every unit has, by the property services' index. A unit type's own properties
// are numbered from kFirstOwnProperty on, by an enum beside its block (LabelProperty, ...); a
// type's interface entries take them less kFirstOwnProperty.
enum class CommonProperty : int32_t { Left, Top, Width, Height, Tag, Visible, Disabled, Cursor };
inline constexpr int32_t kFirstOwnProperty = 8;

// A property or event name as the number the services and the form image carry.
template <typename E>
  requires std::is_enum_v<E>
constexpr int32_t Number(E name) {
  return static_cast<int32_t>(name);
}

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
