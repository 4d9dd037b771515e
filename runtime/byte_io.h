// Bounds-checked little-endian reading and writing of the stored formats (form image, unit
// records, property blocks). A reader never reads past its span: every read reports failure
// instead, and a failed reader stays failed. BlockReader (runtime/block_reader.h) reads with
// reasons on top of it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tl {

// A 32-bit word as every stored format and block keeps it: four bytes, low byte first. The
// readers and writers below go through these two, and so does a block filled or read in place.
inline void PutUint32Le(uint8_t* out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) *out++ = static_cast<uint8_t>(value >> shift);
}
inline uint32_t Uint32Le(const uint8_t* in) {
  return in[0] | (in[1] << 8) | (in[2] << 16) | (static_cast<uint32_t>(in[3]) << 24);
}

class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool Int32(int32_t& value);
  bool Uint32(uint32_t& value);
  // int32 length n, then n bytes (n <= 0: empty).
  bool CountedBytes(std::vector<uint8_t>& value);
  bool CountedText(std::string& value);
  // Bytes up to a NUL, which is consumed.
  bool CString(std::string& value);
  // The next count bytes as a view into the source.
  bool Bytes(size_t count, std::span<const uint8_t>& value);

  bool ok() const { return ok_; }
  size_t position() const { return position_; }
  size_t remaining() const { return ok_ ? bytes_.size() - position_ : 0; }
  bool AtEnd() const { return ok_ && position_ == bytes_.size(); }

 private:
  bool Fail() { return ok_ = false; }
  template <typename Container>
  bool Counted(Container& value);
  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
  bool ok_ = true;
};

class ByteWriter {
 public:
  ByteWriter& Int32(int32_t value);
  ByteWriter& Uint32(uint32_t value);
  ByteWriter& Uint16(uint16_t value);
  ByteWriter& Double(double value);
  ByteWriter& CountedBytes(std::span<const uint8_t> value);
  ByteWriter& CountedText(std::string_view value);
  ByteWriter& CString(std::string_view value);
  ByteWriter& Bytes(std::span<const uint8_t> value);

  const std::vector<uint8_t>& bytes() const { return bytes_; }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace tl
