#include "runtime/dispatch.h"

#include <cstring>
#include <set>
#include <tuple>
#include <vector>

#include "runtime/key_word.h"
#include "runtime/program_header.h"
#include "runtime/runtime_error.h"
#include "runtime/runtime_state.h"
#include "runtime/unit_events.h"
#include "runtime/unit.h"
#include "runtime/value.h"
#include "runtime/window_map.h"
#include "runtime/window_unit.h"

namespace tl {
namespace {

struct FoundHandler {
  Handler handler = nullptr;
  uint32_t unitId = 0;
};

// The handler bound to (window, unit, event), or a null handler: none while events are
// suspended, or when the unit has no binding for the event or the binding has no handler. An
// unknown window or unit, or a unit of a type that raises no events, is a runtime error.
FoundHandler FindHandler(uint32_t windowId, uint32_t unitId, int32_t index) {
  RuntimeState& rt = Runtime();
  if (rt.suspendCount >= 1) return {};
  WindowDefinition* definition = FindWindowDefinition(windowId);
  if (!definition) RaiseRuntimeError(0, "未找到引发事件的窗口");
  const EventIndex& events = definition->events;
  const std::optional<size_t> record = events.RecordOf(unitId);
  if (!record) RaiseRuntimeError(0, "未找到引发事件的窗口组件");
  const UnitTypeDescriptor* descriptor = FindUnitType(events.TypeOf(*record));
  if (!descriptor ||
      !(descriptor->stateFlags & (UnitState::RaisesEvents | UnitState::RaisesEventsAlt))) {
    RaiseRuntimeError(0, "引发事件的窗口组件无效");
  }
  const int32_t reference = events.HandlerOf(*record, index);
  const ProgramHeader* header = ProgramHeaderInUse();
  const HandlerTable* table = header ? header->codeBase : nullptr;
  if (reference < 0 || !table || static_cast<uint32_t>(reference) >= table->count ||
      !table->entries[reference]) {
    return {};
  }
  return {table->entries[reference], unitId == 0 ? definition->units.IdAt(0) : unitId};
}

// Sets the event source for the handler's duration; a nested handler's source is undone on
// return so that the outer handler still sees its own.
HandlerResult CallHandler(Handler handler, uint32_t windowId, uint32_t unitId,
                          std::span<const uint32_t> args) {
  RuntimeState& rt = Runtime();
  const uint32_t outerWindow = rt.sourceWindow, outerUnit = rt.sourceUnit;
  rt.sourceWindow = windowId;
  rt.sourceUnit = unitId;
  HandlerResult result = handler(args);
  rt.sourceWindow = outerWindow;
  rt.sourceUnit = outerUnit;
  return result;
}

// Typed arguments become stack words by their passing flags and type codes.
void AppendTypedArgument(const TypedEventArg& arg, std::vector<uint32_t>& words) {
  uint32_t low, high;
  std::memcpy(&low, arg.value, 4);
  std::memcpy(&high, arg.value + 4, 4);
  bool wide = false;
  if (arg.passing & 1) {
    wide = false;
  } else if ((arg.passing & 2) || arg.type == TypeCode(UnitType::Menu)) {
    wide = true;
  } else {
    switch (arg.type) {
      case DataType::Byte: low &= 0xFF; break;
      case DataType::Short: low = static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(low))); break;
      case DataType::DateTime:
      case DataType::EightByteValue:
      case DataType::Long:
      case DataType::Double: wide = true; break;
      default: break;
    }
  }
  words.push_back(low);
  if (wide) words.push_back(high);
}

uint32_t KeyStateNow() {
  return ((GetKeyState(VK_CONTROL) < 0) ? 1u : 0u) | ((GetKeyState(VK_SHIFT) < 0) ? 2u : 0u) |
         ((GetKeyState(VK_MENU) < 0) ? 4u : 0u);
}

// The unit of a window that owns the native window (or its nearest ancestor that a unit owns).
struct EventTarget {
  uint32_t windowId = 0;
  uint32_t unitId = 0;
  bool found = false;
};

EventTarget TargetOf(const WindowUnit& window, HWND hwnd) {
  WindowDefinition* definition = FindWindowDefinition(window.windowId());
  if (!definition) return {};
  const auto owner = definition->handles.NearestOwner(hwnd, window.hwnd());
  if (!owner) return {};
  return {window.windowId(), definition->units.IdAt(owner->record), true};
}

