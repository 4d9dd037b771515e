// The transparent label's stored property block. Portable: the form generator writes it, the
// unit reads it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "controls/block_reader.h"

namespace tl {

struct TransparentLabelBlock {
  static constexpr int32_t kVersion = 1;  // versions 0 and 1 share one layout

  int32_t effect = 0;           // 9: 0 none, 1 raised, 2 engraved, 3 shadow
  uint32_t textColour = 0;      // 11
  int32_t horizontalAlign = 0;  // 12: 0 left, 1 centre, 2 right
  int32_t verticalAlign = 1;    // 14: 0 top, 1 centre, 2 bottom (without word wrap)
  int32_t wordWrap = 0;         // 13
  std::vector<uint8_t> font;    // 10: 60-byte logical-font record; anything else: default font
  std::string caption = "透明标签";  // 8: GBK

  static std::optional<TransparentLabelBlock> Read(std::span<const uint8_t> block, BlockError* error = nullptr);
  std::vector<uint8_t> Write() const;
};

// Writes of the effect and the two alignments are kept within 0..top.
constexpr int32_t ClampProperty(int32_t value, int32_t top) {
  return value < 0 ? 0 : (value > top ? top : value);
}

}  // namespace tl
