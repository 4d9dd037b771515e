#include "runtime/ownerless_box.h"

#include <utility>

namespace tl {
namespace {

// The platform's message box does not take a topmost flag here, so the box is put into the
// topmost band once its dialog is set up, before it shows: whether it is then activated
// depends on which program has the foreground.
thread_local HHOOK t_raiseHook = nullptr;

void StopRaisingBoxes() {
  if (t_raiseHook) UnhookWindowsHookEx(std::exchange(t_raiseHook, nullptr));
}

LRESULT CALLBACK RaiseBoxWhenSetUp(int code, WPARAM wp, LPARAM lp) {
  const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lp);
  if (code == HC_ACTION && sent->message == WM_INITDIALOG) {
    StopRaisingBoxes();
    SetWindowPos(sent->hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

int OwnerlessMessageBox(const wchar_t* text, const wchar_t* title, UINT style) {
  StopRaisingBoxes();
  t_raiseHook = SetWindowsHookExW(WH_CALLWNDPROCRET, RaiseBoxWhenSetUp, nullptr, GetCurrentThreadId());
  const int answer = MessageBoxW(nullptr, text, title, style);
  StopRaisingBoxes();
  return answer;
}

}  // namespace tl