// The events common to all windowed units. True when the handler's false answer swallows it.
bool RaiseCommonEvent(const WindowUnit& window, MSG& msg) {
  int32_t index = 0;
  std::vector<uint32_t> args;
  const uint32_t x = LOWORD(msg.lParam), y = HIWORD(msg.lParam);
  switch (msg.message) {
    case WM_LBUTTONDOWN: index = UnitEvent::LeftButtonDown; args = {x, y, KeyStateNow()}; break;
    case WM_LBUTTONUP: index = UnitEvent::LeftButtonUp; args = {x, y, KeyStateNow()}; break;
    case WM_LBUTTONDBLCLK: index = UnitEvent::DoubleClick; args = {x, y, KeyStateNow()}; break;
    case WM_RBUTTONDOWN: index = UnitEvent::RightButtonDown; args = {x, y, KeyStateNow()}; break;
    case WM_RBUTTONUP: index = UnitEvent::RightButtonUp; args = {x, y, KeyStateNow()}; break;
    case WM_MOUSEMOVE: index = UnitEvent::MouseMove; args = {x, y, KeyStateNow()}; break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      index = (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) ? UnitEvent::KeyDown : UnitEvent::KeyUp;
      uint32_t word = KeyWord(static_cast<uint32_t>(msg.wParam), GetKeyState(VK_CONTROL) < 0,
                              GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_MENU) < 0);
      args = {KeyCode(word), KeyState(word)};
      break;
    }
    case WM_CHAR: index = UnitEvent::Character; args = {static_cast<uint32_t>(msg.wParam)}; break;
    case WM_MOUSEWHEEL:
      index = UnitEvent::MouseWheel;
      args = {static_cast<uint32_t>(GET_WHEEL_DELTA_WPARAM(msg.wParam) / WHEEL_DELTA),
              KeyStateNow()};
      break;
    default: return false;
  }
  EventTarget target = TargetOf(window, msg.hwnd);
  if (!target.found) return false;
  EventRecord record{};
  record.window = target.windowId;
  record.unit = target.unitId;
  record.index = index;
  record.argCount = static_cast<int32_t>(args.size());
  std::copy(args.begin(), args.end(), record.args);
  FireEvent(record);
  if (!record.hasResult) return false;
  if (index == UnitEvent::Character) {
    if (record.result == 0) return true;
    msg.wParam = static_cast<WPARAM>(static_cast<uint32_t>(record.result));
    return false;
  }
  return record.result == 0;
}

