#include <windows.h>

#include <algorithm>

#include "commands/time.h"
#include "runtime/unit_events.h"

namespace tl::cmd {

DateTime Now() {
  SYSTEMTIME local{};
  GetLocalTime(&local);
  return {ComposeDateTime({local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond})};
}

namespace {

// A quit message stays queued for the outer loop, so it would wake every wait at once; while
// one is pending, posted messages do not wake the wait and the wait is kept short instead.
constexpr DWORD kQuitPendingWake = QS_ALLINPUT & ~(QS_POSTMESSAGE | QS_ALLPOSTMESSAGE);
constexpr DWORD kQuitPendingSlice = 10;

bool QuitPending() {
  MSG msg;
  return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
}

}  // namespace

// Keeps the program's windows alive until the deadline without spinning: between rounds of
// message processing the thread sleeps until input arrives or the deadline comes.
void Delay(int32_t milliseconds) {
  if (milliseconds <= 0) return;
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
  for (;;) {
    // The pass stops between messages once the wait is over, however slow the handlers are.
    const ULONGLONG before = GetTickCount64();
    const auto budget = static_cast<intptr_t>(before < deadline ? deadline - before : 1);
    CallRuntime(Request::ProcessQueued, budget);
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return;
    const auto remaining = static_cast<DWORD>(deadline - now);
    if (QuitPending()) {
      MsgWaitForMultipleObjectsEx(0, nullptr, std::min(remaining, kQuitPendingSlice), kQuitPendingWake, 0);
    } else {
      MsgWaitForMultipleObjectsEx(0, nullptr, remaining, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
  }
}

}  // namespace tl::cmd
