// The real program's main window seen from outside, as a person meets it after start: where it
// sits, how it stays on top without a taskbar button, which controls it shows, and that Esc
// leaves it alone.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/driver.h"

namespace tl::e2e {
namespace {

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lParam) {
  reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
  return TRUE;
}

std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

using Control = std::pair<std::wstring, std::wstring>;  // class name, text

// The direct children that show, as (class, text), sorted so the order of creation does not matter.
std::vector<Control> VisibleControls(HWND window) {
  std::vector<Control> controls;
  for (HWND child : ChildrenOf(window)) {
    if (GetParent(child) == window && IsWindowVisible(child)) {
      controls.emplace_back(ClassOf(child), WindowTitle(child));
    }
  }
  std::sort(controls.begin(), controls.end());
  return controls;
}

HWND ChildOfClass(HWND window, const wchar_t* className) {
  for (HWND child : ChildrenOf(window)) {
    if (ClassOf(child) == className) return child;
  }
  return nullptr;
}

TEST(MainWindow, StartsCentredTopmostWithoutTaskbarButtonShowingItsControls) {
  RunningProgram program;
  HWND main = program.WaitForWindow(L"Tallyleaf");
  ASSERT_NE(main, nullptr) << "no Tallyleaf window appeared";

  EXPECT_TRUE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_FALSE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  HWND owner = GetWindow(main, GW_OWNER);
  ASSERT_NE(owner, nullptr) << "an unowned window gets a taskbar button";
  EXPECT_EQ(ClassOf(owner), L"_RT_HideOwner");
  EXPECT_FALSE(IsWindowVisible(owner));

  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  RECT r;
  GetWindowRect(main, &r);
  // Centred as created, 284 x 440; then narrowed to 250 with its left edge kept, and its height
  // set by the first shrink tick with its top kept.
  EXPECT_EQ(r.left, (1024 - 284) / 2);
  EXPECT_EQ(r.right - r.left, 250);
  EXPECT_EQ(r.top, (768 - 440) / 2);

  const std::vector<Control> expected = [] {
    std::vector<Control> c = {
        {L"Button", L"固定"},
        {L"Button", L"百度网"},
        {L"Button", L"计算机\r\n"},
        {L"Button", L"记事本\r\n"},
        {L"Button", L"点击此处添加事件"},
        {L"Button", L"按钮"},  // the 1 x 1 button the application clicks itself
        {L"SysListView32", L""},
        {L"_RT_Label", L"Tallyleaf"},
    };
    std::sort(c.begin(), c.end());
    return c;
  }();
  EXPECT_EQ(VisibleControls(main), expected);

  HWND list = ChildOfClass(main, L"SysListView32");
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(GetWindowLongW(list, GWL_STYLE) & LVS_NOCOLUMNHEADER);
  HWND slider = ChildOfClass(main, L"msctls_trackbar32");
  ASSERT_NE(slider, nullptr) << "the transparency slider exists";
  EXPECT_FALSE(IsWindowVisible(slider)) << "and stays hidden until 透明度 is chosen";

  // Only the main window shows: the other windows are loaded on demand or kept hidden.
  EXPECT_EQ(program.VisibleTopLevelWindows(), std::vector<HWND>{main});
}

TEST(MainWindow, EscDoesNothing) {
  RunningProgram program;
  HWND main = program.WaitForWindow(L"Tallyleaf");
  ASSERT_NE(main, nullptr);
  // Other test programs may hold the foreground for a moment: ask until the window has it.
  for (int attempt = 0; attempt < 40 && GetForegroundWindow() != main; ++attempt) {
    SetForegroundWindow(main);
    Sleep(50);
  }
  ASSERT_EQ(GetForegroundWindow(), main);
  // Activation reaches the program's thread a moment after the foreground changes.
  const DWORD thread = GetWindowThreadProcessId(main, nullptr);
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  for (int attempt = 0; attempt < 40; ++attempt) {
    ASSERT_TRUE(GetGUIThreadInfo(thread, &gui));
    if (gui.hwndFocus == main || IsChild(main, gui.hwndFocus)) break;
    Sleep(50);
  }
  ASSERT_TRUE(gui.hwndFocus == main || IsChild(main, gui.hwndFocus)) << "the key goes to the window";

  INPUT key[2] = {};
  key[0].type = key[1].type = INPUT_KEYBOARD;
  key[0].ki.wVk = key[1].ki.wVk = VK_ESCAPE;
  key[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ASSERT_EQ(SendInput(2, key, sizeof(INPUT)), 2u);
  EXPECT_EQ(program.WaitForExit(500), static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_TRUE(IsWindow(main));
  EXPECT_TRUE(IsWindowVisible(main));
}

void MouseTo(POINT at) {
  SetCursorPos(at.x, at.y);
  Sleep(30);
}

void MouseButton(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
  Sleep(30);
}

TEST(MainWindow, DraggingTheTitleMovesTheWindow) {
  RunningProgram program;
  HWND main = program.WaitForWindow(L"Tallyleaf");
  ASSERT_NE(main, nullptr);
  HWND title = ChildOfClass(main, L"_RT_Label");
  ASSERT_NE(title, nullptr);
  RECT before, label;
  GetWindowRect(main, &before);
  GetWindowRect(title, &label);
  POINT at{(label.left + label.right) / 2 - 60, (label.top + label.bottom) / 2};
  ASSERT_EQ(WindowFromPoint(at), title) << "nothing covers the title";
  MouseTo(at);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  // Pointer moves that arrive before the program enters the system's move loop are not seen by
  // it, and on a busy machine that takes a while: move only once it is in the loop.
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  DWORD thread = GetWindowThreadProcessId(main, nullptr);
  for (DWORD waited = 0; waited < 2000; waited += 20) {
    if (GetGUIThreadInfo(thread, &gui) && (gui.flags & GUI_INMOVESIZE)) break;
    Sleep(20);
  }
  for (int step = 1; step <= 5; ++step) MouseTo({at.x - 12 * step, at.y + 8 * step});
  // The loop places the window where the last move it has processed says: release only once
  // the window has caught up with the pointer.
  for (DWORD waited = 0; waited < 2000; waited += 20) {
    RECT now;
    GetWindowRect(main, &now);
    if (now.left - before.left == -60 && now.top - before.top == 40) break;
    Sleep(20);
  }
  MouseButton(MOUSEEVENTF_LEFTUP);
  Sleep(200);
  RECT after;
  GetWindowRect(main, &after);
  EXPECT_EQ(after.left - before.left, -60);
  EXPECT_EQ(after.top - before.top, 40);
  EXPECT_EQ(after.right - after.left, before.right - before.left) << "moved, not resized";
}

}  // namespace
}  // namespace tl::e2e
