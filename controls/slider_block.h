// The slider bar's stored property block: version, then its twelve own properties as int32 in
// property order. Its property and event numbers. Portable: the form generator writes it, the
// slider reads it.
#pragma once

#include "runtime/block_fields.h"

namespace tl {

enum class SliderProperty : int32_t {
  Border = kFirstOwnProperty, Vertical, TickMarks, TickFrequency, ShowSelection, SelectionStart, SelectionLength,
  PageSize, LineSize, Minimum, Maximum, Position, End
};

namespace SliderEvent { inline constexpr int32_t PositionChanged = 0; }  // the user moved the thumb

struct SliderBlock {
  static constexpr int32_t kVersion = 1;
  static constexpr std::string_view kBlockName = "slider bar block";

  int32_t border = 0, vertical = 0;  // border: 0 none .. 5 single line
  int32_t tickMarks = 2, tickFrequency = 1;  // marks: 0 none, 1 above/left, 2 below/right, 3 both
  int32_t showSelection = 0, selectionStart = 0, selectionLength = 0;
  int32_t pageSize = 5, lineSize = 1, minimum = 1, maximum = 10, position = 1;

  static constexpr auto Fields() {
    using B = SliderBlock;
    return std::tuple{
        Field{"border", &B::border}, Field{"vertical", &B::vertical}, Field{"tick marks", &B::tickMarks},
        Field{"tick frequency", &B::tickFrequency}, Field{"show selection", &B::showSelection},
        Field{"selection start", &B::selectionStart}, Field{"selection length", &B::selectionLength},
        Field{"page size", &B::pageSize}, Field{"line size", &B::lineSize}, Field{"minimum", &B::minimum},
        Field{"maximum", &B::maximum}, Field{"position", &B::position}};
  }
  static auto Read(std::span<const uint8_t> b, ReadError* e = nullptr) { return ReadBlock<SliderBlock>(b, e); }
  std::vector<uint8_t> Write() const { return WriteBlock(*this); }
};

}  // namespace tl
