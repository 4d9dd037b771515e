// The program's command libraries and their unit types. Type numbers a library does not fill are
// types this program does not have: a window holding one fails to load. The program owns this
// table; the runtime sees it only through the program header.
#include "app/libraries.h"

#include <array>
#include <initializer_list>

#include "controls/balloon_tip.h"
#include "controls/button.h"
#include "controls/date_picker.h"
#include "controls/edit_box.h"
#include "controls/input_device.h"
#include "controls/label.h"
#include "controls/list_view.h"
#include "controls/slider.h"
#include "controls/timer.h"
#include "controls/transparent_label.h"

#include "runtime/menu_bar.h"
#include "runtime/unit_events.h"
#include "runtime/window_unit.h"

namespace tl {
namespace {

// Every library learns the runtime's request entry at start-up (code 1); code 6 is the end.
intptr_t NotifyLibrary(int32_t code, intptr_t argument) {
  if (code == 1) SetRuntimeRequest(reinterpret_cast<RuntimeRequestFn>(argument));
  return 0;
}

// A library's type table, indexed by type number - 1, built from (type id, descriptor) pairs so
// that no descriptor can land on another type's number.
struct TypeEntry {
  UnitType id;
  const UnitTypeDescriptor* descriptor;
};

template <uint32_t Library, size_t Size>
constexpr std::array<const UnitTypeDescriptor*, Size> TypeTable(std::initializer_list<TypeEntry> entries) {
  std::array<const UnitTypeDescriptor*, Size> table{};
  for (const TypeEntry& entry : entries) {
    const uint32_t code = TypeCode(entry.id);
    if (code >> 16 != Library || (code & 0xFFFF) > Size) throw "unit type outside its library";
    table[(code & 0xFFFF) - 1] = entry.descriptor;
  }
  return table;
}

constexpr auto kCoreTypes = TypeTable<1, 0x20>({
    {UnitType::Window, &kWindowType},
    {UnitType::Menu, &kMenuType},
    {UnitType::EditBox, &kEditBoxType},
    {UnitType::Label, &kLabelType},
    {UnitType::Button, &kButtonType},
    {UnitType::Slider, &kSliderBarType},
    {UnitType::DatePicker, &kDatePickerType},
    {UnitType::Timer, &kTimerType},
});
constexpr auto kListAndLabelTypes = TypeTable<2, 5>({
    {UnitType::ListView, &kListViewType},
    {UnitType::TransparentLabel, &kTransparentLabelType},
});
constexpr auto kDeviceTypes = TypeTable<4, 1>({{UnitType::InputDevice, &kInputDeviceType}});
constexpr auto kBalloonTipTypes = TypeTable<6, 1>({{UnitType::BalloonTip, &kBalloonTipType}});

template <size_t N>
constexpr LibraryRecord Library(const char* name, const std::array<const UnitTypeDescriptor*, N>& types) {
  return {name, types.data(), N, NotifyLibrary};
}

}  // namespace

const LibraryRecord kLibraries[kLibraryCount] = {
    Library("core", kCoreTypes),
    Library("extended interface 1", kListAndLabelTypes),
    {"application interface", nullptr, 0, NotifyLibrary},
    Library("input devices", kDeviceTypes),
    {"operating-system shell", nullptr, 0, NotifyLibrary},
    Library("extended interface 5", kBalloonTipTypes),
    {"special functions", nullptr, 0, NotifyLibrary},
    {"network", nullptr, 0, NotifyLibrary},
};

}  // namespace tl
