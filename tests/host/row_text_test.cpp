// The list view's row texts: pieces of one shared copy outlive the text they were cut from and
// each other. The host tests run under the address sanitizer, so a copy freed while a piece
// still reads it, or freed twice, fails here.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/row_text.h"

namespace tl {
namespace {

TEST(RowText, PiecesOfOneCopyOutliveTheWholeAndEachOtherAndCellsReadEmptyUntilGiven) {
  auto whole = std::make_unique<RowText>("买菜\r\n写PPt\r\n");
  const std::string_view all = whole->view();
  std::vector<RowText> pieces = {whole->Piece(all.substr(0, 4)), whole->Piece(all.substr(6, 5))};
  whole.reset();
  RowText kept = pieces[1];
  pieces.clear();
  EXPECT_EQ(kept.view(), "写PPt") << "a copy keeps the bytes the last piece read";
  RowCells cells;
  cells.set(3, std::move(kept));
  cells.set(0, RowText("first"));
  const RowCells copy = cells;
  cells.set(0, RowText());
  EXPECT_EQ(copy.at(0), "first");
  EXPECT_EQ(copy.at(3), "写PPt");
  EXPECT_EQ(cells.at(0), "");
  EXPECT_EQ(cells.at(1), "") << "a column between two given ones";
  EXPECT_EQ(cells.at(9), "");
}

}  // namespace
}  // namespace tl
