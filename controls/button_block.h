// The button's stored property block, its property and event numbers. Portable: the form
// generator writes it, the unit reads it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "runtime/block_fields.h"
#include "runtime/unit_type.h"

namespace tl {

enum class ButtonProperty : int32_t {
  Picture = kFirstOwnProperty,  // a BMP file, empty for none
  Kind,                         // 0 normal, 1 default push button
  Caption,
  HorizontalAlign,  // 0 left, 1 centre, 2 right
  VerticalAlign,    // 0 top, 1 centre, 2 bottom
  Font,             // 60-byte logical-font record, empty for the default font
  End
};

namespace ButtonEvent {
inline constexpr int32_t Clicked = 0;
}  // namespace ButtonEvent

struct ButtonBlock {
  static constexpr int32_t kVersion = 1;
  static constexpr std::string_view kBlockName = "button block";

  int32_t kind = 0;
  int32_t horizontalAlign = 1;
  int32_t verticalAlign = 1;
  std::vector<uint8_t> picture;
  std::vector<uint8_t> font;
  std::string caption = "按钮";  // GBK

  static constexpr auto Fields() {
    using B = ButtonBlock;
    return std::tuple{Field{"kind", &B::kind},
                      Field{"horizontal alignment", &B::horizontalAlign},
                      Field{"vertical alignment", &B::verticalAlign},
                      Field{"picture", &B::picture},
                      Field{"font", &B::font},
                      Field{"caption", &B::caption}};
  }
  static std::optional<ButtonBlock> Read(std::span<const uint8_t> b, ReadError* e = nullptr) { return ReadBlock<ButtonBlock>(b, e); }
  std::vector<uint8_t> Write() const { return WriteBlock(*this); }
};

}  // namespace tl
