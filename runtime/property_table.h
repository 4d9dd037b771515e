// The one property-table form every unit type stands on, the window unit and the controls
// alike: a unit's own properties are rows of a table indexed by the type's property names, each
// row a stored field of the unit's block (Stored) or a pair of the unit's own functions (Live).
// The interface entries that read and write a property by number find it here. Windows only.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "runtime/unit.h"
#include "runtime/unit_type.h"

namespace tl {

// Property values as the property services carry them: texts and byte sets as new runtime heap
// blocks on read, copied out of the service's block on write.
PropertyValue IntValue(int32_t v);
PropertyValue TextValue(std::string_view gbk);
PropertyValue BytesValue(std::span<const uint8_t> bytes);
PropertyValue DoubleValue(double v);
int32_t ValueInt(PropertyValue v);
std::string ValueText(PropertyValue v);
std::vector<uint8_t> ValueBytes(PropertyValue v);
double ValueDouble(PropertyValue v);

// One own property of a unit type: how its value is read and written. A write answers true when
// the value can only take effect in a new native control.
template <typename U>
struct Property {
  PropertyValue (*read)(const U&) = nullptr;
  bool (*write)(U&, PropertyValue) = nullptr;
};

// What a write of a stored property does after storing the value: nothing (no `after`); call a
// member function of the unit type that applies it while the native window exists; ask for a
// new native control always (kRebuild), or only when the value changed (kRestyle, or a member
// predicate `bool () const` of the unit type that says whether the value shapes the control in
// its present state); or, OnChange<&U::Apply>, apply it only when it changed.
struct RebuildTag {};
inline constexpr RebuildTag kRebuild{};
struct RestyleTag {};
inline constexpr RestyleTag kRestyle{};
template <auto Apply>
struct OnChange {
  static constexpr auto apply = Apply;
};

// The range an integer property's writes are clamped into.
struct Range {
  int32_t low, high;
};
inline constexpr Range kAnyValue{INT32_MIN, INT32_MAX};

// One row of a unit type's table: the property's name and what it does.
template <typename U, typename Name>
struct Row {
  Name name;
  Property<U> property;
};

// The table of U's own properties by number: each row lands at its name's number, and every
// number from kFirstOwnProperty to Name::End has exactly one row, or the table does not compile.
template <typename U, typename Name, size_t N>
consteval std::array<Property<U>, N> TableOf(const Row<U, Name> (&rows)[N]) {
  static_assert(N == static_cast<size_t>(Number(Name::End) - kFirstOwnProperty), "one row for every property");
  std::array<Property<U>, N> table{};
  std::array<bool, N> given{};
  for (const Row<U, Name>& row : rows) {
    const int32_t index = Number(row.name) - kFirstOwnProperty;
    if (index < 0 || static_cast<size_t>(index) >= N || given[static_cast<size_t>(index)]) {
      throw "a property row outside the type's numbers, or given twice";
    }
    given[static_cast<size_t>(index)] = true;
    table[static_cast<size_t>(index)] = row.property;
  }
  return table;
}

// A unit whose state is its stored property block, and the rows of its table: Self derives from
// this and from Unit.
template <typename Self, typename BlockType>
class BlockProperties {
 public:
  using Block = BlockType;
  explicit BlockProperties(Block block) : block_(std::move(block)) {}

 protected:
  // A property kept in a field of the block: read as stored; a write stores it (an integer
  // clamped into `limits`), then does what `after` says (see RebuildTag).
  template <auto Field, auto After = nullptr, Range Limits = kAnyValue>
  static constexpr Property<Self> Stored() {
    return {&ReadStored<Field>, &WriteStored<Field, After, Limits>};
  }
  // A property Self reads and writes itself (a live value of the control, a conversion); a
  // null writer makes it read only.
  template <auto Read, auto Write>
  static constexpr Property<Self> Live() {
    return {&ReadLive<Read>, &WriteLive<Write>};
  }

  Block block_;

