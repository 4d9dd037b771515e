// A left click on the entry list clears away rows that still show the placeholder. The program
// finishes the click with a click of its own hidden button and an Enter key: these must stay
// inside the program, whatever lies under the point where the hidden button is reckoned to be.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/e2e/main_window_fixture.h"

namespace tl::e2e {
namespace {

// The hidden button's place inside the window, which the program adds to the window's outer
// position to reckon where the button is on the screen.
constexpr POINT kHiddenButtonOffset{278, 340};

// Everything a stand-in program's window receives that a click or a key would bring.
struct StandInLog {
  int clicks = 0;
  int keys = 0;
  int activations = 0;
};
StandInLog g_standIn;

LRESULT CALLBACK StandInProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK: ++g_standIn.clicks; break;
    case WM_KEYDOWN:
    case WM_CHAR: ++g_standIn.keys; break;
    case WM_MOUSEACTIVATE: ++g_standIn.activations; break;
    default: break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A window of another program (this test) lying on top of everything around a screen point.
class StandInWindow {
 public:
  explicit StandInWindow(POINT centre) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = StandInProcedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TallyleafTestStandIn";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    RegisterClassW(&wc);
    g_standIn = {};
    hwnd_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"stand-in", WS_POPUP | WS_VISIBLE,
                            centre.x - 40, centre.y - 40, 80, 80, nullptr, nullptr, wc.hInstance, nullptr);
    Pump(100);
  }
  ~StandInWindow() { DestroyWindow(hwnd_); }
  HWND hwnd() const { return hwnd_; }

 private:
  HWND hwnd_;
};

// Counts mouse-button and key input on the whole desktop that the driver did not send.
class ForeignInputCounter {
 public:
  ForeignInputCounter() {
    count_ = 0;
    mouse_ = SetWindowsHookExW(WH_MOUSE_LL, OnMouse, GetModuleHandleW(nullptr), 0);
    keyboard_ = SetWindowsHookExW(WH_KEYBOARD_LL, OnKey, GetModuleHandleW(nullptr), 0);
  }
  ~ForeignInputCounter() {
    UnhookWindowsHookEx(mouse_);
    UnhookWindowsHookEx(keyboard_);
  }
  bool installed() const { return mouse_ && keyboard_; }
  static int count() { return count_; }
  // Whether the counter sees input that is not the driver's: a Shift press sent untagged.
  bool SeesUntaggedInput() {
    INPUT shift[2] = {};
    shift[0].type = shift[1].type = INPUT_KEYBOARD;
    shift[0].ki.wVk = shift[1].ki.wVk = VK_SHIFT;
    shift[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, shift, sizeof(INPUT));
    const bool seen = WaitUntil([] { return count_ >= 2; }, 2000);
    count_ = 0;
    return seen;
  }

 private:
  static LRESULT CALLBACK OnMouse(int code, WPARAM message, LPARAM lParam) {
    const auto* event = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
    if (code == HC_ACTION && message != WM_MOUSEMOVE && event->dwExtraInfo != kDriverInputTag) ++count_;
    return CallNextHookEx(nullptr, code, message, lParam);
  }
  static LRESULT CALLBACK OnKey(int code, WPARAM message, LPARAM lParam) {
    const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (code == HC_ACTION && event->dwExtraInfo != kDriverInputTag) ++count_;
    return CallNextHookEx(nullptr, code, message, lParam);
  }
  static inline int count_ = 0;
  HHOOK mouse_;
  HHOOK keyboard_;
};

class ListClick : public MainWindowTest {
 protected:
  void StartWithPlaceholderBetweenTypedRows() {
    Start({{L"typed one", L"t1"}, {kPlaceholder, L"t2"}, {L"typed two", L"t3"}});
  }
  POINT ReckonedHiddenButton() const {
    RECT r{};
    GetWindowRect(main_, &r);
    return {r.left + kHiddenButtonOffset.x, r.top + kHiddenButtonOffset.y};
  }
  const std::vector<ListRow> kTypedRows = {{L"typed one", L"t1"}, {L"typed two", L"t3"}};
};

TEST_F(ListClick, RemovesPlaceholderRowsAndNothingReachesTheProgramBehind) {
  StartWithPlaceholderBetweenTypedRows();
  ForeignInputCounter foreign;
  ASSERT_TRUE(foreign.installed() && foreign.SeesUntaggedInput());
  StandInWindow standIn(ReckonedHiddenButton());
  ASSERT_EQ(WindowFromPoint(ReckonedHiddenButton()), standIn.hwnd()) << "the stand-in lies under the point";

  const POINT clicked = RowPoint(0);
  LeftClick(clicked);
  EXPECT_TRUE(WaitUntil([&] { return Rows() == kTypedRows; })) << "the placeholder row goes, typed rows stay";
  Pump(1000);
  EXPECT_EQ(g_standIn.clicks, 0);
  EXPECT_EQ(g_standIn.keys, 0);
  EXPECT_EQ(g_standIn.activations, 0);
  EXPECT_EQ(ForeignInputCounter::count(), 0) << "the program synthesized desktop input";
  POINT pointer{};
  GetCursorPos(&pointer);
  EXPECT_EQ(pointer.x, clicked.x);
  EXPECT_EQ(pointer.y, clicked.y);
  EXPECT_EQ(Rows(), kTypedRows);
}

// Widened, the window has its own list under the reckoned point: a click there would run the
// list's click handling again, and again.
TEST_F(ListClick, InAWidenedWindowTheClickDoesNotComeBackToTheList) {
  StartWithPlaceholderBetweenTypedRows();
  RECT r{};
  GetWindowRect(main_, &r);
  SetWindowPos(main_, nullptr, 0, 0, 420, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
  ASSERT_TRUE(WaitUntil([&] { return WindowFromPoint(ReckonedHiddenButton()) == list_; }))
      << "the list lies under the reckoned point";
  ForeignInputCounter foreign;
  ASSERT_TRUE(foreign.installed() && foreign.SeesUntaggedInput());

  const POINT clicked = RowPoint(0);
  LeftClick(clicked);
  EXPECT_TRUE(WaitUntil([&] { return Rows() == kTypedRows; }));
  Pump(1000);
  EXPECT_EQ(ForeignInputCounter::count(), 0) << "the program synthesized desktop input";
  POINT pointer{};
  GetCursorPos(&pointer);
  EXPECT_EQ(pointer.x, clicked.x);
  EXPECT_EQ(pointer.y, clicked.y);
}

}  // namespace
}  // namespace tl::e2e
