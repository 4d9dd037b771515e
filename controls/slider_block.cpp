#include "controls/slider_block.h"

#include "runtime/byte_io.h"

namespace tl {
namespace {

// The stored fields in stored order.
struct Field {
  const char* name;
  int32_t SliderBlock::*member;
};
constexpr Field kFields[] = {
    {"border", &SliderBlock::border},
    {"vertical", &SliderBlock::vertical},
    {"tick marks", &SliderBlock::tickMarks},
    {"tick frequency", &SliderBlock::tickFrequency},
    {"show selection", &SliderBlock::showSelection},
    {"selection start", &SliderBlock::selectionStart},
    {"selection length", &SliderBlock::selectionLength},
    {"page size", &SliderBlock::pageSize},
    {"line size", &SliderBlock::lineSize},
    {"minimum", &SliderBlock::minimum},
    {"maximum", &SliderBlock::maximum},
    {"position", &SliderBlock::position},
};

}  // namespace

std::optional<SliderBlock> SliderBlock::Read(std::span<const uint8_t> data, BlockError* error) {
  SliderBlock block;
  if (data.empty()) return block;
  BlockReader r(data, "slider bar block");
  int32_t version = 0;
  r.Version(kVersion, version);
  for (const Field& field : kFields) r.Int32(field.name, block.*field.member);
  return r.Finish(block, error);
}

std::vector<uint8_t> SliderBlock::Write() const {
  ByteWriter writer;
  writer.Int32(kVersion);
  for (const Field& field : kFields) writer.Int32(this->*field.member);
  return writer.Take();
}

}  // namespace tl
