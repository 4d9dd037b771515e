// The button's stored property block. Portable: the form generator writes it, the unit reads it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "controls/block_reader.h"

namespace tl {

struct ButtonBlock {
  static constexpr int32_t kVersion = 1;

  int32_t kind = 0;               // 9: 0 normal, 1 default push button
  int32_t horizontalAlign = 1;    // 11: 0 left, 1 centre, 2 right
  int32_t verticalAlign = 1;      // 12: 0 top, 1 centre, 2 bottom
  std::vector<uint8_t> picture;   // 8: a BMP file, empty for none
  std::vector<uint8_t> font;      // 13: 60-byte logical-font record, empty for the default font
  std::string caption = "按钮";   // 10: GBK

  // An empty block gives the defaults; a newer version or a truncated block gives nothing.
  static std::optional<ButtonBlock> Read(std::span<const uint8_t> block, BlockError* error = nullptr);
  std::vector<uint8_t> Write() const;
};

}  // namespace tl
