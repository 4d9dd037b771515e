// Pixels at the design DPI and at a window's DPI. The forms and the handlers give every place,
// size and font height in pixels at 96 DPI (100 % scaling); a window shows them at the DPI of the
// monitor it is on. Portable: the scaling rule is tested natively.
#pragma once

#include <cstdint>
#include <limits>

namespace tl {

inline constexpr int32_t kDesignDpi = 96;

// pixels × toDpi ÷ fromDpi, rounded half away from zero as the platform's MulDiv rounds (250 at
// 120 DPI is 312.5, so 313), and kept within 32 bits. A DPI that is not positive scales nothing.
constexpr int32_t ScalePixels(int32_t pixels, int32_t fromDpi, int32_t toDpi) {
  if (fromDpi <= 0 || toDpi <= 0 || fromDpi == toDpi) return pixels;
  const int64_t product = int64_t{pixels} * toDpi;
  const int64_t half = fromDpi / 2;
  const int64_t scaled = (product >= 0 ? product + half : product - half) / fromDpi;
  constexpr int64_t kLowest = std::numeric_limits<int32_t>::min(), kHighest = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(scaled < kLowest ? kLowest : scaled > kHighest ? kHighest : scaled);
}

// Design pixels (at 96 DPI) at the given DPI.
constexpr int32_t ScaleToDpi(int32_t designPixels, int32_t dpi) { return ScalePixels(designPixels, kDesignDpi, dpi); }

}  // namespace tl
