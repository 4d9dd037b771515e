#include <gtest/gtest.h>

#include "tests/e2e/driver.h"

namespace tl::e2e {
namespace {

constexpr WPARAM kCloseProgramCommand = 20003;  // "关闭程序" in the settings menu

TEST(Startup, MainWindowIsTopmostOwnedAndEndsOnlyThroughCloseProgram) {
  RunningProgram program;
  HWND main = program.WaitForWindow(L"Tallyleaf");
  ASSERT_NE(main, nullptr) << "no Tallyleaf window appeared";
  EXPECT_TRUE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_NE(GetWindow(main, GW_OWNER), nullptr) << "owned by the hidden owner: no taskbar button";
  // The close box is refused by the application.
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(500), static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_TRUE(IsWindow(main));
  PostMessageW(main, WM_COMMAND, kCloseProgramCommand, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

}  // namespace
}  // namespace tl::e2e
