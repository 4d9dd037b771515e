// The transparent label's stored property block and its property numbers. Portable: the form
// generator writes it, the unit reads it.
#pragma once

#include "runtime/block_fields.h"

namespace tl {

enum class TransparentLabelProperty : int32_t {
  Caption = kFirstOwnProperty, Effect, Font, TextColour, HorizontalAlign, WordWrap, VerticalAlign, End
};

// Writes of the effect and the two alignments are kept within 0..top.
constexpr int32_t ClampProperty(int32_t value, int32_t top) { return value < 0 ? 0 : (value > top ? top : value); }

struct TransparentLabelBlock {
  static constexpr int32_t kVersion = 1;  // versions 0 and 1 share one layout
  static constexpr std::string_view kBlockName = "transparent label block";
  // Stored values out of range read as the nearest in range.
  static std::optional<TransparentLabelBlock> Read(std::span<const uint8_t> b, ReadError* e = nullptr) {
    auto block = ReadBlock<TransparentLabelBlock>(b, e);
    if (block) {
      block->effect = ClampProperty(block->effect, 3);
      block->horizontalAlign = ClampProperty(block->horizontalAlign, 2);
      block->verticalAlign = ClampProperty(block->verticalAlign, 2);
    }
    return block;
  }
  std::vector<uint8_t> Write() const { return WriteBlock(*this); }

  int32_t effect = 0;  // 0 none, 1 raised, 2 engraved, 3 shadow
  uint32_t textColour = 0;
  // 0 left or top, 1 centre, 2 right or bottom (the vertical one without word wrap).
  int32_t horizontalAlign = 0, verticalAlign = 1, wordWrap = 0;
  std::vector<uint8_t> font;  // 60-byte logical-font record; anything else: default font
  std::string caption = "透明标签";  // GBK

  static constexpr auto Fields() {
    using B = TransparentLabelBlock;
    return std::tuple{
        Field{"effect", &B::effect}, Field{"text colour", &B::textColour},
        Field{"horizontal alignment", &B::horizontalAlign}, Field{"vertical alignment", &B::verticalAlign},
        Field{"word wrap", &B::wordWrap}, Field{"font", &B::font}, Field{"caption", &B::caption}};
  }
};

}  // namespace tl
