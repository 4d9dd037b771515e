#include "app/unit_properties.h"

#include <bit>

namespace tl::app {

uint64_t ReadProperty(const UnitRef& unit, int32_t index) {
  return ServicesInUse().ReadUnitProperty(unit.window, unit.unit, index, -1);
}

int32_t ReadInt(const UnitRef& unit, int32_t index) { return static_cast<int32_t>(ReadProperty(unit, index)); }
bool ReadBool(const UnitRef& unit, int32_t index) { return static_cast<uint32_t>(ReadProperty(unit, index)) != 0; }
OwnedText ReadText(const UnitRef& unit, int32_t index) {
  return OwnedText(WordPointer<char*>(static_cast<uint32_t>(ReadProperty(unit, index))));
}

double ReadDateTime(const UnitRef& unit, int32_t index) { return std::bit_cast<double>(ReadProperty(unit, index)); }

void WriteInt(const UnitRef& unit, int32_t index, int32_t value) {
  ServicesInUse().WriteUnitProperty(unit.window, unit.unit, index, -1, static_cast<uint32_t>(value), 0);
}
void WriteDateTime(const UnitRef& unit, int32_t index, double value) {
  const auto bits = std::bit_cast<uint64_t>(value);
  ServicesInUse().WriteUnitProperty(unit.window, unit.unit, index, -1, static_cast<uint32_t>(bits),
                               static_cast<uint32_t>(bits >> 32));
}
void WriteBool(const UnitRef& unit, int32_t index, bool value) { WriteInt(unit, index, value ? 1 : 0); }
void WriteText(const UnitRef& unit, int32_t index, const char* text) {
  ServicesInUse().WriteUnitProperty(unit.window, unit.unit, index, -1, PointerWord(text ? text : EmptyText()), 0);
}

}  // namespace tl::app
