// The label's stored property block and its property numbers. Portable: the form generator
// writes it, the unit reads it.
#pragma once

#include "runtime/block_fields.h"

namespace tl {

// 0xFF000000 as a colour: the system's default (the dialog face colour for a background).
inline constexpr uint32_t kDefaultColour = 0xFF000000;

enum class LabelProperty : int32_t {
  Caption = kFirstOwnProperty, TextEffect, BorderStyle, EffectDepth, ShadowColour, HighlightColour, BorderColour,
  Font, TextColour, BackColour, BackPicture, BackgroundMode, GradientStyle, GradientColour1, GradientColour2,
  GradientColour3, HorizontalAlign, WordWrap, VerticalAlign, Data1, Data2, End
};

struct LabelBlock {
  static constexpr int32_t kVersion = 2;
  static constexpr std::string_view kBlockName = "label block";

  int32_t textEffect = 0, effectDepth = 8, borderStyle = 0;  // effect: 0 none, 1 raised, 2 engraved, 3 shadow
  uint32_t shadowColour = 0x808080, highlightColour = 0xFFFFFF, borderColour = 0x808080;
  uint32_t textColour = 0, backColour = kDefaultColour;
  int32_t backgroundMode = 1, gradientStyle = 0;
  uint32_t gradientColour1 = 0x808080, gradientColour2 = 0xFFFFFF, gradientColour3 = 0x808080;
  // Alignments: 0 left or top, 1 centre, 2 right or bottom.
  int32_t horizontalAlign = 0, verticalAlign = 0, wordWrap = 0;
  std::vector<uint8_t> font, backPicture;  // a 60-byte logical-font record or empty; a picture file
  std::string caption = "标签", data1, data2;  // GBK

  static constexpr auto Fields() {
    using B = LabelBlock;
    return std::tuple{
        Field{"text effect", &B::textEffect}, Field{"effect depth", &B::effectDepth},
        Field{"border style", &B::borderStyle}, Field{"shadow colour", &B::shadowColour},
        Field{"highlight colour", &B::highlightColour}, Field{"border colour", &B::borderColour},
        Field{"text colour", &B::textColour}, Field{"back colour", &B::backColour},
        Field{"background mode", &B::backgroundMode}, Field{"gradient style", &B::gradientStyle},
        Field{"gradient colour 1", &B::gradientColour1}, Field{"gradient colour 2", &B::gradientColour2},
        Field{"gradient colour 3", &B::gradientColour3}, Field{"horizontal alignment", &B::horizontalAlign},
        Field{"vertical alignment", &B::verticalAlign}, Field{"word wrap", &B::wordWrap}, Field{"font", &B::font},
        Field{"back picture", &B::backPicture}, Field{"caption", &B::caption}, Field{"data 1", &B::data1, 2},
        Field{"data 2", &B::data2, 2}};
  }
  static auto Read(std::span<const uint8_t> b, ReadError* e = nullptr) { return ReadBlock<LabelBlock>(b, e); }
  std::vector<uint8_t> Write() const { return WriteBlock(*this); }
};

}  // namespace tl
