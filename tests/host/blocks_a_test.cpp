#include <gtest/gtest.h>

#include <cstring>

#include "controls/list_view_block.h"
#include "controls/slider_block.h"
#include "controls/timer_block.h"
#include "runtime/byte_io.h"

namespace tl {
namespace {

std::vector<uint8_t> WithVersion(std::vector<uint8_t> block, int32_t version) {
  std::memcpy(block.data(), &version, 4);
  return block;
}

TEST(TimerBlock, EmptyGivesStoppedAndRoundTrips) {
  auto empty = TimerBlock::Read({});
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->interval, 0);

  TimerBlock b;
  b.interval = 1000;
  auto back = TimerBlock::Read(b.Write());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->interval, 1000);
  EXPECT_TRUE(TimerBlock::Read(WithVersion(b.Write(), 0)));
}

TEST(TimerBlock, RefusesNewerVersionsAndTruncation) {
  TimerBlock b;
  EXPECT_FALSE(TimerBlock::Read(WithVersion(b.Write(), 2)));
  EXPECT_FALSE(TimerBlock::Read(WithVersion(b.Write(), -1)));
  auto bytes = b.Write();
  bytes.pop_back();
  EXPECT_FALSE(TimerBlock::Read(bytes));
}

TEST(SliderBlock, StoredOrderAndRoundTrip) {
  SliderBlock b;
  b.minimum = 50;
  b.maximum = 255;
  b.pageSize = 7;
  const auto bytes = b.Write();
  ASSERT_EQ(bytes.size(), 13u * 4);
  ByteReader r(bytes);
  int32_t words[13];
  for (auto& w : words) ASSERT_TRUE(r.Int32(w));
  EXPECT_EQ(words[0], 1);
  EXPECT_EQ(words[3], 2);    // tick marks below by default
  EXPECT_EQ(words[8], 7);    // page size
  EXPECT_EQ(words[10], 50);  // minimum
  EXPECT_EQ(words[11], 255);
  EXPECT_EQ(words[12], 1);   // position

  auto back = SliderBlock::Read(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Write(), bytes);
  EXPECT_FALSE(SliderBlock::Read(WithVersion(bytes, 2)));
  EXPECT_FALSE(SliderBlock::Read(std::span(bytes).first(12 * 4)));
}

ListViewBlock EntryListLike() {
  ListViewBlock b;
  b.border = 0;
  b.textColor = 0xFFFFFF;
  b.textBackColor = 0;
  b.backColor = kButtonFaceColor;
  b.viewType = 3;
  b.hideHeader = true;
  b.gridLines = true;
  b.hotTracking = true;
  b.font.assign(ListViewBlock::kFontRecordSize, 0);
  b.font[0] = 0xF0;  // height -16
  b.columns = {{false, -1, 0, 278, "0"}, {true, 2, 1, 50, "事件创建时间"}};
  b.items = {{false, -1, 0, 7, 1, "第一", "tip"}, {true, -1, -1, 0, 0, "2026", ""}};
  return b;
}

TEST(ListViewBlock, RoundTripsEveryField) {
  const auto b = EntryListLike();
  const auto bytes = b.Write();
  auto back = ListViewBlock::Read(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Write(), bytes);
  EXPECT_EQ(back->columns, b.columns);
  EXPECT_EQ(back->items, b.items);
  EXPECT_EQ(back->backColor, kButtonFaceColor);
  EXPECT_TRUE(back->hideHeader);
  EXPECT_EQ(back->font.size(), 60u);
}

TEST(ListViewBlock, EmptyGivesDefaults) {
  auto b = ListViewBlock::Read({});
  ASSERT_TRUE(b);
  EXPECT_EQ(b->border, 1);
  EXPECT_EQ(b->backColor, 0xFFFFFFu);
  EXPECT_TRUE(b->singleSelection);
  EXPECT_EQ(b->currentSelection, -1);
  EXPECT_TRUE(b->columns.empty());
}

TEST(ListViewBlock, RefusesNewerVersionsAndBrokenRecords) {
  const auto bytes = EntryListLike().Write();
  EXPECT_FALSE(ListViewBlock::Read(WithVersion(bytes, 2)));
  EXPECT_TRUE(ListViewBlock::Read(WithVersion(bytes, 0)));
  for (size_t cut = 1; cut < bytes.size(); ++cut) {
    EXPECT_FALSE(ListViewBlock::Read(std::span(bytes).first(cut))) << cut;
  }
  // A column title without its terminator.
  std::vector<uint8_t> column = WriteListViewColumns(EntryListLike().columns);
  column.pop_back();
  EXPECT_FALSE(ReadListViewColumns(column));
  EXPECT_TRUE(ReadListViewColumns({}).value().empty());
}

}  // namespace
}  // namespace tl
