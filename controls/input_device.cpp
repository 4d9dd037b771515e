#include "controls/input_device.h"

#include "controls/common_controls_b.h"

namespace tl {

InputDevice::~InputDevice() { DestroyNativeWindow(hwnd_); }

bool InputDevice::Build(HWND parent, int32_t childId, int32_t left, int32_t top, int32_t width, int32_t height) {
  hwnd_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_DISABLED, left, top, width, height, parent,
                          reinterpret_cast<HMENU>(static_cast<intptr_t>(childId)), GetModuleHandleW(nullptr),
                          nullptr);
  return hwnd_ != nullptr;
}

namespace {

Unit* CreateInputDevice(const uint8_t* block, int32_t length, uint32_t, HWND parent, int32_t childId, HMENU,
                        int32_t left, int32_t top, int32_t width, int32_t height, uint32_t windowId,
                        uint32_t unitId, int32_t, int32_t) {
  const std::optional<InputDeviceBlock> data = InputDeviceBlock::Read(BlockBytes(block, length));
  if (!data) return nullptr;
  auto unit = std::make_unique<InputDevice>(*data, windowId, unitId);
  if (!unit->Build(parent, childId, left, top, width, height)) return nullptr;
  return unit.release();
}

// The unit has no properties of its own: reads give nothing, writes change nothing.
int WriteInputDevice(Unit*, int32_t, PropertyValue) { return 0; }
PropertyValue ReadInputDevice(Unit*, int32_t) { return {}; }

void* InputDeviceInterface(InterfaceCode code) {
  switch (code) {
    case InterfaceCode::CreateUnit: return reinterpret_cast<void*>(&CreateInputDevice);
    case InterfaceCode::WriteProperty: return reinterpret_cast<void*>(&WriteInputDevice);
    case InterfaceCode::ReadProperty: return reinterpret_cast<void*>(&ReadInputDevice);
  }
  return nullptr;
}

}  // namespace

const UnitTypeDescriptor kInputDeviceType = {"输入设备", "InputDevice", UnitState::Invisible,
                                             &InputDeviceInterface};

}  // namespace tl
