// The timer unit (type 0x10020): a hidden "_RT_Timer" child window whose platform timer
// (id 1000) raises event 0 at the interval of property 8. Windows only.
#pragma once

#include <windows.h>

#include "controls/timer_block.h"
#include "runtime/unit.h"
#include "runtime/unit_type.h"

namespace tl {

extern const UnitTypeDescriptor kTimerType;

class TimerUnit final : public Unit {
 public:
  static constexpr UINT_PTR kPlatformTimerId = 1000;

  TimerUnit(uint32_t windowId, uint32_t unitId, int32_t interval);
  ~TimerUnit() override;

  bool Create(uint32_t extraStyle, HWND parent, int32_t childId, RECT bounds);
  void SetInterval(int32_t interval);
  int32_t interval() const { return interval_; }
  bool running() const { return running_; }
  std::vector<uint8_t> PropertyData() const override;

 private:
  static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
  void Start();
  void Stop();

  int32_t interval_;
  bool running_ = false;
};

}  // namespace tl
