#include "controls/input_device.h"

namespace tl {

const UnitTypeDescriptor kInputDeviceType =
    DescriptorOf<InputDevice>("输入设备", "InputDevice", UnitState::Invisible);

// The loader's extra styles (visible, tab stop) do not apply to a window nobody sees.
bool InputDevice::Build(uint32_t, HWND parent, int32_t childId, Place place) {
  return CreateControl(L"STATIC", 0, WS_CHILD | WS_DISABLED, parent, childId, place);
}

}  // namespace tl
