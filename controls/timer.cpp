#include "controls/timer.h"

#include <algorithm>

#include "runtime/unit_events.h"

namespace tl {
namespace {

constexpr wchar_t kClassName[] = L"_RT_Timer";

}  // namespace

const UnitTypeDescriptor kTimerType =
    DescriptorOf<Timer>("时钟", "Timer", UnitState::Invisible | UnitState::RaisesEvents);

std::span<const Property<Timer>> Timer::Properties() {
  static constexpr auto kTable = Table({
      {TimerProperty::Interval, Live<&Timer::Interval, &Timer::SetInterval>()},
  });
  return kTable;
}

Timer::Timer(const TimerBlock& block, uint32_t windowId, uint32_t unitId) : BlockUnit(block, windowId, unitId) {
  block_.interval = std::max(block_.interval, 0);
}

Timer::~Timer() {
  Stop();
  DestroyControl();
}

bool Timer::Build(uint32_t extraStyle, HWND parent, int32_t childId, Place place) {
  return CreateOwnWindow(kClassName, CS_DBLCLKS, 0, extraStyle | WS_CHILD | WS_CLIPSIBLINGS, L"", parent,
                         childId, place) != nullptr;
}

bool Timer::SetInterval(PropertyValue value) {
  const int32_t interval = std::max(ValueInt(value), 0);
  if (interval == block_.interval) return false;  // a running timer keeps its phase
  block_.interval = interval;
  Stop();
  if (interval > 0) Start();
  return false;
}

void Timer::Start() {
  if (hwnd_ && block_.interval > 0) {
    running_ = SetTimer(hwnd_, kPlatformTimerId, static_cast<UINT>(block_.interval), nullptr) != 0;
  }
}

void Timer::Stop() {
  if (running_ && hwnd_) KillTimer(hwnd_, kPlatformTimerId);
  running_ = false;
}

bool Timer::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_CREATE:
      Start();
      result = 0;
      return true;
    case WM_TIMER:
      if (wParam != kPlatformTimerId) return false;
      result = DefaultHandling(message, wParam, lParam);
      RaiseEvent(*this, TimerEvent::Tick);
      return true;
    case WM_DESTROY:
      Stop();
      return false;
  }
  return false;
}

}  // namespace tl
