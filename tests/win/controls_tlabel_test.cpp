#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>

#include "controls/transparent_label.h"
#include "runtime/gbk.h"
#include "tests/win/control_host.h"
#include "tests/win/unit_entries.h"

namespace tl {
namespace {

using namespace tl::test;

constexpr COLORREF kRed = RGB(255, 0, 0);

TransparentLabelBlock Colon() {
  TransparentLabelBlock b;
  b.caption = ".";
  b.font = FontRecord(-32, 400);
  return b;
}

LRESULT CALLBACK RedWindow(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

class TransparentLabelTest : public HostWindowTest {
 protected:
  // Clip-children, as the program's windows have it.
  TransparentLabelTest()
      : HostWindowTest({.title = L"", .style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, .exStyle = WS_EX_TOPMOST,
                        .left = 200, .top = 200, .width = 300, .height = 200, .windowClass = L"TLabelTestParent"}) {}
  void SetUp() override {
    WNDCLASSW cls{};
    cls.lpfnWndProc = &RedWindow;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.hbrBackground = CreateSolidBrush(kRed);
    cls.lpszClassName = L"TLabelTestParent";
    RegisterClassW(&cls);
    HostWindowTest::SetUp();
  }

  std::unique_ptr<Unit> Make(const TransparentLabelBlock& block, int32_t left, int32_t top,
                             int32_t width = 16, int32_t height = 32) {
    return CreateShownUnit(kTransparentLabelType, block.Write(),
                           {parent_, 100, left, top, width, height, 0x52012449, 0x16012479});
  }
  int Write(Unit& unit, int32_t property, PropertyValue v) {
    return WritePropertyEntry(kTransparentLabelType, &unit, property - 8, v);
  }
  int32_t ReadInt(Unit& unit, int32_t property) {
    return static_cast<int32_t>(ReadPropertyEntry(kTransparentLabelType, &unit, property - 8).low);
  }

  // What the screen shows in a rectangle of the parent's client area, row by row.
  std::vector<COLORREF> Screen(RECT r) {
    RedrawWindow(parent_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(50);
    return ScreenAsIs(r);
  }
  std::vector<COLORREF> ScreenAsIs(RECT r) {
    MapWindowPoints(parent_, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
    HDC screen = GetDC(nullptr);
    std::vector<COLORREF> pixels;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) pixels.push_back(GetPixel(screen, x, y));
    ReleaseDC(nullptr, screen);
    return pixels;
  }
  static size_t Count(const std::vector<COLORREF>& p, COLORREF c) {
    return static_cast<size_t>(std::count(p.begin(), p.end(), c));
  }
};

TEST_F(TransparentLabelTest, WritesClampTheEffectAndAlignments) {
  auto unit = Make(Colon(), 10, 10);
  ASSERT_TRUE(unit);
  EXPECT_EQ(Write(*unit, 9, PropertyValue{7, 0}), 0);
  EXPECT_EQ(ReadInt(*unit, 9), 3);
  Write(*unit, 9, PropertyValue{static_cast<uint32_t>(-1), 0});
  EXPECT_EQ(ReadInt(*unit, 9), 0);
  Write(*unit, 12, PropertyValue{5, 0});
  EXPECT_EQ(ReadInt(*unit, 12), 2);
  Write(*unit, 14, PropertyValue{static_cast<uint32_t>(-3), 0});
  EXPECT_EQ(ReadInt(*unit, 14), 0);
  EXPECT_EQ(TransparentLabelBlock::Read(unit->PropertyData())->verticalAlign, 0);
  EXPECT_TRUE(GetWindowLongW(unit->hwnd(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
}

// The reminder window's colon: two "." labels overlapping by 20 pixels, one above the other.
TEST_F(TransparentLabelTest, TwoOverlappingDotsShowAsAColonOverTheWindowBackground) {
  auto lower = Make(Colon(), 120, 92);
  auto upper = Make(Colon(), 120, 80);
  ASSERT_TRUE(lower && upper);
  SetWindowPos(lower->hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const std::vector<COLORREF> pixels = Screen(RECT{120, 80, 136, 124});
  EXPECT_GT(Count(pixels, kRed), pixels.size() * 3 / 4) << "the background shows through";
  // Rows with ink (anything not red) form two separate runs: the two dots.
  int runs = 0;
  bool inRun = false;
  for (int row = 0; row < 44; ++row) {
    bool ink = false;
    for (int x = 0; x < 16; ++x) ink |= pixels[row * 16 + x] != kRed;
    if (ink && !inRun) ++runs;
    inRun = ink;
  }
  EXPECT_EQ(runs, 2);
}

TEST_F(TransparentLabelTest, EmptyCaptionPaintsNothingAndWritesAndMovesRepaintWhatLiesBeneath) {
  TransparentLabelBlock b = Colon();
  b.caption = "事件";
  b.horizontalAlign = 1;
  auto unit = Make(b, 20, 20, 100, 40);
  ASSERT_TRUE(unit);
  EXPECT_LT(Count(Screen(RECT{20, 20, 120, 60}), kRed), 4000u) << "the caption shows";

  SetWindowPos(unit->hwnd(), nullptr, 150, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump(50);
  EXPECT_EQ(Count(ScreenAsIs(RECT{20, 20, 120, 60}), kRed), 4000u) << "the old place is clean after a move";
  EXPECT_LT(Count(ScreenAsIs(RECT{150, 120, 250, 160}), kRed), 4000u);

  const char* empty = "";
  Write(*unit, 8, PropertyValue{reinterpret_cast<uint32_t>(empty), 0});
  Pump(50);
  EXPECT_EQ(Count(ScreenAsIs(RECT{150, 120, 250, 160}), kRed), 4000u) << "nothing left of the old caption";
  EXPECT_EQ(Count(Screen(RECT{150, 120, 250, 160}), kRed), 4000u);
}

}  // namespace
}  // namespace tl
