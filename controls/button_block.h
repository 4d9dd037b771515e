// The button's stored property block, its property and event numbers. Portable: the form
// generator writes it, the unit reads it.
#pragma once

#include "runtime/block_fields.h"

namespace tl {

enum class ButtonProperty : int32_t {
  Picture = kFirstOwnProperty, Kind, Caption, HorizontalAlign, VerticalAlign, Font, End
};

namespace ButtonEvent { inline constexpr int32_t Clicked = 0; }

struct ButtonBlock {
  static constexpr int32_t kVersion = 1;
  static constexpr std::string_view kBlockName = "button block";

  int32_t kind = 0;  // 0 normal, 1 default push button
  // 0 left or top, 1 centre, 2 right or bottom.
  int32_t horizontalAlign = 1, verticalAlign = 1;
  // A BMP file, empty for none; a 60-byte logical-font record, empty for the default font.
  std::vector<uint8_t> picture, font;
  std::string caption = "按钮";  // GBK

  static constexpr auto Fields() {
    using B = ButtonBlock;
    return std::tuple{
        Field{"kind", &B::kind}, Field{"horizontal alignment", &B::horizontalAlign},
        Field{"vertical alignment", &B::verticalAlign}, Field{"picture", &B::picture}, Field{"font", &B::font},
        Field{"caption", &B::caption}};
  }
  static auto Read(std::span<const uint8_t> b, ReadError* e = nullptr) { return ReadBlock<ButtonBlock>(b, e); }
  std::vector<uint8_t> Write() const { return WriteBlock(*this); }
};

}  // namespace tl
