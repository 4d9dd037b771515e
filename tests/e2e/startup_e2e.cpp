#include <gtest/gtest.h>

#include "tests/e2e/driver.h"

namespace tl::e2e {
namespace {

TEST(Startup, ShowsTheMainWindowTopmostAndEndsWhenItCloses) {
  RunningProgram program;
  HWND main = program.WaitForWindow(L"Tallyleaf");
  ASSERT_NE(main, nullptr) << "no Tallyleaf window appeared";
  EXPECT_TRUE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_TOPMOST);
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

}  // namespace
}  // namespace tl::e2e
