#include "controls/timer_block.h"

#include "runtime/byte_io.h"

namespace tl {

std::optional<TimerBlock> TimerBlock::Read(std::span<const uint8_t> data) {
  TimerBlock block;
  if (data.empty()) return block;
  ByteReader reader(data);
  int32_t version = 0;
  if (!reader.Int32(version) || version < 0 || version > kVersion) return std::nullopt;
  if (!reader.Int32(block.interval)) return std::nullopt;
  return block;
}

std::vector<uint8_t> TimerBlock::Write() const {
  ByteWriter writer;
  writer.Int32(kVersion).Int32(interval);
  return writer.Take();
}

}  // namespace tl
