#include "controls/button_block.h"

#include "runtime/byte_io.h"

namespace tl {

std::optional<ButtonBlock> ButtonBlock::Read(std::span<const uint8_t> block) {
  ButtonBlock b;
  if (block.empty()) return b;
  ByteReader r(block);
  int32_t version = 0;
  if (!r.Int32(version) || version > kVersion) return std::nullopt;
  r.Int32(b.kind);
  r.Int32(b.horizontalAlign);
  r.Int32(b.verticalAlign);
  r.CountedBytes(b.picture);
  r.CountedBytes(b.font);
  r.CountedText(b.caption);
  if (!r.ok()) return std::nullopt;
  return b;
}

std::vector<uint8_t> ButtonBlock::Write() const {
  ByteWriter w;
  w.Int32(kVersion).Int32(kind).Int32(horizontalAlign).Int32(verticalAlign);
  w.CountedBytes(picture).CountedBytes(font).CountedText(caption);
  return w.Take();
}

}  // namespace tl
