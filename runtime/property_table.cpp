#include "runtime/property_table.h"

#include <cstring>

#include "runtime/value.h"

namespace tl {

PropertyValue IntValue(int32_t v) { return {static_cast<uint32_t>(v), 0}; }
PropertyValue TextValue(std::string_view gbk) { return {PointerWord(NewText(gbk)), 0}; }
PropertyValue BytesValue(std::span<const uint8_t> bytes) { return {PointerWord(NewByteSet(bytes)), 0}; }
PropertyValue DoubleValue(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return {static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32)};
}
int32_t ValueInt(PropertyValue v) { return static_cast<int32_t>(v.low); }
std::string ValueText(PropertyValue v) { return std::string(TextView(WordPointer<const char*>(v.low))); }
std::vector<uint8_t> ValueBytes(PropertyValue v) {
  const std::span<const uint8_t> bytes = ByteSetView(WordPointer<const void*>(v.low));
  return {bytes.begin(), bytes.end()};
}
double ValueDouble(PropertyValue v) {
  const uint64_t bits = (uint64_t{v.high} << 32) | v.low;
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

}  // namespace tl
