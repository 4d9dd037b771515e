// The base every unit type in controls/ stands on. A unit type is its state (its stored
// property block), its property table (runtime/property_table.h) and its messages; this holds
// the rest: the native window and the notifications its control sends, and the unit-type
// interface entry. Windows only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "controls/appearance.h"
#include "runtime/property_table.h"
#include "runtime/unit.h"
#include "runtime/unit_type.h"

namespace tl {

// Where the loader places a unit: the record's left, top, width and height.
struct Place {
  int32_t left, top, width, height;
};

// The common-control classes of the given ICC_ flags, registered once per class.
void EnsureCommonControls(DWORD classes);

std::wstring WindowTextWide(HWND window);
std::string WindowTextGbk(HWND window);
void SetWindowTextGbk(HWND window, std::string_view gbk);

// A unit and its native window: a platform control (CreateControl) or a window of one of the
// runtime's own classes (CreateOwnWindow). The window carries the unit as its owner, so the
// window it sits in hands the control's notifications to OnNotification.
class ControlUnit : public Unit {
 public:
  using Unit::Unit;
  // Types whose window shows objects of their own (pictures) call DestroyControl first; the
  // font in font_ outlives the window by itself.
  ~ControlUnit() override { DestroyControl(); }
  void OnDpiChanged(int32_t oldDpi, int32_t newDpi) override;

 protected:
  // Creates a platform control of `className` at the place and takes it as the unit's window;
  // false when refused.
  bool CreateControl(const wchar_t* className, DWORD exStyle, DWORD style, HWND parent, int32_t childId,
                     Place place);
  // Creates the unit's window of a runtime class (registered here once); null when refused.
  HWND CreateOwnWindow(const wchar_t* className, UINT classStyle, DWORD exStyle, DWORD style,
                       std::wstring_view text, HWND parent, int32_t childId, Place place);
  // Destroys the native window now; the unit hears nothing of it going.
  void DestroyControl();
  // Gives the control the font of a stored logical-font record (see FontFromRecord) at its
  // window's DPI and keeps it in font_ while the control shows it: the font shown before goes
  // only once the control has let go of it. A list view hands it on to its header.
  void ShowFont(std::span<const uint8_t> record);
  // Shows the unit's font again at its window's DPI, after a change of DPI; a type without a
  // font of its own has nothing to do.
  virtual void ShowFontAtDpi() {}

  // The font the window shows, or a runtime-drawn unit paints its text with.
  GdiObject font_;

  // The window's own messages before their default handling; true with `result` consumes one.
  virtual bool OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // The default handling, for a unit that acts after it (the control's class or DefWindowProc).
  LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);
  // The keyboard asked for a menu while the unit had the focus (see runtime/keyboard_menu.h). A
  // type whose right click opens a menu raises that click's events here and answers true; the
  // others leave the request to their control and the window around it.
  virtual bool OpenKeyboardMenu() { return false; }
  // Raises the right press and release that a click at the unit's lower left corner raises, with
  // a menu they pop up placed at that corner.
  void RaiseKeyboardRightClick();

 private:
  static LRESULT CALLBACK ControlProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  static LRESULT CALLBACK OwnWindowProc(HWND, UINT, WPARAM, LPARAM);
  // Both window procedures, once the window is known to be this unit's.
  LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Forget();

  bool ownClass_ = false;
};

// A control unit whose state is its stored property block (see BlockProperties), with its
// property names NameType (none for a type without properties of its own).
template <typename Self, typename BlockType, typename NameType = void>
class BlockUnit : public ControlUnit, public BlockProperties<Self, BlockType> {
 public:
  BlockUnit(const BlockType& block, uint32_t windowId, uint32_t unitId)
      : ControlUnit(windowId, unitId), BlockProperties<Self, BlockType>(block) {}
  std::vector<uint8_t> PropertyData() const override { return this->block_.Write(); }

 protected:
  // What the rows of Self's table name: B the block's fields, P the properties.
  using B = BlockType;
  using P = NameType;
  // Self's property table from its rows (see TableOf).
  template <size_t N>
  static consteval auto Table(const Row<Self, NameType> (&rows)[N]) {
    return TableOf<Self, NameType>(rows);
  }

  // For a block with a stored font record.
  void ApplyFont() { ShowFont(this->block_.font); }
  // A type with a stored font shows it through its own ApplyFont.
  void ShowFontAtDpi() override {
    if constexpr (requires(const BlockType& b) { b.font; }) static_cast<Self*>(this)->ApplyFont();
  }
};

// The unit-type interface entry of U. U provides its Block type, a constructor (block, window
// id, unit id), bool Build(extraStyle, parent, childId, Place) and its property table
// `static std::span<const Property<U>> Properties()`. A block that does not read, or a native
// window that cannot be made, gives no unit.
template <typename U>
Unit* CreateBlockUnit(const uint8_t* block, int32_t length, uint32_t extraStyle, HWND parent, int32_t childId,
                      HMENU, int32_t left, int32_t top, int32_t width, int32_t height, uint32_t windowId,
                      uint32_t unitId, int32_t, int32_t) {
  const auto bytes =
      block && length > 0 ? std::span(block, static_cast<size_t>(length)) : std::span<const uint8_t>();
  std::optional<typename U::Block> data = U::Block::Read(bytes);
  if (!data) return nullptr;
  auto unit = std::make_unique<U>(*data, windowId, unitId);
  if (!unit->Build(extraStyle, parent, childId, Place{left, top, width, height})) return nullptr;
  return unit.release();
}

template <typename U>
void* UnitInterface(InterfaceCode code) {
  return PropertyEntries<U>::Entry(code, &CreateBlockUnit<U>);
}

// The descriptor of unit type U: its names (GBK and English), its UnitState flags and U's
// interface entry.
template <typename U>
constexpr UnitTypeDescriptor DescriptorOf(const char* name, const char* englishName, uint32_t stateFlags) {
  return {name, englishName, stateFlags, &UnitInterface<U>};
}

}  // namespace tl
