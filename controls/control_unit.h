// The base every unit type in controls/ stands on. A unit type is its state (its stored
// property block), its property table and its messages; this holds the rest: the native window
// and the notifications its control sends, property values as the property services carry
// them, the one property-table form and the unit-type interface entry. Windows only.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "runtime/unit.h"
#include "runtime/unit_type.h"

namespace tl {

// Where the loader places a unit: the record's left, top, width and height.
struct Place {
  int32_t left, top, width, height;
};

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

// The common-control classes of the given ICC_ flags, registered once per class.
void EnsureCommonControls(DWORD classes);

std::string WindowTextGbk(HWND window);
void SetWindowTextGbk(HWND window, std::string_view gbk);

// A unit and its native window: a platform control (Attach) or a window of one of the
// runtime's own classes (CreateOwnWindow). The window carries the unit as its owner, so the
// window it sits in hands the control's notifications to OnNotification.
class ControlUnit : public Unit {
 public:
  using Unit::Unit;
  // Types whose window shows objects of their own (fonts, pictures) call DestroyControl first.
  ~ControlUnit() override { DestroyControl(); }

 protected:
  // Takes a freshly created platform control as the unit's window.
  void Attach(HWND control);
  // Creates the unit's window of a runtime class (registered here once); null when refused.
  HWND CreateOwnWindow(const wchar_t* className, UINT classStyle, DWORD exStyle, DWORD style,
                       std::wstring_view text, HWND parent, int32_t childId, Place place);
  // Destroys the native window now; the unit hears nothing of it going.
  void DestroyControl();

  // The window's own messages before their default handling; true with `result` consumes one.
  virtual bool OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // The default handling, for a unit that acts after it (the control's class or DefWindowProc).
  LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK ControlProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  static LRESULT CALLBACK OwnWindowProc(HWND, UINT, WPARAM, LPARAM);
  // Both window procedures, once the window is known to be this unit's.
  LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Forget();

  bool ownClass_ = false;
};

// One own property of a unit type: how its value is read and written. A write answers true when
// the value can only take effect in a new native control.
template <typename U>
struct Property {
  PropertyValue (*read)(const U&) = nullptr;
  bool (*write)(U&, PropertyValue) = nullptr;
};

// What a write of a stored property does after storing the value, besides the member function
// of the unit type that applies it to the live control: ask for a new native control always
// (kRebuild), or only when the value changed (kRestyle, or a member predicate `bool () const`
// of the unit type that says whether the value shapes the control in its present state).
struct RebuildTag {};
inline constexpr RebuildTag kRebuild{};
struct RestyleTag {};
inline constexpr RestyleTag kRestyle{};

// The range an integer property's writes are clamped into.
struct Range {
  int32_t low, high;
};
inline constexpr Range kAnyValue{INT32_MIN, INT32_MAX};

// A unit whose state is its stored property block. Self's property table lists its own
// properties by number (0 is the unit's property 8), built from Stored and Live entries.
template <typename Self, typename BlockType>
class BlockUnit : public ControlUnit {
 public:
  using Block = BlockType;
  BlockUnit(const Block& block, uint32_t windowId, uint32_t unitId)
      : ControlUnit(windowId, unitId), block_(block) {}
  std::vector<uint8_t> PropertyData() const override { return block_.Write(); }

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
    return ToValue(static_cast<const BlockUnit&>(self).block_.*Field);
  }
  template <auto Field, auto After, Range Limits>
  static bool WriteStored(Self& self, PropertyValue v) {
    auto& field = static_cast<BlockUnit&>(self).block_.*Field;
    auto value = FromValue<std::remove_cvref_t<decltype(field)>>(v, Limits);
    const bool changed = value != field;
    field = std::move(value);
    using A = std::remove_cv_t<decltype(After)>;
    if constexpr (std::is_same_v<A, RebuildTag>) {
      return true;
    } else if constexpr (std::is_same_v<A, RestyleTag>) {
      return changed;
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

// The unit-type interface entry of U. U provides its Block type, a constructor (block, window
// id, unit id), bool Build(extraStyle, parent, childId, Place) and its property table
// `static std::span<const Property<U>> Properties()`. A block that does not read, or a native
// window that cannot be made, gives no unit; a number outside the table reads as nothing and
// writes change nothing.
template <typename U>
void* UnitInterface(InterfaceCode code) {
  struct Entries {
    static Unit* Create(const uint8_t* block, int32_t length, uint32_t extraStyle, HWND parent,
                        int32_t childId, HMENU, int32_t left, int32_t top, int32_t width,
                        int32_t height, uint32_t windowId, uint32_t unitId, int32_t, int32_t) {
      const auto bytes = block && length > 0 ? std::span(block, static_cast<size_t>(length))
                                             : std::span<const uint8_t>();
      std::optional<typename U::Block> data = U::Block::Read(bytes);
      if (!data) return nullptr;
      auto unit = std::make_unique<U>(*data, windowId, unitId);
      if (!unit->Build(extraStyle, parent, childId, Place{left, top, width, height})) return nullptr;
      return unit.release();
    }
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
  };
  switch (code) {
    case InterfaceCode::CreateUnit: return reinterpret_cast<void*>(&Entries::Create);
    case InterfaceCode::WriteProperty: return reinterpret_cast<void*>(&Entries::Write);
    case InterfaceCode::ReadProperty: return reinterpret_cast<void*>(&Entries::Read);
  }
  return nullptr;
}

}  // namespace tl
