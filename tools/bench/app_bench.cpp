// The program against the same main window written by hand (tools/bench/hand_written.cpp), all
// started from outside in interleaved pairs: start-up to the window shown, and a start with many
// entries (time until the window is shown with every entry in its list, peak working set). The
// bare window with two 1 ms timers, and the same importing the program's system DLLs, are a
// second reference for start-up. Each line gives medians, the range over the runs, and the
// median of the per-pair ratios program / hand-written with its range. Idle processor time is
// measured by tools/bench/idle_cpu.sh, since Wine does not answer GetProcessTimes for another
// process.
//   tools/wine-session.sh wine build/win32/tools/bench/app_bench.exe [entries] [start-up pairs] [large pairs]
// (100000, 11 and 5 unless told)
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"

using namespace tl::e2e;

namespace {

void SeedEntries(const ProgramDirectory& dir, int count) {
  std::string entries, times;
  for (int i = 0; i < count; ++i) {
    entries += Gbk(L"第" + std::to_wstring(i) + L"条：写PPt，买菜，交电费") + "\r\n";
    times += Gbk(L"2024年3月5日14时" + std::to_wstring(i % 60) + L"分") + "\r\n";
  }
  dir.Write(L"bugaun.txt", entries);
  dir.Write(L"jilusjian.txt", times);
}

void PutYardsticks(const ProgramDirectory& dir) {
  for (const wchar_t* name : {L"hand_written.exe", L"bare_window.exe", L"bare_window_imports.exe"}) {
    std::filesystem::copy_file(std::wstring(BENCH_DIRECTORY) + L"\\" + name, dir.File(name));
  }
}

// Every look for the window or the rows is a millisecond apart: a coarser look would round
// every start up to its own step.
constexpr DWORD kPollMs = 1;

double Seconds() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

// Milliseconds from the start to the window shown.
double StartToWindow(const ProgramDirectory& dir, const std::wstring& exe, const std::wstring& title) {
  const double t0 = Seconds();
  RunningProgram program(dir, exe);
  const HWND window = program.WaitForWindow(title, 60000, kPollMs);
  return window ? 1000.0 * (Seconds() - t0) : -1;
}

BOOL CALLBACK FindList(HWND child, LPARAM found) {
  wchar_t type[64];
  GetClassNameW(child, type, 64);
  if (std::wstring(type) != WC_LISTVIEWW) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

HWND ListIn(HWND window) {
  HWND list = nullptr;
  EnumChildWindows(window, FindList, reinterpret_cast<LPARAM>(&list));
  return list;
}

int RowsIn(HWND list) {
  DWORD_PTR rows = 0;
  if (!SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 1000, &rows)) return -1;
  return static_cast<int>(rows);
}

struct LargeStart {
  double ms;       // to the window shown with every entry in the list; -1 when it never was
  double peakMb;   // peak working set a second later
};

LargeStart StartWithEntries(const ProgramDirectory& dir, const std::wstring& exe, int entries) {
  const double t0 = Seconds();
  RunningProgram program(dir, exe);
  const HWND window = program.WaitForWindow(L"Tallyleaf", 120000, kPollMs);
  HWND list = nullptr;
  const bool filled = window && WaitUntil(
                                    [&] {
                                      if (!list) list = ListIn(window);
                                      return list && RowsIn(list) >= entries;
                                    },
                                    120000, kPollMs);
  const double ms = filled ? 1000.0 * (Seconds() - t0) : -1;
  Sleep(1000);
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(program.process(), &memory, sizeof memory);
  return {ms, static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0)};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// "median (min-max)" of the values.
std::string Spread(const std::vector<double>& values, const char* format) {
  char text[128];
  const auto [low, high] = std::minmax_element(values.begin(), values.end());
  const std::string f = std::string(format) + " (" + format + "-" + format + ")";
  std::snprintf(text, sizeof text, f.c_str(), Median(values), *low, *high);
  return text;
}

std::vector<double> Ratios(const std::vector<double>& a, const std::vector<double>& b) {
  std::vector<double> ratios;
  for (size_t i = 0; i < a.size(); ++i) ratios.push_back(a[i] / b[i]);
  return ratios;
}

}  // namespace

int main(int argc, char** argv) {
  const int large = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int startPairs = argc > 2 ? std::max(std::atoi(argv[2]), 1) : 11;
  const int largePairs = argc > 3 ? std::max(std::atoi(argv[3]), 1) : 5;
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // figures show as they come
  ProgramDirectory dir;
  PutYardsticks(dir);
  std::vector<double> app, hand, bare, imports;
  for (int run = 0; run < startPairs; ++run) {
    // The order alternates within each pair, so that neither always runs second.
    if (run % 2 == 0) {
      app.push_back(StartToWindow(dir, L"tallyleaf.exe", L"Tallyleaf"));
      hand.push_back(StartToWindow(dir, L"hand_written.exe", L"Tallyleaf"));
    } else {
      hand.push_back(StartToWindow(dir, L"hand_written.exe", L"Tallyleaf"));
      app.push_back(StartToWindow(dir, L"tallyleaf.exe", L"Tallyleaf"));
    }
    bare.push_back(StartToWindow(dir, L"bare_window.exe", L"BareWindow"));
    imports.push_back(StartToWindow(dir, L"bare_window_imports.exe", L"BareWindow"));
  }
  std::printf("start-up to window shown, median (min-max) of %d interleaved pairs: tallyleaf %s ms, "
              "hand-written %s ms, ratio %s\n",
              startPairs, Spread(app, "%.0f").c_str(), Spread(hand, "%.0f").c_str(),
              Spread(Ratios(app, hand), "%.2f").c_str());
  std::printf("  second reference: bare window %s ms, bare window importing the program's system DLLs %s ms\n",
              Spread(bare, "%.0f").c_str(), Spread(imports, "%.0f").c_str());

  ProgramDirectory largeDir;
  PutYardsticks(largeDir);
  SeedEntries(largeDir, large);
  std::vector<double> appMs, handMs, appMb, handMb;
  for (int run = 0; run < largePairs; ++run) {
    for (int turn = 0; turn < 2; ++turn) {
      const bool program = (turn == 0) == (run % 2 == 0);
      const LargeStart s = StartWithEntries(largeDir, program ? L"tallyleaf.exe" : L"hand_written.exe", large);
      (program ? appMs : handMs).push_back(s.ms);
      (program ? appMb : handMb).push_back(s.peakMb);
    }
  }
  std::printf("start with %d entries to window shown with all of them in the list, median (min-max) of %d interleaved "
              "pairs: tallyleaf %s ms, hand-written %s ms, ratio %s\n",
              large, largePairs, Spread(appMs, "%.0f").c_str(), Spread(handMs, "%.0f").c_str(),
              Spread(Ratios(appMs, handMs), "%.2f").c_str());
  std::printf("peak working set with %d entries: tallyleaf %s MB, hand-written %s MB, ratio %s\n", large,
              Spread(appMb, "%.1f").c_str(), Spread(handMb, "%.1f").c_str(),
              Spread(Ratios(appMb, handMb), "%.2f").c_str());
  return 0;
}