// Focus events come as sent messages, which the pump never sees: a thread hook raises them.
LRESULT CALLBACK FocusHook(int code, WPARAM wParam, LPARAM lParam) {
  auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && (sent->message == WM_SETFOCUS || sent->message == WM_KILLFOCUS)) {
    if (WindowUnit* window = WindowUnit::FromHandle(GetAncestor(sent->hwnd, GA_ROOT))) {
      EventTarget target = TargetOf(*window, sent->hwnd);
      if (target.found && window->loaded) {
        RaiseEvent(target.windowId, target.unitId,
                   sent->message == WM_SETFOCUS ? UnitEvent::FocusGained : UnitEvent::FocusLost);
      }
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

bool PreprocessMessage(MSG& msg) {
  if (!msg.hwnd) return false;
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  WindowUnit* window = WindowUnit::FromHandle(root);
  if (!window) return false;
  if (window->accelerators() && TranslateAcceleratorW(root, window->accelerators(), &msg)) {
    return true;
  }
  if (window->PreTranslate(msg)) return true;
  return RaiseCommonEvent(*window, msg);
}

namespace {

// The system timer behind the caret's blink: like WM_TIMER, no sign of input, and generated
// anew whenever the queue is looked at.
constexpr UINT kSystemTimerMessage = 0x0118;

bool CountsAsInput(const MSG& msg) {
  return msg.message != WM_PAINT && msg.message != kSystemTimerMessage && msg.message != WM_TIMER;
}

// Idle time: callbacks first, then the idle event for windows that still ask for it.
class IdlePeriod {
 public:
  void Restart() {
    count_ = 0;
    start_ = GetTickCount();
    declined_.clear();
  }
  bool Step() {
    RunIdleCallbacks();
    int count = count_++;
    if (count <= 1) return true;
    bool more = false;
    for (auto& definition : Runtime().windows) {
      WindowUnit* window = LoadedWindow(*definition);
      if (!window || !window->hwnd() || !IsWindow(window->hwnd())) continue;
      if (declined_.count(definition->id)) continue;
      EventRecord record = RaiseEvent(definition->id, 0, WindowEvent::Idle, {GetTickCount() - start_});
      if (record.hasResult && record.result != 0) {
        more = true;
      } else {
        declined_.insert(definition->id);
      }
    }
    return more;
  }

 private:
  static void RunIdleCallbacks() {
    auto& callbacks = Runtime().idleCallbacks;
    for (size_t i = callbacks.size(); i-- > 0;) {
      if (!IsWindow(callbacks[i].window)) {
        callbacks.erase(callbacks.begin() + static_cast<ptrdiff_t>(i));
        continue;
      }
      IdleCallback callback = callbacks[i];
      callback.routine(callback.argument);
    }
  }
  int count_ = 0;
  DWORD start_ = 0;
  std::set<uint32_t> declined_;
};

// The queue makes a timer message up on every look while the timer is due, and a paint
// message while a window is invalid. One pass takes at most one of each source: once the
// handlers run longer than a timer's period, draining until the queue is empty never ends.
class MadeUpMessages {
 public:
  // False when the pass has already taken this source's message.
  bool Take(const MSG& msg) {
    switch (msg.message) {
      case WM_TIMER:
      case kSystemTimerMessage: return ticks_.insert({msg.hwnd, msg.message, msg.wParam}).second;
      case WM_PAINT: return paints_.insert(msg.hwnd).second;
      default: return true;
    }
  }

 private:
  std::set<std::tuple<HWND, UINT, WPARAM>> ticks_;
  std::set<HWND> paints_;
};

bool ModalWindowGone(uint32_t modalWindow) {
  WindowDefinition* definition = FindWindowDefinition(modalWindow);
  WindowUnit* window = definition ? LoadedWindow(*definition) : nullptr;
  return !window || !window->hwnd() || !IsWindow(window->hwnd());
}

// The loop of both modes; modalWindow 0 is the main loop.
void Loop(uint32_t modalWindow) {
  IdlePeriod idle;
  idle.Restart();
  bool idling = true;
  MSG msg;
  for (;;) {
    if (modalWindow && ModalWindowGone(modalWindow)) return;
    while (idling && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      idling = idle.Step();
      // An idle handler may close the modal window; nothing might be queued to wake the wait.
      if (modalWindow && ModalWindowGone(modalWindow)) return;
    }
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      if (modalWindow) PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (!PreprocessMessage(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (CountsAsInput(msg)) {
      idle.Restart();
      idling = true;
    }
  }
}

}  // namespace

int32_t FireEvent(EventRecord& record) {
  record.hasResult = 0;
  FoundHandler found = FindHandler(record.window, record.unit, record.index);
  if (!found.handler) return 0;
  int32_t count = record.argCount < 0 ? 0 : (record.argCount > 5 ? 5 : record.argCount);
  HandlerResult result = CallHandler(found.handler, record.window, found.unitId,
                                     std::span<const uint32_t>(record.args, count));
  if (result.hasResult) {
    record.hasResult = 1;
    record.result = static_cast<int32_t>(result.value);
  }
  return 1;
}

int32_t FireTypedEvent(TypedEventRecord& record) {
  record.hasResult = 0;
  FoundHandler found = FindHandler(record.window, record.unit, record.index);
  if (!found.handler) return 0;
  int32_t count = record.argCount < 0 ? 0 : (record.argCount > 12 ? 12 : record.argCount);
  std::vector<uint32_t> words;
  for (int32_t i = 0; i < count; ++i) AppendTypedArgument(record.args[i], words);
  HandlerResult result = CallHandler(found.handler, record.window, found.unitId, words);
  if (result.hasResult) {
    record.hasResult = 1;
    std::memcpy(record.result, &result.value, 8);
  }
  return 1;
}

void InstallFocusEvents() {
  // The hook runs for every message the thread sends; Wine makes each run a round trip to the
  // window server. A program that handles no focus event goes without it.
  bool bound = false;
  for (const auto& definition : Runtime().windows) {
    bound = bound || definition->events.Binds(UnitEvent::FocusGained) || definition->events.Binds(UnitEvent::FocusLost);
  }
  static HHOOK hook = nullptr;
  if (bound && !hook) hook = SetWindowsHookExW(WH_CALLWNDPROC, FocusHook, nullptr, GetCurrentThreadId());
}

void SuspendEvents() {
  ProcessQueuedMessages();
  ++Runtime().suspendCount;
}

void ResumeEvents() {
  ProcessQueuedMessages();
  RuntimeState& rt = Runtime();
  if (rt.suspendCount > 0) --rt.suspendCount;
}

void ProcessQueuedMessages(uint32_t budgetMs) {
  const DWORD start = GetTickCount();
  MadeUpMessages madeUp;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
    if (msg.message == WM_QUIT) return;  // stays queued for the loop that ends on it
    if (budgetMs != 0 && GetTickCount() - start >= budgetMs) return;
    if (!madeUp.Take(msg)) return;
    // The message looked at is the one taken unless the queue changed in between.
    if (!PeekMessageW(&msg, msg.hwnd, msg.message, msg.message, PM_REMOVE) &&
        !PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      return;
    }
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    madeUp.Take(msg);
    if (!PreprocessMessage(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

void RunMessageLoop() {
  Runtime().loopEntered = true;
  if (!AnyLoadedWindowAlive()) return;
  Loop(0);
}

void RunModalLoop(uint32_t modalWindow) {
  RuntimeState& rt = Runtime();
  const uint32_t previous = rt.modalWindow;
  rt.modalWindow = modalWindow;
  Loop(modalWindow);
  rt.modalWindow = previous;
}

void RegisterIdleCallback(HWND window, void (*routine)(intptr_t), intptr_t argument) {
  Runtime().idleCallbacks.push_back({window, routine, argument});
}

bool AnyLoadedWindowAlive() {
  for (auto& definition : Runtime().windows) {
    WindowUnit* window = LoadedWindow(*definition);
    if (window && window->hwnd() && IsWindow(window->hwnd())) return true;
  }
  return false;
}

}  // namespace tl
