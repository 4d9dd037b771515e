#include "tests/win/unit_entries.h"

namespace tl::test {

Unit* CreateUnitEntry(const UnitTypeDescriptor& type, std::span<const uint8_t> block, const UnitPlace& place) {
  auto create = reinterpret_cast<CreateUnitFn>(type.getInterface(InterfaceCode::CreateUnit));
  return create(block.empty() ? nullptr : block.data(), static_cast<int32_t>(block.size()), place.extraStyle,
                place.parent, place.childId, nullptr, place.left, place.top, place.width, place.height,
                place.windowId, place.unitId, 0, 0);
}

std::unique_ptr<Unit> CreateShownUnit(const UnitTypeDescriptor& type, std::span<const uint8_t> block,
                                      const UnitPlace& place) {
  std::unique_ptr<Unit> unit(CreateUnitEntry(type, block, place));
  if (unit) ShowWindow(unit->hwnd(), SW_SHOWNA);
  return unit;
}

int WritePropertyEntry(const UnitTypeDescriptor& type, Unit* unit, int32_t number, PropertyValue value) {
  auto write = reinterpret_cast<WritePropertyFn>(type.getInterface(InterfaceCode::WriteProperty));
  return write(unit, number, value);
}

PropertyValue ReadPropertyEntry(const UnitTypeDescriptor& type, Unit* unit, int32_t number) {
  auto read = reinterpret_cast<ReadPropertyFn>(type.getInterface(InterfaceCode::ReadProperty));
  return read(unit, number);
}

}  // namespace tl::test
