// The program at the system DPIs of 100 %, 125 % and 150 % scaling: every place and size the
// forms and handlers give at 96 DPI shows scaled by the DPI, as MulDiv rounds. ctest runs this
// program once per DPI, each time in a Wine session of its own whose wineserver starts with that
// DPI (TALLYLEAF_LOGPIXELS, see tools/wine-run.sh); the program itself is aware of the DPI
// through its manifest, so it sees the same pixels as Tallyleaf.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"

namespace tl::e2e {
namespace {

constexpr WPARAM kShowReminders = 20010;
constexpr WPARAM kAddReminder = 20011;

// What the window shows at each DPI, worked out by hand from the 96-DPI figures: the start width
// 250, the narrowest 203, the expanded 412 and collapsed 39 heights, the pin's width 32, the first
// quick-launch button's left 5 and the reminder window's layouts 283 x 165 and 856 x 363.
struct AtDpi {
  int dpi;
  int startWidth, narrowest, expanded, collapsed, pinWidth, firstButtonLeft;
  SIZE addLayout, listLayout;
};
constexpr AtDpi kExpected[] = {
    {96, 250, 203, 412, 39, 32, 5, {283, 165}, {856, 363}},
    {120, 313, 254, 515, 49, 40, 6, {354, 206}, {1070, 454}},
    {144, 375, 305, 618, 59, 48, 8, {425, 248}, {1284, 545}},
};
// A row of the entry list at 96 DPI (its font is 16 pixels high there): the rows grow with the
// font, within a pixel of the proportion.
constexpr int kRowHeightAt96 = 19;

int SessionDpi() {
  const char* asked = std::getenv("TALLYLEAF_LOGPIXELS");
  return asked ? std::atoi(asked) : 96;
}

const AtDpi* Expected() {
  for (const AtDpi& e : kExpected) {
    if (e.dpi == SessionDpi()) return &e;
  }
  return nullptr;
}

SIZE SizeOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

RECT ClientOnScreen(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return client;
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

class Dpi : public ::testing::Test {
 protected:
  void SetUp() override {
    expected_ = Expected();
    ASSERT_NE(expected_, nullptr) << "no figures for " << SessionDpi() << " DPI";
    HDC screen = GetDC(nullptr);
    const int systemDpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(systemDpi, SessionDpi()) << "the session runs at the DPI it was asked for";
    directory_.Write(L"bugaun.txt", Gbk(L"第一行\r\n"));
    directory_.Write(L"jilusjian.txt", Gbk(L"2019年5月3日9时5分7秒\r\n"));
    program_.emplace(directory_);
    main_ = program_->MainWindow();
    ASSERT_NE(main_, nullptr);
    list_ = FindChild(main_, WC_LISTVIEWW);
    pin_ = FindChild(main_, L"Button", L"固定");
    ASSERT_TRUE(list_ && pin_);
    ASSERT_TRUE(WaitUntil([&] { return ListItemCount(list_) == 1; })) << "the entry files load";
  }

  // Rests the pointer on the window's top strip until the window is expanded.
  bool Expand() {
    for (int attempt = 0; attempt < 3; ++attempt) {
      RECT r{};
      GetWindowRect(main_, &r);
      MoveMouse({(r.left + r.right) / 2, r.top + 10});
      if (WaitUntil([&] { return SizeOf(main_).cy == expected_->expanded; }, 3000)) return true;
    }
    return false;
  }

  HWND ReminderWindowIn(SIZE layout) const {
    for (HWND hwnd : program_->TopLevelWindows()) {
      if (!FindChild(hwnd, L"Button", L"确认提醒") || !IsWindowVisible(hwnd)) continue;
      const SIZE size = SizeOf(hwnd);
      if (size.cx == layout.cx && size.cy == layout.cy) return hwnd;
    }
    return nullptr;
  }

  const AtDpi* expected_ = nullptr;
  ProgramDirectory directory_;
  std::optional<RunningProgram> program_;
  HWND main_ = nullptr, list_ = nullptr, pin_ = nullptr;
};

TEST_F(Dpi, MainWindowStartsCollapsesAndExpandsAtTheSystemDpi) {
  EXPECT_TRUE(WaitUntil([&] { return SizeOf(main_).cx == expected_->startWidth; })) << SizeOf(main_).cx;
  ASSERT_TRUE(Expand()) << "expands to " << expected_->expanded << ", is " << SizeOf(main_).cy;
  EXPECT_EQ(PlaceInParent(list_).right - PlaceInParent(list_).left, expected_->startWidth);
  HWND calculator = FindChild(main_, L"Button", L"计算机\r\n");
  ASSERT_NE(calculator, nullptr);
  EXPECT_EQ(PlaceInParent(calculator).left, expected_->firstButtonLeft);
  EXPECT_EQ(PlaceInParent(pin_).right - PlaceInParent(pin_).left, expected_->pinWidth);

  const RECT row = AskRect(list_, LVM_GETITEMRECT, 0, RECT{LVIR_BOUNDS, 0, 0, 0});
  const int rowHeight = row.bottom - row.top;
  const int proportional = MulDiv(kRowHeightAt96, expected_->dpi, 96);
  EXPECT_LE(std::abs(rowHeight - proportional), 1) << "a row is " << rowHeight << " high";

  RECT r{};
  GetWindowRect(main_, &r);
  MoveMouse({r.right + 40, r.bottom + 40});
  EXPECT_TRUE(WaitUntil([&] { return SizeOf(main_).cy == expected_->collapsed; }))
      << "collapses to " << expected_->collapsed << ", is " << SizeOf(main_).cy;
  EXPECT_EQ(SizeOf(main_).cx, expected_->startWidth);
}

TEST_F(Dpi, AtItsNarrowestWidthThePinLiesWhollyInsideTheClientArea) {
  ASSERT_TRUE(WaitUntil([&] { return SizeOf(main_).cx == expected_->startWidth; }));
  ASSERT_TRUE(Expand());
  // Narrower than the narrowest: the resize handler widens the window again at once.
  SetWindowPos(main_, nullptr, 0, 0, expected_->narrowest / 2, expected_->expanded,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(WaitUntil([&] { return SizeOf(main_).cx == expected_->narrowest; })) << SizeOf(main_).cx;
  RECT pin{};
  GetWindowRect(pin_, &pin);
  EXPECT_TRUE(WaitUntil([&] {
    GetWindowRect(pin_, &pin);
    return Inside(pin, ClientOnScreen(main_));
  })) << "pin " << pin.left << ".." << pin.right << ", client " << ClientOnScreen(main_).left << ".."
      << ClientOnScreen(main_).right;
  EXPECT_EQ(pin.right - pin.left, expected_->pinWidth);
}

TEST_F(Dpi, ReminderWindowTakesBothItsLayoutsAtTheSystemDpi) {
  SelectListItem(list_, 0);
  PostMessageW(main_, WM_COMMAND, kAddReminder, 0);
  EXPECT_TRUE(WaitUntil([&] { return ReminderWindowIn(expected_->addLayout) != nullptr; }))
      << "the add layout is " << expected_->addLayout.cx << " x " << expected_->addLayout.cy;
  // The system keeps a window within the largest size it can be tracked to, a little more than
  // the screen: on the test's 1024 x 768 screen the list layout at 125 % and 150 % is wider than
  // that, and so is as wide as the system allows.
  PostMessageW(main_, WM_COMMAND, kShowReminders, 0);
  const SIZE allowed{std::min<LONG>(expected_->listLayout.cx, GetSystemMetrics(SM_CXMAXTRACK)),
                     std::min<LONG>(expected_->listLayout.cy, GetSystemMetrics(SM_CYMAXTRACK))};
  EXPECT_TRUE(WaitUntil([&] { return ReminderWindowIn(allowed) != nullptr; }))
      << "the list layout is " << allowed.cx << " x " << allowed.cy;
}

}  // namespace
}  // namespace tl::e2e
