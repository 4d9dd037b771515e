// Where the program's start-up goes. This process links the same libraries and system DLLs as
// the program and takes its start-up steps one at a time in a fresh directory, printing what
// each costs: the loader and C runtime before main, OLE, the common controls, the rest of the
// runtime (form image, icons, hidden owner), the application's own preparation, loading the
// main window (its controls and its created handler), and the first paint.
//   tools/wine-session.sh wine build/win32/tools/bench/startup_bench.exe
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <cstdio>
#include <string>

#include "app/app_handlers.h"
#include "app/command_calls.h"
#include "app/globals.h"
#include "app/program.h"
#include "commands/instance.h"
#include "forms/ids.h"
#include "runtime/runtime.h"
#include "runtime/runtime_state.h"
#include "runtime/window_unit.h"

using namespace tl;

namespace {

double FileTimeMs(const FILETIME& t) {
  return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
}

double NowMs() {
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  return FileTimeMs(now);
}

double ProcessCreatedMs() {
  FILETIME created, ended, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  return FileTimeMs(created);
}

// Prints the time since the previous step and starts the next one.
class Steps {
 public:
  explicit Steps(double start) : start_(start), last_(start) {}
  void Done(const char* step) {
    const double now = NowMs();
    std::printf("  %-58s %7.1f ms\n", step, now - last_);
    last_ = now;
  }
  void Total() const { std::printf("  %-58s %7.1f ms\n", "process created to first paint", last_ - start_); }

 private:
  double start_, last_;
};

void EnterFreshDirectory() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring dir = std::wstring(temp) + L"tallyleaf-startup-bench-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(dir.c_str(), nullptr);
  SetCurrentDirectoryW(dir.c_str());
}

void PaintPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_TIMER) continue;
    DispatchMessageW(&msg);
  }
  GdiFlush();
}

}  // namespace

int main() {
  Steps steps(ProcessCreatedMs());
  steps.Done("before main: loader, system DLLs, C runtime");
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  EnterFreshDirectory();
  OleInitialize(nullptr);
  steps.Done("OleInitialize");
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
  InitCommonControlsEx(&controls);
  steps.Done("InitCommonControlsEx");
  UseProgramHeader(app::kProgramHeader);
  InitializeRuntime();
  steps.Done("runtime: form image, icons, hidden owner, DLL table");
  app::UseServices(Services());
  app::Call(cmd::kClaimRunDirectory);
  app::RecoverInterruptedSave();
  app::InitGlobals();
  steps.Done("application: one copy per directory, save recovery, globals");
  WindowDefinition* main = FindWindowDefinition(ids::MainWindow);
  LoadWindowFromDefinition(*main, false, nullptr);
  steps.Done("main window loaded: controls, created handler, entry files");
  HWND window = LoadedWindow(*main)->hwnd();
  UpdateWindow(window);
  PaintPending();
  steps.Done("first paint and the messages queued by the load");
  steps.Total();
  DestroyWindow(window);
  return 0;
}
