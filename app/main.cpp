// The program's entry: the runtime starts, then runs the application's start-up entry.
#include <windows.h>

#include "app/program_header.h"
#include "runtime/runtime.h"

namespace tl::app {
namespace {

constexpr uint32_t kStartWindow = 0x52010001;

// Released at exit: nothing is held yet beyond what the runtime releases itself.
void ReleaseGlobals() {}

int StartUp(const ServiceTable& services) {
  services.NotifyRuntime(NotifyCode::Initialize, 0, 0);
  services.NotifyRuntime(NotifyCode::RegisterExitCallback,
                         reinterpret_cast<intptr_t>(&ReleaseGlobals), 0);
  services.LoadStartWindow(kStartWindow);
  services.RunMessageLoop();
  return 0;
}

}  // namespace
}  // namespace tl::app

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  tl::RunProgram(tl::app::kProgramHeader, tl::app::StartUp);
}
