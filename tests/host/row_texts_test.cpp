// The blocks a list view hands its rows over in: the texts of every row, and the changes since a
// reader's copy. A block that does not hold what it says must never be taken for a shorter list
// of changes, which would leave a saved file missing rows.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "runtime/row_texts.h"

namespace tl {
namespace {

std::vector<std::pair<std::string, uint32_t>> TextsOf(std::string_view block) {
  std::vector<std::pair<std::string, uint32_t>> texts;
  RowTextsReader reader(block);
  std::string_view text;
  uint32_t column = 0;
  while (reader.Next(text, column)) texts.emplace_back(text, column);
  return texts;
}

TEST(RowTexts, TextsComeRowByRowWithTheirColumns) {
  using Texts = std::vector<std::pair<std::string, uint32_t>>;
  EXPECT_EQ(TextsOf(RowTextsBlock(2, {"写PPt", "", "b", "c"})), (Texts{{"写PPt", 0}, {"", 1}, {"b", 0}, {"c", 1}}));
  EXPECT_EQ(TextsOf(RowTextsBlock(3, {})), Texts{});
  // The last text may lack its zero byte.
  std::string unended = RowTextsBlock(1, {"a"});
  unended += "tail";
  EXPECT_EQ(TextsOf(unended), (Texts{{"a", 0}, {"tail", 0}}));
  // No column, or a header cut short, holds no text.
  EXPECT_EQ(TextsOf(RowTextsBlock(0, {"a", "b"})), Texts{});
  EXPECT_EQ(TextsOf(std::string("\x01\0\0", 3)), Texts{});
  EXPECT_EQ(RowTextsReader(RowTextsBlock(0x01020304, {})).columns(), 0x01020304u);
}

TEST(RowChanges, ABlockGivesBackTheChangesItWasMadeOf) {
  const std::vector<RowChange> changes{{RowChangeKind::Inserted, 0},
                                       {RowChangeKind::TextSet, 99999},
                                       {RowChangeKind::Deleted, 7}};
  EXPECT_EQ(ReadRowChanges(RowChangesBlock(&changes)), changes);
  const std::vector<RowChange> none;
  EXPECT_EQ(ReadRowChanges(RowChangesBlock(&none)), none);
  // Changes no longer all known: the reader must read every row.
  EXPECT_EQ(RowChangesBlock(nullptr), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(ReadRowChanges(RowChangesBlock(nullptr)), std::nullopt);
}

TEST(RowChanges, ABlockThatDoesNotHoldWhatItSaysIsRefused) {
  const std::vector<RowChange> two{{RowChangeKind::Inserted, 1}, {RowChangeKind::Deleted, 2}};
  const std::vector<uint8_t> block = RowChangesBlock(&two);
  for (size_t size = 0; size < block.size(); ++size) {
    EXPECT_EQ(ReadRowChanges(std::span(block).first(size)), std::nullopt) << size << " bytes";
  }
  std::vector<uint8_t> counted = block;
  for (uint8_t count : {1, 3, 0x80}) {
    counted[0] = count;
    EXPECT_EQ(ReadRowChanges(counted), std::nullopt) << "count " << int{count};
  }
  std::vector<uint8_t> kinds = block;
  for (uint8_t kind : {0, 4, 0xFF}) {
    kinds[4] = kind;
    EXPECT_EQ(ReadRowChanges(kinds), std::nullopt) << "kind " << int{kind};
  }
}

}  // namespace
}  // namespace tl
