// The slider bar's stored property block: version, then its twelve own properties (indexes 8
// to 19) as int32 in index order. Portable: the form generator writes it, the slider reads it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "controls/block_reader.h"

namespace tl {

struct SliderBlock {
  static constexpr int32_t kVersion = 1;

  int32_t border = 0;          // 8: 0 none .. 5 single line
  int32_t vertical = 0;        // 9
  int32_t tickMarks = 2;       // 10: 0 none, 1 above/left, 2 below/right, 3 both
  int32_t tickFrequency = 1;   // 11
  int32_t showSelection = 0;   // 12
  int32_t selectionStart = 0;  // 13
  int32_t selectionLength = 0; // 14
  int32_t pageSize = 5;        // 15
  int32_t lineSize = 1;        // 16
  int32_t minimum = 1;         // 17
  int32_t maximum = 10;        // 18
  int32_t position = 1;        // 19

  // Empty data gives the defaults; a newer version or truncated data gives nothing.
  static std::optional<SliderBlock> Read(std::span<const uint8_t> data, BlockError* error = nullptr);
  std::vector<uint8_t> Write() const;
};

}  // namespace tl
