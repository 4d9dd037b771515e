#include <gtest/gtest.h>

#include "tests/e2e/driver.h"

namespace tl::e2e {
namespace {

// Until the application's handlers are bound, nothing refuses the close box: closing the only
// window ends the message loop, and the runtime ends the program with exit code 0.
TEST(Startup, MainWindowIsTopmostOwnedAndClosingItEndsTheProgram) {
  RunningProgram program;
  HWND main = program.WaitForWindow(L"Tallyleaf");
  ASSERT_NE(main, nullptr) << "no Tallyleaf window appeared";
  EXPECT_TRUE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_NE(GetWindow(main, GW_OWNER), nullptr) << "owned by the hidden owner: no taskbar button";
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
  EXPECT_FALSE(IsWindow(main));
}

}  // namespace
}  // namespace tl::e2e
