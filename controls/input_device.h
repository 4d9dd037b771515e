// The input device unit (0x40001): placed on a window but unused. Its create entry gives an
// object with a hidden native window of its own (so the common position properties read as
// stored) that is never shown and raises no events.
#pragma once

#include <memory>

#include "controls/input_device_block.h"
#include "runtime/unit.h"
#include "runtime/unit_type.h"

namespace tl {

class InputDevice final : public Unit {
 public:
  InputDevice(const InputDeviceBlock& block, uint32_t windowId, uint32_t unitId)
      : Unit(windowId, unitId), block_(block) {}
  ~InputDevice() override;
  bool Build(HWND parent, int32_t childId, int32_t left, int32_t top, int32_t width, int32_t height);

  std::vector<uint8_t> PropertyData() const override { return block_.Write(); }

 private:
  InputDeviceBlock block_;
};

extern const UnitTypeDescriptor kInputDeviceType;

}  // namespace tl
