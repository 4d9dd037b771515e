// The balloon tip's stored property block, and the little of its style sheet that the tip
// window uses (the body font). Portable: the form generator writes the block, the unit reads it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "controls/block_reader.h"

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

struct BalloonTipBlock {
  static constexpr int32_t kVersion = 1;

  // Stored in this order, each an int32; property number = position (0 = initial delay).
  int32_t initialDelay = 600;       // ms the pointer must rest
  int32_t displayTime = 3000;       // ms a shown tip stays; 0 = until the pointer leaves
  int32_t fadeInTime = 0;
  int32_t fadeOutTime = 0;
  int32_t behaviour = 0;            // TipBehaviour bits
  uint32_t backColour = 0xE1FFFF;
  uint32_t shadeColour1 = 0xC0C0FF;
  uint32_t shadeColour2 = 0xFFC0C0;
  int32_t shadeEffect = 0;          // 0 plain back colour, 1 vertical shading between the two
  uint32_t textColour = kSystemTipTextColour;
  uint32_t borderColour = 0;
  int32_t borderWidth = 1;
  int32_t borderHeight = 1;
  int32_t cornerWidth = 16;
  int32_t cornerHeight = 16;
  int32_t marginX = 12;
  int32_t marginY = 12;
  int32_t anchorWidth = 12;
  int32_t anchorHeight = 16;
  int32_t anchorMargin = 16;
  int32_t anchorOffsetX = 0;
  int32_t anchorOffsetY = 0;
  // Further drawing options (shadow, image list and font settings); stored and carried through
  // re-creation, not interpreted by the tip window.
  std::array<int32_t, 21> otherOptions{};
  std::string styleSheet{DefaultTipStyleSheet()};  // counted text, GBK

  static constexpr int32_t kIntCount = 22 + 21;
  static constexpr int32_t kStyleSheetNumber = kIntCount;

  static std::optional<BalloonTipBlock> Read(std::span<const uint8_t> block, BlockError* error = nullptr);
  std::vector<uint8_t> Write() const;

  // The int fields by property number (0..kIntCount-1), for the property services.
  int32_t* IntField(int32_t number);
  const int32_t* IntField(int32_t number) const;
};

struct TipFont {
  int32_t pointSize = 9;
  std::string face;  // GBK; empty: the platform's choice
};
// The font of the style sheet's "body" rule (font-size in pt or px, the first font-family).
TipFont BodyFont(std::string_view styleSheet);

}  // namespace tl
