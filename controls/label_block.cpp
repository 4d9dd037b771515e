#include "controls/label_block.h"

#include "runtime/byte_io.h"

namespace tl {

std::optional<LabelBlock> LabelBlock::Read(std::span<const uint8_t> block) {
  LabelBlock b;
  if (block.empty()) return b;
  ByteReader r(block);
  int32_t version = 0;
  if (!r.Int32(version) || version > kVersion) return std::nullopt;
  r.Int32(b.textEffect);
  r.Int32(b.effectDepth);
  r.Int32(b.borderStyle);
  r.Uint32(b.shadowColour);
  r.Uint32(b.highlightColour);
  r.Uint32(b.borderColour);
  r.Uint32(b.textColour);
  r.Uint32(b.backColour);
  r.Int32(b.backgroundMode);
  r.Int32(b.gradientStyle);
  r.Uint32(b.gradientColour1);
  r.Uint32(b.gradientColour2);
  r.Uint32(b.gradientColour3);
  r.Int32(b.horizontalAlign);
  r.Int32(b.verticalAlign);
  r.Int32(b.wordWrap);
  r.CountedBytes(b.font);
  r.CountedBytes(b.backPicture);
  r.CountedText(b.caption);
  if (version >= 2) {
    r.CountedText(b.data1);
    r.CountedText(b.data2);
  }
  if (!r.ok()) return std::nullopt;
  return b;
}

std::vector<uint8_t> LabelBlock::Write() const {
  ByteWriter w;
  w.Int32(kVersion).Int32(textEffect).Int32(effectDepth).Int32(borderStyle);
  w.Uint32(shadowColour).Uint32(highlightColour).Uint32(borderColour);
  w.Uint32(textColour).Uint32(backColour).Int32(backgroundMode).Int32(gradientStyle);
  w.Uint32(gradientColour1).Uint32(gradientColour2).Uint32(gradientColour3);
  w.Int32(horizontalAlign).Int32(verticalAlign).Int32(wordWrap);
  w.CountedBytes(font).CountedBytes(backPicture).CountedText(caption);
  w.CountedText(data1).CountedText(data2);
  return w.Take();
}

}  // namespace tl
