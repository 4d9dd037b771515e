#include "runtime/block_reader.h"

#include <cstring>

namespace tl {

std::string ReadError::Text() const { return what + " at byte " + std::to_string(at); }

bool BlockReader::Refuse(std::string what, size_t at) { return Refuse(ReadError{std::move(what), at}); }

bool BlockReader::Refuse(ReadError error) {
  if (!error_) error_ = std::move(error);
  return false;
}

void BlockReader::CutShort(const std::string& problem, size_t at) {
  if (reasons_ == Reasons::Truncation) Refuse("truncated " + std::string(name_), at);
  else Refuse(std::string(name_) + ": " + problem, at);
}

bool BlockReader::Has(std::string_view field, size_t count) {
  if (!ok()) return false;
  if (reader_.remaining() >= count) return true;
  CutShort(std::string(field) + " cut short (needs " + std::to_string(count) + " bytes, " +
               std::to_string(reader_.remaining()) + " left)",
           position());
  return false;
}

BlockReader& BlockReader::Version(int32_t newest, int32_t& version) {
  const size_t at = position();
  if (!Int32("version", version).ok() || (version >= 0 && version <= newest)) return *this;
  if (reasons_ == Reasons::Truncation) Refuse("bad " + std::string(name_) + " version", at);
  else if (version < 0) Refuse(std::string(name_) + ": version " + std::to_string(version) + " is negative", at);
  else
    Refuse(std::string(name_) + ": version " + std::to_string(version) + " is newer than " + std::to_string(newest),
           at);
  return *this;
}

BlockReader& BlockReader::Int32(std::string_view field, int32_t& value) {
  if (Has(field, 4)) reader_.Int32(value);
  return *this;
}

BlockReader& BlockReader::Uint32(std::string_view field, uint32_t& value) {
  if (Has(field, 4)) reader_.Uint32(value);
  return *this;
}

BlockReader& BlockReader::Uint16(std::string_view field, uint16_t& value) {
  std::span<const uint8_t> bytes;
  if (Bytes(field, 2, bytes).ok()) value = static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
  return *this;
}

BlockReader& BlockReader::Bool(std::string_view field, bool& value) {
  int32_t raw = 0;
  if (Int32(field, raw).ok()) value = raw != 0;
  return *this;
}

BlockReader& BlockReader::Flag(std::string_view field, bool& value) {
  std::span<const uint8_t> byte;
  if (Bytes(field, 1, byte).ok()) value = byte[0] != 0;
  return *this;
}

BlockReader& BlockReader::Double(std::string_view field, double& value) {
  std::span<const uint8_t> bytes;
  if (Bytes(field, sizeof value, bytes).ok()) std::memcpy(&value, bytes.data(), sizeof value);
  return *this;
}

BlockReader& BlockReader::Bytes(std::string_view field, size_t count, std::span<const uint8_t>& value) {
  if (Has(field, count)) reader_.Bytes(count, value);
  return *this;
}

BlockReader& BlockReader::Skip(std::string_view field, size_t count) {
  std::span<const uint8_t> ignored;
  return Bytes(field, count, ignored);
}

BlockReader& BlockReader::CountedBytes(std::string_view field, std::vector<uint8_t>& value) {
  const size_t at = position();
  int32_t length = 0;
  if (!Int32(field, length).ok()) return *this;
  const size_t count = length > 0 ? static_cast<size_t>(length) : 0;
  std::span<const uint8_t> bytes;
  if (count > reader_.remaining()) {
    CutShort(std::string(field) + " counts " + std::to_string(count) + " bytes, " +
                 std::to_string(reader_.remaining()) + " left",
             at);
  } else if (reader_.Bytes(count, bytes)) {
    value.assign(bytes.begin(), bytes.end());
  }
  return *this;
}

BlockReader& BlockReader::CountedText(std::string_view field, std::string& value) {
  std::vector<uint8_t> bytes;
  if (CountedBytes(field, bytes).ok()) value.assign(bytes.begin(), bytes.end());
  return *this;
}

BlockReader& BlockReader::CString(std::string_view field, std::string& value) {
  const size_t at = position();
  if (ok() && !reader_.CString(value)) CutShort(std::string(field) + " has no terminating zero", at);
  return *this;
}

std::span<const uint8_t> BlockReader::Rest() {
  std::span<const uint8_t> rest;
  if (ok()) reader_.Bytes(reader_.remaining(), rest);
  return rest;
}

}  // namespace tl
