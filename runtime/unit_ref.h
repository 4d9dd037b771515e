// A unit as the application, the commands and the window definitions name it.
#pragma once

#include <cstdint>

#include "runtime/value.h"

namespace tl {

// A unit as the object of a method or as a window argument: (window id, unit id, unit type). A
// window's own unit names the window definition and the window's unit record.
struct UnitRef {
  uint32_t window = 0;
  uint32_t unit = 0;
  UnitType type{};
};

}  // namespace tl
