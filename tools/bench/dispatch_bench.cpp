// Event dispatch with the program's own main window loaded from the real form image: how long
// the runtime takes from a timer tick to its handler, from a right press on the pin button to
// the button's handler, and from a mouse move over the list's column header (a native window
// that no unit owns) to the list unit. Each message is handed to the runtime as the message loop
// hands it over after fetching it, so Wine's queue is not in the figures. The handlers are
// stand-ins that only note the time they were called, so that the figures are the runtime's and
// not the application's. Usage: dispatch_bench.exe [messages per case]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/libraries.h"
#include "controls/timer.h"
#include "forms/form_image_data.h"
#include "forms/handlers.h"
#include "forms/ids.h"
#include "runtime/dispatch.h"
#include "runtime/loader.h"
#include "runtime/program_header.h"
#include "runtime/startup.h"
#include "runtime/unit.h"
#include "runtime/window_map.h"
#include "runtime/window_unit.h"

namespace {

LARGE_INTEGER g_handled;

tl::HandlerResult NoteTime(std::span<const uint32_t>) {
  QueryPerformanceCounter(&g_handled);
  return tl::NoAnswer;
}

const std::array<tl::Handler, tl::kHandlerCount> kStandIns = [] {
  std::array<tl::Handler, tl::kHandlerCount> entries;
  entries.fill(&NoteTime);
  return entries;
}();
const tl::HandlerTable kStandInTable{tl::kHandlerCount, kStandIns.data()};
const char kConstants[12] = {0, 0, 0, 0, 1};

const tl::ProgramHeader kHeader = {3,       0, 121670, &kStandInTable, kConstants, sizeof kConstants,
                                   tl::forms::kFormImage, tl::forms::kFormImageLength,
                                   tl::kLibraryCount, tl::kLibraries, 0, nullptr, nullptr};

double Microseconds(LONGLONG ticks) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1e6 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

struct Figures {
  std::vector<double> toHandler;  // empty when the case has no handler
  std::vector<double> whole;      // pre-processing and, for the tick, dispatching
};

// Hands the message to the runtime as the loop does, count times, noting the time of the whole
// and, when a handler ran, the time until it was called.
Figures Measure(HWND target, UINT message, WPARAM wParam, LPARAM lParam, int count) {
  Figures figures;
  for (int i = 0; i < count; ++i) {
    g_handled.QuadPart = 0;
    MSG msg{target, message, wParam, lParam, GetTickCount(), {}};
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    if (!tl::PreprocessMessage(msg) && message == WM_TIMER) DispatchMessageW(&msg);
    QueryPerformanceCounter(&end);
    figures.whole.push_back(Microseconds(end.QuadPart - start.QuadPart));
    if (g_handled.QuadPart) figures.toHandler.push_back(Microseconds(g_handled.QuadPart - start.QuadPart));
  }
  return figures;
}

void Print(const char* what, std::vector<double> times) {
  if (times.empty()) {
    std::printf("  %-44s no handler ran\n", what);
    return;
  }
  std::sort(times.begin(), times.end());
  double sum = 0;
  for (double t : times) sum += t;
  std::printf("  %-44s median %8.2f us  mean %8.2f us  min %8.2f us  (%zu)\n", what,
              times[times.size() / 2], sum / static_cast<double>(times.size()), times.front(),
              times.size());
}

HWND UnitHandle(uint32_t unit) {
  tl::Unit* object = tl::FindUnitObject(tl::ids::MainWindow.window, unit);
  return object ? object->hwnd() : nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5000;
  tl::UseProgramHeader(kHeader);
  tl::InitializeRuntime();
  tl::WindowDefinition* main = tl::FindWindowDefinition(tl::ids::MainWindow.window);
  if (!main || tl::LoadWindowFromDefinition(*main, false, nullptr) != 1) {
    std::fprintf(stderr, "dispatch_bench: the main window did not load\n");
    return 1;
  }
  size_t units = 0;
  for (size_t i = 0; i < main->units.size(); ++i) units += main->units.IsMenuItem(i) ? 0 : 1;
  HWND timer = UnitHandle(tl::ids::ShrinkTimer.unit);
  HWND pin = UnitHandle(tl::ids::PinButton.unit);
  HWND list = UnitHandle(tl::ids::EntryList.unit);
  HWND header = list ? reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)) : nullptr;
  if (!timer || !pin || !header) {
    std::fprintf(stderr, "dispatch_bench: a unit of the main window is missing\n");
    return 1;
  }
  tl::ProcessQueuedMessages();
  std::printf("main window loaded: %zu records, %zu units; %d messages per case\n",
              main->units.size(), units, count);

  const Figures tick = Measure(timer, WM_TIMER, tl::Timer::kPlatformTimerId, 0, count);
  std::printf("timer tick (ShrinkTimer)\n");
  Print("WM_TIMER -> OnShrinkTick stand-in", tick.toHandler);
  Print("pre-processed and dispatched", tick.whole);

  const Figures press = Measure(pin, WM_RBUTTONDOWN, 0, MAKELPARAM(4, 4), count);
  std::printf("right press on the pin button (bound to event -4)\n");
  Print("WM_RBUTTONDOWN -> OnPinRightPressed stand-in", press.toHandler);
  Print("pre-processed", press.whole);

  const Figures move = Measure(header, WM_MOUSEMOVE, 0, MAKELPARAM(4, 4), count);
  std::printf("mouse move over the list's header (resolved to the list, no binding)\n");
  Print("pre-processed", move.whole);

  DestroyWindow(tl::LoadedWindow(*main)->hwnd());
  return 0;
}
