// The reminder rules against a clock the test moves by hand: reading the clock and the typed
// fields, the default next minute, and which ticks announce a reminder.
#include "app/reminder_schedule.h"

#include <gtest/gtest.h>

namespace tl::app {
namespace {

Instant At(int year, int month, int day, int hour, int minute, int second) {
  return InstantOf({year, month, day, hour, minute, second}).value();
}

TEST(ReminderCalendar, InstantsRoundTripAcrossLeapDaysAndRejectMissingDays) {
  for (const DateTimeParts t : {DateTimeParts{2020, 2, 29, 23, 59, 59}, DateTimeParts{2000, 2, 29, 0, 0, 0},
                            DateTimeParts{1899, 12, 30, 6, 0, 0}, DateTimeParts{100, 1, 1, 0, 0, 0},
                            DateTimeParts{9999, 12, 31, 23, 59, 59}, DateTimeParts{1970, 1, 1, 0, 0, 1}}) {
    EXPECT_EQ(ClockTimeAt(InstantOf(t).value()), t) << t.year << "-" << t.month << "-" << t.day;
  }
  EXPECT_EQ(At(2020, 3, 1, 0, 0, 0) - At(2020, 2, 28, 0, 0, 0), 2 * 86400);
  EXPECT_EQ(At(2019, 3, 1, 0, 0, 0) - At(2019, 2, 28, 0, 0, 0), 86400);
  EXPECT_FALSE(InstantOf({2019, 2, 29, 0, 0, 0}));
  EXPECT_FALSE(InstantOf({1900, 2, 29, 0, 0, 0}));
  EXPECT_FALSE(InstantOf({2019, 4, 31, 0, 0, 0}));
  EXPECT_FALSE(InstantOf({2019, 13, 1, 0, 0, 0}));
  EXPECT_FALSE(InstantOf({2019, 5, 3, 24, 0, 0}));
  EXPECT_FALSE(InstantOf({2019, 5, 3, 0, 60, 0}));
}

TEST(ReminderClock, ReadsEveryShapeOfTheClockText) {
  // 2019年5月3日14时30分10秒, 14时30分, 14时, midnight: the trailing zeros are left out.
  EXPECT_EQ(ClockFromComponents("2019", "5", "3", "14", "30", "10"), (DateTimeParts{2019, 5, 3, 14, 30, 10}));
  EXPECT_EQ(ClockFromComponents("2019", "5", "3", "14", "30", ""), (DateTimeParts{2019, 5, 3, 14, 30, 0}));
  EXPECT_EQ(ClockFromComponents("2019", "5", "3", "14", "", ""), (DateTimeParts{2019, 5, 3, 14, 0, 0}));
  EXPECT_EQ(ClockFromComponents("2019", "5", "3", "", "", ""), (DateTimeParts{2019, 5, 3, 0, 0, 0}));
  EXPECT_FALSE(ClockFromComponents("", "5", "3", "", "", ""));
  EXPECT_FALSE(ClockFromComponents("2019", "5", "32", "", "", ""));
  EXPECT_FALSE(ClockFromComponents("2019", "5", "3", "1x", "", ""));
}

TEST(ReminderDefault, IsTheNextMinuteWithItsCarries) {
  EXPECT_EQ(NextMinute({2019, 5, 3, 9, 30, 42}), (DateTimeParts{2019, 5, 3, 9, 31, 0}));
  EXPECT_EQ(NextMinute({2019, 5, 3, 9, 59, 0}), (DateTimeParts{2019, 5, 3, 10, 0, 0}));
  EXPECT_EQ(NextMinute({2019, 5, 3, 23, 59, 30}), (DateTimeParts{2019, 5, 4, 0, 0, 0}));
  EXPECT_EQ(NextMinute({2020, 2, 28, 23, 59, 0}), (DateTimeParts{2020, 2, 29, 0, 0, 0}));
  EXPECT_EQ(NextMinute({2019, 2, 28, 23, 59, 0}), (DateTimeParts{2019, 3, 1, 0, 0, 0}));
  EXPECT_EQ(NextMinute({2019, 12, 31, 23, 59, 59}), (DateTimeParts{2020, 1, 1, 0, 0, 0}));
}

TEST(ReminderTypedFields, MeanTheNumberTheySpellWithinTheirRange) {
  EXPECT_EQ(ParseTypedNumber("09", 23).value, 9);
  EXPECT_EQ(ParseTypedNumber("0", 23).value, 0);
  EXPECT_EQ(ParseTypedNumber("23", 23).value, 23);
  EXPECT_EQ(ParseTypedNumber("0059", 59).value, 59);
  EXPECT_EQ(ParseTypedNumber("09", 23).fault, TypedNumberFault::None);
  EXPECT_EQ(ParseTypedNumber("", 23).fault, TypedNumberFault::Empty);
  for (const char* bad : {"24", "-1", "-", "99999999999999", "1 ", "a"}) {
    EXPECT_EQ(ParseTypedNumber(bad, 23).fault, TypedNumberFault::OutOfRange) << bad;
  }
  EXPECT_EQ(ParseTypedNumber("60", 59).fault, TypedNumberFault::OutOfRange);
  EXPECT_EQ(ClockNumberText(ParseTypedNumber("09", 23).value), "9");
  EXPECT_EQ(ClockNumberText(0), "0");
}

TEST(ReminderRows, NameAMinuteOnlyWhenTheirColumnsSpellOne) {
  EXPECT_EQ(ReminderMinute("2019", "5", "3", "14", "30"), (DateTimeParts{2019, 5, 3, 14, 30, 0}));
  EXPECT_FALSE(ReminderMinute("2019", "5", "3", "", "30"));
  EXPECT_FALSE(ReminderMinute("2019", "5", "3", "14", "60"));
  EXPECT_FALSE(ReminderMinute("2019", "2", "30", "14", "30"));
}

// One reminder "k" for 14:30 on 3 May 2019, made at 14:29:40.
class Ledger : public ::testing::Test {
 protected:
  static constexpr DateTimeParts kMinute{2019, 5, 3, 14, 30, 0};
  void SetUp() override { ledger.Confirmed("k", At(2019, 5, 3, 14, 29, 40)); }
  // A tick at 14:mm:ss of that day; answers whether it announced the reminder.
  bool TickAt(int minute, int second, int hour = 14, int day = 3) {
    const TickSpan span = ledger.BeginTick(At(2019, 5, day, hour, minute, second));
    return ledger.TakeIfDue("k", kMinute, span);
  }
  AnnouncementLedger ledger;
};

TEST_F(Ledger, AnnouncesOnceOnTheTickThatReachesSecond10) {
  EXPECT_FALSE(TickAt(30, 8));
  EXPECT_FALSE(TickAt(30, 9));
  EXPECT_TRUE(TickAt(30, 10));
  EXPECT_FALSE(TickAt(30, 10)) << "a second tick inside second 10";
  EXPECT_FALSE(TickAt(30, 11));
}

TEST_F(Ledger, ALateTickStillAnnounces) {
  EXPECT_FALSE(TickAt(30, 9));
  EXPECT_TRUE(TickAt(30, 11)) << "the tick drifted past second 10";
  EXPECT_FALSE(TickAt(30, 12));
}

TEST_F(Ledger, WakingFromSleepAnnouncesWhatWasSleptThroughOnce) {
  EXPECT_FALSE(TickAt(29, 50));
  EXPECT_TRUE(TickAt(5, 0, 18));
  EXPECT_FALSE(TickAt(5, 1, 18));
}

TEST_F(Ledger, SettingTheClockBackDoesNotAnnounceAgain) {
  EXPECT_FALSE(TickAt(30, 9));
  EXPECT_TRUE(TickAt(30, 10));
  EXPECT_FALSE(TickAt(29, 0));
  for (int second = 1; second < 60; ++second) EXPECT_FALSE(TickAt(29, second));
  for (int second = 0; second < 20; ++second) EXPECT_FALSE(TickAt(30, second)) << second;
}

TEST_F(Ledger, AReminderMadeAtOrAfterItsInstantIsNeverAnnounced) {
  EXPECT_FALSE(TickAt(30, 9));
  ledger.Confirmed("late", At(2019, 5, 3, 14, 30, 10));
  ledger.Confirmed("later", At(2019, 5, 3, 14, 30, 20));
  const TickSpan span = ledger.BeginTick(At(2019, 5, 3, 14, 30, 30));
  EXPECT_FALSE(ledger.TakeIfDue("late", kMinute, span));
  EXPECT_FALSE(ledger.TakeIfDue("later", kMinute, span));
  EXPECT_TRUE(ledger.TakeIfDue("k", kMinute, span)) << "made before: the tick announces it";
}

TEST_F(Ledger, TheFirstTickCountsFromWhenTheReminderWasMade) {
  EXPECT_TRUE(TickAt(30, 12));
}

TEST_F(Ledger, ANestedTickLeavesTheOuterTicksRemindersToIt) {
  ledger.Confirmed("second", At(2019, 5, 3, 14, 29, 45));
  EXPECT_FALSE(TickAt(30, 9));
  const TickSpan outer = ledger.BeginTick(At(2019, 5, 3, 14, 30, 10));
  ASSERT_TRUE(ledger.TakeIfDue("k", kMinute, outer));
  // While the first box is open, ticks run nested inside it.
  for (int second = 11; second < 15; ++second) {
    const TickSpan nested = ledger.BeginTick(At(2019, 5, 3, 14, 30, second));
    EXPECT_FALSE(ledger.TakeIfDue("k", kMinute, nested));
    EXPECT_FALSE(ledger.TakeIfDue("second", kMinute, nested));
  }
  EXPECT_TRUE(ledger.TakeIfDue("second", kMinute, outer)) << "the outer tick goes on with the next row";
  EXPECT_FALSE(ledger.TakeIfDue("second", kMinute, outer));
}

TEST_F(Ledger, AChangedReminderIsAnnouncedForItsNewMinute) {
  EXPECT_FALSE(TickAt(30, 9));
  EXPECT_TRUE(TickAt(30, 10));
  ledger.Confirmed("k", At(2019, 5, 3, 14, 31, 0));
  const TickSpan span = ledger.BeginTick(At(2019, 5, 3, 14, 35, 10));
  EXPECT_TRUE(ledger.TakeIfDue("k", {2019, 5, 3, 14, 35, 0}, span));
  EXPECT_FALSE(ledger.TakeIfDue("k", kMinute, span)) << "the old minute lies before the change";
}

TEST_F(Ledger, AForgottenReminderHasNoPastAndAMinuteThatCannotBeIsNeverDue) {
  ledger.Forget("k");
  EXPECT_FALSE(TickAt(30, 9));
  EXPECT_TRUE(TickAt(30, 10)) << "without a record of its making, the previous tick bounds it";
  const TickSpan span = ledger.BeginTick(At(2019, 5, 3, 14, 30, 11));
  EXPECT_FALSE(ledger.TakeIfDue("k", {2019, 2, 30, 14, 30, 0}, span));
}

}  // namespace
}  // namespace tl::app
