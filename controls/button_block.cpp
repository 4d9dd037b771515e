#include "controls/button_block.h"

#include "runtime/byte_io.h"

namespace tl {

std::optional<ButtonBlock> ButtonBlock::Read(std::span<const uint8_t> block, BlockError* error) {
  ButtonBlock b;
  if (block.empty()) return b;
  BlockReader r(block, "button block");
  int32_t version = 0;
  r.Version(kVersion, version).Int32("kind", b.kind).Int32("horizontal alignment", b.horizontalAlign);
  r.Int32("vertical alignment", b.verticalAlign).CountedBytes("picture", b.picture).CountedBytes("font", b.font);
  r.CountedText("caption", b.caption);
  return r.Finish(b, error);
}

std::vector<uint8_t> ButtonBlock::Write() const {
  ByteWriter w;
  w.Int32(kVersion).Int32(kind).Int32(horizontalAlign).Int32(verticalAlign);
  w.CountedBytes(picture).CountedBytes(font).CountedText(caption);
  return w.Take();
}

}  // namespace tl
