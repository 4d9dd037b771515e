// The runtime's request entry, which every command library is handed at start-up, and the
// records its requests point to. Windows only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "runtime/events.h"

namespace tl {

class Unit;

// DefaultIcons (1000): filled with the icons of a window without its own.
struct DefaultIconsRecord {
  HICON bigIcon;
  HICON smallIcon;
};

// CurrentEventSource (2017): filled with the window and unit whose event a handler is running
// for, zeros outside any handler.
struct EventSourceRecord {
  uint32_t window;
  uint32_t unit;
};
static_assert(sizeof(EventSourceRecord) == 8);

// LoadWindow (2005): the window to load, the unit object of its owner (null: none) and 1 for a
// modal window.
struct LoadWindowRecord {
  uint32_t window;
  Unit* owner;
  int32_t modal;
};
static_assert(sizeof(LoadWindowRecord) == 12 && offsetof(LoadWindowRecord, modal) == 8);

// CallDeclared (2102): the argument words of a declared DLL function call, first argument first.
// The runtime checks that the function took exactly these words off the stack (runtime error 6
// otherwise).
struct DeclaredCall {
  const uint32_t* words;
  uint32_t count;
};

// Answers one request; a (and b) carry its arguments or point to its record.
intptr_t RuntimeRequest(Request code, intptr_t a, intptr_t b);

}  // namespace tl
