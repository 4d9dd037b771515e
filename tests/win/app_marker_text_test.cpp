// The application's marker routines over the real text commands, reached through the service
// table as the handlers reach them: the reminder keys and the clock text they cut.
#include <gtest/gtest.h>

#include "app/marker_text.h"
#include "app/program.h"
#include "tests/win/program_fixture.h"

namespace tl::app {
namespace {

class MarkerText : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::LoadApplication(); }
};

TEST_F(MarkerText, CutsTheClockTextAtItsMarkers) {
  const char* t = "2019年5月3日14时30分10秒";
  EXPECT_EQ(TextBeforeMarker(t, "年"), "2019");
  EXPECT_EQ(TextBetween(t, "年", "月"), "5");
  EXPECT_EQ(TextBetween(t, "日", "时"), "14");
  EXPECT_EQ(TextBetween(t, "分", "秒"), "10");
  // At 14:00:00 the minute and the second are not written: their markers are missing.
  EXPECT_EQ(TextBetween("2019年5月3日14时", "时", "分"), "");
  EXPECT_EQ(TextBeforeMarker("2019", "年"), "");
  // The right marker is looked for after the left one only.
  EXPECT_EQ(TextBetween("月1年2月", "年", "月"), "2");
}

TEST_F(MarkerText, QuoteMarkersAndTheLastOccurrence) {
  EXPECT_EQ(TextBetween("say \"hi\" now", "#引号", "#引号"), "hi");
  const char* key = "事件：2019年5月3日9时5分7秒\r\n     abc";
  EXPECT_EQ(TextAfterLastMarker(key, "     "), "abc");
  EXPECT_EQ(TextAfterLastMarker("事件：\r\n     a     b", "     "), "b") << "after the last run of five spaces";
  EXPECT_EQ(TextAfterLastMarker("abc", "     "), "");
  EXPECT_EQ(TextAfterLastMarker("abc     ", "     "), "");
}

}  // namespace
}  // namespace tl::app
