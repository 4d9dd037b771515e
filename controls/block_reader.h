// Reading a unit type's stored property block field by field. Every field is read under its
// name through the bounds-checked ByteReader; the first one that cannot be read refuses the
// block and says what is wrong and at which byte. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/byte_io.h"

namespace tl {

// Why a block was refused: what is wrong, and the offset of the byte where it was found.
struct BlockError {
  std::string what;
  size_t at = 0;

  std::string Text() const;  // "<what> at byte <at>"
};

class BlockReader {
 public:
  // `block` names the block in reasons; `base` is the offset of `bytes` in the stored block
  // around them (record lists inside a block).
  BlockReader(std::span<const uint8_t> bytes, std::string_view block, size_t base = 0)
      : reader_(bytes), block_(block), base_(base) {}

  // The leading version word: refused when missing, negative or newer than `newest`.
  BlockReader& Version(int32_t newest, int32_t& version);
  BlockReader& Int32(std::string_view field, int32_t& value);
  BlockReader& Uint32(std::string_view field, uint32_t& value);
  BlockReader& Bool(std::string_view field, bool& value);  // an int32; anything but 0 is true
  BlockReader& Flag(std::string_view field, bool& value);  // one byte; anything but 0 is true
  BlockReader& Double(std::string_view field, double& value);
  BlockReader& Bytes(std::string_view field, size_t count, std::span<const uint8_t>& value);
  // int32 length n, then n bytes (n <= 0: empty).
  BlockReader& CountedBytes(std::string_view field, std::vector<uint8_t>& value);
  BlockReader& CountedText(std::string_view field, std::string& value);
  // Bytes up to a NUL, which is consumed.
  BlockReader& CString(std::string_view field, std::string& value);
  // Everything not read yet.
  std::span<const uint8_t> Rest();
  // Refuses the block for a reason found outside the reader (a record list that did not read).
  void Refuse(BlockError error);

  bool ok() const { return !error_; }
  bool AtEnd() const { return ok() && reader_.AtEnd(); }
  size_t position() const { return base_ + reader_.position(); }

  // `value` when every field read; otherwise nothing, with the reason in `*error` if asked.
  template <typename T>
  std::optional<T> Finish(T value, BlockError* error) const {
    if (ok()) return value;
    if (error) *error = *error_;
    return std::nullopt;
  }

 private:
  // False, with the reason, when fewer than `count` bytes are left for `field`.
  bool Has(std::string_view field, size_t count);
  void Fail(std::string problem, size_t at);

  ByteReader reader_;
  std::string_view block_;
  size_t base_;
  std::optional<BlockError> error_;
};

}  // namespace tl
