// Reading the argument records of a command or a unit method, and writing its result record.
// Optional arguments the caller leaves out arrive as all-zero records (type 0); a record beyond
// the count is treated the same way, so a short argument list never reads past the caller's
// records.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "runtime/value.h"

namespace tl {

// A pointer payload. The program is 32-bit and keeps pointers in the low word; the 64-bit host
// build of the portable commands carries the upper half in the high word.
inline void* ArgPointer(const ArgRecord& r) {
  uintptr_t address = r.low;
  if constexpr (sizeof(void*) > 4) address |= static_cast<uintptr_t>(static_cast<uint64_t>(r.high) << 32);
  return reinterpret_cast<void*>(address);
}
inline ArgRecord PointerArg(const void* p, uint32_t type) {
  const auto address = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p));
  return {static_cast<uint32_t>(address), sizeof(void*) > 4 ? static_cast<uint32_t>(address >> 32) : 0u, type};
}

class Args {
 public:
  Args(int argc, const ArgRecord* args)
      : records_(args, args && argc > 0 ? static_cast<size_t>(argc) : 0) {}

  size_t size() const { return records_.size(); }
  const ArgRecord& operator[](size_t i) const { return i < records_.size() ? records_[i] : kAbsent; }
  bool Given(size_t i) const { return (*this)[i].type != DataType::None; }

  // A text argument; absent or null reads as empty.
  std::string_view Text(size_t i) const {
    const ArgRecord& r = (*this)[i];
    return r.type == DataType::Text ? TextView(static_cast<const char*>(ArgPointer(r))) : std::string_view{};
  }
  int32_t Int(size_t i, int32_t fallback = 0) const {
    return Given(i) ? static_cast<int32_t>(ArgInteger((*this)[i])) : fallback;
  }
  bool Bool(size_t i, bool fallback = false) const { return Given(i) ? (*this)[i].low != 0 : fallback; }

 private:
  static constexpr ArgRecord kAbsent{};
  std::span<const ArgRecord> records_;
};

inline void SetInt(ArgRecord* result, int32_t value) { *result = IntArg(value); }
inline void SetBool(ArgRecord* result, bool value) { *result = BoolArg(value); }
// Empty texts and byte sets come back as null references.
inline void SetText(ArgRecord* result, std::string_view bytes) {
  *result = PointerArg(bytes.empty() ? nullptr : NewText(bytes), DataType::Text);
}
inline void SetByteSet(ArgRecord* result, std::span<const uint8_t> bytes) {
  *result = PointerArg(bytes.empty() ? nullptr : NewByteSet(bytes), DataType::ByteSet);
}

}  // namespace tl
