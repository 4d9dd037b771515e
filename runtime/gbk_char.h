// What one character of a GBK text is, for every rule that walks a text byte by byte. Portable.
//
// Code page 936 writes a few characters as one byte with the high bit set: the euro sign as 0x80,
// U+F8F5 as 0xFF. Only 0x81 to 0xFE lead a two-byte character; taking 0x80 as a lead byte would
// swallow the byte after it, a line break included.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tl {

constexpr bool IsLeadByte(char c) {
  const auto b = static_cast<uint8_t>(c);
  return b >= 0x81 && b <= 0xFE;
}

// How many bytes the character at `at` (inside the text) takes: 2 for a lead byte with a byte
// after it, 1 for anything else, a lead byte at the very end included.
constexpr size_t CharLength(std::string_view text, size_t at) {
  return IsLeadByte(text[at]) && at + 1 < text.size() ? 2 : 1;
}

}  // namespace tl
