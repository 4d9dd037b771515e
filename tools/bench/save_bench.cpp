// The entry files' save and load inside the program's own runtime: one save after an edit, with
// 10,000 and 100,000 entries, against writing the same bytes once (once plainly, once flushed,
// and once flushed beside and then put in place, as a save does); and loading the main window
// with those entries.
//   tools/wine-session.sh wine build/win32/tools/bench/save_bench.exe [entries...]  (10000 100000)
#include <windows.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app_handlers.h"
#include "app/entry_text.h"
#include "app/globals.h"
#include "app/program.h"
#include "forms/ids.h"
#include "runtime/loader.h"
#include "runtime/program_header.h"
#include "runtime/service_slots.h"
#include "runtime/startup.h"
#include "runtime/window_map.h"
#include "runtime/window_unit.h"

using namespace tl;

namespace {

double Now() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string Lines(int count, const char* text) {
  std::string lines;
  for (int i = 0; i < count; ++i) lines += std::string(text) + std::to_string(i) + "\r\n";
  return lines;
}

// A save flushes its files to the disk before it replaces the old ones; `flushed` writes the
// same way, so that the figure shows what the durability alone costs.
void Write(const wchar_t* name, const std::string& bytes, bool flushed = false) {
  HANDLE h = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  if (flushed) FlushFileBuffers(h);
  CloseHandle(h);
}

void Measure(int count) {
  const std::string entries = Lines(count, "第几条：写PPt，买菜，交电费"), times = Lines(count, "2024年3月5日14时");
  Write(L"bugaun.txt", entries);
  Write(L"jilusjian.txt", times);
  double t0 = Now();
  WindowDefinition* main = FindWindowDefinition(ids::MainWindow.window);
  LoadWindowFromDefinition(*main, false, nullptr);
  const double load = Now() - t0;

  const app::ListUnit list(ids::EntryList);
  double save = 1e9;
  for (int i = 0; i < 5; ++i) {
    list.SetItemText(count / 2, 0, ("改" + std::to_string(i)).c_str());
    t0 = Now();
    app::SaveEntryFiles({});
    save = std::min(save, Now() - t0);
  }
  // Two steps of the save: reading every row's texts, and making the files' lines of them.
  t0 = Now();
  const app::OwnedByteSet rows = list.RowTexts();
  const double read = Now() - t0;
  // The lines are made into the storage the previous save left, as in the program.
  app::EntryLines lines;
  double columns = 0;
  for (int i = 0; i < 2; ++i) {
    t0 = Now();
    lines.Build({reinterpret_cast<const char*>(rows.bytes().data()), rows.bytes().size()});
    columns = Now() - t0;
  }
  double raw = 1e9, flushed = 1e9, replaced = 1e9;
  for (int i = 0; i < 5; ++i) {
    t0 = Now();
    Write(L"raw_times.txt", times);
    Write(L"raw_entries.txt", entries);
    raw = std::min(raw, Now() - t0);
    t0 = Now();
    Write(L"raw_times.txt", times, true);
    Write(L"raw_entries.txt", entries, true);
    flushed = std::min(flushed, Now() - t0);
    // What no entry lost to a crash costs at the least: both written beside, then both replaced.
    t0 = Now();
    Write(L"raw_times.txt.new", times, true);
    Write(L"raw_entries.txt.new", entries, true);
    MoveFileExW(L"raw_times.txt.new", L"raw_times.txt", MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    MoveFileExW(L"raw_entries.txt.new", L"raw_entries.txt", MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    replaced = std::min(replaced, Now() - t0);
  }
  std::printf("%6d entries: load of the main window %.0f ms; one save %.1f ms, writing the same bytes once %.1f ms "
              "(%.2fx), flushed to the disk %.1f ms (%.2fx), flushed beside and replaced %.1f ms (%.2fx); of the "
              "save, reading the rows %.1f ms, the lines of both files %.1f ms (%zu bytes)\n",
              count, load, save, raw, save / raw, flushed, save / flushed, replaced, save / replaced, read, columns,
              lines.column(0).size() + lines.column(1).size());
  DestroyWindow(LoadedWindow(*main)->hwnd());
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // figures show as they come
  UseProgramHeader(app::kProgramHeader);
  InitializeRuntime();
  app::UseServices(Services());
  app::InitGlobals();
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring dir = std::wstring(temp) + L"tallyleaf-save-bench";
  CreateDirectoryW(dir.c_str(), nullptr);
  SetCurrentDirectoryW(dir.c_str());
  if (argc > 1) {
    for (int i = 1; i < argc; ++i) Measure(std::atoi(argv[i]));
  } else {
    for (int count : {10000, 100000}) Measure(count);
  }
  return 0;
}
