#include "controls/date_picker_block.h"

#include <cstring>

#include "runtime/byte_io.h"

namespace tl {
namespace {

void WriteDouble(ByteWriter& w, double value) {
  uint8_t bytes[sizeof value];
  std::memcpy(bytes, &value, sizeof value);
  w.Bytes(bytes);
}

}  // namespace

std::optional<DatePickerBlock> DatePickerBlock::Read(std::span<const uint8_t> block, BlockError* error) {
  DatePickerBlock b;
  if (block.empty()) return b;
  BlockReader r(block, "date picker block");
  int32_t version = 0;
  r.Version(kVersion, version).Int32("drop-down calendar", b.dropDownCalendar).Int32("format", b.format);
  r.Double("value", b.value).Double("earliest", b.earliest).Double("latest", b.latest);
  r.Int32("border", b.border).CountedBytes("font", b.font);
  if (version >= 2) r.CountedText("data 1", b.data1).CountedText("data 2", b.data2);
  return r.Finish(b, error);
}

std::vector<uint8_t> DatePickerBlock::Write() const {
  ByteWriter w;
  w.Int32(kVersion).Int32(dropDownCalendar).Int32(format);
  WriteDouble(w, value);
  WriteDouble(w, earliest);
  WriteDouble(w, latest);
  w.Int32(border).CountedBytes(font).CountedText(data1).CountedText(data2);
  return w.Take();
}

}  // namespace tl
