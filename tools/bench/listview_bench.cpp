// Fills a report list view with 100,000 items through the unit's methods, as the application
// does, then reads every title back and times End and Home until the list has repainted; prints
// the times, the cost per item and the peak working set. End and Home are timed again on a bare
// virtual list view of the platform with as many items, which is what the scrolling costs below
// the unit.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "controls/list_view.h"
#include "runtime/gbk.h"
#include "runtime/memory.h"
#include "runtime/unit.h"
#include "runtime/unit_events.h"
#include "runtime/window_class.h"

namespace {

constexpr uint32_t kWindow = 0x52010001;
constexpr uint32_t kUnit = 0x16010002;
int kItems = 100000;  // the first argument overrides

tl::Unit* g_list = nullptr;
bool g_shown = true;  // "hidden" as the second argument keeps the list hidden

intptr_t BenchRuntime(tl::Request code, intptr_t, intptr_t) {
  return code == tl::Request::UnitObjectOrError ? reinterpret_cast<intptr_t>(g_list) : 0;
}

double Now() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The list's parent hands the control's notifications to its unit, as the runtime's windows do.
LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (auto answer = tl::RouteToOwningUnit(window, message, wParam, lParam)) return *answer;
  return DefWindowProcW(window, message, wParam, lParam);
}

void PumpQueued() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

std::unique_ptr<tl::Unit> CreateList(HWND parent) {
  tl::ListViewBlock block;
  block.viewType = 3;
  block.columns = {{false, -1, 0, 278, "0"}, {false, -1, 0, 50, "1"}};
  const auto bytes = block.Write();
  auto create = reinterpret_cast<tl::CreateUnitFn>(
      tl::kListViewType.getInterface(tl::InterfaceCode::CreateUnit));
  std::unique_ptr<tl::Unit> list(create(bytes.data(), static_cast<int32_t>(bytes.size()), 0,
                                        parent, 100, nullptr, 0, 56, 279, 312, kWindow, kUnit, 0, 0));
  if (list && g_shown) ShowWindow(list->hwnd(), SW_SHOWNA);
  return list;
}

std::string Title(int i) { return "事件 " + std::to_string(i) + " 提醒：买菜、交电费"; }

void Report(const char* what, double seconds) {
  std::printf("%-44s %8.3f s  %7.2f us/item\n", what, seconds, seconds * 1e6 / kItems);
}

// A key the user presses on the focused list, timed until the list has painted what it shows.
void TimeKeyToRepaint(HWND list, UINT key, const char* name) {
  PumpQueued();
  const double start = Now();
  SendMessageW(list, WM_KEYDOWN, key, 0);
  SendMessageW(list, WM_KEYUP, key, 0);
  RedrawWindow(list, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  const double seconds = Now() - start;
  std::printf("%-44s %8.2f ms  (top row %d)\n", name, seconds * 1e3,
              static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0)));
}

// The platform's own virtual list view, with one column and no texts, in the list's place.
void TimeBareList(HWND parent) {
  HWND bare = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA,
                              0, 56, 279, 312, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH;
  column.cx = 278;
  SendMessageW(bare, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  SendMessageW(bare, LVM_SETITEMCOUNT, kItems, 0);
  SetFocus(bare);
  TimeKeyToRepaint(bare, VK_END, "bare virtual list view: End");
  TimeKeyToRepaint(bare, VK_HOME, "bare virtual list view: Home");
  DestroyWindow(bare);
}

void PrintPeakMemory(const char* what) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  std::printf("%s: %.1f MB\n", what, counters.PeakWorkingSetSize / (1024.0 * 1024.0));
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  if (argc > 1) kItems = std::max(1, std::atoi(argv[1]));
  if (argc > 2 && std::string(argv[2]) == "hidden") g_shown = false;
  tl::RegisterWindowClass(L"TL_BenchHost", &HostProc, 0);
  HWND parent = CreateWindowExW(0, L"TL_BenchHost", L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                300, 420, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  tl::SetRuntimeRequest(&BenchRuntime);
  std::vector<std::string> titles;
  titles.reserve(kItems);
  for (int i = 0; i < kItems; ++i) titles.push_back(Title(i));

  PrintPeakMemory("peak working set before the list");
  auto list = CreateList(parent);
  if (!list) return 1;
  g_list = list.get();
  tl::ArgRecord self{kWindow, kUnit, tl::TypeCode(tl::UnitType::ListView)};

  double start = Now();
  double lap = start;
  for (int i = 0; i < kItems; ++i) {
    tl::ArgRecord args[7] = {self, {}, {reinterpret_cast<uintptr_t>(titles[i].c_str()), 0, tl::DataType::Text}};
    tl::ArgRecord result{};
    tl::kListViewInsertItem.entry(&result, 7, args);
    if ((i + 1) % (kItems / 10 ? kItems / 10 : 1) == 0) {
      const double now = Now();
      std::printf("  items %6d: last tenth %.3f s\n", i + 1, now - lap);
      lap = now;
    }
  }
  PumpQueued();
  Report("InsertItem (append), all items", Now() - start);

  start = Now();
  size_t bytes = 0;
  for (int i = 0; i < kItems; ++i) {
    tl::ArgRecord args[3] = {self, tl::IntArg(i), tl::IntArg(0)};
    tl::ArgRecord result{};
    tl::kListViewGetItemText.entry(&result, 3, args);
    char* text = reinterpret_cast<char*>(static_cast<uintptr_t>(result.low));
    bytes += tl::TextView(text).size();
    tl::Free(text);
  }
  Report("GetItemText, every title", Now() - start);
  std::printf("  (%zu title bytes read back)\n", bytes);
  PrintPeakMemory("peak working set after the unit's pass");
  if (g_shown) {
    SetFocus(list->hwnd());
    TimeKeyToRepaint(list->hwnd(), VK_END, "End, until repainted");
    TimeKeyToRepaint(list->hwnd(), VK_HOME, "Home, until repainted");
    TimeBareList(parent);
  }

  PrintPeakMemory("peak working set at the end");
  DestroyWindow(parent);
  return 0;
}
