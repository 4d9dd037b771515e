#include "controls/edit_box_block.h"

#include <algorithm>

#include "runtime/byte_io.h"

namespace tl {

std::optional<EditBoxBlock> EditBoxBlock::Read(std::span<const uint8_t> block) {
  EditBoxBlock b;
  if (block.empty()) return b;
  ByteReader r(block);
  int32_t version = 0;
  if (!r.Int32(version) || version > kVersion) return std::nullopt;
  r.Int32(b.border);
  r.Uint32(b.textColour);
  r.Uint32(b.backColour);
  r.Int32(b.hideSelection);
  r.Int32(b.maxLength);
  r.Int32(b.multiLine);
  r.Int32(b.scrollBars);
  r.Int32(b.alignment);
  r.Int32(b.inputMode);
  std::span<const uint8_t> password;
  if (r.Bytes(2, password)) b.passwordChar = static_cast<uint16_t>(password[0] | (password[1] << 8));
  r.Int32(b.letterCase);
  r.Int32(b.spinControl);
  r.Int32(b.spinMinimum);
  r.Int32(b.spinMaximum);
  r.Int32(b.selectionStart);
  r.Int32(b.selectionLength);
  r.CountedBytes(b.font);
  r.CountedText(b.content);
  if (version >= 2) {
    r.CountedText(b.data1);
    r.CountedText(b.data2);
  }
  if (!r.ok()) return std::nullopt;
  return b;
}

std::vector<uint8_t> EditBoxBlock::Write() const {
  ByteWriter w;
  w.Int32(kVersion).Int32(border).Uint32(textColour).Uint32(backColour).Int32(hideSelection);
  w.Int32(maxLength).Int32(multiLine).Int32(scrollBars).Int32(alignment).Int32(inputMode);
  const uint8_t password[2] = {static_cast<uint8_t>(passwordChar & 0xFF),
                               static_cast<uint8_t>(passwordChar >> 8)};
  w.Bytes(password);
  w.Int32(letterCase).Int32(spinControl).Int32(spinMinimum).Int32(spinMaximum);
  w.Int32(selectionStart).Int32(selectionLength);
  w.CountedBytes(font).CountedText(content).CountedText(data1).CountedText(data2);
  return w.Take();
}

std::string ShortIntegerText(std::string_view text) {
  std::string kept;
  for (char c : text) {
    if (c == '-' ? kept.empty() : (c >= '0' && c <= '9')) kept.push_back(c);
  }
  const bool negative = !kept.empty() && kept[0] == '-';
  const std::string_view digits = std::string_view(kept).substr(negative ? 1 : 0);
  if (digits.empty()) return kept;
  // Accumulate with a cap so that any number of digits stays in range.
  int32_t magnitude = 0;
  for (char c : digits) magnitude = std::min<int32_t>(magnitude * 10 + (c - '0'), 100000);
  if (negative && magnitude > 32768) return "-32768";
  if (!negative && magnitude > 32767) return "32767";
  return kept;
}

}  // namespace tl
