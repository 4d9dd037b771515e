// The desktop's list of top-level windows and the process a window belongs to.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <vector>

#include "runtime/top_level_windows.h"

namespace tl {
namespace {

HWND NewStatic(DWORD style, HWND parent = nullptr) {
  return CreateWindowExW(0, L"STATIC", L"", style, 0, 0, 20, 20, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

bool Lists(const std::vector<HWND>& windows, HWND window) {
  return std::find(windows.begin(), windows.end(), window) != windows.end();
}

TEST(TopLevelWindows, ListsShownAndHiddenTopLevelWindowsButNoChildren) {
  HWND shown = NewStatic(WS_POPUP | WS_VISIBLE);
  HWND hidden = NewStatic(WS_POPUP);
  ASSERT_NE(shown, nullptr);
  ASSERT_NE(hidden, nullptr);
  HWND child = NewStatic(WS_CHILD | WS_VISIBLE, shown);
  ASSERT_NE(child, nullptr);

  const std::vector<HWND> windows = TopLevelWindows();
  EXPECT_TRUE(Lists(windows, shown));
  EXPECT_TRUE(Lists(windows, hidden));
  EXPECT_FALSE(Lists(windows, child));

  EXPECT_EQ(ProcessOfWindow(shown), GetCurrentProcessId());
  EXPECT_EQ(ProcessOfWindow(child), GetCurrentProcessId());
  EXPECT_EQ(ProcessOfWindow(nullptr), 0u);

  DestroyWindow(hidden);
  DestroyWindow(shown);
  EXPECT_FALSE(Lists(TopLevelWindows(), shown)) << "a destroyed window leaves the list";
}

}  // namespace
}  // namespace tl
