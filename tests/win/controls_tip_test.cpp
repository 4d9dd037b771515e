#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "controls/balloon_tip.h"
#include "controls/button.h"
#include "runtime/unit_events.h"
#include "tests/win/control_host.h"
#include "tests/win/pointer_input.h"
#include "tests/win/unit_entries.h"

namespace tl {
namespace {

using namespace tl::test;

constexpr uint32_t kWindow = 0x52010001, kTipUnit = 0x160123BF, kPinUnit = 0x160123B9;

void MovePointer(POINT to) {
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dx = MulDiv(to.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
  move.mi.dy = MulDiv(to.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &move, sizeof move);
}

ArgRecord Ref(uint32_t unit, uint32_t type) { return ArgRecord{kWindow, unit, type}; }
ArgRecord Text(const char* text) { return ArgRecord{reinterpret_cast<uint32_t>(text), 0, DataType::Text}; }

// The recording runtime finds the units this test created.
class BalloonTipTest : public RecordingHostWindowTest {
 protected:
  BalloonTipTest()
      : RecordingHostWindowTest({.title = L"tip test", .style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                                 .exStyle = WS_EX_TOPMOST, .left = 300, .top = 200, .width = 284, .height = 200,
                                 .windowClass = L"STATIC"}) {}
  void SetUp() override {
    RecordingHostWindowTest::SetUp();
    if (HasFatalFailure()) return;
    BalloonTipBlock tipBlock;
    tipBlock.textColour = 0;
    tip_.reset(static_cast<BalloonTip*>(
        CreateUnitEntry(kBalloonTipType, tipBlock.Write(), {parent_, 200, 40, 72, 72, 32, kWindow, kTipUnit})));
    ASSERT_TRUE(tip_);
    ButtonBlock pinBlock;
    pinBlock.caption = "固定";
    pin_.reset(CreateUnitEntry(kButtonType, pinBlock.Write(), {parent_, 110, 100, 8, 80, 40, kWindow, kPinUnit}));
    ASSERT_TRUE(pin_);
    ShowWindow(pin_->hwnd(), SW_SHOWNA);
    PlaceUnit(kWindow, kTipUnit, tip_.get());
    PlaceUnit(kWindow, kPinUnit, pin_.get());
  }
  void TearDown() override {
    ResetRecordingRuntime();
    tip_.reset();
    pin_.reset();
    RecordingHostWindowTest::TearDown();
  }

  bool SetTipOnPin(const char* text, std::initializer_list<ArgRecord> region = {}) {
    std::vector<ArgRecord> args = {Ref(kTipUnit, 0x60001), Ref(kPinUnit, 0x1000B), Text(text), IntArg(-1)};
    args.insert(args.end(), region.begin(), region.end());
    args.resize(8);  // omitted optional arguments are all-zero records
    ArgRecord result{};
    kSetTip.entry(&result, 8, args.data());
    EXPECT_EQ(result.type, DataType::Bool);
    return result.low == 1;
  }
  POINT PinCentre() {
    RECT r;
    GetWindowRect(pin_->hwnd(), &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  // The pointer comes from outside onto the pin and rests there for the time given.
  void RestOnPin(DWORD milliseconds) {
    MovePointer({10, 10});
    Pump(100);
    MovePointer(PinCentre());
    Pump(milliseconds);
  }
  bool Shown() {
    HWND balloon = tip_->ShownTip();
    return balloon && IsWindowVisible(balloon);
  }

  std::unique_ptr<BalloonTip> tip_;
  std::unique_ptr<Unit> pin_;
};

TEST_F(BalloonTipTest, RegistryKeepsOneItemPerRegionOfATarget) {
  EXPECT_FALSE(tip_->ShownTip());
  EXPECT_FALSE(IsWindowVisible(tip_->hwnd()));
  for (int i = 0; i < 400; ++i) ASSERT_TRUE(SetTipOnPin(i % 2 ? "缩放主界面" : "固定为展开状态"));
  EXPECT_EQ(tip_->ItemCount(pin_->hwnd()), 1u);
  EXPECT_EQ(tip_->ItemText(pin_->hwnd(), 0), "缩放主界面") << "the last text";

  EXPECT_TRUE(SetTipOnPin("left half", {IntArg(0), IntArg(0), IntArg(40), IntArg(40)}));
  EXPECT_TRUE(SetTipOnPin("left half again", {IntArg(0), IntArg(0), IntArg(40), IntArg(40)}));
  EXPECT_TRUE(SetTipOnPin("three of four", {IntArg(0), IntArg(0), IntArg(40)}));
  EXPECT_EQ(tip_->ItemCount(pin_->hwnd()), 2u) << "a region needs all four arguments";
  EXPECT_EQ(tip_->ItemText(pin_->hwnd(), 0), "three of four");
  EXPECT_EQ(tip_->ItemText(pin_->hwnd(), 1), "left half again");
}

TEST_F(BalloonTipTest, UnknownBalloonOrTargetOfAWindowNotLoadedRegistersNothing) {
  ArgRecord args[8] = {Ref(kTipUnit, 0x60001), ArgRecord{0x52012449, 0x16012452, 0x1000B}, Text("x"), IntArg(-1)};
  ArgRecord result{};
  kSetTip.entry(&result, 8, args);
  EXPECT_EQ(result.low, 0u);
  EXPECT_EQ(result.type, DataType::Bool);
  args[0] = Ref(0x16999999, 0x60001);
  args[1] = Ref(kPinUnit, 0x1000B);
  kSetTip.entry(&result, 8, args);
  EXPECT_EQ(result.low, 0u);
  args[0] = Ref(kPinUnit, 0x1000B);  // not a balloon unit
  kSetTip.entry(&result, 8, args);
  EXPECT_EQ(result.low, 0u);
  EXPECT_EQ(tip_->ItemCount(pin_->hwnd()), 0u);
}

TEST_F(BalloonTipTest, ShowsAfterTheInitialDelayAndHidesAfterTheDisplayTime) {
  ASSERT_TRUE(SetTipOnPin("固定为展开状态"));
  MovePointer({10, 10});
  Pump(100);
  const DWORD start = GetTickCount();
  MovePointer(PinCentre());
  Pump(400);
  EXPECT_FALSE(Shown()) << "too early at " << GetTickCount() - start << " ms";
  Pump(400);
  ASSERT_TRUE(Shown()) << "not shown at " << GetTickCount() - start << " ms";
  HWND balloon = tip_->ShownTip();
  HRGN shape = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(balloon, shape), COMPLEXREGION) << "a rounded balloon with its anchor";
  DeleteObject(shape);
  RECT r;
  GetWindowRect(balloon, &r);
  UpdateWindow(balloon);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetPixel(screen, r.left + 10, r.bottom - 6), COLORREF{0xE1FFFF}) << "the back colour";
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(GetWindow(balloon, GW_OWNER), parent_);

  Pump(2000);
  EXPECT_TRUE(Shown()) << "hidden early at " << GetTickCount() - start << " ms";
  Pump(1200);
  EXPECT_FALSE(Shown()) << "still shown at " << GetTickCount() - start << " ms";
  Pump(1000);
  EXPECT_FALSE(Shown()) << "the pointer has not left the item: no second showing";
}

TEST_F(BalloonTipTest, AClickHidesTheTipAtOnce) {
  ASSERT_TRUE(SetTipOnPin("缩放主界面"));
  RestOnPin(800);
  ASSERT_TRUE(Shown());
  ClickAtPointer();
  Pump(60);
  EXPECT_FALSE(Shown());
}

// Keys reach the tip through a hook of their own, apart from the pointer's.
TEST_F(BalloonTipTest, AKeyPressHidesTheTipAtOnce) {
  ASSERT_TRUE(SetTipOnPin("缩放主界面"));
  SetForegroundWindow(parent_);
  SetFocus(parent_);
  RestOnPin(800);
  ASSERT_TRUE(Shown());
  INPUT key[2]{};
  key[0].type = key[1].type = INPUT_KEYBOARD;
  key[0].ki.wVk = key[1].ki.wVk = VK_SHIFT;
  key[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(1, &key[1], sizeof(INPUT));  // a release alone hides nothing
  Pump(60);
  EXPECT_TRUE(Shown());
  SendInput(1, &key[0], sizeof(INPUT));
  SendInput(1, &key[1], sizeof(INPUT));
  Pump(60);
  EXPECT_FALSE(Shown());
}

BYTE Opacity(HWND window) {
  BYTE alpha = 255;
  DWORD flags = 0;
  if (!(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED)) return 255;
  GetLayeredWindowAttributes(window, nullptr, &alpha, &flags);
  return alpha;
}

TEST_F(BalloonTipTest, FadesInAndOutOverTheirTimes) {
  WritePropertyEntry(kBalloonTipType, tip_.get(), 1, PropertyValue{600, 0});  // display time
  WritePropertyEntry(kBalloonTipType, tip_.get(), 2, PropertyValue{300, 0});  // fade-in time
  WritePropertyEntry(kBalloonTipType, tip_.get(), 3, PropertyValue{600, 0});  // fade-out time
  ASSERT_TRUE(SetTipOnPin("缩放主界面"));
  RestOnPin(700);
  ASSERT_TRUE(Shown());
  HWND balloon = tip_->ShownTip();
  EXPECT_LT(Opacity(balloon), 255) << "still fading in";
  Pump(350);
  EXPECT_EQ(Opacity(balloon), 255);
  Pump(400);
  EXPECT_FALSE(Shown());
  EXPECT_TRUE(IsWindowVisible(balloon)) << "fading out";
  EXPECT_LT(Opacity(balloon), 255);
  Pump(600);
  EXPECT_FALSE(IsWindowVisible(balloon));
}

TEST_F(BalloonTipTest, APointerThatOnlyPassesOverShowsNothing) {
  ASSERT_TRUE(SetTipOnPin("固定为展开状态"));
  RECT r;
  GetWindowRect(pin_->hwnd(), &r);
  const LONG y = (r.top + r.bottom) / 2;
  MovePointer({r.left - 20, y});
  Pump(100);
  for (LONG x = r.left - 10; x < r.right + 20; x += 10) {
    MovePointer({x, y});
    Pump(40);
  }
  MovePointer({r.right + 40, y + 100});
  Pump(900);
  EXPECT_FALSE(Shown());
}

}  // namespace
}  // namespace tl
