// The program against a bare window with two 1 ms timers, both started from outside:
// start-up to the window shown, and a start with many entries (time to the window, peak working
// set). Idle processor time is measured by tools/bench/idle_cpu.sh, since Wine does not answer
// GetProcessTimes for another process.
//   tools/wine-session.sh wine build/win32/tools/bench/app_bench.exe [entries, 100000]
#include <windows.h>
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

void PutBareWindow(const ProgramDirectory& dir) {
  for (const wchar_t* name : {L"bare_window.exe", L"bare_window_imports.exe"}) {
    std::filesystem::copy_file(std::wstring(BENCH_DIRECTORY) + L"\\" + name, dir.File(name));
  }
}

// Milliseconds from the start to the window shown.
double StartToWindow(const ProgramDirectory& dir, const std::wstring& exe, const std::wstring& title) {
  LARGE_INTEGER f, t0, t1;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t0);
  RunningProgram program(dir, exe);
  const HWND window = program.WaitForWindow(title, 60000);
  QueryPerformanceCounter(&t1);
  return window ? 1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(f.QuadPart) : -1;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int large = argc > 1 ? std::atoi(argv[1]) : 100000;
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // figures show as they come
  ProgramDirectory dir;
  PutBareWindow(dir);
  std::vector<double> app, bare, imports;
  for (int run = 0; run < 7; ++run) {
    app.push_back(StartToWindow(dir, L"tallyleaf.exe", L"Tallyleaf"));
    bare.push_back(StartToWindow(dir, L"bare_window.exe", L"BareWindow"));
    imports.push_back(StartToWindow(dir, L"bare_window_imports.exe", L"BareWindow"));
  }
  std::printf("start-up to window shown (median of 7): tallyleaf %.0f ms, bare window %.0f ms (%.2fx); "
              "bare window importing the program's system DLLs %.0f ms\n",
              Median(app), Median(bare), Median(app) / Median(bare), Median(imports));

  ProgramDirectory largeDir;
  SeedEntries(largeDir, large);
  LARGE_INTEGER f, t0, t1;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t0);
  RunningProgram program(largeDir);
  const HWND window = program.MainWindow(120000);
  QueryPerformanceCounter(&t1);
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(program.process(), &memory, sizeof memory);
  std::printf("start with %d entries to window shown: %.0f ms (%s), peak working set %.1f MB\n", large,
              1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(f.QuadPart),
              window ? "shown" : "not shown", static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0));
  return 0;
}
