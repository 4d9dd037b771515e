#include "runtime/form_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/byte_io.h"

namespace tl {
namespace {

constexpr uint32_t kWindowId = 0x06010000;
constexpr uint32_t kButtonId = 0x16010001;
constexpr uint32_t kLabelId = 0x16010002;
constexpr uint32_t kMenuTitleId = 0x26010003;
constexpr uint32_t kMenuItemId = 0x26010004;
constexpr uint32_t kHandlerCount = 8;

// Byte positions inside a unit record whose name and comment are empty.
constexpr size_t kChildCountAt = 54;
constexpr size_t kCursorLengthAt = 58;  // with no children
constexpr size_t kBindingCountAt = 75;  // with no children, no cursor data and an empty tag

UnitRecordFields WindowUnit() {
  return {.type = 0x10001, .left = 50, .top = 50, .width = 284, .height = 440,
          .children = {kButtonId, 0, kLabelId}, .flags = UnitFlag::Visible,
          .bindings = {{0, 1}, {4, 2}, {12, kNoHandler}}, .propertyBlock = {6, 0, 0, 0, 'a', 'b'}};
}

UnitRecordFields Button() {
  return {.type = 0x1000B, .name = "按钮1", .left = -1, .top = 29, .width = 88, .height = 24,
          .cursorData = {0x88, 0x7f, 0, 0}, .tag = "tag", .flags = UnitFlag::Visible | UnitFlag::TabStop,
          .tabOrder = 3, .bindings = {{0, 7}, {-4, 0}}, .propertyBlock = {1, 0, 0, 0}};
}

UnitRecordFields BareLabel() { return {.type = 0x1000A, .parent = kButtonId}; }

MenuItemFields Menu(int32_t level, std::string caption, int32_t handler, uint32_t flags = 0) {
  return {.level = level, .flags = flags, .caption = std::move(caption), .handler = handler};
}

std::vector<uint32_t> Ids() { return {kWindowId, kButtonId, kMenuTitleId, kMenuItemId, kLabelId}; }

std::vector<std::vector<uint8_t>> Records() {
  return {EncodeUnitRecord(WindowUnit()), EncodeUnitRecord(Button()),
          EncodeMenuItem(Menu(0, "设置", kNoHandler, MenuFlag::Hidden)),
          EncodeMenuItem(Menu(1, "关于", 5)), EncodeUnitRecord(BareLabel())};
}

UnitRecordArray SampleArray() { return UnitRecordArray::Build(Ids(), Records()); }

std::vector<WindowDefinitionData> SampleWindows() {
  std::vector<WindowDefinitionData> windows(2);
  windows[0].id = 0x52010001;
  windows[0].word1 = 0xC2;
  windows[0].word2 = 0x19010003;
  windows[0].units = SampleArray();
  windows[1].id = 0x52012444;
  windows[1].text1 = "one";
  windows[1].text2 = "two";
  UnitRecordFields about = WindowUnit();
  about.children.clear();
  windows[1].units = UnitRecordArray::Build(std::vector<uint32_t>{0x06012445},
                                            {EncodeUnitRecord(about)});
  return windows;
}

void PutWord(std::vector<uint8_t>& bytes, size_t position, uint32_t value) {
  PutUint32Le(bytes.data() + position, value);
}

// Position of record index's first byte (after its length word) in packed array data.
size_t RecordAt(const UnitRecordArray& array, size_t index) {
  uint32_t offset;
  std::memcpy(&offset, array.data().data() + 4 * (array.size() + index), 4);
  return 8 * array.size() + offset + 4;
}

bool ParsesWith(size_t index, int field, uint32_t value) {
  const UnitRecordArray array = SampleArray();
  std::vector<uint8_t> data = array.data();
  PutWord(data, static_cast<size_t>(static_cast<int>(RecordAt(array, index)) + field), value);
  return UnitRecordArray::Parse(array.count(), data).has_value();
}

void ExpectSameUnit(const UnitRecordFields& a, const UnitRecordFields& b) {
  EXPECT_EQ(EncodeUnitRecord(a), EncodeUnitRecord(b));
}

TEST(FormImage, WriteReadWriteIsByteForByte) {
  const std::vector<uint8_t> image = WriteFormImage(SampleWindows());
  const auto windows = ReadFormImage(image, kHandlerCount);
  ASSERT_TRUE(windows.has_value());
  ASSERT_EQ(windows->size(), 2u);
  EXPECT_EQ((*windows)[0].id, 0x52010001u);
  EXPECT_EQ((*windows)[0].word2, 0x19010003);
  EXPECT_EQ((*windows)[1].text2, "two");
  EXPECT_EQ((*windows)[0].units.data(), SampleArray().data());
  EXPECT_EQ(WriteFormImage(*windows), image);
}

TEST(FormImage, RecordsDecodeToTheFieldsTheyWereEncodedFrom) {
  const UnitRecordArray array = SampleArray();
  ExpectSameUnit(array.Unit(0), WindowUnit());
  ExpectSameUnit(array.Unit(1), Button());
  ExpectSameUnit(array.Unit(4), BareLabel());
  EXPECT_EQ(array.Unit(1).name, "按钮1");
  EXPECT_EQ(array.MenuItem(3).caption, "关于");
  EXPECT_EQ(array.MenuItem(3).handler, 5);
  EXPECT_EQ(array.MenuItem(2).flags, MenuFlag::Hidden);
  EXPECT_EQ(EncodeMenuItem(array.MenuItem(3)), EncodeMenuItem(Menu(1, "关于", 5)));
  const std::vector<uint8_t> block(array.PropertyBlock(0).begin(), array.PropertyBlock(0).end());
  EXPECT_EQ(block, WindowUnit().propertyBlock);
  EXPECT_TRUE(array.PropertyBlock(4).empty());
}

TEST(FormImage, NegativeOrOversizedImageLengthsFail) {
  const std::vector<uint8_t> image = WriteFormImage(SampleWindows());
  // Window map length, first window's first text length, its unit count, its data length.
  const size_t mapLength = 0, text1 = 4 + 16 + 8, unitCount = text1 + 8, dataLength = unitCount + 4;
  for (size_t at : {mapLength, text1, unitCount, dataLength}) {
    for (uint32_t value : {0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, 0x10000000u}) {
      std::vector<uint8_t> bad = image;
      PutWord(bad, at, value);
      EXPECT_FALSE(ReadFormImage(bad, kHandlerCount)) << at << " " << value;
    }
  }
  std::vector<uint8_t> odd = image;
  PutWord(odd, mapLength, 12);
  EXPECT_FALSE(ReadFormImage(odd, kHandlerCount));
}

TEST(FormImage, WindowIdsMustBeWellFormedAndDistinct) {
  std::vector<WindowDefinitionData> windows = SampleWindows();
  windows[1].id = windows[0].id;
  EXPECT_FALSE(ReadFormImage(WriteFormImage(windows), kHandlerCount));
  windows[1].id = 0x52000000;
  EXPECT_FALSE(ReadFormImage(WriteFormImage(windows), kHandlerCount));
}

TEST(FormImage, HandlerReferencesMustIndexTheTable) {
  const std::vector<uint8_t> image = WriteFormImage(SampleWindows());
  EXPECT_TRUE(ReadFormImage(image, 8));   // highest reference is 7
  EXPECT_FALSE(ReadFormImage(image, 7));  // a binding refers to 7
  std::vector<WindowDefinitionData> windows = SampleWindows();
  std::vector<std::vector<uint8_t>> records = Records();
  records[3] = EncodeMenuItem(Menu(1, "关于", 8));
  windows[0].units = UnitRecordArray::Build(Ids(), records);
  EXPECT_FALSE(ReadFormImage(WriteFormImage(windows), 8));
  EXPECT_TRUE(ReadFormImage(WriteFormImage(windows), 9));
  records[3] = EncodeMenuItem(Menu(1, "关于", -2));
  windows[0].units = UnitRecordArray::Build(Ids(), records);
  EXPECT_FALSE(ReadFormImage(WriteFormImage(windows), 1000));
}

// Where the first window's parts lie in an image of SampleWindows(): the map takes 4 + 16 bytes,
// then two words and two empty texts.
constexpr size_t kUnitCountAt = 36, kDataLengthAt = 40, kDataAt = 44;

std::string ReasonFor(std::span<const uint8_t> image, uint32_t handlerCount = kHandlerCount) {
  ReadError error;
  if (ReadFormImage(image, handlerCount, &error)) return "read";
  return error.Text();
}

TEST(FormImageReasons, EveryTruncationSaysWhatWasCutShortAndWhere) {
  const std::vector<uint8_t> image = WriteFormImage(SampleWindows());
  for (size_t length = 0; length < image.size(); ++length) {
    ReadError error;
    ASSERT_FALSE(ReadFormImage({image.data(), length}, kHandlerCount, &error)) << length;
    EXPECT_EQ(error.what.rfind("truncated ", 0), 0u) << length << ": " << error.Text();
    EXPECT_LE(error.at, length) << error.Text();
  }
  EXPECT_EQ(ReasonFor({image.data(), kUnitCountAt + 2}), "truncated form image at byte 36");
  EXPECT_EQ(ReasonFor({image.data(), kDataAt + 10}), "truncated unit record array at byte 40");
  std::vector<uint8_t> longer = image;
  longer.push_back(0);
  EXPECT_EQ(ReasonFor(longer), "bytes after the last window at byte " + std::to_string(image.size()));
}

TEST(FormImageReasons, BadCountsAndIdsAreNamedAtTheirByte) {
  const std::vector<uint8_t> image = WriteFormImage(SampleWindows());
  std::vector<uint8_t> bad = image;
  PutWord(bad, kUnitCountAt, 0);
  EXPECT_EQ(ReasonFor(bad), "bad unit count at byte 36");
  bad = image;
  PutWord(bad, kDataLengthAt, 0xFFFFFFFF);
  EXPECT_EQ(ReasonFor(bad), "bad unit record array length at byte 40");
  bad = image;
  PutWord(bad, 0, 12);
  EXPECT_EQ(ReasonFor(bad), "bad window map length at byte 0");

  const UnitRecordArray array = SampleArray();
  const size_t label = kDataAt + RecordAt(array, 4);
  bad = image;
  PutWord(bad, label + kChildCountAt, 1000);
  EXPECT_EQ(ReasonFor(bad), "bad child count at byte " + std::to_string(label + kChildCountAt));
  bad = image;
  PutWord(bad, label, 0x40000001);
  EXPECT_EQ(ReasonFor(bad), "bad unit type id at byte " + std::to_string(label));
  bad = image;
  PutWord(bad, kDataAt + 4, 0x10000000);
  EXPECT_EQ(ReasonFor(bad), "bad unit id at byte " + std::to_string(kDataAt + 4));

  const std::string handler = ReasonFor(image, 7);
  EXPECT_EQ(handler.rfind("bad handler reference at byte ", 0), 0u) << handler;
}

TEST(FormImageReasons, LinksBetweenUnitsAreCheckedAtTheField) {
  std::vector<std::vector<uint8_t>> records = Records();
  UnitRecordFields label = BareLabel();
  label.parent = 0x16999999;
  records[4] = EncodeUnitRecord(label);
  const UnitRecordArray array = UnitRecordArray::Build(Ids(), records);
  ReadError error;
  ASSERT_FALSE(UnitRecordArray::Parse(array.count(), array.data(), &error));
  EXPECT_EQ(error.Text(), "bad parent unit id at byte " + std::to_string(RecordAt(array, 4) + 50));
  MenuItemFields item = Menu(1, "关于", 5);
  item.shortcut = 77;
  records = Records();
  records[3] = EncodeMenuItem(item);
  const UnitRecordArray menus = UnitRecordArray::Build(Ids(), records);
  ASSERT_FALSE(UnitRecordArray::Parse(menus.count(), menus.data(), &error));
  EXPECT_EQ(error.Text(), "bad shortcut at byte " + std::to_string(RecordAt(menus, 3) + 26));
}

// Every field a record's list checks is named at its own byte: in a menu item with empty name
// and comment the level is at 30 and, after the caption "about", the handler at 44.
TEST(FormImageReasons, EachCheckedFieldOfARecordIsNamedAtItsByte) {
  MenuItemFields typed = Menu(1, "about", 5);
  typed.type = 0x1000B;
  std::vector<uint8_t> longer = EncodeMenuItem(Menu(1, "about", 5));
  longer.push_back(0);
  UnitRecordFields bound = BareLabel();
  bound.bindings = {{0, 99}};
  std::vector<uint8_t> negative = EncodeUnitRecord(BareLabel()), cut = negative, counted = negative;
  PutWord(negative, kCursorLengthAt, 0xFFFFFFFF);
  PutWord(cut, kCursorLengthAt, 1000);
  PutWord(counted, kBindingCountAt, 1000);
  struct Case {
    size_t index;
    std::vector<uint8_t> record;
    std::string what;
    size_t at;
  };
  const Case cases[] = {
      {3, EncodeMenuItem(typed), "bad menu item type id", 0},
      {3, EncodeMenuItem(Menu(-1, "about", 5)), "bad menu level", 30},
      {3, EncodeMenuItem(Menu(1, "about", 99)), "bad handler reference", 44},
      {3, longer, "bytes after the menu item record", longer.size() - 1},
      {4, EncodeUnitRecord(bound), "bad handler reference", kBindingCountAt + 8},
      {4, negative, "bad cursor data length", kCursorLengthAt},
      {4, cut, "truncated cursor data", kCursorLengthAt},
      {4, counted, "bad binding count", kBindingCountAt},
  };
  for (const Case& c : cases) {
    std::vector<std::vector<uint8_t>> records = Records();
    records[c.index] = c.record;
    const UnitRecordArray array = UnitRecordArray::Build(Ids(), records);
    ReadError error;
    ASSERT_FALSE(UnitRecordArray::Parse(array.count(), array.data(), &error, kHandlerCount)) << c.what;
    EXPECT_EQ(error.Text(), c.what + " at byte " + std::to_string(RecordAt(array, c.index) + c.at));
  }
}

TEST(UnitRecordArray, CountsAndRecordCountsMustFitTheData) {
  const UnitRecordArray array = SampleArray();
  EXPECT_TRUE(UnitRecordArray::Parse(array.count(), array.data()));
  for (int32_t count : {0, -1, array.count() - 1, array.count() + 1, 0x7FFFFFFF,
                        static_cast<int32_t>(0x80000000)}) {
    EXPECT_FALSE(UnitRecordArray::Parse(count, array.data())) << count;
  }
  // The bare label is record 4: children, cursor data, binding count.
  for (uint32_t value : {0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, 0x3FFFFFFFu, 1000u}) {
    EXPECT_FALSE(ParsesWith(4, kChildCountAt, value)) << value;
    EXPECT_FALSE(ParsesWith(4, kCursorLengthAt, value)) << value;
    EXPECT_FALSE(ParsesWith(4, kBindingCountAt, value)) << value;
    EXPECT_FALSE(ParsesWith(4, -4, value)) << value;  // the record length word
  }
}

TEST(UnitRecordArray, OffsetsMustPackTheRecordsInOrder) {
  const UnitRecordArray array = SampleArray();
  const size_t offsets = 4 * array.size();
  std::vector<uint8_t> data = array.data();
  PutWord(data, offsets, 4);  // record 0 not at the start
  EXPECT_FALSE(UnitRecordArray::Parse(array.count(), data));
  data = array.data();
  std::swap_ranges(data.begin() + offsets + 4, data.begin() + offsets + 8,
                   data.begin() + offsets + 8);  // records 1 and 2 swapped
  EXPECT_FALSE(UnitRecordArray::Parse(array.count(), data));
  data = array.data();
  PutWord(data, offsets + 4, 0xFFFFFFF0u);
  EXPECT_FALSE(UnitRecordArray::Parse(array.count(), data));
}

TEST(UnitRecordArray, RejectsMalformedRecords) {
  auto parses = [](std::vector<uint32_t> ids, std::vector<std::vector<uint8_t>> records) {
    const UnitRecordArray array = UnitRecordArray::Build(ids, records);
    return UnitRecordArray::Parse(array.count(), array.data()).has_value();
  };
  EXPECT_TRUE(parses(Ids(), Records()));

  std::vector<uint32_t> ids = Ids();
  ids[4] = kButtonId;
  EXPECT_FALSE(parses(ids, Records())) << "duplicate id";
  ids = Ids();
  ids[1] = 0x10000000;
  EXPECT_FALSE(parses(ids, Records())) << "id with zero type nibble";
  ids = Ids();
  std::swap(ids[0], ids[2]);
  EXPECT_FALSE(parses(ids, Records())) << "menu-item id on a unit record";

  std::vector<std::vector<uint8_t>> records = Records();
  UnitRecordFields label = BareLabel();
  label.parent = kLabelId;
  records[4] = EncodeUnitRecord(label);
  EXPECT_FALSE(parses(Ids(), records)) << "own parent";
  UnitRecordFields button = Button();
  button.parent = kLabelId;
  records = Records();
  records[1] = EncodeUnitRecord(button);
  EXPECT_FALSE(parses(Ids(), records)) << "parent cycle";
  button.parent = kMenuItemId;
  records[1] = EncodeUnitRecord(button);
  EXPECT_FALSE(parses(Ids(), records)) << "menu item as parent";
  button = Button();
  button.children = {0x16999999};
  records[1] = EncodeUnitRecord(button);
  EXPECT_FALSE(parses(Ids(), records)) << "unknown child";
  button.type = 0x10003;
  button.children.clear();
  records[1] = EncodeUnitRecord(button);
  EXPECT_FALSE(parses(Ids(), records)) << "menu type on a unit";
  button.type = 0x40000001;
  records[1] = EncodeUnitRecord(button);
  EXPECT_FALSE(parses(Ids(), records)) << "data type code as unit type";

  records = Records();
  UnitRecordFields window = WindowUnit();
  window.type = 0x1000B;
  records[0] = EncodeUnitRecord(window);
  EXPECT_FALSE(parses(Ids(), records)) << "record 0 not a window";

  records = Records();
  MenuItemFields item = Menu(-1, "关于", 5);
  records[3] = EncodeMenuItem(item);
  EXPECT_FALSE(parses(Ids(), records)) << "negative level";
  item = Menu(1, "关于", 5);
  item.type = 0x1000B;
  records[3] = EncodeMenuItem(item);
  EXPECT_FALSE(parses(Ids(), records)) << "menu item of another type";
  records[3] = EncodeMenuItem(Menu(1, "关于", 5));
  records[3].push_back(0);
  EXPECT_FALSE(parses(Ids(), records)) << "bytes after a menu item";
  records[3] = EncodeMenuItem(Menu(1, "关于", 5));
  records[3][39] = 0;  // inside the caption: the fields after it no longer end the record
  EXPECT_FALSE(parses(Ids(), records)) << "caption terminator moved";
}

TEST(UnitRecordArray, UnterminatedTextFails) {
  std::vector<std::vector<uint8_t>> records = Records();
  UnitRecordFields label = BareLabel();
  label.bindings.clear();
  std::vector<uint8_t> bytes = EncodeUnitRecord(label);
  bytes.resize(25);  // type, link, reserved and the first byte of the name only
  bytes[24] = 'x';
  records[4] = bytes;
  const UnitRecordArray array = UnitRecordArray::Build(Ids(), records);
  EXPECT_FALSE(UnitRecordArray::Parse(array.count(), array.data()));
}

TEST(UnitRecordArray, LooksRecordsUpByIdAndIndex) {
  const UnitRecordArray array = SampleArray();
  ASSERT_EQ(array.size(), 5u);
  EXPECT_EQ(array.IndexOf(kWindowId), 0u);
  EXPECT_EQ(array.IndexOf(kLabelId), 4u);
  EXPECT_EQ(array.IndexOf(kMenuItemId), 3u);
  EXPECT_FALSE(array.IndexOf(0x16777777));
  EXPECT_EQ(array.IdAt(1), kButtonId);
  EXPECT_TRUE(array.IsMenuItem(2));
  EXPECT_FALSE(array.IsMenuItem(1));
  EXPECT_FALSE(array.IsMenuItem(0));
}

TEST(UnitRecordArray, InPlaceWritesChangeOnlyTheirField) {
  UnitRecordArray array = SampleArray();
  const size_t length = array.data().size();
  array.SetObjectSlot(1, 0xDEADBEEF);
  array.SetCursorSlot(1, 0x1234);
  array.SetRect(1, -5, 6, 7, 8);
  array.SetFlags(1, UnitFlag::Disabled);
  array.SetMenuFlags(3, MenuFlag::Checked);
  array.SetMenuReserved0(3, 0xABCD);
  EXPECT_EQ(array.data().size(), length);
  EXPECT_EQ(array.ObjectSlot(1), 0xDEADBEEFu);
  EXPECT_EQ(array.CursorSlot(1), 0x1234u);

  UnitRecordFields expected = Button();
  expected.objectSlot = 0xDEADBEEF;
  expected.cursorSlot = 0x1234;
  expected.left = -5;
  expected.top = 6;
  expected.width = 7;
  expected.height = 8;
  expected.flags = UnitFlag::Disabled;
  ExpectSameUnit(array.Unit(1), expected);
  MenuItemFields item = Menu(1, "关于", 5, MenuFlag::Checked);
  item.reserved[0] = 0xABCD;
  EXPECT_EQ(EncodeMenuItem(array.MenuItem(3)), EncodeMenuItem(item));
  ExpectSameUnit(array.Unit(0), WindowUnit());
  ExpectSameUnit(array.Unit(4), BareLabel());
  EXPECT_EQ(array.ObjectSlot(0), 0u);
}

TEST(UnitRecordArray, RebuildsKeepTheOtherRecords) {
  UnitRecordArray array = SampleArray();
  const UnitRecordArray before = SampleArray();
  array.SetTag(1, "a much longer tag than before");
  array.SetCursorData(0, std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3});
  array.SetMenuCaption(2, "");
  array.SetTag(4, "x");
  ASSERT_TRUE(UnitRecordArray::Parse(array.count(), array.data()));

