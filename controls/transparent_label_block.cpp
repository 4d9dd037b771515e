#include "controls/transparent_label_block.h"

#include "runtime/byte_io.h"

namespace tl {

std::optional<TransparentLabelBlock> TransparentLabelBlock::Read(std::span<const uint8_t> block) {
  TransparentLabelBlock b;
  if (block.empty()) return b;
  ByteReader r(block);
  int32_t version = 0;
  if (!r.Int32(version) || version > kVersion) return std::nullopt;
  r.Int32(b.effect);
  r.Uint32(b.textColour);
  r.Int32(b.horizontalAlign);
  r.Int32(b.verticalAlign);
  r.Int32(b.wordWrap);
  r.CountedBytes(b.font);
  r.CountedText(b.caption);
  if (!r.ok()) return std::nullopt;
  b.effect = ClampProperty(b.effect, 3);
  b.horizontalAlign = ClampProperty(b.horizontalAlign, 2);
  b.verticalAlign = ClampProperty(b.verticalAlign, 2);
  return b;
}

std::vector<uint8_t> TransparentLabelBlock::Write() const {
  ByteWriter w;
  w.Int32(kVersion).Int32(effect).Uint32(textColour).Int32(horizontalAlign).Int32(verticalAlign);
  w.Int32(wordWrap).CountedBytes(font).CountedText(caption);
  return w.Take();
}

}  // namespace tl
