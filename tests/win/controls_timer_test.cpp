#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "controls/timer.h"
#include "runtime/unit_events.h"
#include "tests/win/control_host.h"
#include "tests/win/recording_runtime.h"
#include "tests/win/unit_entries.h"

namespace tl {
namespace {

constexpr uint32_t kWindow = 0x52012449;
constexpr uint32_t kUnit = 0x16012498;

using namespace tl::test;

// The times of the timer's ticks (its event 0) since the recording was last cleared.
std::vector<DWORD> Ticks() {
  std::vector<DWORD> ticks;
  for (size_t i = 0; i < FiredEvents().size(); ++i) {
    const EventRecord& e = FiredEvents()[i];
    if (e.window == kWindow && e.unit == kUnit && e.index == 0 && e.argCount == 0) {
      ticks.push_back(FiringTimes()[i]);
    }
  }
  return ticks;
}

// Runs the message loop until the next tick, at most the given time.
bool PumpUntilTick(DWORD milliseconds) {
  const size_t before = Ticks().size();
  const DWORD end = GetTickCount() + milliseconds;
  while (Ticks().size() == before && static_cast<LONG>(end - GetTickCount()) > 0) Pump(5);
  return Ticks().size() > before;
}

class TimerTest : public RecordingHostWindowTest {
 protected:
  TimerTest()
      : RecordingHostWindowTest({.title = L"parent", .style = WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 .left = 10, .top = 10, .width = 300, .height = 200, .windowClass = L"STATIC"}) {}
  void TearDown() override {
    timer_.reset();
    RecordingHostWindowTest::TearDown();
  }

  Timer* Create(const std::vector<uint8_t>& block) {
    timer_.reset(CreateUnitEntry(kTimerType, block, {parent_, 120, 176, 16, 32, 32, kWindow, kUnit}));
    return dynamic_cast<Timer*>(timer_.get());
  }
  void Write(int32_t value) {
    EXPECT_EQ(WritePropertyEntry(kTimerType, timer_.get(), 0, {static_cast<uint32_t>(value), 0}), 0);
  }
  int32_t Read() {
    return static_cast<int32_t>(ReadPropertyEntry(kTimerType, timer_.get(), 0).low);
  }
  // A new timer set to 1000 ms, then 600 ms later to `interval`: when its first tick came,
  // counted from the first write; nothing when none came within two seconds of the second.
  std::optional<DWORD> FirstTickAfterRewriting(int32_t interval) {
    Create({});
    const DWORD start = GetTickCount();
    Write(1000);
    Pump(600);
    Write(interval);
    if (!PumpUntilTick(2000)) return std::nullopt;
    return Ticks().front() - start;
  }

  std::unique_ptr<Unit> timer_;
};

TEST_F(TimerTest, EmptyBlockGivesAStoppedHiddenTimerWindow) {
  EXPECT_TRUE(kTimerType.stateFlags & UnitState::Invisible);
  EXPECT_TRUE(kTimerType.stateFlags & UnitState::RaisesEvents);
  auto* timer = Create({});
  ASSERT_TRUE(timer);
  wchar_t className[32];
  GetClassNameW(timer->hwnd(), className, 32);
  EXPECT_STREQ(className, L"_RT_Timer");
  EXPECT_EQ(GetParent(timer->hwnd()), parent_);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(timer->hwnd(), GWL_STYLE)) & 0x44000000u, 0x44000000u);
  EXPECT_FALSE(IsWindowVisible(timer->hwnd()));
  EXPECT_EQ(Read(), 0);
  EXPECT_FALSE(timer->running());
  Pump(60);
  EXPECT_TRUE(Ticks().empty());
}

TEST_F(TimerTest, StoredIntervalStartsAtCreationAndNewerVersionsFail) {
  TimerBlock block;
  block.interval = 20;
  auto bytes = block.Write();
  ASSERT_TRUE(Create(bytes));
  EXPECT_TRUE(PumpUntilTick(1000));
  EXPECT_EQ(Read(), 20);
  EXPECT_EQ(timer_->PropertyData(), bytes);
  bytes[0] = 2;
  EXPECT_EQ(Create(bytes), nullptr);
}

TEST_F(TimerTest, NegativeIntervalStopsLikeZero) {
  auto* timer = Create({});
  Write(20);
  EXPECT_TRUE(timer->running());
  EXPECT_TRUE(PumpUntilTick(1000));
  Write(-5);
  EXPECT_EQ(Read(), 0);
  EXPECT_FALSE(timer->running());
  Pump(20);  // a tick already queued may still arrive
  ClearFiredEvents();
  Pump(100);
  EXPECT_TRUE(Ticks().empty());
}

TEST_F(TimerTest, WritingTheSameIntervalKeepsThePhase) {
  const std::optional<DWORD> firstTick = FirstTickAfterRewriting(1000);
  ASSERT_TRUE(firstTick);
  EXPECT_GE(*firstTick, 900u);
  EXPECT_LT(*firstTick, 1400u);  // a restarted period would tick at about 1600
  EXPECT_EQ(Ticks().size(), 1u);
}

TEST_F(TimerTest, ADifferentIntervalRestartsThePeriod) {
  const std::optional<DWORD> firstTick = FirstTickAfterRewriting(999);
  ASSERT_TRUE(firstTick);
  EXPECT_GE(*firstTick, 1450u);
}

TEST_F(TimerTest, HiddenWindowKeepsTicking) {
  Create({});
  Write(15);
  ShowWindow(parent_, SW_HIDE);
  Pump(300);
  EXPECT_GE(Ticks().size(), 3u);
}

TEST_F(TimerTest, DestroyingTheWindowStopsTheTicks) {
  auto* timer = Create({});
  Write(15);
  EXPECT_TRUE(PumpUntilTick(1000));
  DestroyWindow(parent_);
  EXPECT_EQ(timer->hwnd(), nullptr);
  EXPECT_FALSE(timer->running());
  ClearFiredEvents();
  Pump(100);
  EXPECT_TRUE(Ticks().empty());
  timer_.reset();  // the unit object outlives its window safely
}

}  // namespace
}  // namespace tl
