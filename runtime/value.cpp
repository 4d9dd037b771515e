#include "runtime/value.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "runtime/memory.h"
#include "runtime/runtime_error.h"

namespace tl {

ArgRecord IntArg(int32_t v) { return {static_cast<uint32_t>(v), 0, DataType::Int}; }
ArgRecord BoolArg(bool v) { return {v ? 1u : 0u, 0, DataType::Bool}; }

ArgRecord DoubleArg(double v) { return PayloadArg(std::bit_cast<uint64_t>(v), DataType::Double); }
ArgRecord DateTimeArg(double v) { return PayloadArg(std::bit_cast<uint64_t>(v), DataType::DateTime); }

double ArgDouble(const ArgRecord& r) {
  switch (r.type) {
    case DataType::Double:
    case DataType::DateTime: return std::bit_cast<double>(PayloadBits(r));
    case DataType::Float: return std::bit_cast<float>(r.low);
    default:
      return static_cast<double>(ArgInteger(r));
  }
}

int64_t ArgInteger(const ArgRecord& r) {
  switch (r.type) {
    case DataType::Byte: return static_cast<uint8_t>(r.low);
    case DataType::Short: return static_cast<int16_t>(r.low);
    case DataType::Long: return static_cast<int64_t>(PayloadBits(r));
    case DataType::Double:
    case DataType::DateTime:
    case DataType::Float: return TruncateToInteger(ArgDouble(r));
    default: return static_cast<int32_t>(r.low);
  }
}

std::string_view TextView(const char* text) { return text ? std::string_view(text) : ""; }

std::span<const uint8_t> ByteSetView(const void* byteSet) {
  if (!byteSet) return {};
  ByteSetHeader header;
  std::memcpy(&header, byteSet, sizeof header);
  if (header.length <= 0) return {};
  return {static_cast<const uint8_t*>(byteSet) + sizeof header, static_cast<size_t>(header.length)};
}

char* NewText(std::string_view bytes) {
  auto* text = static_cast<char*>(Allocate(static_cast<uint32_t>(bytes.size() + 1)));
  if (!bytes.empty()) std::memcpy(text, bytes.data(), bytes.size());
  text[bytes.size()] = '\0';
  return text;
}

std::span<uint8_t> NewByteSetToFill(uint32_t length, void*& byteSet) {
  auto* block = static_cast<uint8_t*>(Allocate(static_cast<uint32_t>(sizeof(ByteSetHeader) + length)));
  const ByteSetHeader header{1, static_cast<int32_t>(length)};
  std::memcpy(block, &header, sizeof header);
  byteSet = block;
  return {block + sizeof header, length};
}

void* NewByteSet(std::span<const uint8_t> bytes) {
  void* byteSet = nullptr;
  const std::span<uint8_t> to = NewByteSetToFill(static_cast<uint32_t>(bytes.size()), byteSet);
  if (!bytes.empty()) std::memcpy(to.data(), bytes.data(), bytes.size());
  return byteSet;
}

void* NewTextArray(std::span<const std::string_view> elements) {
  const uint32_t count = static_cast<uint32_t>(elements.size());
  auto* block = static_cast<int32_t*>(Allocate(static_cast<uint32_t>(8 + sizeof(char*) * count)));
  block[0] = 1;
  block[1] = static_cast<int32_t>(count);
  auto** texts = reinterpret_cast<char**>(block + 2);
  for (uint32_t i = 0; i < count; ++i) texts[i] = NewText(elements[i]);
  return block;
}

uint32_t ArrayElementCount(const void* array) {
  if (!array) return 0;
  const auto* words = static_cast<const int32_t*>(array);
  if (words[0] <= 0) return 0;
  uint64_t count = 1;
  for (int32_t d = 0; d < words[0]; ++d) count *= static_cast<uint32_t>(words[1 + d] < 0 ? 0 : words[1 + d]);
  return static_cast<uint32_t>(count);
}

std::span<char* const> ArrayTextElements(const void* array) {
  if (!array) return {};
  const auto* words = static_cast<const int32_t*>(array);
  const int32_t dims = words[0] < 0 ? 0 : words[0];
  auto* first = reinterpret_cast<char* const*>(words + 1 + dims);
  return {first, ArrayElementCount(array)};
}

void FreeTextArray(void* array) {
  for (char* text : ArrayTextElements(array)) Free(text);
  Free(array);
}

int CompareText(const char* a, const char* b) {
  const auto* x = reinterpret_cast<const unsigned char*>(a ? a : "");
  const auto* y = reinterpret_cast<const unsigned char*>(b ? b : "");
  while (*x && *x == *y) ++x, ++y;
  return static_cast<int>(*x) - static_cast<int>(*y);
}

char* JoinTexts(std::span<const char* const> texts) {
  size_t total = 0;
  for (const char* t : texts) total += TextView(t).size();
  auto* joined = static_cast<char*>(Allocate(static_cast<uint32_t>(total + 1)));
  char* out = joined;
  for (const char* t : texts) {
    std::string_view part = TextView(t);
    if (!part.empty()) std::memcpy(out, part.data(), part.size());
    out += part.size();
  }
  *out = '\0';
  return joined;
}

int32_t TruncateToInteger(double value) {
  // trunc rounds toward zero whatever the rounding mode, without touching it: changing the mode
  // twice a call made a list of 100,000 rows load ten times as slowly.
  const double whole = std::trunc(value);
  if (!(whole >= -9223372036854775808.0 && whole < 9223372036854775808.0)) {
    return static_cast<int32_t>(0x80000000u);  // out of 64-bit range: the x87 "integer indefinite" low word
  }
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(whole)));
}

char* ArrayTextElement(const void* array, double index) {
  const int32_t n = TruncateToInteger(index);
  if (n < 1) RaiseRuntimeError(4, RuntimeErrorMessage(4));
  if (static_cast<uint32_t>(n) > ArrayElementCount(array)) RaiseRuntimeError(1, RuntimeErrorMessage(1));
  return ArrayTextElements(array)[n - 1];
}

}  // namespace tl
