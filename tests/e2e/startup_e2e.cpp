// The program as a person starts and ends it: the main window's place, size, opacity and
// layout, a close box and Alt+F4 that do nothing, 关闭程序, and one running copy per directory.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"

namespace tl::e2e {
namespace {

constexpr WPARAM kCloseProgramCommand = 20003;

int Width(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return r.right - r.left;
}

bool BringForward(HWND main) {
  return WaitUntil([&] {
    if (GetForegroundWindow() != main) SetForegroundWindow(main);
    return GetForegroundWindow() == main;
  });
}

TEST(Startup, MainWindowStartsCentred250WideAloneAtOpacity200AndLaysItsButtonsOut) {
  RunningProgram program;
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return Width(main) == 250; })) << Width(main);
  // Centred as created, 284 x 440; narrowed with its left edge kept, and its height set by the
  // first shrink tick with its top kept.
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  RECT place;
  GetWindowRect(main, &place);
  EXPECT_EQ(place.left, (1024 - 284) / 2);
  EXPECT_EQ(place.top, (768 - 440) / 2);
  // Owned by a hidden window, so no taskbar button; the other windows load on demand.
  HWND owner = GetWindow(main, GW_OWNER);
  ASSERT_NE(owner, nullptr);
  EXPECT_EQ(ClassOf(owner), L"_RT_HideOwner");
  EXPECT_FALSE(IsWindowVisible(owner));
  EXPECT_EQ(program.VisibleTopLevelWindows(), std::vector<HWND>{main});

  EXPECT_EQ(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_LAYERED, WS_EX_LAYERED);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(main, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 200);
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));

  HWND list = FindChild(main, L"SysListView32");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(PlaceInParent(list).right - PlaceInParent(list).left, 250);
  struct Expected {
    const wchar_t* caption;
    int left;
  };
  for (const Expected& e : {Expected{L"计算机\r\n", 5}, Expected{L"百度网", 80}, Expected{L"记事本\r\n", 158}}) {
    HWND button = FindChild(main, L"Button", e.caption);
    ASSERT_NE(button, nullptr);
    const RECT r = PlaceInParent(button);
    EXPECT_EQ(r.left, e.left) << WindowTitle(button);
    EXPECT_EQ(r.right - r.left, 78) << WindowTitle(button);
  }
  HWND add = FindChild(main, L"Button", L"点击此处添加事件");
  ASSERT_NE(add, nullptr);
  EXPECT_EQ(PlaceInParent(add).right - PlaceInParent(add).left, 250);
}

TEST(Startup, ANarrowerWindowIsWidenedTo203AndLaidOutForIt) {
  RunningProgram program;
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return Width(main) == 250; }));
  RECT r;
  GetWindowRect(main, &r);
  SetWindowPos(main, nullptr, 0, 0, 150, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(WaitUntil([&] { return Width(main) == 203; })) << Width(main);
  HWND portal = FindChild(main, L"Button", L"百度网");
  ASSERT_NE(portal, nullptr);
  // Laid out for the 203-pixel list: 203 / 3.1 and 203 / 3.2, truncated.
  EXPECT_TRUE(WaitUntil([&] { return PlaceInParent(portal).left == 65; })) << PlaceInParent(portal).left;
  EXPECT_EQ(PlaceInParent(portal).right - PlaceInParent(portal).left, 63);
}

TEST(Startup, CloseBoxAndAltF4LeaveItRunningAndCloseProgramExitsWithZero) {
  RunningProgram program;
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(program.WaitForExit(500), static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_TRUE(IsWindowVisible(main));

  ASSERT_TRUE(BringForward(main));
  INPUT keys[4] = {};
  for (INPUT& k : keys) k.type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[3].ki.wVk = VK_MENU;
  keys[1].ki.wVk = keys[2].ki.wVk = VK_F4;
  keys[2].ki.dwFlags = keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
  ASSERT_EQ(SendInput(4, keys, sizeof(INPUT)), 4u);
  EXPECT_EQ(program.WaitForExit(500), static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_TRUE(IsWindowVisible(main));

  PostMessageW(main, WM_COMMAND, kCloseProgramCommand, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(Startup, ASecondStartInTheSameDirectoryShowsTheFirstAndEnds) {
  ProgramDirectory directory;
  RunningProgram first(directory);
  HWND main = first.MainWindow();
  ASSERT_NE(main, nullptr);
  RunningProgram other;  // another directory: runs alongside
  ASSERT_NE(other.MainWindow(), nullptr);
  ASSERT_TRUE(BringForward(other.MainWindow()));

  RunningProgram second(directory);
  EXPECT_EQ(second.WaitForExit(), 0u);
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; })) << "the running copy comes forward";
  EXPECT_EQ(first.WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_EQ(other.WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE));
}

std::vector<std::wstring> LowerCaseModulePaths(DWORD processId) {
  std::vector<std::wstring> paths;
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  if (!process) return paths;
  HMODULE modules[512];
  DWORD bytes = 0;
  if (EnumProcessModules(process, modules, sizeof modules, &bytes)) {
    for (DWORD i = 0; i < std::min<DWORD>(bytes / sizeof(HMODULE), 512); ++i) {
      wchar_t path[MAX_PATH];
      DWORD length = GetModuleFileNameExW(process, modules[i], path, MAX_PATH);
      std::wstring lower(path, length);
      std::transform(lower.begin(), lower.end(), lower.begin(), [](wchar_t c) { return std::towlower(c); });
      paths.push_back(lower);
    }
  }
  CloseHandle(process);
  return paths;
}

// The manifest makes the system load common controls 6 from the side-by-side store instead of
// the version 5 library in the system directory.
TEST(Startup, ProgramRunsWithCommonControls6) {
  RunningProgram program;
  ASSERT_NE(program.WaitForWindow(L"Tallyleaf"), nullptr);
  std::vector<std::wstring> comctl;
  for (const std::wstring& path : LowerCaseModulePaths(program.processId())) {
    if (path.ends_with(L"\\comctl32.dll")) comctl.push_back(path);
  }
  ASSERT_EQ(comctl.size(), 1u);
  EXPECT_NE(comctl[0].find(L"\\winsxs\\x86_microsoft.windows.common-controls_6595b64144ccf1df_6."),
            std::wstring::npos)
      << "loaded from the system directory: the manifest was not honoured";
}

}  // namespace
}  // namespace tl::e2e
