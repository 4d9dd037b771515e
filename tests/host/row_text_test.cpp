// The list view's row texts: pieces of one shared copy that outlive the text they were cut from,
// texts of their own, and the columns of a row. The host tests run under the address sanitizer,
// so a copy freed while a piece still reads it, or freed twice, fails here.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/row_text.h"

namespace tl {
namespace {

TEST(RowText, PiecesOfOneCopyOutliveTheWholeAndEachOther) {
  std::string source = "买菜\r\n写PPt\r\n";
  auto whole = std::make_unique<RowText>(source);
  source.assign(source.size(), 'x');  // the copy does not read the caller's text
  const std::string_view all = whole->view();
  std::vector<RowText> pieces = {whole->Piece(all.substr(0, 4)), whole->Piece(all.substr(6, 5)),
                                 whole->Piece(all.substr(6, 0))};
  whole.reset();
  EXPECT_EQ(pieces[0].view(), "买菜");
  EXPECT_EQ(pieces[1].view(), "写PPt");
  EXPECT_EQ(pieces[2].view(), "");
  RowText copied = pieces[1];
  pieces.erase(pieces.begin(), pieces.begin() + 2);
  EXPECT_EQ(copied.view(), "写PPt") << "a copy keeps the bytes the last piece read";
  RowText moved = std::move(copied);
  moved = moved;  // a text given itself stays
  EXPECT_EQ(moved.view(), "写PPt");
  moved = RowText("新的");
  EXPECT_EQ(moved.view(), "新的");
  EXPECT_EQ(RowText("").view(), "");
}

TEST(RowCells, EveryColumnReadsEmptyUntilGivenAndKeepsItsOwnText) {
  RowCells cells;
  EXPECT_EQ(cells.at(0), "");
  EXPECT_EQ(cells.at(7), "");
  cells.set(4, RowText("fifth"));
  cells.set(1, RowText("second"));
  cells.set(0, RowText("first"));
  EXPECT_EQ(cells.at(0), "first");
  EXPECT_EQ(cells.at(1), "second");
  EXPECT_EQ(cells.at(3), "") << "a column between two given ones";
  EXPECT_EQ(cells.at(4), "fifth");
  EXPECT_EQ(cells.at(5), "");
  cells.set(4, RowText());
  EXPECT_EQ(cells.at(4), "");
  const RowCells copy = cells;
  cells.set(0, RowText("changed"));
  EXPECT_EQ(copy.at(0), "first") << "a copied row keeps its texts";
}

}  // namespace
}  // namespace tl
