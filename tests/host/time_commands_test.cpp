#include <gtest/gtest.h>

#include <string>

#include "commands/time.h"
#include "runtime/command.h"
#include "runtime/memory.h"

namespace tl::cmd {
namespace {

double At(int y, int mo, int d, int h, int mi, int s) { return ComposeDateTime({y, mo, d, h, mi, s}); }

int32_t Part(CommandFn command, double value) {
  ArgRecord arg = DateTimeArg(value);
  ArgRecord result{};
  command(&result, 1, &arg);
  EXPECT_EQ(result.type, DataType::Int);
  return static_cast<int32_t>(result.low);
}

TEST(DateTime, OleDayCountsAndTheEpoch) {
  EXPECT_EQ(At(1899, 12, 30, 0, 0, 0), 0.0);
  EXPECT_EQ(At(1899, 12, 31, 12, 0, 0), 1.5);
  EXPECT_EQ(At(1900, 1, 1, 0, 0, 0), 2.0);
  EXPECT_EQ(At(2019, 5, 3, 0, 0, 0), 43588.0);
  EXPECT_EQ(At(2019, 5, 3, 18, 0, 0), 43588.75);
  EXPECT_EQ(At(1899, 12, 29, 6, 0, 0), -1.25) << "before the epoch the time of day still counts forward";
  EXPECT_EQ(At(9999, 12, 31, 0, 0, 0), kMaxDateTime);
  EXPECT_EQ(At(100, 1, 1, 0, 0, 0), kMinDateTime);
  EXPECT_EQ(DecomposeDateTime(-1.25), (DateTimeParts{1899, 12, 29, 6, 0, 0}));
  EXPECT_EQ(DecomposeDateTime(At(2000, 2, 29, 23, 59, 59)), (DateTimeParts{2000, 2, 29, 23, 59, 59}));
}

TEST(DateTime, TextOmitsZeroTimeParts) {
  EXPECT_EQ(DateTimeToText(At(2019, 5, 3, 9, 5, 0)), "2019年5月3日9时5分");
  EXPECT_EQ(DateTimeToText(At(2019, 5, 3, 0, 0, 0)), "2019年5月3日");
  EXPECT_EQ(DateTimeToText(At(2019, 5, 3, 0, 0, 7)), "2019年5月3日0时0分7秒");
  EXPECT_EQ(DateTimeToText(At(2019, 5, 3, 14, 0, 0)), "2019年5月3日14时");
  EXPECT_EQ(DateTimeToText(At(2019, 5, 3, 14, 0, 30)), "2019年5月3日14时0分30秒");
  EXPECT_EQ(DateTimeToText(At(2019, 12, 31, 0, 5, 0)), "2019年12月31日0时5分");
}

TEST(DateTime, ClampsToTheValidRange) {
  EXPECT_EQ(DateTimeToText(kMaxDateTime + 0.75), "9999年12月31日");
  EXPECT_EQ(DateTimeToText(1e300), "9999年12月31日");
  EXPECT_EQ(DateTimeToText(-1e300), "100年1月1日");
  EXPECT_EQ(DateTimeToText(std::numeric_limits<double>::infinity()), "9999年12月31日");
  EXPECT_EQ(DateTimeToText(std::numeric_limits<double>::quiet_NaN()), "1899年12月30日");
}

TEST(DateTime, RoundsToTheWholeSecond) {
  const double day = At(2019, 5, 3, 0, 0, 0);
  const double almost = day + (12 * 3600 + 59 * 60 + 59.6) / 86400.0;
  EXPECT_EQ(Part(kGetMinute.entry, At(2019, 5, 3, 12, 59, 59)), 59);
  EXPECT_EQ(Part(kGetHour.entry, At(2019, 5, 3, 12, 59, 59)), 12);
  EXPECT_EQ(Part(kGetMinute.entry, almost), 0);
  EXPECT_EQ(Part(kGetHour.entry, almost), 13);
  EXPECT_EQ(DateTimeToText(almost), "2019年5月3日13时");
  // 23:59:59.6 rounds into the next day, across a month and a year.
  EXPECT_EQ(DateTimeToText(At(2019, 12, 31, 0, 0, 0) + (86399.6 / 86400.0)), "2020年1月1日");
  EXPECT_EQ(Part(kGetHour.entry, At(2019, 12, 31, 23, 59, 59) + 0.4 / 86400.0), 23);
}

}  // namespace
}  // namespace tl::cmd
