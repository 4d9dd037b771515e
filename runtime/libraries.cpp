// The program's command libraries and their unit types. A unit type's descriptor goes on the
// line of its type number; null lines are types this program does not have.
#include "runtime/libraries.h"

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

#include "runtime/runtime.h"
#include "runtime/runtime_state.h"
#include "runtime/unit_events.h"
#include "runtime/window_unit.h"

namespace tl {
namespace {

// Every library learns the runtime's request entry at start-up (code 1); code 6 is the end.
intptr_t NotifyLibrary(int32_t code, intptr_t argument) {
  if (code == 1) SetRuntimeRequest(reinterpret_cast<RuntimeRequestFn>(argument));
  return 0;
}

void* NoInterface(InterfaceCode) { return nullptr; }

const UnitTypeDescriptor* const kCoreTypes[] = {
    &kWindowType,  // 0x01 window
    nullptr,       // 0x02
    &kMenuType,    // 0x03 menu
    nullptr,       // 0x04
    &kEditBoxType, // 0x05 edit box
    nullptr,       // 0x06
    nullptr,       // 0x07
    nullptr,       // 0x08
    nullptr,       // 0x09
    &kLabelType,   // 0x0A label
    &kButtonType,  // 0x0B button
    nullptr,       // 0x0C
    nullptr,       // 0x0D
    nullptr,       // 0x0E
    nullptr,       // 0x0F
    nullptr,       // 0x10
    nullptr,       // 0x11
    nullptr,       // 0x12
    nullptr,       // 0x13
    &kSliderBarType,  // 0x14 slider bar
    nullptr,       // 0x15
    nullptr,       // 0x16
    &kDatePickerType,  // 0x17 date picker
    nullptr,       // 0x18
    nullptr,       // 0x19
    nullptr,       // 0x1A
    nullptr,       // 0x1B
    nullptr,       // 0x1C
    nullptr,       // 0x1D
    nullptr,       // 0x1E
    nullptr,       // 0x1F
    &kTimerType,    // 0x20 timer
};

const UnitTypeDescriptor* const kExtendedInterfaceTypes[] = {
    nullptr,  // 0x01
    nullptr,  // 0x02
    nullptr,  // 0x03
    &kListViewType,  // 0x04 list view
    &kTransparentLabelType,  // 0x05 transparent label
};

const UnitTypeDescriptor* const kDeviceTypes[] = {
    &kInputDeviceType,  // 0x01 input device
};

const UnitTypeDescriptor* const kExtendedInterface5Types[] = {
    &kBalloonTipType,  // 0x01 balloon tip
};

template <size_t N>
constexpr uint32_t CountOf(const UnitTypeDescriptor* const (&)[N]) {
  return N;
}

}  // namespace

// The menu type raises its items' "chosen" event; the loader builds menus itself.
const UnitTypeDescriptor kMenuType = {"菜单", "menu", UnitState::RaisesEventsAlt, NoInterface};

const LibraryRecord kLibraries[kLibraryCount] = {
    {"core", kCoreTypes, CountOf(kCoreTypes), NotifyLibrary},
    {"extended interface 1", kExtendedInterfaceTypes, CountOf(kExtendedInterfaceTypes), NotifyLibrary},
    {"application interface", nullptr, 0, NotifyLibrary},
    {"input devices", kDeviceTypes, CountOf(kDeviceTypes), NotifyLibrary},
    {"operating-system shell", nullptr, 0, NotifyLibrary},
    {"extended interface 5", kExtendedInterface5Types, CountOf(kExtendedInterface5Types), NotifyLibrary},
    {"special functions", nullptr, 0, NotifyLibrary},
    {"network", nullptr, 0, NotifyLibrary},
};

const UnitTypeDescriptor* FindUnitType(uint32_t typeId) {
  if (typeId == 0 || typeId >= 0x40000000) return nullptr;
  const ProgramHeader* header = Runtime().header;
  if (!header || !header->libraries) return nullptr;
  const uint32_t library = typeId >> 16, type = typeId & 0xFFFF;
  if (library < 1 || library > header->libraryCount || type < 1) return nullptr;
  const LibraryRecord& record = header->libraries[library - 1];
  if (type > record.unitTypeCount || !record.unitTypes) return nullptr;
  return record.unitTypes[type - 1];
}

}  // namespace tl
