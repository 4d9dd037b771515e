#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <vector>

#include "controls/slider.h"
#include "runtime/unit_events.h"
#include "tests/win/control_host.h"
#include "tests/win/recording_runtime.h"
#include "tests/win/unit_entries.h"

namespace tl {
namespace {

constexpr uint32_t kWindow = 0x52010001;
constexpr uint32_t kUnit = 0x160124EA;

using namespace tl::test;

class SliderTest : public RecordingHostWindowTest {
 protected:
  SliderTest()
      : RecordingHostWindowTest(
            {.title = L"parent", .style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, .left = 10, .top = 10, .height = 200}) {}
  void TearDown() override {
    slider_.reset();
    RecordingHostWindowTest::TearDown();
  }

  // The transparency slider of the main window: range 50-255, stored position 1.
  static SliderBlock TransparencyBlock() {
    SliderBlock b;
    b.minimum = 50;
    b.maximum = 255;
    return b;
  }

  Slider* Create(const SliderBlock& block) {
    const auto bytes = block.Write();
    return Create(bytes);
  }
  Slider* Create(const std::vector<uint8_t>& bytes) {
    Unit* unit = CreateUnitEntry(kSliderBarType, bytes, {parent_, 210, 0, 2, 240, 24, kWindow, kUnit, 0x00010000});
    slider_.reset(unit);
    if (unit) ShowWindow(unit->hwnd(), SW_SHOWNA);
    return dynamic_cast<Slider*>(unit);
  }

  int Write(int32_t index, int32_t value) {
    return WritePropertyEntry(kSliderBarType, slider_.get(), index - 8, {static_cast<uint32_t>(value), 0});
  }
  int32_t Read(int32_t index) {
    return static_cast<int32_t>(ReadPropertyEntry(kSliderBarType, slider_.get(), index - 8).low);
  }
  LRESULT Send(UINT message, WPARAM w = 0, LPARAM l = 0) {
    return SendMessageW(slider_->hwnd(), message, w, l);
  }
  int EventCount(int32_t index) const {
    int n = 0;
    for (const auto& e : FiredEvents()) n += e.index == index && e.window == kWindow && e.unit == kUnit;
    return n;
  }

