// The label's stored property block. Portable: the form generator writes it, the unit reads it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "controls/block_reader.h"

namespace tl {

// 0xFF000000 as a colour: the system's default (the dialog face colour for a background).
inline constexpr uint32_t kDefaultColour = 0xFF000000;

struct LabelBlock {
  static constexpr int32_t kVersion = 2;

  // The sixteen ints in their stored order; the numbers are the property indices.
  int32_t textEffect = 0;              // 9: 0 none, 1 raised, 2 engraved, 3 shadow
  int32_t effectDepth = 8;             // 11
  int32_t borderStyle = 0;             // 10
  uint32_t shadowColour = 0x808080;    // 12
  uint32_t highlightColour = 0xFFFFFF; // 13
  uint32_t borderColour = 0x808080;    // 14
  uint32_t textColour = 0;             // 16
  uint32_t backColour = kDefaultColour;// 17
  int32_t backgroundMode = 1;          // 19
  int32_t gradientStyle = 0;           // 20
  uint32_t gradientColour1 = 0x808080; // 21
  uint32_t gradientColour2 = 0xFFFFFF; // 22
  uint32_t gradientColour3 = 0x808080; // 23
  int32_t horizontalAlign = 0;         // 24: 0 left, 1 centre, 2 right
  int32_t verticalAlign = 0;           // 26: 0 top, 1 centre, 2 bottom
  int32_t wordWrap = 0;                // 25
  std::vector<uint8_t> font;           // 15: 60-byte logical-font record or empty
  std::vector<uint8_t> backPicture;    // 18
  std::string caption = "标签";        // 8: GBK
  std::string data1;                   // 27 (version 2)
  std::string data2;                   // 28 (version 2)

  static std::optional<LabelBlock> Read(std::span<const uint8_t> block, BlockError* error = nullptr);
  std::vector<uint8_t> Write() const;
};

}  // namespace tl
