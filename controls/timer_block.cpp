#include "controls/timer_block.h"

#include "runtime/byte_io.h"

namespace tl {

std::optional<TimerBlock> TimerBlock::Read(std::span<const uint8_t> data, BlockError* error) {
  TimerBlock block;
  if (data.empty()) return block;
  BlockReader r(data, "timer block");
  int32_t version = 0;
  r.Version(kVersion, version).Int32("interval", block.interval);
  return r.Finish(block, error);
}

std::vector<uint8_t> TimerBlock::Write() const {
  ByteWriter writer;
  writer.Int32(kVersion).Int32(interval);
  return writer.Take();
}

}  // namespace tl
