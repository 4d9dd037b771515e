// Live units as command parameters: a list view method takes `ListView&`, a command that can do
// without the unit takes `BalloonTip*`. Both are found through FindUnit, the one lookup of a
// unit reference. Windows only.
#pragma once

#include <concepts>

#include "runtime/command.h"
#include "runtime/unit.h"
#include "runtime/unit_events.h"

namespace tl {

// A unit that may be missing or of another type: null then, and no runtime error.
template <typename U>
  requires std::derived_from<U, Unit>
struct Codec<U*> {
  static constexpr uint32_t kType = 0;
  static U* Decode(const ArgRecord& r) { return dynamic_cast<U*>(FindUnit(r, false)); }
  using Given = UnitRef;
  static ArgRecord Encode(const UnitRef& u) { return Codec<UnitRef>::Encode(u); }
};

namespace command_detail {

// A unit the command cannot run without: one that is not loaded is the runtime's error; one of
// another type, or none given, leaves the command undone and its result empty.
template <typename U>
  requires std::derived_from<U, Unit>
struct Param<U&> {
  using Held = U*;
  using Given = UnitRef;
  static constexpr uint32_t kType = 0;
  static Held Take(std::span<const ArgRecord> records, size_t i) {
    return i < records.size() ? dynamic_cast<U*>(FindUnit(records[i], true)) : nullptr;
  }
  static bool Present(Held unit) { return unit != nullptr; }
  static U& Pass(Held unit) { return *unit; }
  static size_t Count(const Given&) { return 1; }
  static void Put(ArgRecord*& out, const Given& unit) { *out++ = Codec<UnitRef>::Encode(unit); }
};

}  // namespace command_detail
}  // namespace tl
