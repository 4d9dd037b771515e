#include "controls/edit_box_block.h"

#include <algorithm>

#include "runtime/byte_io.h"

namespace tl {

std::optional<EditBoxBlock> EditBoxBlock::Read(std::span<const uint8_t> block, BlockError* error) {
  EditBoxBlock b;
  if (block.empty()) return b;
  BlockReader r(block, "edit box block");
  int32_t version = 0;
  r.Version(kVersion, version);
  r.Int32("border", b.border).Uint32("text colour", b.textColour).Uint32("back colour", b.backColour);
  r.Int32("hide selection", b.hideSelection).Int32("maximum length", b.maxLength);
  r.Int32("multi-line", b.multiLine).Int32("scroll bars", b.scrollBars).Int32("alignment", b.alignment);
  r.Int32("input mode", b.inputMode);
  std::span<const uint8_t> password;
  if (r.Bytes("password character", 2, password).ok())
    b.passwordChar = static_cast<uint16_t>(password[0] | (password[1] << 8));
  r.Int32("letter case", b.letterCase).Int32("spin control", b.spinControl);
  r.Int32("spin minimum", b.spinMinimum).Int32("spin maximum", b.spinMaximum);
  r.Int32("selection start", b.selectionStart).Int32("selection length", b.selectionLength);
  r.CountedBytes("font", b.font).CountedText("content", b.content);
  if (version >= 2) r.CountedText("data 1", b.data1).CountedText("data 2", b.data2);
  return r.Finish(b, error);
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
