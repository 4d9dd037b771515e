#include "controls/transparent_label_block.h"

#include "runtime/byte_io.h"

namespace tl {

std::optional<TransparentLabelBlock> TransparentLabelBlock::Read(std::span<const uint8_t> block,
                                                                 BlockError* error) {
  TransparentLabelBlock b;
  if (block.empty()) return b;
  BlockReader r(block, "transparent label block");
  int32_t version = 0;
  r.Version(kVersion, version).Int32("effect", b.effect).Uint32("text colour", b.textColour);
  r.Int32("horizontal alignment", b.horizontalAlign).Int32("vertical alignment", b.verticalAlign);
  r.Int32("word wrap", b.wordWrap).CountedBytes("font", b.font).CountedText("caption", b.caption);
  b.effect = ClampProperty(b.effect, 3);
  b.horizontalAlign = ClampProperty(b.horizontalAlign, 2);
  b.verticalAlign = ClampProperty(b.verticalAlign, 2);
  return r.Finish(b, error);
}

std::vector<uint8_t> TransparentLabelBlock::Write() const {
  ByteWriter w;
  w.Int32(kVersion).Int32(effect).Uint32(textColour).Int32(horizontalAlign).Int32(verticalAlign);
  w.Int32(wordWrap).CountedBytes(font).CountedText(caption);
  return w.Take();
}

}  // namespace tl
