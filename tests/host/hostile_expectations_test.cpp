#include "tools/hostile_files/expectations.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace tl::hostile {
namespace {

TEST(HostileExpectations, RowsFollowTheLoadRules) {
  EXPECT_EQ(ExpectedRows(""), 0);
  EXPECT_EQ(ExpectedRows("a\r\nb\r\n"), 2);
  EXPECT_EQ(ExpectedRows("a\r\n\r\nb"), 3) << "an empty row between, a last line without its end";
  EXPECT_EQ(ExpectedRows("\r\n\r\n"), 2);
  EXPECT_EQ(ExpectedRows("\r\r\r"), 1) << "bare CRs stay inside one row";
  EXPECT_EQ(ExpectedRows("\n\n"), 1);
  EXPECT_EQ(ExpectedRows("one\r\ntw\0o\r\nthree\r\n"s), 2) << "a zero byte ends the text";
  EXPECT_EQ(ExpectedRows("\0a\r\n"s), 0);
  EXPECT_EQ(ExpectedRows("\xB6\r\nx\r\n"), 1) << "a lead byte takes the CR with it";
  EXPECT_EQ(ExpectedRows("\xC4\xE3\r\nx\r\n"), 2) << "a whole character before the line end";
  EXPECT_EQ(ExpectedRows("a\r\n\x81"), 2) << "a lone lead byte at the end is a row";
  EXPECT_EQ(ExpectedRows("1200\x80\r\nx\xFF\r\n"), 2) << "the euro sign and 0xFF leave the CR alone";
}

TEST(HostileExpectations, BytesSurviveInTheFileOrInABackupTheUserWasToldOf) {
  EXPECT_TRUE(Preserved("a\r\n", "a\r\n"s, false, false));
  EXPECT_TRUE(Preserved("a", "a\r\n"s, false, false)) << "only the missing line end was added";
  EXPECT_FALSE(Preserved("a\r", "a \r\n"s, false, false)) << "a line break made a space";
  EXPECT_FALSE(Preserved("a\0b"s, "a\r\n"s, false, false)) << "cut short without a backup";
  EXPECT_FALSE(Preserved("a\0b"s, "a\r\n"s, true, false)) << "a backup nobody was told of";
  EXPECT_FALSE(Preserved("a\0b"s, "a\r\n"s, false, true));
  EXPECT_TRUE(Preserved("a\0b"s, "a\r\n"s, true, true));
  EXPECT_FALSE(Preserved("x", std::nullopt, false, false)) << "deleted";
}

}  // namespace
}  // namespace tl::hostile
