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
