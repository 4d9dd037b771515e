#include "tests/win/message_pump.h"

#include <optional>

namespace tl::test {
namespace {

// Dispatches what is queued until the queue is empty or a quit comes; answers the quit's code.
std::optional<WPARAM> DispatchUntilQuit() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) return msg.wParam;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return std::nullopt;
}

}  // namespace

void Pump(DWORD milliseconds) {
  const DWORD end = GetTickCount() + milliseconds;
  for (;;) {
    while (DispatchUntilQuit()) {}  // a quit is dropped: the test's own loop goes on
    const LONG left = static_cast<LONG>(end - GetTickCount());
    if (left <= 0) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
  }
}

void RunQueued() {
  if (const std::optional<WPARAM> quit = DispatchUntilQuit()) PostQuitMessage(static_cast<int>(*quit));
}

void RunPosted() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE)) DispatchMessageW(&msg);
}

}  // namespace tl::test