 private:
  template <typename T>
  static PropertyValue ToValue(const T& value) {
    if constexpr (std::is_same_v<T, std::string>) return TextValue(value);
    else if constexpr (std::is_same_v<T, std::vector<uint8_t>>) return BytesValue(value);
    else if constexpr (std::is_same_v<T, double>) return DoubleValue(value);
    else return {static_cast<uint32_t>(value), 0};
  }
  template <typename T>
  static T FromValue(PropertyValue v, Range limits) {
    if constexpr (std::is_same_v<T, std::string>) return ValueText(v);
    else if constexpr (std::is_same_v<T, std::vector<uint8_t>>) return ValueBytes(v);
    else if constexpr (std::is_same_v<T, double>) return ValueDouble(v);
    else if constexpr (std::is_same_v<T, bool>) return v.low != 0;
    else if constexpr (std::is_same_v<T, int32_t>) return std::clamp(ValueInt(v), limits.low, limits.high);
    else return static_cast<T>(v.low);
  }
  template <auto Field>
  static PropertyValue ReadStored(const Self& self) {
    return ToValue(static_cast<const BlockProperties&>(self).block_.*Field);
  }
  template <auto Field, auto After, Range Limits>
  static bool WriteStored(Self& self, PropertyValue v) {
    auto& field = static_cast<BlockProperties&>(self).block_.*Field;
    auto value = FromValue<std::remove_cvref_t<decltype(field)>>(v, Limits);
    const bool changed = value != field;
    field = std::move(value);
    using A = std::remove_cv_t<decltype(After)>;
    if constexpr (std::is_same_v<A, RebuildTag>) {
      return true;
    } else if constexpr (std::is_same_v<A, RestyleTag>) {
      return changed;
    } else if constexpr (requires { A::apply; }) {
      if (changed && self.hwnd()) (self.*A::apply)();
    } else if constexpr (std::is_same_v<A, bool (Self::*)() const>) {
      return changed && (self.*After)();
    } else if constexpr (!std::is_same_v<A, std::nullptr_t>) {
      if (self.hwnd()) (self.*After)();
    }
    return false;
  }
  template <auto Read>
  static PropertyValue ReadLive(const Self& self) {
    return (self.*Read)();
  }
  template <auto Write>
  static bool WriteLive(Self& self, PropertyValue v) {
    if constexpr (std::is_same_v<decltype(Write), std::nullptr_t>) return false;
    else return (self.*Write)(v);
  }
};

// The interface entries that write and read U's own properties (codes 4 and 6), from U's table
// `static std::span<const Property<U>> Properties()`. A number outside the table, or a unit of
// another type, reads as nothing and writes change nothing.
template <typename U>
struct PropertyEntries {
  static const Property<U>* Find(int32_t number, Unit* unit) {
    const std::span<const Property<U>> table = U::Properties();
    if (!dynamic_cast<U*>(unit) || number < 0 || static_cast<size_t>(number) >= table.size()) return nullptr;
    return &table[static_cast<size_t>(number)];
  }
  static int Write(Unit* unit, int32_t number, PropertyValue value) {
    const Property<U>* property = Find(number, unit);
    return property && property->write && property->write(static_cast<U&>(*unit), value) ? 1 : 0;
  }
  static PropertyValue Read(Unit* unit, int32_t number) {
    const Property<U>* property = Find(number, unit);
    return property && property->read ? property->read(static_cast<const U&>(*unit)) : PropertyValue{};
  }
  // The entry for `code`, with `create` as U's create entry.
  static void* Entry(InterfaceCode code, CreateUnitFn create) {
    switch (code) {
      case InterfaceCode::CreateUnit: return reinterpret_cast<void*>(create);
      case InterfaceCode::WriteProperty: return reinterpret_cast<void*>(&Write);
      case InterfaceCode::ReadProperty: return reinterpret_cast<void*>(&Read);
    }
    return nullptr;
  }
};

}  // namespace tl
