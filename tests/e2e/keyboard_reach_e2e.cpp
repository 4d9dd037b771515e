// Every action from the keyboard, and a window always in reach. No pointer input at all in the
// keyboard tests: the focus moves with Tab, the Apps key or Shift+F10 opens the focused unit's
// menu where the unit is, and the arrow keys and Enter choose from it. A window left where no
// monitor shows it comes back when the display changes and when a second start shows it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/e2e/main_window_fixture.h"

namespace tl::e2e {
namespace {

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

RECT ScreenRect(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r;
}

// The two keys that ask for the focused unit's menu.
enum class MenuKey { ShiftF10, Apps };

class KeyboardOnly : public ::testing::Test {
 public:
  void Start() {
    const auto [texts, times] = EntryFileTexts(kRows);
    directory_.Write(L"bugaun.txt", texts);
    directory_.Write(L"jilusjian.txt", times);
    program_.emplace(directory_);
    main_ = program_->MainWindow();
    ASSERT_NE(main_, nullptr);
    list_ = FindChild(main_, L"SysListView32");
    pin_ = FindChild(main_, L"Button", L"固定");
    slider_ = FindChild(main_, L"msctls_trackbar32");
    ASSERT_TRUE(list_ && pin_ && slider_);
    ASSERT_TRUE(WaitUntil([&] { return ReadRows(list_) == kRows; })) << "the files load";
    // A window the user starts is the active one; where the desktop disagrees, the driver
    // activates it as the system would (no pointer input).
    if (!WaitUntil([&] { return GetForegroundWindow() == main_; }, 2000)) SetForegroundWindow(main_);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main_; })) << "the window is active";
  }
  // Tab until the unit has the focus.
  // Each press is waited for before the next, so that a busy program is not tabbed past the unit.
  void TabTo(HWND unit) {
    for (int presses = 0; presses < 12 && FocusOf(main_) != unit; ++presses) {
      const HWND before = FocusOf(main_);
      PressKey(VK_TAB);
      WaitUntil([&] { return FocusOf(main_) != before; }, 1000);
    }
    ASSERT_EQ(FocusOf(main_), unit) << "Tab reaches the unit";
  }
  // Opens the focused unit's menu; answers the menu's place on the screen.
  std::optional<RECT> OpenMenu(MenuKey key) {
    if (key == MenuKey::Apps) PressKey(VK_APPS);
    else PressKeys({VK_SHIFT, VK_F10});
    HWND menu = nullptr;
    if (!WaitUntil([&] { return (menu = VisibleWindowOfClass(*program_, L"#32768")) != nullptr; }, 3000)) {
      return std::nullopt;
    }
    return ScreenRect(menu);
  }
  // The keys after the menu opened, then waits for every menu to close.
  void Choose(const std::vector<WORD>& keys) {
    for (WORD key : keys) PressKey(key);
    EXPECT_TRUE(WaitUntil([&] { return VisibleWindowOfClass(*program_, L"#32768") == nullptr; }));
  }
  // The bottom left corner of a row of the list, on the screen.
  POINT RowCorner(int row) const {
    RECT r = AskRect(list_, LVM_GETITEMRECT, static_cast<WPARAM>(row), RECT{LVIR_LABEL, 0, 0, 0});
    MapWindowPoints(list_, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.bottom};
  }
  int Opacity() const {
    BYTE alpha = 0;
    return GetLayeredWindowAttributes(main_, nullptr, &alpha, nullptr) ? alpha : -1;
  }
  HWND ReminderWindow() const {
    for (HWND hwnd : program_->TopLevelWindows()) {
      if (IsWindowVisible(hwnd) && FindChild(hwnd, L"Button", L"确认提醒")) return hwnd;
    }
    return nullptr;
  }

  const std::vector<ListRow> kRows{{L"写周报", L"2019年5月3日9时5分7秒"},
                                   {L"开会", L"2019年5月3日9时6分7秒"},
                                   {L"交电费", L"2019年5月3日9时7分7秒"}};
  ProgramDirectory directory_;
  std::optional<RunningProgram> program_;
  HWND main_ = nullptr, list_ = nullptr, pin_ = nullptr, slider_ = nullptr;
};

