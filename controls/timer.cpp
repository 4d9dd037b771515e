#include "controls/timer.h"

#include <memory>

#include "runtime/unit_events.h"

namespace tl {
namespace {

constexpr wchar_t kClassName[] = L"_RT_Timer";
constexpr int32_t kTick = 0;
constexpr int32_t kIntervalProperty = 0;  // own property 0 = unit property 8

bool RegisterTimerClass(WNDPROC proc) {
  static const bool registered = [proc] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

Unit* CreateTimer(const uint8_t* data, int32_t length, uint32_t extraStyle, HWND parent,
                  int32_t childId, HMENU, int32_t left, int32_t top, int32_t width,
                  int32_t height, uint32_t windowId, uint32_t unitId, int32_t, int32_t) {
  const auto block = TimerBlock::Read(
      data && length > 0 ? std::span(data, static_cast<size_t>(length)) : std::span<const uint8_t>());
  if (!block) return nullptr;
  auto unit = std::make_unique<TimerUnit>(windowId, unitId, block->interval);
  if (!unit->Create(extraStyle, parent, childId, {left, top, left + width, top + height})) {
    return nullptr;
  }
  return unit.release();
}

int WriteTimerProperty(Unit* unit, int32_t number, PropertyValue value) {
  auto* timer = dynamic_cast<TimerUnit*>(unit);
  if (timer && number == kIntervalProperty) timer->SetInterval(static_cast<int32_t>(value.low));
  return 0;
}

PropertyValue ReadTimerProperty(Unit* unit, int32_t number) {
  auto* timer = dynamic_cast<TimerUnit*>(unit);
  if (!timer || number != kIntervalProperty) return {};
  return {static_cast<uint32_t>(timer->interval()), 0};
}

void* GetTimerInterface(InterfaceCode code) {
  switch (code) {
    case InterfaceCode::CreateUnit: return reinterpret_cast<void*>(&CreateTimer);
    case InterfaceCode::WriteProperty: return reinterpret_cast<void*>(&WriteTimerProperty);
    case InterfaceCode::ReadProperty: return reinterpret_cast<void*>(&ReadTimerProperty);
  }
  return nullptr;
}

}  // namespace

const UnitTypeDescriptor kTimerType = {"时钟", "Timer",
                                       UnitState::Invisible | UnitState::RaisesEvents,
                                       &GetTimerInterface};

TimerUnit::TimerUnit(uint32_t windowId, uint32_t unitId, int32_t interval)
    : Unit(windowId, unitId), interval_(interval < 0 ? 0 : interval) {}

TimerUnit::~TimerUnit() {
  if (!hwnd_) return;
  // Detach first so that the going window no longer reaches this object.
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  Stop();
  DestroyWindow(hwnd_);
  hwnd_ = nullptr;
}

bool TimerUnit::Create(uint32_t extraStyle, HWND parent, int32_t childId, RECT bounds) {
  if (!RegisterTimerClass(&WindowProc)) return false;
  HWND hwnd = CreateWindowExW(0, kClassName, L"", extraStyle | WS_CHILD | WS_CLIPSIBLINGS,
                              bounds.left, bounds.top, bounds.right - bounds.left,
                              bounds.bottom - bounds.top, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(childId)),
                              GetModuleHandleW(nullptr), this);
  return hwnd != nullptr;
}

void TimerUnit::SetInterval(int32_t interval) {
  if (interval < 0) interval = 0;
  if (interval == interval_) return;  // a running timer keeps its phase
  interval_ = interval;
  Stop();
  if (interval_ > 0) Start();
}

std::vector<uint8_t> TimerUnit::PropertyData() const { return TimerBlock{interval_}.Write(); }

void TimerUnit::Start() {
  if (hwnd_ && interval_ > 0) {
    running_ = SetTimer(hwnd_, kPlatformTimerId, static_cast<UINT>(interval_), nullptr) != 0;
  }
}

void TimerUnit::Stop() {
  if (running_ && hwnd_) KillTimer(hwnd_, kPlatformTimerId);
  running_ = false;
}

LRESULT CALLBACK TimerUnit::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<TimerUnit*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TimerUnit*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      self->Start();
      return 0;
    case WM_TIMER: {
      if (wParam != kPlatformTimerId) break;
      const LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
      RaiseEvent(*self, kTick);
      return result;
    }
    case WM_DESTROY:
      self->Stop();
      break;
    case WM_NCDESTROY:
      // The window went with its parent before the unit object.
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      self->hwnd_ = nullptr;
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace tl
