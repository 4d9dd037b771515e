// The input device unit (0x40001): placed on a window but unused. Its create entry gives an
// object with a hidden native window of its own (so the common position properties read as
// stored) that is never shown and raises no events. It has no properties of its own.
#pragma once

#include "controls/control_unit.h"
#include "controls/input_device_block.h"

namespace tl {

extern const UnitTypeDescriptor kInputDeviceType;

class InputDevice final : public BlockUnit<InputDevice, InputDeviceBlock> {
 public:
  using BlockUnit::BlockUnit;
  bool Build(uint32_t extraStyle, HWND parent, int32_t childId, Place place);
  static std::span<const Property<InputDevice>> Properties() { return {}; }
};

}  // namespace tl
