// Where the program's start-up goes. This process links the same libraries and system DLLs as
// the program and takes its start-up steps one at a time in a fresh directory, printing what
// each costs: the loader and C runtime before main, OLE, the common controls, the rest of the
// runtime (form image, icons, hidden owner), the application's own preparation, loading the
// main window (its controls and its created handler), and the first paint. With "trace" it
// takes the same steps once more under a window-creation hook and with every handler timed, and
// prints the load step by step: each window and control as it is created or destroyed, the
// loader's messages to the units, each handler's run; every line is the time since the line
// before it (the hooks themselves cost a little, so the trace's total is not the figure to quote).
//   tools/wine-session.sh wine build/win32/tools/bench/startup_bench.exe [trace]
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/app_handlers.h"
#include "app/command_calls.h"
#include "app/globals.h"
#include "app/handler_table.h"
#include "app/program.h"
#include "commands/instance.h"
#include "forms/handlers.h"
#include "forms/ids.h"
#include "runtime/loader.h"
#include "runtime/program_header.h"
#include "runtime/service_slots.h"
#include "runtime/startup.h"
#include "runtime/window_map.h"
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


// ---- The trace ---------------------------------------------------------------------------------

struct Mark {
  double at;
  std::string what;
};
std::vector<Mark> g_marks;

void MarkNow(std::string what) { g_marks.push_back({NowMs(), std::move(what)}); }

std::string Narrow(const wchar_t* wide) {
  char text[128] = {};
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text - 1, nullptr, nullptr);
  return text;
}

std::string ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return Narrow(name);
}

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
    const bool named = !IS_INTRESOURCE(create->lpszClass);
    std::string what = "create " + (named ? Narrow(create->lpszClass) : std::string("#atom"));
    if (!(create->style & WS_CHILD)) what += " (top-level)";
    MarkNow(what);
  } else if (code == HCBT_DESTROYWND) {
    MarkNow("destroy " + ClassOf(reinterpret_cast<HWND>(wParam)));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The loader's own messages to a window and its units, the first of each kind per window.
LRESULT CALLBACK MessageHook(int code, WPARAM wParam, LPARAM lParam) {
  const CWPSTRUCT* sent = reinterpret_cast<CWPSTRUCT*>(lParam);
  static std::vector<std::pair<HWND, UINT>> seen;
  const char* name = sent->message == kMsgAllUnitsExist ? "all units exist"
                     : sent->message == kMsgWindowBuilt ? "window built"
                     : sent->message == kMsgWindowUp    ? "window up"
                                                        : nullptr;
  HWND top = GetAncestor(sent->hwnd, GA_ROOT);
  if (code == HC_ACTION && name && std::find(seen.begin(), seen.end(), std::pair{top, sent->message}) == seen.end()) {
    seen.emplace_back(top, sent->message);
    MarkNow(std::string("loader: ") + name);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

const char* HandlerName(size_t index) {
  switch (static_cast<HandlerId>(index)) {
    case HandlerId::OnMainWindowCreated: return "OnMainWindowCreated";
    case HandlerId::OnMainWindowResized: return "OnMainWindowResized";
    case HandlerId::OnReminderWindowCreated: return "OnReminderWindowCreated";
    case HandlerId::OnReminderWindowDestroyed: return "OnReminderWindowDestroyed";
    case HandlerId::SaveEntryFiles: return "SaveEntryFiles";
    case HandlerId::OnShrinkTick: return "OnShrinkTick";
    default: return "a handler";
  }
}

// The application's handlers, each marked as it begins and ends.
template <size_t I>
HandlerResult Timed(std::span<const uint32_t> args) {
  MarkNow(std::string("handler begins: ") + HandlerName(I));
  const HandlerResult result = app::kHandlerTable.entries[I](args);
  MarkNow(std::string("handler ends: ") + HandlerName(I));
  return result;
}

template <size_t... I>
constexpr std::array<Handler, sizeof...(I)> TimedEntries(std::index_sequence<I...>) {
  return {&Timed<I>...};
}

constexpr auto kTimedEntries = TimedEntries(std::make_index_sequence<kHandlerCount>());
const HandlerTable kTimedTable{kHandlerCount, kTimedEntries.data()};

void PrintMarks(double from) {
  double last = from;
  for (const Mark& mark : g_marks) {
    std::printf("  %-58s %7.1f ms\n", mark.what.c_str(), mark.at - last);
    last = mark.at;
  }
  std::printf("  %-58s %7.1f ms\n", "total under the hooks", last - from);
}

// The start-up once more with every step marked: the runtime with the timed handler table, the
// main window's load and its first paint.
int Trace() {
  static ProgramHeader header = app::kProgramHeader;
  header.codeBase = &kTimedTable;
  EnterFreshDirectory();
  const DWORD thread = GetCurrentThreadId();
  SetWindowsHookExW(WH_CBT, CreationHook, nullptr, thread);
  SetWindowsHookExW(WH_CALLWNDPROC, MessageHook, nullptr, thread);
  const double start = NowMs();
  OleInitialize(nullptr);
  MarkNow("OleInitialize");
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
  InitCommonControlsEx(&controls);
  MarkNow("InitCommonControlsEx");
  UseProgramHeader(header);
  InitializeRuntime();
  MarkNow("runtime set up");
  app::UseServices(Services());
  app::Call(cmd::kClaimRunDirectory);
  app::RecoverInterruptedSave();
  app::InitGlobals();
  MarkNow("application prepared");
  WindowDefinition* main = FindWindowDefinition(ids::MainWindow.window);
  LoadWindowFromDefinition(*main, false, nullptr);
  MarkNow("main window loaded");
  HWND window = LoadedWindow(*main)->hwnd();
  UpdateWindow(window);
  PaintPending();
  MarkNow("first paint");
  PrintMarks(start);
  DestroyWindow(window);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "trace") == 0) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    return Trace();
  }
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
  WindowDefinition* main = FindWindowDefinition(ids::MainWindow.window);
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
