// The program's entry: the runtime starts, then runs the application's entry routine.
#include <windows.h>

#include "app/app_handlers.h"
#include "app/command_calls.h"
#include "app/globals.h"
#include "app/program.h"
#include "commands/instance.h"
#include "forms/ids.h"
#include "runtime/service_slots.h"

namespace tl::app {
namespace {

constexpr uint32_t kStartWindow = ids::MainWindow.window;
constexpr const char* kMainWindowCaption = "Tallyleaf";

// The application's own start-up routine: there is nothing to prepare before the first window.
int32_t StartUpRoutine() { return 0; }

int EntryRoutine(const ServiceTable& services) {
  UseServices(services);
  services.NotifyRuntime(NotifyCode::Initialize, 0, 0);
  // One copy per directory writes the entry files: a second start, by whatever path it reaches
  // the directory, shows the first and ends. A directory that cannot be claimed at all still
  // shows its entries, but is never written.
  switch (static_cast<cmd::Claim>(Call(cmd::kClaimRunDirectory))) {
    case cmd::Claim::Taken:
      Call(cmd::kShowRunningInstance, kMainWindowCaption);
      EndProgram(0);
      break;
    case cmd::Claim::Unclaimed: WorkReadOnly(); break;
    case cmd::Claim::Claimed: RecoverInterruptedSave(); break;
  }
  InitGlobals();
  services.NotifyRuntime(NotifyCode::RegisterExitCallback, reinterpret_cast<intptr_t>(&FreeGlobals), 0);
  services.NotifyRuntime(NotifyCode::RegisterSessionEndCallback, reinterpret_cast<intptr_t>(&SaveAtSessionEnd), 0);
  StartUpRoutine();
  services.LoadStartWindow(kStartWindow);
  services.RunMessageLoop();
  return 0;
}

}  // namespace
}  // namespace tl::app

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  tl::RunProgram(tl::app::kProgramHeader, tl::app::EntryRoutine);
}
