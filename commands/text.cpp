#include "commands/text.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <vector>

#include "commands/time.h"
#include "runtime/gbk_char.h"
#include "runtime/memory.h"
#include "runtime/text_pieces.h"

namespace tl::cmd {
namespace {

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameBytes(const char* a, std::string_view b, bool ignoreCase) {
  if (!ignoreCase) return std::memcmp(a, b.data(), b.size()) == 0;
  for (size_t i = 0; i < b.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

// Clamps a caller's count or position into [0, limit].
size_t Clamp(int64_t value, size_t limit) {
  if (value <= 0) return 0;
  return static_cast<uint64_t>(value) < limit ? static_cast<size_t>(value) : limit;
}

bool FoldsCase(const ArgRecord& flag) { return flag.type != DataType::None && flag.low == 1; }

size_t ElementSize(uint32_t elementType) {
  switch (elementType) {
    case DataType::Byte: return 1;
    case DataType::Short: return 2;
    case DataType::Int:
    case DataType::Float: return 4;
    case DataType::Long:
    case DataType::Double: return 8;
    default: return 0;
  }
}

// The raw element bytes of an array of a numeric type; empty for any other array.
std::span<const uint8_t> NumericArrayBytes(const ArgRecord& r) {
  const size_t size = ElementSize(r.type & DataType::ElementMask);
  const auto* block = static_cast<const uint8_t*>(ArgPointer(r));
  if (size == 0 || !block) return {};
  int32_t dims;
  std::memcpy(&dims, block, sizeof dims);
  if (dims < 0) dims = 0;
  const uint64_t bytes = uint64_t{ArrayElementCount(block)} * size;
  if (bytes > 0x7FFFFFFF) return {};
  return {block + 4 + 4 * static_cast<size_t>(dims), static_cast<size_t>(bytes)};
}

std::string_view UpToZero(std::span<const uint8_t> bytes) {
  std::string_view s(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return s.substr(0, s.find('\0'));
}

template <typename T>
std::string Format(const char* format, T value) {
  char buffer[64];
  const int n = std::snprintf(buffer, sizeof buffer, format, value);
  return std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

// Empty byte sets come back as null references.
ByteSetBlock NewByteSetOrNull(std::span<const uint8_t> bytes) { return {bytes.empty() ? nullptr : NewByteSet(bytes)}; }

}  // namespace

int32_t ScanText(std::string_view text, std::string_view target, std::optional<int32_t> start,
                 bool ignoreCase, ScanDirection direction) {
  const int64_t length = static_cast<int64_t>(text.size());
  const int64_t n = static_cast<int64_t>(target.size());
  const bool forward = direction == ScanDirection::Forward;
  int64_t b = start ? std::max<int64_t>(int64_t{*start} - 1, 0) : (forward ? 0 : length);

  int64_t begin = 0, end = 0;  // the region [begin, end)
  if (forward) {
    if (b == 0) {
      end = length;
    } else if (b < length) {
      begin = b;
      end = length;
    }
  } else if (b > 0) {
    end = std::min(b, length);
  }
  if (n == 0) return begin < end ? 1 : -1;

  int32_t found = -1;
  for (int64_t p = begin; end - p >= n;) {
    if (SameBytes(text.data() + p, target, ignoreCase)) {
      found = static_cast<int32_t>(p + 1);
      if (forward) return found;
    }
    p += static_cast<int64_t>(CharLength(text, static_cast<size_t>(p)));
  }
  return found;
}

std::string NormaliseFullWidth(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (CharLength(text, i) == 1) {
      out += text[i];
      continue;
    }
    const auto lead = static_cast<uint8_t>(text[i]);
    const auto trail = static_cast<uint8_t>(text[i + 1]);
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      out += static_cast<char>(trail & 0x7F);
    } else if (lead == 0xA1 && trail == 0xA1) {
      out += ' ';
    } else if (lead == 0xA1 && trail == 0xAB) {
      out += '~';
    } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
      out += '*';
    } else {
      out += text.substr(i, 2);
    }
    ++i;
  }
  return out;
}

uint64_t LeadingInteger(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  uint64_t value = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) value = value * 10 + static_cast<uint64_t>(s[i] - '0');
  return negative ? 0 - value : value;
}

std::string TextForm(const ArgRecord& r) {
  if (r.type & DataType::ArrayFlag) return std::string(UpToZero(NumericArrayBytes(r)));
  switch (r.type) {
    case DataType::Byte: return Format("%u", static_cast<unsigned>(r.low & 0xFF));
    case DataType::Short: return Format("%d", static_cast<int>(static_cast<int16_t>(r.low)));
    case DataType::Int: return Format("%d", static_cast<int>(static_cast<int32_t>(r.low)));
    case DataType::Long: return Format("%" PRId64, static_cast<int64_t>(PayloadBits(r)));
    case DataType::Float: return Format("%.6g", ArgDouble(r));
    case DataType::Double: return Format("%.13g", ArgDouble(r));
    case DataType::Bool: return r.low ? "真" : "假";
    case DataType::DateTime: return DateTimeToText(ArgDouble(r));
    case DataType::Text: return std::string(TextView(static_cast<const char*>(ArgPointer(r))));
    case DataType::ByteSet: return std::string(UpToZero(ByteSetView(ArgPointer(r))));
    default: return {};
  }
}

int32_t TextLength(std::string_view text) { return static_cast<int32_t>(text.size()); }

std::string TextLeft(std::string_view text, int32_t count) {
  return std::string(text.substr(0, Clamp(count, text.size())));
}

std::string TextRight(std::string_view text, int32_t count) {
  return std::string(text.substr(text.size() - Clamp(count, text.size())));
}

std::string TextMiddle(std::string_view text, int32_t start, int32_t count) {
  const int64_t p = int64_t{start} - 1;
  if (p < 0 || p >= static_cast<int64_t>(text.size()) || count <= 0) return {};
  return std::string(text.substr(static_cast<size_t>(p), static_cast<size_t>(count)));
}

int32_t FindText(std::string_view text, std::string_view target, std::optional<int32_t> start,
                 const ArgRecord& ignoreCase) {
  return ScanText(text, target, start, FoldsCase(ignoreCase), ScanDirection::Forward);
}

int32_t FindTextReverse(std::string_view text, std::string_view target, std::optional<int32_t> start,
                        const ArgRecord& ignoreCase) {
  return ScanText(text, target, start, FoldsCase(ignoreCase), ScanDirection::Reverse);
}

std::string ReplaceText(std::string_view text, std::string_view target, std::string_view replacement,
                        std::optional<int32_t> start, std::optional<int32_t> count, bool caseSensitive) {
  const size_t length = text.size();
  const size_t n = target.size();
  const int64_t first = start ? int64_t{*start} - 1 : 0;
  const size_t b = first > 0 ? static_cast<size_t>(first) : 0;
  int64_t k = count.value_or(-1);
  const bool ignoreCase = !caseSensitive;
  if (length == 0 || n == 0 || b >= length || k == 0) return std::string(text);

  std::string out(text.substr(0, b));
  size_t p = b;
  while (length - p >= n) {
    if (SameBytes(text.data() + p, target, ignoreCase)) {
      out += replacement;
      p += n;
      if (k == 1) break;
      if (k != -1) --k;
    } else {
      const size_t character = CharLength(text, p);
      out += text.substr(p, character);
      p += character;
    }
  }
  out += text.substr(p);
  return out;
}

TextArrayBlock SplitText(std::string_view text, std::optional<std::string_view> givenDelimiter,
                         std::optional<int32_t> limit) {
  const std::vector<std::string_view> pieces =
      SplitPieces(text, givenDelimiter.value_or(","), limit ? std::optional<int64_t>(*limit) : std::nullopt);

  // Array block: dimension count 1, element count, then one text per element (null if empty).
  const size_t count = pieces.size();
  auto* block = static_cast<uint8_t*>(Allocate(static_cast<uint32_t>(8 + sizeof(char*) * count)));
  const int32_t head[2] = {1, static_cast<int32_t>(count)};
  std::memcpy(block, head, sizeof head);
  for (size_t i = 0; i < count; ++i) {
    char* element = pieces[i].empty() ? nullptr : NewText(pieces[i]);
    std::memcpy(block + 8 + i * sizeof(char*), &element, sizeof element);
  }
  return {block};
}

std::string ToText(const ArgRecord& value) { return TextForm(value); }

ByteSetBlock ToByteSet(const ArgRecord& r) {
  if (r.type & DataType::ArrayFlag) return NewByteSetOrNull(NumericArrayBytes(r));
  const uint64_t bits = PayloadBits(r);
  uint8_t raw[8];
  std::memcpy(raw, &bits, sizeof raw);  // the payload words are little-endian on every target
  size_t size = 0;
  switch (r.type) {
    case DataType::Text: {
      const std::string_view text = TextView(static_cast<const char*>(ArgPointer(r)));
      return NewByteSetOrNull({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
    }
    case DataType::ByteSet: return NewByteSetOrNull(ByteSetView(ArgPointer(r)));
    case DataType::Byte: size = 1; break;
    case DataType::Short: size = 2; break;
    case DataType::Int:
    case DataType::Float:
    case DataType::Bool:
    case DataType::SubPointer: size = 4; break;
    case DataType::Long:
    case DataType::Double:
    case DataType::DateTime: size = 8; break;
    default: break;
  }
  return NewByteSetOrNull({raw, size});
}

uint8_t ToByte(const ArgRecord& r) {
  uint32_t value = 0;
  switch (r.type) {
    case DataType::Byte:
    case DataType::Short:
    case DataType::Int:
    case DataType::Long:
    case DataType::Bool:
    case DataType::SubPointer: value = r.low; break;
    case DataType::Float:
    case DataType::Double: value = static_cast<uint32_t>(TruncateToInteger(ArgDouble(r))); break;
    case DataType::Text: {
      const std::string digits = NormaliseFullWidth(TextView(static_cast<const char*>(ArgPointer(r))));
      value = static_cast<uint32_t>(LeadingInteger(digits));
      break;
    }
    default: break;
  }
  return static_cast<uint8_t>(value & 0xFF);
}

int32_t BitOr(MoreRecords values) {
  uint32_t value = 0;
  for (const ArgRecord& r : values) value |= r.low;
  return static_cast<int32_t>(value);
}

}  // namespace tl::cmd
