// The date picker's stored property block and its property numbers. Portable: the form
// generator writes it, the unit reads it. Date-times are OLE Automation dates (days since
// 30 December 1899).
#pragma once

#include "runtime/block_fields.h"

namespace tl {

// Value reads the control's date-time.
enum class DatePickerProperty : int32_t {
  DropDownCalendar = kFirstOwnProperty, Format, Value, Earliest, Latest, Font, Border, End
};

struct DatePickerBlock {
  static constexpr int32_t kVersion = 2;
  static constexpr std::string_view kBlockName = "date picker block";

  int32_t dropDownCalendar = 1;  // true a drop-down month calendar, false up-down arrows
  int32_t format = 0;            // 0 short date, 1 long date, 2 time
  // The value 0 means the date and time of creation; a limit 0, none.
  double value = 0, earliest = 0, latest = 0;
  int32_t border = 1;         // 0 none, 1 sunken
  std::vector<uint8_t> font;  // 60-byte logical-font record or empty
  std::string data1, data2;

  static constexpr auto Fields() {
    using B = DatePickerBlock;
    return std::tuple{
        Field{"drop-down calendar", &B::dropDownCalendar}, Field{"format", &B::format}, Field{"value", &B::value},
        Field{"earliest", &B::earliest}, Field{"latest", &B::latest}, Field{"border", &B::border},
        Field{"font", &B::font}, Field{"data 1", &B::data1, 2}, Field{"data 2", &B::data2, 2}};
  }
  static auto Read(std::span<const uint8_t> b, ReadError* e = nullptr) { return ReadBlock<DatePickerBlock>(b, e); }
  std::vector<uint8_t> Write() const { return WriteBlock(*this); }
};

}  // namespace tl
