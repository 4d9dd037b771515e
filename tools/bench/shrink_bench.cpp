// The program's idle cost with auto-shrink at work, against the bare window with two 1 ms
// timers: processor time over 10 s with the pointer resting over the expanded window, and over
// 10 s with it resting away from the collapsed strip (1,000 entries loaded).
//   tools/wine-session.sh wine build/win32/tools/bench/shrink_bench.exe
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/e2e/driver.h"

using namespace tl::e2e;

namespace {

double Seconds(FILETIME t) {
  return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
}

double ProcessorMs(HANDLE process) {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(process, &created, &exited, &kernel, &user);
  return 1000.0 * (Seconds(kernel) + Seconds(user));
}

// Processor milliseconds the process uses over 10 s, measured after a settling second.
double ProcessorOverTenSeconds(HANDLE process) {
  Sleep(1000);
  const double before = ProcessorMs(process);
  Sleep(10000);
  return ProcessorMs(process) - before;
}

int WindowHeight(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r.bottom - r.top;
}

void SeedEntries(const ProgramDirectory& dir, int count) {
  std::string entries, times;
  for (int i = 0; i < count; ++i) {
    entries += Gbk(L"第" + std::to_wstring(i) + L"条：写PPt，买菜，交电费") + "\r\n";
    times += Gbk(L"2024年3月5日14时" + std::to_wstring(i % 60) + L"分") + "\r\n";
  }
  dir.Write(L"bugaun.txt", entries);
  dir.Write(L"jilusjian.txt", times);
}

}  // namespace

int main() {
  ProgramDirectory dir;
  std::filesystem::copy_file(std::wstring(BENCH_DIRECTORY) + L"\\bare_window.exe", dir.File(L"bare_window.exe"));
  SeedEntries(dir, 1000);

  double over = -1, away = -1;
  int overHeight = 0, awayHeight = 0;
  {
    RunningProgram program(dir);
    const HWND main = program.MainWindow(60000);
    if (!main) {
      std::printf("the program's window did not show\n");
      return 1;
    }
    RECT r{};
    GetWindowRect(main, &r);
    SetCursorPos((r.left + r.right) / 2, r.top + 100);
    over = ProcessorOverTenSeconds(program.process());
    overHeight = WindowHeight(main);
    SetCursorPos(r.right + 150, r.bottom + 100);
    away = ProcessorOverTenSeconds(program.process());
    awayHeight = WindowHeight(main);
  }
  RunningProgram bare(dir, L"bare_window.exe");
  if (!bare.WaitForWindow(L"BareWindow", 60000)) return 1;
  const double yardstick = ProcessorOverTenSeconds(bare.process());

  std::printf("processor time over 10 s, auto-shrink on, 1000 entries (bare window with two 1 ms timers: %.0f ms)\n",
              yardstick);
  std::printf("  pointer resting over the window (height %d): %.0f ms (%.2fx)\n", overHeight, over,
              yardstick > 0 ? over / yardstick : 0.0);
  std::printf("  pointer resting away from it    (height %d): %.0f ms (%.2fx)\n", awayHeight, away,
              yardstick > 0 ? away / yardstick : 0.0);
  return 0;
}
