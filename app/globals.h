// The application's program-wide variables, live from start-up to exit. `InitGlobals` runs in the
// entry routine before any window is loaded; `FreeGlobals` is the exit callback that releases
// them (it runs once, from ExitProgram, and leaves every pointer null).
#pragma once

#include <array>
#include <cstdint>

#include "app/declared_calls.h"

namespace tl::app {

struct Globals {
  // Five one-dimensional text arrays (each starts as a fresh 8-byte block {1, 0}).
  std::array<void*, 5> ReminderComponents{};
  // The element count of the first ReminderComponents array.
  int32_t ReminderComponentCount = 0;
  // The pointer position saved around synthetic clicks: one 8-byte heap block.
  PointRecord* SavedCursor = nullptr;
};

// The one set of globals, alive from start-up to the exit callback.
Globals& TheGlobals();

void InitGlobals();
void FreeGlobals();

}  // namespace tl::app
