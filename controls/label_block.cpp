#include "controls/label_block.h"

#include "runtime/byte_io.h"

namespace tl {

std::optional<LabelBlock> LabelBlock::Read(std::span<const uint8_t> block, BlockError* error) {
  LabelBlock b;
  if (block.empty()) return b;
  BlockReader r(block, "label block");
  int32_t version = 0;
  r.Version(kVersion, version);
  r.Int32("text effect", b.textEffect).Int32("effect depth", b.effectDepth).Int32("border style", b.borderStyle);
  r.Uint32("shadow colour", b.shadowColour).Uint32("highlight colour", b.highlightColour);
  r.Uint32("border colour", b.borderColour).Uint32("text colour", b.textColour).Uint32("back colour", b.backColour);
  r.Int32("background mode", b.backgroundMode).Int32("gradient style", b.gradientStyle);
  r.Uint32("gradient colour 1", b.gradientColour1).Uint32("gradient colour 2", b.gradientColour2);
  r.Uint32("gradient colour 3", b.gradientColour3);
  r.Int32("horizontal alignment", b.horizontalAlign).Int32("vertical alignment", b.verticalAlign);
  r.Int32("word wrap", b.wordWrap);
  r.CountedBytes("font", b.font).CountedBytes("back picture", b.backPicture).CountedText("caption", b.caption);
  if (version >= 2) r.CountedText("data 1", b.data1).CountedText("data 2", b.data2);
  return r.Finish(b, error);
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
