// The main window as a panel that stays out of the way: it collapses to a strip while the
// pointer is away, the pin button keeps it open and says so in its tip and shows whole at every
// width, the settings menu opens from a right click on the pin, the transparency slider shows on demand, and dragging the title
// moves it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "tests/e2e/driver.h"
#include "tests/e2e/main_window_fixture.h"

namespace tl::e2e {
namespace {

// Items of the settings menu, counted from 1.
constexpr int kAboutItem = 1, kTransparencyItem = 2, kCloseProgramItem = 3;

int Opacity(HWND hwnd) {
  BYTE alpha = 0;
  DWORD flags = 0;
  COLORREF key = 0;
  if (!GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags)) return -1;
  return alpha;
}

class WindowBehaviour : public MainWindowTest {
 protected:
  std::wstring PinCaption() const { return WindowTitle(pinButton_); }
  bool HeightStays(int height, DWORD ms) {
    return !WaitUntil([&] { return HeightOf(main_) != height; }, ms);
  }
  // Whether resting the pointer on the pin button shows a balloon with this text.
  bool PinTipReads(const std::wstring& text) {
    const POINT pin = PinPoint();
    MoveMouse({pin.x - 40, pin.y});
    MoveMouse(pin);
    return WaitUntil(
        [&] {
          HWND balloon = VisibleWindowOfClass(program(), L"_RT_BalloonTipWindow");
          return balloon && WindowTitle(balloon) == text;
        },
        5000);
  }
  void OpenSettingsMenuAndChoose(int item) { ChooseFromPopupAt(PinPoint(), item); }
  // Drags the slider's thumb sideways to x in small steps, a movement every 150 ms; answers
  // whether the slider stayed visible all along.
  bool DragThumbTo(LONG x) {
    RECT thumb = AskRect(slider_, TBM_GETTHUMBRECT, 0);
    MapWindowPoints(slider_, nullptr, reinterpret_cast<POINT*>(&thumb), 2);
    POINT at = CentreOf(thumb);
    MoveMouse(at);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    bool visibleAllAlong = true;
    for (int step = 1; step <= 10; ++step) {
      MoveMouse({at.x + (x - at.x) * step / 10, at.y});
      Pump(110);
      visibleAllAlong = visibleAllAlong && IsWindowVisible(slider_);
    }
    MouseButton(MOUSEEVENTF_LEFTUP);
    return visibleAllAlong;
  }
};

TEST_F(WindowBehaviour, CollapsesAndExpandsAtTheWindowEdges) {
  Start();
  SetWindowPos(main_, nullptr, 100, 100, 250, kExpandedHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  // A point on the strip: whatever the ticks see while the move reaches the program (the pointer
  // outside the window's old place collapses it), the moved window ends expanded.
  MoveMouse({200, 120});
  Pump(300);
  ASSERT_TRUE(WaitUntil([&] { return HeightOf(main_) == kExpandedHeight; }));
  RECT r{};
  GetWindowRect(main_, &r);
  ASSERT_EQ(r.left, 100);
  ASSERT_EQ(r.top, 100);
  ASSERT_EQ(r.right - r.left, 250);
  MoveMouse({350, 300});
  EXPECT_TRUE(HeightStays(kExpandedHeight, 500)) << "the right edge counts as inside";

  MoveMouse({351, 300});
  EXPECT_TRUE(WaitUntil([&] { return HeightOf(main_) == kCollapsedHeight; })) << "right of the window";
  MoveMouse({200, 140});
  EXPECT_TRUE(HeightStays(kCollapsedHeight, 500)) << "below the strip";
  MoveMouse({200, 139});
  EXPECT_TRUE(WaitUntil([&] { return HeightOf(main_) == kExpandedHeight; })) << "on the strip's bottom edge";
}

TEST_F(WindowBehaviour, PinKeepsTheWindowOpenAndItsTipSaysWhatAClickWillDo) {
  Start();
  LeftClick(PinPoint());
  ASSERT_TRUE(WaitUntil([&] { return PinCaption() == L"缩放"; }));
  MoveMouse({5, 5});
  EXPECT_TRUE(HeightStays(kExpandedHeight, 600)) << "pinned, the window stays open";
  EXPECT_TRUE(PinTipReads(L"缩放主界面"));

  LeftClick(PinPoint());
  ASSERT_TRUE(WaitUntil([&] { return PinCaption() == L"固定"; }));
  EXPECT_TRUE(PinTipReads(L"固定为展开状态"));
  MoveMouse({5, 5});
  EXPECT_TRUE(WaitUntil([&] { return HeightOf(main_) == kCollapsedHeight; })) << "shrinking again";
}

// The pin is the only way to the settings menu and so to 关闭程序: it must show whole, in the title
// row's right end, at every width the window takes, the narrowest it allows included.
TEST_F(WindowBehaviour, ThePinShowsWholeAtTheTitleRowsRightEndAtEveryWidthAndPins) {
  Start();
  struct Case {
    int asked;
    int taken;
  };
  for (const Case c : {Case{203, 203}, Case{250, 250}, Case{400, 400}, Case{150, 203}}) {
    SCOPED_TRACE(testing::Message() << "width " << c.asked);
    SetWindowPos(main_, nullptr, 100, 100, c.asked, kExpandedHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] {
      RECT r{};
      GetWindowRect(main_, &r);
      return r.right - r.left == c.taken;
    })) << "the window takes its width";
    ExpandWindow();
    RECT pin{}, inside{};
    const RECT client = ClientOnScreen();
    ASSERT_TRUE(WaitUntil([&] {
      GetWindowRect(pinButton_, &pin);
      return IntersectRect(&inside, &pin, &client) && EqualRect(&inside, &pin);
    })) << "the pin lies wholly in the client area: pin " << pin.left << ".." << pin.right << ", client "
        << client.left << ".." << client.right;
    EXPECT_EQ(pin.right - pin.left, 32);
    EXPECT_EQ(pin.bottom - pin.top, 16);
    EXPECT_EQ(pin.top - client.top, 8) << "in the title row";
    EXPECT_GE(client.right - pin.right, 0);
    EXPECT_LE(client.right - pin.right, 8) << "at the row's right end";
    EXPECT_EQ(WindowFromPoint(PinPoint()), pinButton_) << "nothing covers it";

    LeftClick(PinPoint());
    EXPECT_TRUE(WaitUntil([&] { return PinCaption() == L"缩放"; })) << "a click on its centre pins";
    LeftClick(PinPoint());
    EXPECT_TRUE(WaitUntil([&] { return PinCaption() == L"固定"; })) << "and another unpins";
  }
}

