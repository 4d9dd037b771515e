#include <windows.h>

#include "commands/time.h"
#include "runtime/unit_events.h"

namespace tl::cmd {

void Now(ArgRecord* result, int, ArgRecord*) {
  SYSTEMTIME local{};
  GetLocalTime(&local);
  *result = DateTimeArg(ComposeDateTime(
      {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond}));
}

// Keeps the program's windows alive until the deadline without spinning: between rounds of
// message processing the thread sleeps until input arrives or the deadline comes.
void Delay(ArgRecord*, int argc, ArgRecord* args) {
  const int32_t milliseconds = Args(argc, args).Int(0);
  if (milliseconds <= 0) return;
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
  for (;;) {
    CallRuntime(Request::ProcessQueued);
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return;
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
  }
}

}  // namespace tl::cmd
