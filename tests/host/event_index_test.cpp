#include "runtime/event_index.h"

#include <gtest/gtest.h>

#include <vector>

namespace tl {
namespace {

constexpr uint32_t kWindowId = 0x06010000;
constexpr uint32_t kFirstButton = 0x16010001;
constexpr uint32_t kLinkedButton = 0x16010002;
constexpr uint32_t kLinkedLabel = 0x16010003;
constexpr uint32_t kMenuItem = 0x26010004;

UnitRecordFields Unit(uint32_t type, std::vector<EventBinding> bindings, uint32_t link = 0) {
  UnitRecordFields f;
  f.type = type;
  f.link = link;
  f.bindings = std::move(bindings);
  return f;
}

// A window, a button, a second button sharing the first one's bindings through its link, a
// label whose link names a unit of another type, and a menu item.
UnitRecordArray Sample() {
  MenuItemFields item;
  item.caption = "关于";
  item.handler = 6;
  return UnitRecordArray::Build(
      std::vector<uint32_t>{kWindowId, kFirstButton, kLinkedButton, kLinkedLabel, kMenuItem},
      {EncodeUnitRecord(Unit(0x10001, {{0, 1}, {12, 2}})),
       EncodeUnitRecord(Unit(0x1000B, {{0, 3}, {-4, 4}, {0, 9}})),
       EncodeUnitRecord(Unit(0x1000B, {{0, 5}}, kFirstButton)),
       EncodeUnitRecord(Unit(0x1000A, {{-1, 7}}, kFirstButton)), EncodeMenuItem(item)});
}

TEST(EventIndex, FindsRecordsByIdWithZeroForTheWindow) {
  const EventIndex index(Sample());
  EXPECT_EQ(index.RecordOf(0), 0u);
  EXPECT_EQ(index.RecordOf(kWindowId), 0u);
  EXPECT_EQ(index.RecordOf(kLinkedLabel), 3u);
  EXPECT_EQ(index.RecordOf(kMenuItem), 4u);
  EXPECT_FALSE(index.RecordOf(0x16999999));
  EXPECT_FALSE(EventIndex().RecordOf(0));
}

TEST(EventIndex, TheFirstBindingOfAnEventWins) {
  const EventIndex index(Sample());
  EXPECT_EQ(index.HandlerOf(0, 12), 2);
  EXPECT_EQ(index.HandlerOf(1, 0), 3);
  EXPECT_EQ(index.HandlerOf(1, -4), 4);
  EXPECT_EQ(index.HandlerOf(1, -1), kNoHandler);
  EXPECT_EQ(index.TypeOf(1), 0x1000Bu);
}

// Whether a window needs the runtime's focus watch at all.
TEST(EventIndex, BindsAnEventOnlyThroughABindingWithAHandler) {
  const EventIndex index(Sample());
  EXPECT_TRUE(index.Binds(12));
  EXPECT_TRUE(index.Binds(-1)) << "the label's own binding";
  EXPECT_FALSE(index.Binds(-7));
  const EventIndex unbound(UnitRecordArray::Build(std::vector<uint32_t>{kWindowId},
                                                  {EncodeUnitRecord(Unit(0x10001, {{-7, kNoHandler}}))}));
  EXPECT_FALSE(unbound.Binds(-7)) << "a binding that names no handler";
  EXPECT_FALSE(EventIndex().Binds(0));
}

TEST(EventIndex, LinksToTheSameTypeShareBindingsAndOthersAreNotFollowed) {
  const EventIndex index(Sample());
  EXPECT_EQ(index.HandlerOf(2, 0), 3) << "the linked button answers with the first one's";
  EXPECT_EQ(index.HandlerOf(2, -4), 4);
  EXPECT_EQ(index.HandlerOf(3, -1), 7) << "a label keeps its own bindings";
  EXPECT_EQ(index.TypeOf(3), 0x1000Au);
}

TEST(EventIndex, AMenuItemIsChosenThroughItsOwnHandlerOnly) {
  const EventIndex index(Sample());
  EXPECT_EQ(index.TypeOf(4), 0x10003u);
  EXPECT_EQ(index.HandlerOf(4, 0), 6);
  EXPECT_EQ(index.HandlerOf(4, 1), kNoHandler);
  EXPECT_EQ(index.HandlerOf(99, 0), kNoHandler);
}

}  // namespace
}  // namespace tl
