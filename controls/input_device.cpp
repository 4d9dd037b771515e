#include "controls/input_device.h"

namespace tl {

const UnitTypeDescriptor kInputDeviceType = {"输入设备", "InputDevice", UnitState::Invisible,
                                             &UnitInterface<InputDevice>};

// The loader's extra styles (visible, tab stop) do not apply to a window nobody sees.
bool InputDevice::Build(uint32_t, HWND parent, int32_t childId, Place place) {
  HWND hwnd = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_DISABLED, place.left, place.top, place.width,
                              place.height, parent, reinterpret_cast<HMENU>(static_cast<intptr_t>(childId)),
                              GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) return false;
  Attach(hwnd);
  return true;
}

}  // namespace tl
