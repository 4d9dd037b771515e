// How a list view hands its rows over to a reader that keeps its own copy of their texts: every
// row's texts in one block, or what changed since the reader's copy. Written by the list view,
// read by whoever wants the whole list. Portable.
//
// The block of texts: the column count (a word as runtime/byte_io.h keeps it), then row by row each
// column's text ended by a zero byte, which no text holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/byte_io.h"

namespace tl {

inline constexpr size_t kRowTextsHeaderSize = 4;

// Writes the column count where the block starts; answers where the first text goes.
inline char* PutRowTextsHeader(char* out, uint32_t columns) {
  PutUint32Le(reinterpret_cast<uint8_t*>(out), columns);
  return out + kRowTextsHeaderSize;
}

// A whole block, for callers that build one from texts at hand.
inline std::string RowTextsBlock(uint32_t columns, std::initializer_list<std::string_view> texts) {
  std::string block(kRowTextsHeaderSize, '\0');
  PutRowTextsHeader(block.data(), columns);
  for (std::string_view text : texts) (block += text) += '\0';
  return block;
}

// The texts of a block in order, row by row and column by column. A block too short for its
// count, or with no column, holds no text; a last text may lack its zero byte.
class RowTextsReader {
 public:
  explicit RowTextsReader(std::string_view block) {
    if (block.size() < kRowTextsHeaderSize) return;
    columns_ = Uint32Le(reinterpret_cast<const uint8_t*>(block.data()));
    if (columns_ != 0) rest_ = block.substr(kRowTextsHeaderSize);
  }

  uint32_t columns() const { return columns_; }
  // The next text and its column; false once every text is read.
  bool Next(std::string_view& text, uint32_t& column) {
    if (rest_.empty()) return false;
    const size_t end = rest_.find('\0');
    text = rest_.substr(0, end);
    rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
    column = column_;
    column_ = column_ + 1 == columns_ ? 0 : column_ + 1;
    return true;
  }

 private:
  uint32_t columns_ = 0;
  uint32_t column_ = 0;
  std::string_view rest_;
};

// One change of a list's rows, with the index its row had when it happened.
enum class RowChangeKind : int32_t { Inserted = 1, Deleted = 2, TextSet = 3 };
struct RowChange {
  RowChangeKind kind;
  int32_t row;
  friend bool operator==(const RowChange&, const RowChange&) = default;
};

// The changes since a change count, oldest first, as the list view answers them: a count, then
// each change's kind and row, all words as runtime/byte_io.h keeps them. A count of -1
// says the list no longer knows them all, and the reader must read every row.
std::vector<uint8_t> RowChangesBlock(const std::vector<RowChange>* changes);
// Nothing for -1 or for a block that does not hold what its count says.
std::optional<std::vector<RowChange>> ReadRowChanges(std::span<const uint8_t> block);

}  // namespace tl
