// The date picker's stored property block. Portable: the form generator writes it, the unit
// reads it. Date-times are OLE Automation dates (days since 30 December 1899).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "controls/block_reader.h"

namespace tl {

struct DatePickerBlock {
  static constexpr int32_t kVersion = 2;

  int32_t dropDownCalendar = 1;  // 8: true a drop-down month calendar, false up-down arrows
  int32_t format = 0;            // 9: 0 short date, 1 long date, 2 time
  double value = 0;              // 10: 0 means the date and time of creation
  double earliest = 0;           // 11: 0 no lower limit
  double latest = 0;             // 12: 0 no upper limit
  int32_t border = 1;            // 14: 0 none, 1 sunken
  std::vector<uint8_t> font;     // 13: 60-byte logical-font record or empty
  std::string data1;             // version 2
  std::string data2;             // version 2

  static std::optional<DatePickerBlock> Read(std::span<const uint8_t> block, BlockError* error = nullptr);
  std::vector<uint8_t> Write() const;
};

}  // namespace tl
