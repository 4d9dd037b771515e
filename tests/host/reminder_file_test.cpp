// The reminder file: rows written as lines read back byte for byte, anything else refused, and
// what a start does with each kept reminder.
#include <gtest/gtest.h>

#include "app/reminder_file.h"
#include "tests/exact_text.h"

namespace tl::app {
namespace {

const KeptReminder kRent{"事件：2026年12月9日9时5分7秒\r\n     交房租\t\\", {"2026", "12", "9", "14", "30"}, false};
const KeptReminder kTold{"事件：2026年1月1日\r\n     [提醒]x", {"2026", "1", "2", "09", "5"}, true};

TEST(ReminderFile, RowsComeBackExactlyAndTheFileReadsAsLines) {
  const std::vector<KeptReminder> rows = {kRent, kTold};
  const std::string text = ReminderFileText(rows);
  EXPECT_EQ(text,
            "Tallyleaf 提醒 1\r\n"
            "待提醒\t2026\t12\t9\t14\t30\t事件：2026年12月9日9时5分7秒\\r\\n     交房租\\t\\\\\r\n"
            "已提醒\t2026\t1\t2\t09\t5\t事件：2026年1月1日\\r\\n     [提醒]x\r\n");
  EXPECT_EQ(ReadReminderFile(test::Exact(text)), rows);
  EXPECT_EQ(ReadReminderFile(test::Exact(ReminderFileText({}))), std::vector<KeptReminder>{});
}

TEST(ReminderFile, AnythingASaveWouldNotWriteBackIsRefused) {
  const std::string good = ReminderFileText(std::vector<KeptReminder>{kRent});
  const std::string_view refused[] = {
      "",                                                     // empty: not this program's file
      "bugaun\r\n",                                           // another program's text
      "Tallyleaf 提醒 1",                                     // the header without its line end
      "Tallyleaf 提醒 2\r\n",                                 // a newer format
      "Tallyleaf 提醒 1\r\n待提醒\t1\t2\t3\t4\t5\r\n",        // a field missing
      "Tallyleaf 提醒 1\r\n提醒\t1\t2\t3\t4\t5\tk\r\n",       // an unknown state
      "Tallyleaf 提醒 1\r\n待提醒\t1\t2\t3\t4\t5\tk\\x\r\n",  // an unknown escape
      "Tallyleaf 提醒 1\r\n待提醒\t1\t2\t3\t4\t5\tk\\\r\n",   // a backslash at the end
      "Tallyleaf 提醒 1\r\n待提醒\t1\t2\t3\t4\t5\tk\n",       // a bare line feed
      "Tallyleaf 提醒 1\r\n\r\n",                             // an empty line
      "\xEF\xBB\xBFTallyleaf 提醒 1\r\n",                     // a byte-order mark
  };
  for (std::string_view bytes : refused) EXPECT_EQ(ReadReminderFile(test::Exact(bytes)), std::nullopt) << bytes;
  EXPECT_NE(ReadReminderFile(test::Exact(good)), std::nullopt);
  EXPECT_EQ(ReadReminderFile(test::Exact(good.substr(0, good.size() - 1))), std::nullopt) << "cut short";
}

TEST(ReminderFile, AStartRestoresWhatIsAheadTellsWhatWasMissedAndDropsWhatWasTold) {
  const Instant announcement = *InstantOf({2026, 12, 9, 14, 30, 10});
  KeptReminder never = kRent;
  never.when[4] = "60";
  const struct {
    KeptReminder reminder;
    Instant now;
    KeptFate fate;
  } cases[] = {
      {kRent, announcement - 1, KeptFate::Restore},
      {kRent, announcement, KeptFate::Missed},
      {kRent, announcement + 86400 * 30, KeptFate::Missed},
      {kTold, announcement - 86400 * 400, KeptFate::Drop},
      {never, announcement + 1, KeptFate::Restore},  // no minute: never due, kept as within a run
  };
  for (const auto& c : cases) EXPECT_EQ(FateAtStart(c.reminder, c.now), c.fate) << c.reminder.key << " at " << c.now;
}

}  // namespace
}  // namespace tl::app
