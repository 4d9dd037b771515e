// The balloon tip's stored property block, its property numbers, and the little of its style
// sheet that the tip window uses (the body font). Portable: the form generator writes the
// block, the unit reads it.
#pragma once

#include "runtime/block_fields.h"

namespace tl {

// As a text colour: the system's tooltip text colour.
inline constexpr uint32_t kSystemTipTextColour = 0xFF000000;

// Bits of the behaviour option: what a shown tip does while the pointer moves inside its item.
namespace TipBehaviour {
inline constexpr int32_t FollowPointer = 1;
inline constexpr int32_t RestartDisplayTime = 2;
inline constexpr int32_t StayWhileMoving = 4;
}  // namespace TipBehaviour

// The style sheet the unit starts with: body and paragraph text in 9-point "宋体" (Verdana as
// fall-back), headings, pre/code, links and the sub/sup/big/small/comment classes.
std::string_view DefaultTipStyleSheet();

// Its properties are the block's int fields in stored order, then the style sheet.
enum class BalloonTipProperty : int32_t {
  InitialDelay = kFirstOwnProperty, DisplayTime, FadeInTime, FadeOutTime, Behaviour, BackColour, ShadeColour1,
  ShadeColour2, ShadeEffect, TextColour, BorderColour, BorderWidth, BorderHeight, CornerWidth, CornerHeight, MarginX,
  MarginY, AnchorWidth, AnchorHeight, AnchorMargin, AnchorOffsetX, AnchorOffsetY,
  OtherOptions,  // the first of 21
  StyleSheet = OtherOptions + 21, End
};

struct BalloonTipBlock {
  static constexpr int32_t kVersion = 1;
  static constexpr std::string_view kBlockName = "balloon tip block";
  static constexpr int32_t kIntCount = Number(BalloonTipProperty::StyleSheet) - kFirstOwnProperty;

  // The times in ms: how long the pointer must rest, how long a shown tip stays (0: until the
  // pointer leaves), the fades.
  int32_t initialDelay = 600, displayTime = 3000, fadeInTime = 0, fadeOutTime = 0;
  int32_t behaviour = 0;  // TipBehaviour bits
  uint32_t backColour = 0xE1FFFF, shadeColour1 = 0xC0C0FF, shadeColour2 = 0xFFC0C0;
  int32_t shadeEffect = 0;  // 0 plain back colour, 1 vertical shading between the two
  uint32_t textColour = kSystemTipTextColour, borderColour = 0;
  int32_t borderWidth = 1, borderHeight = 1, cornerWidth = 16, cornerHeight = 16, marginX = 12, marginY = 12;
  int32_t anchorWidth = 12, anchorHeight = 16, anchorMargin = 16, anchorOffsetX = 0, anchorOffsetY = 0;
  // Further drawing options (shadow, image list and font settings); stored and carried through
  // re-creation, not interpreted by the tip window.
  std::array<int32_t, 21> otherOptions{};
  std::string styleSheet{DefaultTipStyleSheet()};  // GBK

  static constexpr auto Fields() {
    using B = BalloonTipBlock;
    return std::tuple{
        Field{"initial delay", &B::initialDelay}, Field{"display time", &B::displayTime},
        Field{"fade-in time", &B::fadeInTime}, Field{"fade-out time", &B::fadeOutTime},
        Field{"behaviour", &B::behaviour}, Field{"back colour", &B::backColour},
        Field{"shade colour 1", &B::shadeColour1}, Field{"shade colour 2", &B::shadeColour2},
        Field{"shade effect", &B::shadeEffect}, Field{"text colour", &B::textColour},
        Field{"border colour", &B::borderColour}, Field{"border width", &B::borderWidth},
        Field{"border height", &B::borderHeight}, Field{"corner width", &B::cornerWidth},
        Field{"corner height", &B::cornerHeight}, Field{"margin x", &B::marginX}, Field{"margin y", &B::marginY},
        Field{"anchor width", &B::anchorWidth}, Field{"anchor height", &B::anchorHeight},
        Field{"anchor margin", &B::anchorMargin}, Field{"anchor offset x", &B::anchorOffsetX},
        Field{"anchor offset y", &B::anchorOffsetY}, Field{"other option", &B::otherOptions},
        Field{"style sheet", &B::styleSheet}};
  }
  static auto Read(std::span<const uint8_t> b, ReadError* e = nullptr) { return ReadBlock<BalloonTipBlock>(b, e); }
  std::vector<uint8_t> Write() const { return WriteBlock(*this); }

  // The int fields by their place in the stored order (0..kIntCount-1), for the property
  // services; null outside.
  int32_t* IntField(int32_t index);
  const int32_t* IntField(int32_t index) const;
};

struct TipFont {
  int32_t pointSize = 9;
  std::string face;  // GBK; empty: the platform's choice
};
// The font of the style sheet's "body" rule (font-size in pt or px, the first font-family).
TipFont BodyFont(std::string_view styleSheet);

}  // namespace tl
