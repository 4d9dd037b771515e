// The main window moved to a monitor of another DPI, as WM_DPICHANGED tells it: the window takes
// the rectangle the system suggests, its units keep their places in proportion and show their
// fonts at the new DPI, and the handlers lay it out and collapse it at that DPI. Wine gives every
// monitor the one system DPI, so the test sends the message the system would send.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/app_handlers.h"
#include "app/command_calls.h"
#include "app/scaling.h"
#include "app/unit_properties.h"
#include "commands/dialogs.h"
#include "forms/ids.h"
#include "runtime/dpi.h"
#include "runtime/loader.h"
#include "runtime/unit.h"
#include "runtime/window_map.h"
#include "tests/win/program_fixture.h"
#include "tests/win/temporary_directory.h"

namespace tl::app {
namespace {

// The rule the program scales by is the platform's own: MulDiv, rounding half away from zero.
TEST(ScalePixelsOnWindows, AgreesWithMulDiv) {
  constexpr int kDpis[] = {72, 96, 120, 144, 168, 192, 240};
  for (int from : kDpis) {
    for (int to : kDpis) {
      for (int pixels = -700; pixels <= 700; ++pixels) {
        ASSERT_EQ(ScalePixels(pixels, from, to), MulDiv(pixels, to, from)) << pixels << " from " << from << " to " << to;
      }
    }
  }
}

class WindowDpi : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    test::LoadApplication();
    // The entry files of this test stay out of the program's directory.
    test::EnterTemporaryDirectory(L"tl_window_dpi_");
  }
  void SetUp() override {
    WindowDefinition* main = FindWindowDefinition(ids::MainWindow.window);
    ASSERT_NE(main, nullptr);
    ASSERT_EQ(LoadWindowFromDefinition(*main, false, nullptr), 1);
    window_ = Handle(ids::MainWindow.unit);
    ASSERT_EQ(Call(cmd::kWindowDpi, ids::MainWindow), 96) << "the session runs at 96 DPI";
  }
  void TearDown() override { test::DestroyLoadedWindows(); }

  static HWND Handle(uint32_t unit) {
    Unit* object = FindUnitObject(ids::MainWindow.window, unit);
    return object ? object->hwnd() : nullptr;
  }
  static RECT PlaceOf(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  static LONG FontHeight(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
  }
  // What the system sends when the window reaches a monitor of that DPI.
  void MoveToDpi(int dpi, RECT suggested) const {
    SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  }

  HWND window_ = nullptr;
};

TEST_F(WindowDpi, AWindowMovedToAnotherDpiIsShownAndLaidOutAtIt) {
  HWND list = Handle(ids::EntryList.unit), add = Handle(ids::AddEntryButton.unit), pin = Handle(ids::PinButton.unit);
  ASSERT_TRUE(list && add && pin);
  ASSERT_EQ(FontHeight(list), -16);
  const RECT addBefore = PlaceOf(add);
  const auto columnBefore = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0));

  MoveToDpi(144, {300, 100, 300 + 375, 100 + 618});
  RECT window{};
  GetWindowRect(window_, &window);
  EXPECT_EQ(window.left, 300);
  EXPECT_EQ(window.top, 100);
  EXPECT_EQ(window.right - window.left, 375) << "the suggested rectangle";
  EXPECT_EQ(window.bottom - window.top, 618);
  EXPECT_EQ(Call(cmd::kWindowDpi, ids::MainWindow), 144);
  EXPECT_EQ(FontHeight(list), -24);
  EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0), ScalePixels(columnBefore, 96, 144));
  const RECT addAfter = PlaceOf(add);
  EXPECT_EQ(addAfter.top, ScalePixels(addBefore.top, 96, 144));
  EXPECT_EQ(addAfter.bottom - addAfter.top, ScalePixels(addBefore.bottom - addBefore.top, 96, 144));
  // The resized handler's layout at the new DPI: widths follow the window, the rest is scaled.
  EXPECT_EQ(ReadInt(ids::EntryList, prop::Width), 375);
  EXPECT_EQ(ReadInt(ids::CalculatorButton, prop::Left), 8);
  RECT pinPlace = PlaceOf(pin), client{};
  GetClientRect(window_, &client);
  EXPECT_EQ(pinPlace.right - pinPlace.left, 48);
  EXPECT_EQ(pinPlace.right, client.right - 6) << "the pin keeps its gap, scaled, to the right edge";
  // The shrink tick's heights, from the DPI the resize read.
  EXPECT_EQ(ScaledForMainWindow(39), 59);
  EXPECT_EQ(ScaledForMainWindow(412), 618);

  // And back: every place and the font as they were.
  MoveToDpi(96, {300, 100, 300 + 250, 100 + 412});
  EXPECT_EQ(Call(cmd::kWindowDpi, ids::MainWindow), 96);
  EXPECT_EQ(FontHeight(list), -16);
  const RECT addBack = PlaceOf(add);
  EXPECT_EQ(addBack.top, addBefore.top);
  EXPECT_EQ(addBack.bottom - addBack.top, addBefore.bottom - addBefore.top);
  EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0), columnBefore);
  EXPECT_EQ(ReadInt(ids::CalculatorButton, prop::Left), 5);
  EXPECT_EQ(ScaledForMainWindow(39), 39);
}

// A message without its rectangle, or with no DPI, is not the system's: it changes nothing.
TEST_F(WindowDpi, AMalformedDpiChangeIsIgnored) {
  HWND list = Handle(ids::EntryList.unit);
  RECT before{};
  GetWindowRect(window_, &before);
  SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(144, 144), 0);
  RECT suggested{0, 0, 600, 600};
  SendMessageW(window_, WM_DPICHANGED, 0, reinterpret_cast<LPARAM>(&suggested));
  RECT after{};
  GetWindowRect(window_, &after);
  EXPECT_TRUE(EqualRect(&before, &after));
  EXPECT_EQ(Call(cmd::kWindowDpi, ids::MainWindow), 96);
  EXPECT_EQ(FontHeight(list), -16);
}

}  // namespace
}  // namespace tl::app
