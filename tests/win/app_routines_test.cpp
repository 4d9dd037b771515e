// The application's shared routines inside the program's own runtime: the opacity routine
// through the declared user32 functions, the pin button's tip following its caption, and the
// globals released once at the end.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "app/app_handlers.h"
#include "app/globals.h"
#include "app/program.h"
#include "controls/balloon_tip.h"
#include "forms/ids.h"
#include "runtime/loader.h"
#include "runtime/program_end.h"
#include "runtime/runtime_state.h"
#include "runtime/unit.h"
#include "runtime/window_map.h"
#include "tests/win/program_fixture.h"
#include "tests/win/temporary_directory.h"

namespace tl::app {
namespace {

class AppRoutines : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    test::LoadApplication();
    // The entry files of this test stay out of the program's directory.
    test::EnterTemporaryDirectory(L"tl_app_routines_");
  }
  static HWND PlainWindow() {
    return CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"STATIC", L"plain", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
};

struct Layered {
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
};

Layered LayeredOf(HWND hwnd) {
  Layered l;
  GetLayeredWindowAttributes(hwnd, &l.key, &l.alpha, &l.flags);
  return l;
}

int32_t Handle(HWND hwnd) { return static_cast<int32_t>(reinterpret_cast<uintptr_t>(hwnd)); }

TEST_F(AppRoutines, OpacityAloneMakesTheWindowLayeredAndNothingElse) {
  HWND hwnd = PlainWindow();
  SetWindowOpacity(Handle(hwnd), 200);
  // The whole extended style is replaced (the tool-window style goes); topmost belongs to the
  // window's place in the z-order, which a style write cannot change.
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE)) & ~static_cast<DWORD>(WS_EX_TOPMOST),
            static_cast<DWORD>(WS_EX_LAYERED));
  const Layered l = LayeredOf(hwnd);
  EXPECT_EQ(l.alpha, 200);
  EXPECT_EQ(l.flags, static_cast<DWORD>(LWA_ALPHA));
  DestroyWindow(hwnd);
}

TEST_F(AppRoutines, ClickThroughKeepsTheOtherStylesAndColourKeysChooseTheFlags) {
  HWND hwnd = PlainWindow();
  SetWindowOpacity(Handle(hwnd), 120, std::nullopt, true);
  const DWORD style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE));
  EXPECT_EQ(style & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_TRANSPARENT | WS_EX_LAYERED),
            static_cast<DWORD>(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_TRANSPARENT | WS_EX_LAYERED));
  SetWindowOpacity(Handle(hwnd), 0, 0x00FF00);
  EXPECT_EQ(LayeredOf(hwnd).flags, static_cast<DWORD>(LWA_COLORKEY));
  EXPECT_EQ(LayeredOf(hwnd).key, 0x00FF00u);
  SetWindowOpacity(Handle(hwnd), 90, 0x0000FF);
  EXPECT_EQ(LayeredOf(hwnd).flags, static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA));
  EXPECT_EQ(LayeredOf(hwnd).alpha, 90);
  DestroyWindow(hwnd);
}

TEST_F(AppRoutines, ThePinTipFollowsThePinCaption) {
  WindowDefinition* main = FindWindowDefinition(ids::MainWindow.window);
  ASSERT_NE(main, nullptr);
  ASSERT_EQ(LoadWindowFromDefinition(*main, false, nullptr), 1);
  auto* balloon = dynamic_cast<BalloonTip*>(FindUnitObject(ids::MainWindow.window, ids::TipBalloon.unit));
  Unit* pin = FindUnitObject(ids::MainWindow.window, ids::PinButton.unit);
  ASSERT_TRUE(balloon && pin);
  auto tip = [&] { return balloon->ItemCount(pin->hwnd()) == 1 ? balloon->ItemText(pin->hwnd(), 0) : "<none>"; };
  RefreshPinTip();
  EXPECT_EQ(tip(), "固定为展开状态");
  WriteText(ids::PinButton, prop::ButtonCaption, "缩放");
  RefreshPinTip();
  EXPECT_EQ(tip(), "缩放主界面");
  WriteText(ids::PinButton, prop::ButtonCaption, "别的");
  RefreshPinTip();
  EXPECT_EQ(tip(), "缩放主界面") << "any other caption leaves the tip";
  WriteText(ids::PinButton, prop::ButtonCaption, "固定");
  RefreshPinTip();
  EXPECT_EQ(tip(), "固定为展开状态");
}

// The created handler narrows the window to its start width at once; the form stores every unit
// where the resize handler then lays it out, so the load moves none of them.
TEST_F(AppRoutines, TheMainWindowsUnitsStartWhereItsResizeHandlerPutsThem) {
  WindowDefinition* main = FindWindowDefinition(ids::MainWindow.window);
  ASSERT_NE(main, nullptr);
  ASSERT_EQ(LoadWindowFromDefinition(*main, false, nullptr), 1);
  const UnitRecordArray& records = main->saved;
  for (size_t i = 1; i < records.size(); ++i) {
    if (records.IsMenuItem(i)) continue;
    const UnitRecordFields record = records.Unit(i);
    Unit* unit = FindUnitObject(ids::MainWindow.window, records.IdAt(i));
    ASSERT_TRUE(unit && unit->hwnd()) << record.name;
    RECT place;
    GetWindowRect(unit->hwnd(), &place);
    MapWindowPoints(nullptr, GetParent(unit->hwnd()), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, record.left) << record.name;
    EXPECT_EQ(place.top, record.top) << record.name;
    EXPECT_EQ(place.right - place.left, record.width) << record.name;
    EXPECT_EQ(place.bottom - place.top, record.height) << record.name;
  }
}

// Last: the end of the runtime.
TEST_F(AppRoutines, TheGlobalsStartEmptyAndAreReleasedOnceAtTheEnd) {
  InitGlobals();
  for (void* array : TheGlobals().ReminderComponents) {
    ASSERT_NE(array, nullptr);
    int32_t words[2];
    std::memcpy(words, array, sizeof words);
    EXPECT_EQ(words[0], 1);
    EXPECT_EQ(words[1], 0);
  }
  ASSERT_NE(TheGlobals().SavedCursor, nullptr);
  EXPECT_EQ(TheGlobals().SavedCursor->x, 0);
  EXPECT_EQ(TheGlobals().SavedCursor->y, 0);
  for (int i = 0; i < 2; ++i) {
    ServicesInUse().NotifyRuntime(NotifyCode::RegisterExitCallback, reinterpret_cast<intptr_t>(&FreeGlobals), 0);
  }
  EXPECT_EQ(Runtime().exitCallbacks.size(), 1u);
  Cleanup();
  EXPECT_EQ(TheGlobals().SavedCursor, nullptr);
  for (void* array : TheGlobals().ReminderComponents) EXPECT_EQ(array, nullptr);
}

}  // namespace
}  // namespace tl::app
