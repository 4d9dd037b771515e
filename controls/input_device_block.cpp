#include "controls/input_device_block.h"

#include "runtime/byte_io.h"

namespace tl {

std::optional<InputDeviceBlock> InputDeviceBlock::Read(std::span<const uint8_t> block, BlockError* error) {
  InputDeviceBlock b;
  if (block.empty()) return b;
  BlockReader r(block, "input device block");
  int32_t version = 0;
  const std::span<const uint8_t> rest = r.Version(kVersion, version).Rest();
  b.rest.assign(rest.begin(), rest.end());
  return r.Finish(b, error);
}

std::vector<uint8_t> InputDeviceBlock::Write() const {
  if (rest.empty()) return {};
  ByteWriter w;
  w.Int32(kVersion).Bytes(rest);
  return w.Take();
}

}  // namespace tl
