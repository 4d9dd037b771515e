#include "runtime/byte_io.h"

#include <cstring>

namespace tl {

bool ByteReader::Bytes(size_t count, std::span<const uint8_t>& value) {
  if (!ok_ || count > bytes_.size() - position_) return Fail();
  value = bytes_.subspan(position_, count);
  position_ += count;
  return true;
}

bool ByteReader::Uint32(uint32_t& value) {
  std::span<const uint8_t> b;
  if (!Bytes(4, b)) return false;
  value = Uint32Le(b.data());
  return true;
}

bool ByteReader::Int32(int32_t& value) {
  uint32_t raw;
  if (!Uint32(raw)) return false;
  value = static_cast<int32_t>(raw);
  return true;
}

template <typename Container>
bool ByteReader::Counted(Container& value) {
  int32_t length;
  std::span<const uint8_t> b;
  if (!Int32(length) || !Bytes(length > 0 ? static_cast<size_t>(length) : 0, b)) return false;
  value.assign(b.begin(), b.end());
  return true;
}

bool ByteReader::CountedBytes(std::vector<uint8_t>& value) { return Counted(value); }
bool ByteReader::CountedText(std::string& value) { return Counted(value); }

bool ByteReader::CString(std::string& value) {
  if (!ok_ || position_ == bytes_.size()) return Fail();
  const void* end = std::memchr(bytes_.data() + position_, 0, bytes_.size() - position_);
  if (!end) return Fail();
  const size_t length = static_cast<const uint8_t*>(end) - (bytes_.data() + position_);
  value.assign(reinterpret_cast<const char*>(bytes_.data() + position_), length);
  position_ += length + 1;
  return true;
}

ByteWriter& ByteWriter::Uint32(uint32_t value) {
  const size_t at = bytes_.size();
  bytes_.resize(at + 4);
  PutUint32Le(bytes_.data() + at, value);
  return *this;
}

ByteWriter& ByteWriter::Int32(int32_t value) { return Uint32(static_cast<uint32_t>(value)); }

ByteWriter& ByteWriter::Uint16(uint16_t value) {
  bytes_.push_back(static_cast<uint8_t>(value & 0xFF));
  bytes_.push_back(static_cast<uint8_t>(value >> 8));
  return *this;
}

ByteWriter& ByteWriter::Double(double value) {
  uint8_t bytes[sizeof value];
  std::memcpy(bytes, &value, sizeof value);
  return Bytes(bytes);
}

ByteWriter& ByteWriter::Bytes(std::span<const uint8_t> value) {
  bytes_.insert(bytes_.end(), value.begin(), value.end());
  return *this;
}

ByteWriter& ByteWriter::CountedBytes(std::span<const uint8_t> value) {
  Int32(static_cast<int32_t>(value.size()));
  return Bytes(value);
}

ByteWriter& ByteWriter::CountedText(std::string_view value) {
  return CountedBytes({reinterpret_cast<const uint8_t*>(value.data()), value.size()});
}

ByteWriter& ByteWriter::CString(std::string_view value) {
  Bytes({reinterpret_cast<const uint8_t*>(value.data()), value.size()});
  bytes_.push_back(0);
  return *this;
}

}  // namespace tl
