#include "controls/slider_block.h"

#include <array>

#include "runtime/byte_io.h"

namespace tl {
namespace {

// The stored fields in stored order.
std::array<int32_t SliderBlock::*, 12> constexpr kFields = {
    &SliderBlock::border,        &SliderBlock::vertical,       &SliderBlock::tickMarks,
    &SliderBlock::tickFrequency, &SliderBlock::showSelection,  &SliderBlock::selectionStart,
    &SliderBlock::selectionLength, &SliderBlock::pageSize,     &SliderBlock::lineSize,
    &SliderBlock::minimum,       &SliderBlock::maximum,        &SliderBlock::position,
};

}  // namespace

std::optional<SliderBlock> SliderBlock::Read(std::span<const uint8_t> data) {
  SliderBlock block;
  if (data.empty()) return block;
  ByteReader reader(data);
  int32_t version = 0;
  if (!reader.Int32(version) || version < 0 || version > kVersion) return std::nullopt;
  for (auto field : kFields) {
    if (!reader.Int32(block.*field)) return std::nullopt;
  }
  return block;
}

std::vector<uint8_t> SliderBlock::Write() const {
  ByteWriter writer;
  writer.Int32(kVersion);
  for (auto field : kFields) writer.Int32(this->*field);
  return writer.Take();
}

}  // namespace tl
