#include "runtime/window_map.h"

#include "runtime/runtime_state.h"
#include "runtime/value.h"

namespace tl {

WindowDefinition* FindWindowDefinition(uint32_t windowId) {
  for (auto& definition : Runtime().windows) {
    if (definition->id == windowId) return definition.get();
  }
  return nullptr;
}

Unit* UnitObject(const WindowDefinition& definition, size_t index) {
  if (index >= definition.units.size() || definition.units.IsMenuItem(index)) return nullptr;
  return WordPointer<Unit*>(definition.units.ObjectSlot(index));
}

void StoreUnitObject(WindowDefinition& definition, size_t index, Unit* unit) {
  definition.units.SetObjectSlot(index, PointerWord(unit));
  definition.handles.Attach(index, unit);
}

Unit* FindUnitObject(uint32_t windowId, uint32_t unitId) {
  WindowDefinition* definition = FindWindowDefinition(windowId);
  if (!definition) return nullptr;
  if (unitId == 0) return UnitObject(*definition, 0);
  auto index = definition->units.IndexOf(unitId);
  return index ? UnitObject(*definition, *index) : nullptr;
}

}  // namespace tl
