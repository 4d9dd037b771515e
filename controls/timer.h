// The timer unit (type 0x10020): a hidden "_RT_Timer" child window whose platform timer
// (id 1000) raises event 0 at the interval of property 8. Windows only.
#pragma once

#include "controls/control_unit.h"
#include "controls/timer_block.h"

namespace tl {

extern const UnitTypeDescriptor kTimerType;

class Timer final : public BlockUnit<Timer, TimerBlock, TimerProperty> {
 public:
  static constexpr UINT_PTR kPlatformTimerId = 1000;

  Timer(const TimerBlock& block, uint32_t windowId, uint32_t unitId);
  ~Timer() override;
  bool Build(uint32_t extraStyle, HWND parent, int32_t childId, Place place);
  static std::span<const Property<Timer>> Properties();

  bool running() const { return running_; }

 private:
  PropertyValue Interval() const { return IntValue(block_.interval); }
  bool SetInterval(PropertyValue value);
  bool OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void Start();
  void Stop();

  bool running_ = false;
};

}  // namespace tl
