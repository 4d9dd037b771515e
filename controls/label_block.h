// The label's stored property block and its property numbers. Portable: the form generator
// writes it, the unit reads it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "runtime/block_fields.h"
#include "runtime/unit_type.h"

namespace tl {

// 0xFF000000 as a colour: the system's default (the dialog face colour for a background).
inline constexpr uint32_t kDefaultColour = 0xFF000000;

enum class LabelProperty : int32_t {
  Caption = kFirstOwnProperty,
  TextEffect,  // 0 none, 1 raised, 2 engraved, 3 shadow
  BorderStyle,
  EffectDepth,
  ShadowColour,
  HighlightColour,
  BorderColour,
  Font,  // 60-byte logical-font record or empty
  TextColour,
  BackColour,
  BackPicture,
  BackgroundMode,
  GradientStyle,
  GradientColour1,
  GradientColour2,
  GradientColour3,
  HorizontalAlign,  // 0 left, 1 centre, 2 right
  WordWrap,
  VerticalAlign,  // 0 top, 1 centre, 2 bottom
  Data1,
  Data2,
  End
};

struct LabelBlock {
  static constexpr int32_t kVersion = 2;
  static constexpr std::string_view kBlockName = "label block";

  int32_t textEffect = 0;
  int32_t effectDepth = 8;
  int32_t borderStyle = 0;
  uint32_t shadowColour = 0x808080;
  uint32_t highlightColour = 0xFFFFFF;
  uint32_t borderColour = 0x808080;
  uint32_t textColour = 0;
  uint32_t backColour = kDefaultColour;
  int32_t backgroundMode = 1;
  int32_t gradientStyle = 0;
  uint32_t gradientColour1 = 0x808080;
  uint32_t gradientColour2 = 0xFFFFFF;
  uint32_t gradientColour3 = 0x808080;
  int32_t horizontalAlign = 0;
  int32_t verticalAlign = 0;
  int32_t wordWrap = 0;
  std::vector<uint8_t> font;
  std::vector<uint8_t> backPicture;
  std::string caption = "标签";  // GBK
  std::string data1;
  std::string data2;

  static constexpr auto Fields() {
    using B = LabelBlock;
    return std::tuple{Field{"text effect", &B::textEffect},
                      Field{"effect depth", &B::effectDepth},
                      Field{"border style", &B::borderStyle},
                      Field{"shadow colour", &B::shadowColour},
                      Field{"highlight colour", &B::highlightColour},
                      Field{"border colour", &B::borderColour},
                      Field{"text colour", &B::textColour},
                      Field{"back colour", &B::backColour},
                      Field{"background mode", &B::backgroundMode},
                      Field{"gradient style", &B::gradientStyle},
                      Field{"gradient colour 1", &B::gradientColour1},
                      Field{"gradient colour 2", &B::gradientColour2},
                      Field{"gradient colour 3", &B::gradientColour3},
                      Field{"horizontal alignment", &B::horizontalAlign},
                      Field{"vertical alignment", &B::verticalAlign},
                      Field{"word wrap", &B::wordWrap},
                      Field{"font", &B::font},
                      Field{"back picture", &B::backPicture},
                      Field{"caption", &B::caption},
                      Field{"data 1", &B::data1, 2},
                      Field{"data 2", &B::data2, 2}};
  }
  static std::optional<LabelBlock> Read(std::span<const uint8_t> b, ReadError* e = nullptr) { return ReadBlock<LabelBlock>(b, e); }
  std::vector<uint8_t> Write() const { return WriteBlock(*this); }
};

}  // namespace tl