TEST_F(WindowBehaviour, AtTheStartWidthARightClickOnThePinsCentreOpensTheSettingsMenu) {
  Start();
  RECT r{};
  GetWindowRect(main_, &r);
  ASSERT_EQ(r.right - r.left, 250) << "the width the program starts with";
  const POINT centre = PinPoint();
  RightClick(centre);
  ASSERT_TRUE(WaitUntil([&] { return VisibleWindowOfClass(program(), L"#32768") != nullptr; }, 3000))
      << "the settings menu opens";
  HWND menu = VisibleWindowOfClass(program(), L"#32768");
  RECT shown{};
  GetWindowRect(menu, &shown);
  // It opens just left of and above the pointer, a few pixels off.
  InflateRect(&shown, 8, 8);
  EXPECT_TRUE(PtInRect(&shown, centre)) << "beside the pointer, on the pin: menu " << shown.left << "," << shown.top
                                        << ".." << shown.right << "," << shown.bottom;
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return VisibleWindowOfClass(program(), L"#32768") == nullptr; }));
  EXPECT_EQ(PinCaption(), L"固定") << "a right click does not pin";
}

TEST_F(WindowBehaviour, TransparencySliderSetsOpacityBetween50And255) {
  Start();
  EXPECT_EQ(Opacity(main_), 200);
  ASSERT_FALSE(IsWindowVisible(slider_));
  OpenSettingsMenuAndChoose(kTransparencyItem);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(slider_); })) << "透明度 shows the slider";
  EXPECT_EQ(SendMessageW(slider_, TBM_GETPOS, 0, 0), 50) << "it starts at its minimum";
  EXPECT_EQ(Opacity(main_), 200) << "showing it changes nothing yet";

  RECT track{};
  GetWindowRect(slider_, &track);
  EXPECT_TRUE(DragThumbTo(track.right - 1)) << "a drag keeps the slider";
  const DWORD released = GetTickCount();
  EXPECT_TRUE(WaitUntil([&] { return Opacity(main_) == 255; })) << "the right end is opaque";
  Pump(400 - std::min<DWORD>(400, GetTickCount() - released));
  EXPECT_TRUE(IsWindowVisible(slider_)) << "still there 400 ms after the last movement";
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(slider_); }, 1600)) << "gone about 800 ms after it";

  OpenSettingsMenuAndChoose(kTransparencyItem);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(slider_); }));
  DragThumbTo(track.left + 1);
  EXPECT_TRUE(WaitUntil([&] { return Opacity(main_) == 50; })) << "the left end";
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(slider_); }, 2000));
}

TEST_F(WindowBehaviour, RightClickOnThePinOpensTheSettingsMenuWhoseAboutBoxIsModal) {
  Start();
  OpenSettingsMenuAndChoose(kAboutItem);
  HWND about = program().WaitForWindow(L"收银软件版本信息");
  ASSERT_NE(about, nullptr) << "关于 comes first";
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(main_); })) << "the main window waits for the about box";
  PostMessageW(about, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about) && IsWindowEnabled(main_); }));

  MoveMouse(CentreOf(list_));
  ASSERT_TRUE(WaitUntil([&] { return HeightOf(main_) == kExpandedHeight; }));
  OpenSettingsMenuAndChoose(kCloseProgramItem);
  EXPECT_EQ(program().WaitForExit(5000), 0u) << "关闭程序 comes third";
}

TEST(WindowDrag, DraggingTheTitleMovesTheWindow) {
  RunningProgram program;
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  HWND title = FindChild(main, L"_RT_Label");
  ASSERT_NE(title, nullptr);
  RECT before, label;
  GetWindowRect(main, &before);
  GetWindowRect(title, &label);
  POINT at{(label.left + label.right) / 2 - 60, (label.top + label.bottom) / 2};
  ASSERT_EQ(WindowFromPoint(at), title) << "nothing covers the title";
  MoveMouse(at);
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
  for (int step = 1; step <= 5; ++step) MoveMouse({at.x - 12 * step, at.y + 8 * step});
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