// Each list command, by either key, on a row chosen with the arrow keys: the menu opens below the
// selected row's text, and the command runs on that row.
TEST_F(KeyboardOnly, TheListMenuOpensAtTheSelectedRowAndItsCommandsRun) {
  struct Case {
    const char* name;
    MenuKey key;
    int row;  // selected with Home and Down
    std::vector<WORD> choose;
    std::function<bool(KeyboardOnly&)> ran;
  };
  const Case cases[] = {
      {"删除事件 by Shift+F10", MenuKey::ShiftF10, 1, {VK_DOWN, VK_DOWN, VK_RETURN},
       [](KeyboardOnly& t) {
         return WaitUntil([&] { return ListColumn(t.list_) == std::vector<std::wstring>{L"写周报", L"交电费"}; });
       }},
      {"添加提醒事件 by the Apps key", MenuKey::Apps, 0,
       {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN},
       [](KeyboardOnly& t) { return WaitUntil([&] { return t.ReminderWindow() != nullptr; }); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start();
    TabTo(list_);
    PressKey(VK_HOME);
    for (int i = 0; i < c.row; ++i) PressKey(VK_DOWN);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(list_, LVM_GETNEXTITEM, -1, LVNI_SELECTED) == c.row; }));
    const std::optional<RECT> menu = OpenMenu(c.key);
    ASSERT_TRUE(menu) << "the menu opens";
    const POINT corner = RowCorner(c.row);
    EXPECT_EQ(menu->left, corner.x) << "at the row's left";
    EXPECT_EQ(menu->top, corner.y) << "below the row";
    Choose(c.choose);
    EXPECT_TRUE(c.ran(*this));
    program_.reset();
  }
}

TEST_F(KeyboardOnly, WithNoRowSelectedTheListMenuOpensAtTheListsTop) {
  Start();
  TabTo(list_);
  ClearListSelection(list_);
  const std::optional<RECT> menu = OpenMenu(MenuKey::ShiftF10);
  ASSERT_TRUE(menu);
  const RECT list = ScreenRect(list_);
  POINT top{0, 0};
  ClientToScreen(list_, &top);
  EXPECT_EQ(menu->left, top.x);
  EXPECT_EQ(menu->top, top.y);
  EXPECT_TRUE(menu->left >= list.left && menu->top < list.bottom);
  Choose({VK_ESCAPE});
}

// The settings menu opens below the pin; 透明度 shows the slider, which the arrow keys move, and
// 关闭程序 ends the program.
TEST_F(KeyboardOnly, ThePinsSettingsMenuOpensBelowItAndItsCommandsRun) {
  Start();
  TabTo(pin_);
  std::optional<RECT> menu = OpenMenu(MenuKey::Apps);
  ASSERT_TRUE(menu) << "the settings menu opens";
  const RECT pin = ScreenRect(pin_);
  EXPECT_EQ(menu->left, pin.left);
  EXPECT_EQ(menu->top, pin.bottom);
  Choose({VK_DOWN, VK_DOWN, VK_RETURN});
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(slider_) != FALSE; })) << "透明度 shows the slider";
  TabTo(slider_);
  PressKey(VK_END);
  EXPECT_TRUE(WaitUntil([&] { return Opacity() == 255; })) << "End makes the window opaque";
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(slider_); })) << "and the slider goes";

  TabTo(pin_);
  menu = OpenMenu(MenuKey::ShiftF10);
  ASSERT_TRUE(menu);
  Choose({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
  EXPECT_EQ(program_->WaitForExit(), 0u) << "关闭程序 ends the program";
}

// ---- Always in reach --------------------------------------------------------------------------

class InReach : public ::testing::Test {
 protected:
  void Start() {
    program_.emplace(directory_);
    main_ = program_->MainWindow();
    ASSERT_NE(main_, nullptr);
    start_ = ScreenRect(main_);
  }
  void MoveAway() {
    SetWindowPos(main_, nullptr, 3000, 3000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] { return ScreenRect(main_).left == 3000; }));
  }
  bool BackAtTheStartPlace() {
    return WaitUntil([&] {
      const RECT r = ScreenRect(main_);
      return r.left == start_.left && r.top == start_.top;
    });
  }

  ProgramDirectory directory_;
  std::optional<RunningProgram> program_;
  HWND main_ = nullptr;
  RECT start_{};
};

TEST_F(InReach, AWindowNoMonitorShowsComesBackWhenTheDisplayChanges) {
  Start();
  MoveAway();
  SendMessageW(main_, WM_DISPLAYCHANGE, 32, MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
  EXPECT_TRUE(BackAtTheStartPlace());

  // One still partly on the screen stays where the user left it.
  SetWindowPos(main_, nullptr, -100, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(main_, WM_DISPLAYCHANGE, 32, MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
  Pump(300);
  EXPECT_EQ(ScreenRect(main_).left, -100);
}

TEST_F(InReach, ASecondStartBringsAWindowNoMonitorShowsBackAndForward) {
  Start();
  MoveAway();
  RunningProgram second(directory_);
  EXPECT_EQ(second.WaitForExit(), 0u);
  EXPECT_TRUE(BackAtTheStartPlace());
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main_; }));
}

}  // namespace
}  // namespace tl::e2e
