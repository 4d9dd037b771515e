// Pixels at 96 DPI shown at another DPI: rounded as the platform's MulDiv rounds, so that the
// window sizes match what Windows itself would compute, and never beyond 32 bits.
#include "runtime/dpi.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace tl {
namespace {

struct Scaling {
  int32_t pixels, fromDpi, toDpi, expected;
};

TEST(ScalePixels, RoundsHalfAwayFromZeroAsMulDiv) {
  constexpr Scaling kCases[] = {
      {250, 96, 96, 250},    {250, 96, 120, 313},  // 312.5
      {250, 96, 144, 375},   {203, 96, 120, 254},  // 253.75
      {203, 96, 144, 305},                         // 304.5
      {39, 96, 120, 49},                           // 48.75
      {39, 96, 144, 59},                           // 58.5
      {412, 96, 144, 618},   {283, 96, 120, 354},  // 353.75
      {165, 96, 120, 206},                         // 206.25
      {856, 96, 144, 1284},  {363, 96, 144, 545},  // 544.5
      {5, 96, 144, 8},                             // 7.5
      {-16, 96, 120, -20},   {-13, 96, 144, -20},  // -19.5: away from zero
      {-27, 96, 120, -34},                         // -33.75
      {0, 96, 144, 0},       {1, 96, 144, 2},      // 1.5
      {375, 144, 96, 250},   {313, 120, 96, 250},  // 250.4
      {59, 144, 120, 49},                          // 49.17
      {-1, 144, 96, -1},                           // -0.67
  };
  for (const Scaling& c : kCases) {
    EXPECT_EQ(ScalePixels(c.pixels, c.fromDpi, c.toDpi), c.expected)
        << c.pixels << " from " << c.fromDpi << " to " << c.toDpi;
  }
}

TEST(ScalePixels, LeavesPixelsAloneForADpiThatIsNotPositive) {
  constexpr Scaling kCases[] = {{250, 0, 144, 250}, {250, 96, 0, 250}, {-16, -96, 144, -16}, {7, 96, -1, 7}};
  for (const Scaling& c : kCases) EXPECT_EQ(ScalePixels(c.pixels, c.fromDpi, c.toDpi), c.expected);
}

TEST(ScalePixels, StaysWithin32Bits) {
  constexpr int32_t kHighest = std::numeric_limits<int32_t>::max(), kLowest = std::numeric_limits<int32_t>::min();
  constexpr Scaling kCases[] = {
      {kHighest, 96, 192, kHighest},
      {kLowest, 96, 192, kLowest},
      {kHighest, 192, 96, kHighest / 2 + 1},  // half of an odd number, rounded up
      {kLowest, 192, 96, kLowest / 2},
  };
  for (const Scaling& c : kCases) EXPECT_EQ(ScalePixels(c.pixels, c.fromDpi, c.toDpi), c.expected) << c.pixels;
}

TEST(ScaleToDpi, StartsFromTheDesignDpi) {
  EXPECT_EQ(kDesignDpi, 96);
  EXPECT_EQ(ScaleToDpi(250, 120), ScalePixels(250, 96, 120));
  EXPECT_EQ(ScaleToDpi(-16, 144), -24);
}

}  // namespace
}  // namespace tl
