// Every row's texts of a list in one block, the form in which the list view hands its rows over
// in one read: the column count (four bytes, low byte first), then row by row each column's text
// ended by a zero byte, which no text holds. Written by the list view, read by whoever wants the
// whole list. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace tl {

inline constexpr size_t kRowTextsHeaderSize = 4;

// Writes the column count where the block starts; answers where the first text goes.
inline char* PutRowTextsHeader(char* out, uint32_t columns) {
  for (int shift = 0; shift < 32; shift += 8) *out++ = static_cast<char>(columns >> shift);
  return out;
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
    for (int i = 3; i >= 0; --i) columns_ = (columns_ << 8) | static_cast<uint8_t>(block[static_cast<size_t>(i)]);
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

}  // namespace tl
