// Reading a stored binary format with reasons: the form image, the window block, the unit
// types' property blocks and the record lists inside them. Every field is read under its name
// through the bounds-checked ByteReader; the first one that cannot be read refuses the input and
// says what is wrong and at which byte. Portable.
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

// Why an input was refused, in the manner of "truncated unit record at byte 1234": what is wrong
// and the byte where it was found, counted from the start of the input.
struct ReadError {
  std::string what;
  size_t at = 0;

  std::string Text() const;  // "<what> at byte <at>"
};

class BlockReader {
 public:
  // How a read that runs past the end is told: by the field and what it lacks ("label block:
  // caption counts 9 bytes, 2 left"), or as the whole input cut short ("truncated window
  // block"; a version out of range is then "bad window block version").
  enum class Reasons { ByField, Truncation };

  // `name` names the input in reasons; `base` is the offset of `bytes` in the input around them
  // (a record list inside a block), so that every position counts from the outer start.
  BlockReader(std::span<const uint8_t> bytes, std::string_view name, size_t base = 0,
              Reasons reasons = Reasons::ByField)
      : reader_(bytes), name_(name), base_(base), reasons_(reasons) {}

  // The leading version word: refused when missing, negative or newer than `newest`.
  BlockReader& Version(int32_t newest, int32_t& version);
  BlockReader& Int32(std::string_view field, int32_t& value);
  BlockReader& Uint32(std::string_view field, uint32_t& value);
  BlockReader& Uint16(std::string_view field, uint16_t& value);
  BlockReader& Bool(std::string_view field, bool& value);  // an int32; anything but 0 is true
  BlockReader& Flag(std::string_view field, bool& value);  // one byte; anything but 0 is true
  BlockReader& Double(std::string_view field, double& value);
  BlockReader& Bytes(std::string_view field, size_t count, std::span<const uint8_t>& value);
  BlockReader& Skip(std::string_view field, size_t count);
  // int32 length n, then n bytes (n <= 0: empty).
  BlockReader& CountedBytes(std::string_view field, std::vector<uint8_t>& value);
  BlockReader& CountedText(std::string_view field, std::string& value);
  // Bytes up to a NUL, which is consumed.
  BlockReader& CString(std::string_view field, std::string& value);
  // Everything not read yet.
  std::span<const uint8_t> Rest();

  // Refuses the input for a reason found outside the reader (a count out of range, a record
  // list that did not read), at a position as position() counts it. Answers false.
  bool Refuse(std::string what, size_t at);
  bool Refuse(ReadError error);

  bool ok() const { return !error_; }
  bool AtEnd() const { return ok() && reader_.AtEnd(); }
  size_t position() const { return base_ + reader_.position(); }
  size_t remaining() const { return ok() ? reader_.remaining() : 0; }
  const std::optional<ReadError>& error() const { return error_; }

  // `value` when every field read; otherwise nothing, with the reason in `*error` if asked.
  template <typename T>
  std::optional<T> Finish(T value, ReadError* error) const {
    if (ok()) return value;
    if (error) *error = *error_;
    return std::nullopt;
  }
  // True when every field read; otherwise false, with the reason in `*error` if asked.
  bool Finish(ReadError* error) const {
    if (!ok() && error) *error = *error_;
    return ok();
  }

 private:
  // False, with the reason, when fewer than `count` bytes are left for `field`.
  bool Has(std::string_view field, size_t count);
  // A read past the end: `problem` says how, in the by-field reasons.
  void CutShort(const std::string& problem, size_t at);

  ByteReader reader_;
  std::string_view name_;
  size_t base_;
  Reasons reasons_;
  std::optional<ReadError> error_;
};

}  // namespace tl
