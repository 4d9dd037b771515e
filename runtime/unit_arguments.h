// Live units as command parameters: a list view method takes `ListView&`, a command that can do
// without the unit takes `BalloonTip*`. Both are found through FindUnit, the one lookup of a
// unit reference. And a unit type's methods bound to its members. Windows only.
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

// R(U&, P...): a method's signature with its unit first.
template <typename U, typename Signature>
struct UnitFirst;
template <typename U, typename R, typename... P>
struct UnitFirst<U, R(P...)> {
  using type = R(U&, P...);
};

// The unit type that has the member (declared only, for its type).
template <typename F, typename U>
U* UnitOf(F U::*member);

}  // namespace command_detail

// A unit type's method bound to its member function: the records are the unit's reference, then
// the arguments as `Signature`'s parameters read them (an IntOr for an int that has a default);
// `Signature`'s result codec answers what the member returns. The member needs no wrapper of its
// own: a parameter or answer that does not fit it does not compile.
template <auto Member, typename Signature>
constexpr auto MakeMethod(const char* name, int32_t library) {
  using U = std::remove_pointer_t<decltype(command_detail::UnitOf(Member))>;
  return command_detail::Describe<typename command_detail::UnitFirst<U, Signature>::type, Member>(name, library);
}

}  // namespace tl