  std::unique_ptr<Unit> slider_;
};

TEST_F(SliderTest, DescriptorAnswersItsInterfacesAndRaisesEvents) {
  EXPECT_NE(kSliderBarType.getInterface(InterfaceCode::CreateUnit), nullptr);
  EXPECT_EQ(kSliderBarType.getInterface(static_cast<InterfaceCode>(2)), nullptr);
  EXPECT_TRUE(kSliderBarType.stateFlags & UnitState::RaisesEvents);
  EXPECT_FALSE(kSliderBarType.stateFlags & UnitState::Invisible);
}

TEST_F(SliderTest, StoredPositionBelowTheRangeShowsTheMinimumAndReadsAsStored) {
  ASSERT_TRUE(Create(TransparencyBlock()));
  wchar_t className[64];
  GetClassNameW(slider_->hwnd(), className, 64);
  EXPECT_STREQ(className, L"msctls_trackbar32");
  EXPECT_EQ(Send(TBM_GETRANGEMIN), 50);
  EXPECT_EQ(Send(TBM_GETRANGEMAX), 255);
  EXPECT_EQ(Send(TBM_GETPOS), 50);
  EXPECT_EQ(Read(19), 1);
  const LONG style = GetWindowLongW(slider_->hwnd(), GWL_STYLE);
  EXPECT_EQ(style & 0x44000001, 0x44000001);
  EXPECT_TRUE(style & WS_TABSTOP);
  EXPECT_FALSE(style & (TBS_VERT | TBS_NOTICKS | TBS_BOTH | TBS_TOP | TBS_ENABLESELRANGE));
  // Painting (with its custom-draw notifications) moves nothing.
  RedrawWindow(parent_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump(0);
  EXPECT_TRUE(FiredEvents().empty());
}

TEST_F(SliderTest, PositionWritesAreClampedForTheThumbOnly) {
  ASSERT_TRUE(Create(TransparencyBlock()));
  EXPECT_EQ(Write(19, 300), 0);
  EXPECT_EQ(Send(TBM_GETPOS), 255);
  EXPECT_EQ(Read(19), 300);
  Write(19, 100);
  EXPECT_EQ(Send(TBM_GETPOS), 100);
  Write(19, -4);  // negative counts as 0, which the thumb shows as the minimum
  EXPECT_EQ(Read(19), 0);
  EXPECT_EQ(Send(TBM_GETPOS), 50);
  EXPECT_TRUE(FiredEvents().empty());  // writes raise nothing
}

TEST_F(SliderTest, StepsAndRangeAreClamped) {
  ASSERT_TRUE(Create(TransparencyBlock()));
  Write(15, 0);
  EXPECT_EQ(Read(15), 1);
  EXPECT_EQ(Send(TBM_GETPAGESIZE), 1);
  Write(16, 40000);
  EXPECT_EQ(Read(16), 32767);
  EXPECT_EQ(Send(TBM_GETLINESIZE), 205);  // limited to the span of the range
  Write(17, 255);
  Write(18, 50);
  EXPECT_EQ(Send(TBM_GETRANGEMIN), 50);
  EXPECT_EQ(Send(TBM_GETRANGEMAX), 255);
  Write(8, 9);
  EXPECT_EQ(Read(8), 5);
  EXPECT_TRUE(GetWindowLongW(slider_->hwnd(), GWL_STYLE) & WS_BORDER);
  Write(8, 1);
  EXPECT_FALSE(GetWindowLongW(slider_->hwnd(), GWL_STYLE) & WS_BORDER);
  EXPECT_TRUE(GetWindowLongW(slider_->hwnd(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(SliderTest, StyleChangesAskForANewControlOnlyWhenTheyChange) {
  ASSERT_TRUE(Create(TransparencyBlock()));
  EXPECT_EQ(Write(9, 5), 1);  // vertical, clamped to 1
  EXPECT_EQ(Read(9), 1);
  EXPECT_EQ(Write(9, 1), 0);
  EXPECT_EQ(Write(10, 2), 0);
  EXPECT_EQ(Write(12, 1), 1);
  // The new control built from the current data carries the new styles.
  const auto data = slider_->PropertyData();
  auto* again = Create(data);
  ASSERT_TRUE(again);
  const LONG style = GetWindowLongW(again->hwnd(), GWL_STYLE);
  EXPECT_TRUE(style & TBS_VERT);
  EXPECT_TRUE(style & TBS_ENABLESELRANGE);
}

TEST_F(SliderTest, SelectionIsKeptInsideTheRange) {
  SliderBlock b = TransparencyBlock();
  b.showSelection = 1;
  b.selectionStart = 10;
  b.selectionLength = 100;
  ASSERT_TRUE(Create(b));
  EXPECT_EQ(Read(13), 50);
  EXPECT_EQ(Read(14), 60);  // 10 + 100 = 110, start raised to 50
  Write(13, 200);
  Write(14, 500);
  EXPECT_EQ(Read(13), 200);
  EXPECT_EQ(Read(14), 55);
}

TEST_F(SliderTest, ArrowKeyRaisesOneEventAndTheEndOfTrackingNone) {
  ASSERT_TRUE(Create(TransparencyBlock()));
  Send(WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(EventCount(0), 1);
  EXPECT_EQ(Read(19), 51);  // the control's value replaces the stored 1
  Send(WM_KEYUP, VK_RIGHT, 0);
  EXPECT_EQ(EventCount(0), 1);
  Send(WM_KEYDOWN, VK_NEXT, 0);  // page step
  EXPECT_EQ(EventCount(0), 2);
  EXPECT_EQ(Read(19), 56);
}

// The runtime raises -7/-8 for every unit's native window; the slider adding its own would
// run the handlers twice.
TEST_F(SliderTest, FocusChangesAreLeftToTheRuntime) {
  ASSERT_TRUE(Create(TransparencyBlock()));
  SetFocus(slider_->hwnd());
  ASSERT_EQ(GetFocus(), slider_->hwnd());
  SetFocus(parent_);
  EXPECT_TRUE(FiredEvents().empty());
}

TEST_F(SliderTest, NewerBlockVersionFailsCreation) {
  auto bytes = TransparencyBlock().Write();
  bytes[0] = 2;
  EXPECT_EQ(Create(bytes), nullptr);
  EXPECT_TRUE(Create(std::vector<uint8_t>{}));
  EXPECT_EQ(Read(17), 1);
  EXPECT_EQ(Read(18), 10);
  EXPECT_EQ(Send(TBM_GETPOS), 1);
}

}  // namespace
}  // namespace tl