  UnitRecordFields button = Button();
  button.tag = "a much longer tag than before";
  ExpectSameUnit(array.Unit(1), button);
  UnitRecordFields window = WindowUnit();
  window.cursorData = {0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3};
  ExpectSameUnit(array.Unit(0), window);
  EXPECT_EQ(array.MenuItem(2).caption, "");
  EXPECT_EQ(array.MenuItem(2).flags, MenuFlag::Hidden);
  EXPECT_EQ(EncodeMenuItem(array.MenuItem(3)), EncodeMenuItem(before.MenuItem(3)));
  EXPECT_EQ(array.Unit(4).tag, "x");
  EXPECT_EQ(array.Unit(4).parent, kButtonId);

  array.SetTag(1, "tag");
  array.SetCursorData(0, {});
  array.SetMenuCaption(2, "设置");
  array.SetTag(4, "");
  EXPECT_EQ(array.data(), before.data());
}

TEST(UnitRecordArray, EmbeddedNulCannotSplitARecord) {
  UnitRecordArray array = SampleArray();
  array.SetTag(1, std::string_view("ab\0cd", 5));
  array.SetMenuCaption(3, std::string_view("x\0y", 3));
  ASSERT_TRUE(UnitRecordArray::Parse(array.count(), array.data()));
  EXPECT_EQ(array.Unit(1).tag, "ab");
  EXPECT_EQ(array.MenuItem(3).caption, "x");
}

TEST(UnitRecordArray, AccessOfTheWrongKindOrIndexChangesNothing) {
  UnitRecordArray array = SampleArray();
  const std::vector<uint8_t> before = array.data();
  array.SetTag(2, "menu items have no tag");
  array.SetFlags(3, 7);
  array.SetMenuCaption(1, "units have no caption");
  array.SetObjectSlot(99, 1);
  array.SetMenuFlags(99, 1);
  EXPECT_EQ(array.data(), before);
  EXPECT_EQ(array.IdAt(99), 0u);
  EXPECT_TRUE(array.PropertyBlock(2).empty());
}

}  // namespace
}  // namespace tl
