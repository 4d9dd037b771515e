// The cut that SplitText and the list's line loading share, on texts in blocks of exactly their
// size: a step over a character never reads past the text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/text_pieces.h"
#include "tests/exact_text.h"

namespace tl {
namespace {

TEST(TextPieces, CutsAtDelimitersStepsOverCharactersAndReadsNothingPastTheText) {
  using V = std::vector<std::string>;
  const struct {
    std::string_view text, delimiter;
    V pieces;
  } cases[] = {
      {"a,b,", ",", {"a", "b"}},
      {"\x81,", ",", {"\x81,"}},                          // the comma is the character's trail byte
      {"a,\x81", ",", {"a", "\x81"}},                     // a lone lead byte at the very end
      {"\x81", "A", {"\x81"}},
      {"\x80,\xFF,", ",", {"\x80", "\xFF"}},              // the euro sign and 0xFF are one byte each
      {"1200\x80\r\nx\r\n", "\r\n", {"1200\x80", "x"}},
      {"\xB0\xA1\r\n\xB0", "\r\n", {"\xB0\xA1", "\xB0"}},
      {"", ",", {}},
  };
  for (const auto& c : cases) {
    const test::ExactText text(c.text), delimiter(c.delimiter);
    V pieces;
    for (std::string_view piece : SplitPieces(text, delimiter)) pieces.emplace_back(piece);
    EXPECT_EQ(pieces, c.pieces) << "\"" << c.text << "\" at \"" << c.delimiter << "\"";
  }
}

}  // namespace
}  // namespace tl
