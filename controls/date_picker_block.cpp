#include "controls/date_picker_block.h"

#include <cstring>

#include "runtime/byte_io.h"

namespace tl {
namespace {

bool ReadDouble(ByteReader& r, double& value) {
  std::span<const uint8_t> bytes;
  if (!r.Bytes(sizeof value, bytes)) return false;
  std::memcpy(&value, bytes.data(), sizeof value);
  return true;
}

void WriteDouble(ByteWriter& w, double value) {
  uint8_t bytes[sizeof value];
  std::memcpy(bytes, &value, sizeof value);
  w.Bytes(bytes);
}

}  // namespace

std::optional<DatePickerBlock> DatePickerBlock::Read(std::span<const uint8_t> block) {
  DatePickerBlock b;
  if (block.empty()) return b;
  ByteReader r(block);
  int32_t version = 0;
  if (!r.Int32(version) || version > kVersion) return std::nullopt;
  r.Int32(b.dropDownCalendar);
  r.Int32(b.format);
  ReadDouble(r, b.value);
  ReadDouble(r, b.earliest);
  ReadDouble(r, b.latest);
  r.Int32(b.border);
  r.CountedBytes(b.font);
  if (version >= 2) {
    r.CountedText(b.data1);
    r.CountedText(b.data2);
  }
  if (!r.ok()) return std::nullopt;
  return b;
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
