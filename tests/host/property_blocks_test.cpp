// The stored property blocks of the control unit types: defaults, stored order, versions,
// round trips, and the reasons a refused block gives.
#include <gtest/gtest.h>

#include <cstring>

#include "controls/balloon_tip_block.h"
#include "controls/button_block.h"
#include "controls/date_picker_block.h"
#include "controls/edit_box_block.h"
#include "controls/input_device_block.h"
#include "controls/label_block.h"
#include "controls/list_view_block.h"
#include "controls/slider_block.h"
#include "controls/timer_block.h"
#include "controls/transparent_label_block.h"
#include "runtime/byte_io.h"

namespace tl {
namespace {

std::vector<uint8_t> WithVersion(std::vector<uint8_t> block, int32_t version) {
  std::memcpy(block.data(), &version, 4);
  return block;
}

std::vector<uint8_t> Font60(int32_t height) {
  std::vector<uint8_t> font(60, 0);
  std::memcpy(font.data(), &height, 4);
  font[23] = 134;  // GB2312
  return font;
}

// The next count words of a stored block; fewer if it ends first.
std::vector<int32_t> Words(ByteReader& r, size_t count) {
  std::vector<int32_t> words(count);
  for (size_t i = 0; i < count; ++i) {
    if (!r.Int32(words[i])) return {words.begin(), words.begin() + i};
  }
  return words;
}

// Every block: an empty block reads as the defaults, a newer version is refused, a truncated
// block is refused, and what Write produces reads back to the same fields.
template <typename Block>
void ExpectCommonRules(const Block& sample) {
  EXPECT_TRUE(Block::Read({}).has_value());
  std::vector<uint8_t> bytes = sample.Write();
  ASSERT_GE(bytes.size(), 4u);
  const int32_t newer = Block::kVersion + 1;
  std::vector<uint8_t> future = bytes;
  std::memcpy(future.data(), &newer, 4);
  EXPECT_FALSE(Block::Read(future).has_value());
  // Every shorter prefix is refused (and, under the sanitizers, read within its bounds).
  for (size_t cut = 1; cut < bytes.size(); ++cut) {
    EXPECT_FALSE(Block::Read(std::span(bytes).first(cut)).has_value()) << "cut at " << cut;
  }
  // Counts that claim more than there is, or are negative, never read outside the block.
  for (size_t at = 4; at + 4 <= bytes.size(); ++at) {
    std::vector<uint8_t> lying = bytes;
    const int32_t claims[] = {0x7FFFFFFF, -5};
    for (int32_t claim : claims) {
      std::memcpy(lying.data() + at, &claim, 4);
      Block::Read(lying);
    }
  }
  auto back = Block::Read(bytes);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->Write(), bytes);
}

TEST(TimerBlock, EmptyGivesStoppedAndVersionZeroStillReads) {
  EXPECT_EQ(TimerBlock::Read({})->interval, 0);
  TimerBlock b;
  b.interval = 1000;
  ExpectCommonRules(b);
  EXPECT_EQ(TimerBlock::Read(b.Write())->interval, 1000);
  EXPECT_TRUE(TimerBlock::Read(WithVersion(b.Write(), 0)));
  EXPECT_FALSE(TimerBlock::Read(WithVersion(b.Write(), -1)));
}

TEST(SliderBlock, StoredOrderAndRoundTrip) {
  const SliderBlock b{.pageSize = 7, .minimum = 50, .maximum = 255};
  const auto bytes = b.Write();
  ASSERT_EQ(bytes.size(), 13u * 4);
  ByteReader r(bytes);
  const std::vector<int32_t> words = Words(r, 13);
  ASSERT_EQ(words.size(), 13u);
  EXPECT_EQ(words[0], 1);
  EXPECT_EQ(words[3], 2);    // tick marks below by default
  EXPECT_EQ(words[8], 7);    // page size
  EXPECT_EQ(words[10], 50);  // minimum
  EXPECT_EQ(words[11], 255);
  EXPECT_EQ(words[12], 1);   // position
  ExpectCommonRules(b);
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
  ExpectCommonRules(b);
  auto back = ListViewBlock::Read(b.Write());
  ASSERT_TRUE(back);
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

TEST(ListViewBlock, VersionZeroReadsAndBrokenRecordsAreRefused) {
  EXPECT_TRUE(ListViewBlock::Read(WithVersion(EntryListLike().Write(), 0)));
  // A column title without its terminator.
  std::vector<uint8_t> column = WriteListViewColumns(EntryListLike().columns);
  column.pop_back();
  EXPECT_FALSE(ReadListViewColumns(column));
  EXPECT_TRUE(ReadListViewColumns({}).value().empty());
}

TEST(ButtonBlock, StoredOrderAndDefaults) {
  EXPECT_EQ(ButtonBlock::Read({})->caption, "按钮");
  const ButtonBlock b{
      .kind = 1, .horizontalAlign = 2, .verticalAlign = 0, .font = Font60(-13), .caption = "计算机\r\n"};
  ExpectCommonRules(b);
  const std::vector<uint8_t> stored = b.Write();
  ByteReader r(stored);
  // Version, kind, horizontal and vertical alignment.
  EXPECT_EQ(Words(r, 4), (std::vector<int32_t>{1, 1, 2, 0}));
  std::vector<uint8_t> picture, font;
  std::string caption;
  r.CountedBytes(picture);
  r.CountedBytes(font);
  r.CountedText(caption);
  EXPECT_TRUE(picture.empty());
  EXPECT_EQ(font.size(), 60u);
  EXPECT_EQ(caption, "计算机\r\n");
  EXPECT_TRUE(r.AtEnd());
}

TEST(LabelBlock, SixteenIntsInStoredOrderThenFontPictureCaptionAndVersionTwoTexts) {
  const LabelBlock b{.textColour = 0xFFFFFF, .backColour = 0, .horizontalAlign = 1, .verticalAlign = 1,
                     .wordWrap = 0, .font = Font60(-13), .caption = "Tallyleaf"};
  ExpectCommonRules(b);
  const std::vector<uint8_t> bytes = b.Write();
  ByteReader r(bytes);
  EXPECT_EQ(Words(r, 1), std::vector<int32_t>{2});  // version
  // 9, 11, 10, 12, 13, 14, 16, 17, 19, 20, 21, 22, 23, 24, 26, 25
  const std::vector<int32_t> expected = {0, 8, 0, 0x808080, 0xFFFFFF, 0x808080, 0xFFFFFF, 0, 1, 0,
                                         0x808080, 0xFFFFFF, 0x808080, 1, 1, 0};
  EXPECT_EQ(Words(r, 16), expected);

  // A version 1 block stops after the caption.
  ByteWriter v1;
  v1.Int32(1);
  for (int32_t word : expected) v1.Int32(word);
  v1.CountedBytes({}).CountedBytes({}).CountedText("提醒时间：");
  auto old = LabelBlock::Read(v1.bytes());
  ASSERT_TRUE(old.has_value());
  EXPECT_EQ(old->caption, "提醒时间：");
  EXPECT_EQ(old->horizontalAlign, 1);
  EXPECT_EQ(old->wordWrap, 0);
}

TEST(EditBoxBlock, PasswordCharacterIsSixteenBitsAndVersionTwoTextsFollowContent) {
  EditBoxBlock b;
  b.inputMode = EditInputMode::ShortInteger;
  b.font = Font60(-27);
  b.content = "12";
  ExpectCommonRules(b);
  const std::vector<uint8_t> bytes = b.Write();
  EXPECT_EQ(bytes[4 * 10], '*');
  EXPECT_EQ(bytes[4 * 10 + 1], 0);
  EXPECT_EQ(bytes.size(), 4u * 10 + 2 + 4 * 6 + 4 + 60 + 4 + 2 + 4 + 4);
  auto back = EditBoxBlock::Read(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->inputMode, 6);
  EXPECT_EQ(back->spinMaximum, 100);
  EXPECT_EQ(back->content, "12");
}

TEST(EditBoxBlock, ShortIntegerTextKeepsDigitsALeadingMinusAndTheRange) {
  const std::pair<const char*, const char*> cases[] = {
      {"12a3", "123"},     {"-", "-"},           {"1-2", "12"},      {"--5", "-5"},
      {"007", "007"},      {"32767", "32767"},   {"32768", "32767"}, {"-32768", "-32768"},
      {"-32769", "-32768"}, {"99999999999999999999", "32767"},    {"时12", "12"}, {"", ""},
  };
  for (const auto& [typed, kept] : cases) EXPECT_EQ(ShortIntegerText(typed), kept) << typed;
}

TEST(DatePickerBlock, DateTimesAreEightByteDoubles) {
  DatePickerBlock b;
  b.value = 46000.5;
  b.earliest = 1.25;
  ExpectCommonRules(b);
  const std::vector<uint8_t> bytes = b.Write();
  double value;
  std::memcpy(&value, bytes.data() + 12, 8);
  EXPECT_EQ(value, 46000.5);
  auto back = DatePickerBlock::Read(bytes);
  EXPECT_EQ(back->earliest, 1.25);
  EXPECT_EQ(back->latest, 0.0);
  EXPECT_EQ(back->border, 1);
}

TEST(TransparentLabelBlock, ColonLabelsAndOutOfRangeValues) {
  TransparentLabelBlock b;
  b.font = Font60(-32);
  b.caption = ".";
  ExpectCommonRules(b);
  EXPECT_EQ(TransparentLabelBlock::Read({})->caption, "透明标签");
  EXPECT_EQ(TransparentLabelBlock::Read({})->verticalAlign, 1);

  ByteWriter w;
  w.Int32(0).Int32(7).Int32(0).Int32(-1).Int32(9).Int32(0).CountedBytes({}).CountedText("x");
  auto odd = TransparentLabelBlock::Read(w.bytes());
  ASSERT_TRUE(odd) << "version 0 has the same layout";
  EXPECT_EQ(odd->effect, 3);
  EXPECT_EQ(odd->horizontalAlign, 0);
  EXPECT_EQ(odd->verticalAlign, 2);
  EXPECT_EQ(ClampProperty(7, 3), 3);
  EXPECT_EQ(ClampProperty(-1, 3), 0);
}

TEST(InputDeviceBlock, EmptyStaysEmptyAndUnknownVersionsAreRefused) {
  EXPECT_TRUE(InputDeviceBlock::Read({})->Write().empty());
  ByteWriter w;
  w.Int32(2);
  EXPECT_FALSE(InputDeviceBlock::Read(w.bytes()));
  ByteWriter known;
  known.Int32(1).Int32(77);
  EXPECT_EQ(InputDeviceBlock::Read(known.bytes())->Write(), known.bytes());
}

TEST(BalloonTipBlock, TheFormsBlockIs1171BytesWithA991ByteStyleSheet) {
  BalloonTipBlock b;
  b.textColour = 0;
  ExpectCommonRules(b);
  EXPECT_EQ(DefaultTipStyleSheet().size(), 991u);
  EXPECT_TRUE(DefaultTipStyleSheet().starts_with("body {font-size: 9pt; color:black; font-family:\"宋体\",Verdana}"));
  const std::vector<uint8_t> bytes = b.Write();
  EXPECT_EQ(bytes.size(), 1171u);
  auto back = BalloonTipBlock::Read(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->initialDelay, 600);
  EXPECT_EQ(back->displayTime, 3000);
  EXPECT_EQ(back->backColour, 0xE1FFFFu);
  EXPECT_EQ(back->textColour, 0u);
  EXPECT_EQ(*back->IntField(13), 16);  // corner width
  EXPECT_EQ(back->IntField(BalloonTipBlock::kIntCount), nullptr);
  EXPECT_EQ(back->IntField(-1), nullptr);
}

TEST(BalloonTipBlock, BodyFontComesFromTheBodyRule) {
  TipFont f = BodyFont(DefaultTipStyleSheet());
  EXPECT_EQ(f.pointSize, 9);
  EXPECT_EQ(f.face, "宋体");
  f = BodyFont("p {font-size: 30pt} h1, BODY { font-family: 'Tahoma', Arial ; font-size:16px }");
  EXPECT_EQ(f.pointSize, 12);
  EXPECT_EQ(f.face, "Tahoma");
  f = BodyFont("body {font-size: huge; font-family:");
  EXPECT_EQ(f.pointSize, 9);
  EXPECT_EQ(f.face, "");
  EXPECT_EQ(BodyFont("").pointSize, 9);
}


// A refused block says what is wrong and at which byte of the block.
TEST(PropertyBlockReasons, ATruncatedBlockNamesTheFieldThatIsCutShortAndItsByte) {
  TimerBlock timer;
  timer.interval = 1000;
  std::vector<uint8_t> bytes = timer.Write();
  bytes.pop_back();
  ReadError error;
  EXPECT_FALSE(TimerBlock::Read(bytes, &error));
  EXPECT_EQ(error.Text(), "timer block: interval cut short (needs 4 bytes, 3 left) at byte 4");

  ButtonBlock button;
  button.caption = "OK";
  bytes = button.Write();
  bytes.pop_back();
  EXPECT_FALSE(ButtonBlock::Read(bytes, &error));
  EXPECT_EQ(error.Text(), "button block: caption counts 2 bytes, 1 left at byte 24");

  const std::vector<uint8_t> slider = SliderBlock{}.Write();
  EXPECT_FALSE(SliderBlock::Read(std::span(slider).first(2), &error));
  EXPECT_EQ(error.Text(), "slider bar block: version cut short (needs 4 bytes, 2 left) at byte 0");
}

TEST(PropertyBlockReasons, VersionsAndRecordsInsideTheBlockSayWhereTheyFail) {
  ReadError error;
  EXPECT_FALSE(SliderBlock::Read(WithVersion(SliderBlock{}.Write(), 2), &error));
  EXPECT_EQ(error.Text(), "slider bar block: version 2 is newer than 1 at byte 0");
  EXPECT_FALSE(LabelBlock::Read(WithVersion(LabelBlock{}.Write(), -3), &error));
  EXPECT_EQ(error.Text(), "label block: version -3 is negative at byte 0");

  // One column "A" and nothing after it but two empty counted blocks (state images, items):
  // its title's terminator is the ninth byte from the end.
  ListViewBlock list;
  list.columns = {{false, -1, 0, 50, "A"}};
  std::vector<uint8_t> bytes = list.Write();
  bytes[bytes.size() - 9] = 'B';
  const size_t titleAt = bytes.size() - 8 - 15 + 13;
  EXPECT_FALSE(ListViewBlock::Read(bytes, &error));
  EXPECT_EQ(error.Text(), "list view columns: title has no terminating zero at byte " + std::to_string(titleAt));
}

}  // namespace
}  // namespace tl
