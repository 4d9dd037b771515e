#include "app/globals.h"

#include <cstring>

#include "app/runtime_values.h"

namespace tl::app {

Globals& TheGlobals() {
  static Globals globals;
  return globals;
}

void InitGlobals() {
  Globals& g = TheGlobals();
  const int32_t emptyArray[2] = {1, 0};
  for (void*& array : g.ReminderComponents) {
    array = ServicesInUse().Allocate(sizeof emptyArray);
    std::memcpy(array, emptyArray, sizeof emptyArray);
  }
  g.ReminderComponentCount = 0;
  g.SavedCursor = static_cast<PointRecord*>(ServicesInUse().Allocate(sizeof(PointRecord)));
  *g.SavedCursor = {0, 0};
}

void FreeGlobals() {
  Globals& g = TheGlobals();
  for (void*& array : g.ReminderComponents) {
    TextArray(array).Reset();
    array = nullptr;
  }
  ServicesInUse().Free(g.SavedCursor);
  g.SavedCursor = nullptr;
}

}  // namespace tl::app
