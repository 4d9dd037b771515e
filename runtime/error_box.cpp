#include "runtime/error_box.h"

#include <windows.h>

#include <string>

#include "runtime/gbk.h"
#include "runtime/ownerless_box.h"
#include "runtime/program_end.h"
#include "runtime/runtime_error.h"
#include "runtime/runtime_state.h"

namespace tl {
namespace {

// The box without owner, then the end without exit callbacks; nor is anything saved if the
// session ends while the box shows. The box is raised above the program's always-on-top windows,
// where a person sees it.
[[noreturn]] void ShowRuntimeError(int code, std::string_view message) {
  RuntimeState& rt = Runtime();
  ++rt.suspendCount;
  std::wstring text = Widen(RuntimeErrorText(code, message));
  OwnerlessMessageBox(text.c_str(), Widen("错误").c_str(), MB_OK | MB_ICONSTOP);
  rt.exitCallbacks.clear();
  rt.sessionEndCallbacks.clear();
  ExitProgram(-1);
}

}  // namespace

void InstallErrorReporter() { SetErrorReporter(ShowRuntimeError); }

}  // namespace tl
