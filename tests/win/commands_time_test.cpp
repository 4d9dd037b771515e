#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>

#include "commands/time.h"
#include "tests/win/recording_runtime.h"

namespace tl::cmd {
namespace {

int g_ticks = 0;
ULONGLONG g_firstTickAt = 0;

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
  if (g_ticks++ == 0) g_firstTickAt = GetTickCount64();
}

class DelayCommand : public ::testing::Test {
 protected:
  // Running the queued messages is all Delay asks of the runtime.
  void SetUp() override {
    test::StartRecordingEvents();
    g_ticks = 0;
  }
  void TearDown() override { test::StopRecordingEvents(); }
  static void Wait(int32_t ms) {
    ArgRecord arg = IntArg(ms);
    ArgRecord result{};
    kDelay.entry(&result, 1, &arg);
  }
};

TEST_F(DelayCommand, NothingRunsForZeroOrNegative) {
  const UINT_PTR timer = SetTimer(nullptr, 0, 1, OnTick);
  Sleep(30);
  Wait(0);
  Wait(-5);
  EXPECT_EQ(test::QueuedRounds(), 0);
  EXPECT_EQ(g_ticks, 0);
  KillTimer(nullptr, timer);
}

TEST_F(DelayCommand, TimersFireInsideAndItReturnsNoEarlierThanTheDeadline) {
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, OnTick);
  const ULONGLONG start = GetTickCount64();
  Wait(200);
  const ULONGLONG elapsed = GetTickCount64() - start;
  KillTimer(nullptr, timer);
  EXPECT_GE(elapsed, 200u);
  EXPECT_GE(g_ticks, 3);
  EXPECT_LT(g_firstTickAt - start, 200u);
  // It sleeps between rounds: a spinning wait would run thousands of rounds in 200 ms.
  EXPECT_LT(test::QueuedRounds(), 200);
}

TEST_F(DelayCommand, APendingQuitSurvivesTheWait) {
  PostQuitMessage(7);
  const ULONGLONG start = GetTickCount64();
  Wait(150);
  EXPECT_GE(GetTickCount64() - start, 150u);
  // It waits in slices rather than re-reading the quit without end.
  EXPECT_LT(test::QueuedRounds(), 100);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
}

TEST(NowCommand, IsTheLocalTimeToTheWholeSecond) {
  ArgRecord r{};
  kNow.entry(&r, 0, nullptr);
  EXPECT_EQ(r.type, DataType::DateTime);
  SYSTEMTIME local;
  GetLocalTime(&local);
  const DateTimeParts parts = DecomposeDateTime(ArgDouble(r));
  EXPECT_EQ(parts.year, local.wYear);
  EXPECT_EQ(parts.month, local.wMonth);
  const double seconds = ArgDouble(r) * 86400.0;
  EXPECT_NEAR(seconds, std::round(seconds), 1e-3);
}

}  // namespace
}  // namespace tl::cmd
