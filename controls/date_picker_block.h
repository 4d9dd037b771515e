// The date picker's stored property block and its property numbers. Portable: the form
// generator writes it, the unit reads it. Date-times are OLE Automation dates (days since
// 30 December 1899).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "runtime/block_fields.h"
#include "runtime/unit_type.h"

namespace tl {

enum class DatePickerProperty : int32_t {
  DropDownCalendar = kFirstOwnProperty,  // true a drop-down month calendar, false up-down arrows
  Format,                                // 0 short date, 1 long date, 2 time
  Value,                                 // the control's date-time; stored 0: that of creation
  Earliest,                              // 0 no lower limit
  Latest,                                // 0 no upper limit
  Font,                                  // 60-byte logical-font record or empty
  Border,                                // 0 none, 1 sunken
  End
};

struct DatePickerBlock {
  static constexpr int32_t kVersion = 2;
  static constexpr std::string_view kBlockName = "date picker block";

  int32_t dropDownCalendar = 1;
  int32_t format = 0;
  double value = 0;
  double earliest = 0;
  double latest = 0;
  int32_t border = 1;
  std::vector<uint8_t> font;
  std::string data1;
  std::string data2;

  static constexpr auto Fields() {
    using B = DatePickerBlock;
    return std::tuple{Field{"drop-down calendar", &B::dropDownCalendar},
                      Field{"format", &B::format},
                      Field{"value", &B::value},
                      Field{"earliest", &B::earliest},
                      Field{"latest", &B::latest},
                      Field{"border", &B::border},
                      Field{"font", &B::font},
                      Field{"data 1", &B::data1, 2},
                      Field{"data 2", &B::data2, 2}};
  }
  static std::optional<DatePickerBlock> Read(std::span<const uint8_t> b, ReadError* e = nullptr) { return ReadBlock<DatePickerBlock>(b, e); }
  std::vector<uint8_t> Write() const { return WriteBlock(*this); }
};

}  // namespace tl
