#include "controls/input_device_block.h"

#include "runtime/byte_io.h"

namespace tl {

std::optional<InputDeviceBlock> InputDeviceBlock::Read(std::span<const uint8_t> block) {
  InputDeviceBlock b;
  if (block.empty()) return b;
  ByteReader r(block);
  int32_t version = 0;
  if (!r.Int32(version) || version > kVersion) return std::nullopt;
  std::span<const uint8_t> rest;
  r.Bytes(r.remaining(), rest);
  b.rest.assign(rest.begin(), rest.end());
  return b;
}

std::vector<uint8_t> InputDeviceBlock::Write() const {
  if (rest.empty()) return {};
  ByteWriter w;
  w.Int32(kVersion).Bytes(rest);
  return w.Take();
}

}  // namespace tl
