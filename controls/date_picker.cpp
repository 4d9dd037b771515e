#include "controls/date_picker.h"

#include <commctrl.h>

#include "runtime/late_bound.h"

namespace tl {
namespace {

DWORD StyleOf(const DatePickerBlock& b) {
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  style |= b.format == 1 ? DTS_LONGDATEFORMAT : (b.format == 2 ? DTS_TIMEFORMAT : DTS_SHORTDATEFORMAT);
  if (!b.dropDownCalendar || b.format == 2) style |= DTS_UPDOWN;
  return style;
}

bool ToSystemTime(double oleDate, SYSTEMTIME& time) {
  return late::VariantTimeToSystemTime(oleDate, &time) != 0;
}

}  // namespace

const UnitTypeDescriptor kDatePickerType = {"日期框", "DatePicker", UnitState::RaisesEvents,
                                            &UnitInterface<DatePicker>};

std::span<const Property<DatePicker>> DatePicker::Properties() {
  using B = DatePickerBlock;
  using D = DatePicker;
  static constexpr Property<DatePicker> kTable[] = {
      Stored<&B::dropDownCalendar, kRebuild>(),                              // 8
      Stored<&B::format, kRebuild>(),                                        // 9
      Live<&D::ValueProperty, &D::SetValueProperty>(),                        // 10
      Stored<&B::earliest, &D::ApplyRange>(),                                // 11
      Stored<&B::latest, &D::ApplyRange>(),                                  // 12
      Stored<&B::font, &D::ApplyFont>(),                                     // 13
      Stored<&B::border, kRebuild>(),                                        // 14
  };
  return kTable;
}

bool DatePicker::Build(uint32_t extraStyle, HWND parent, int32_t childId, Place place) {
  EnsureCommonControls(ICC_DATE_CLASSES);
  HWND hwnd = CreateWindowExW(block_.border ? WS_EX_CLIENTEDGE : 0, DATETIMEPICK_CLASSW, L"", StyleOf(block_) | extraStyle,
                              place.left, place.top, place.width, place.height, parent,
                              reinterpret_cast<HMENU>(static_cast<intptr_t>(childId)), GetModuleHandleW(nullptr),
                              nullptr);
  if (!hwnd) return false;
  Attach(hwnd);
  ApplyFont();
  ApplyRange();
  ShowValue();
  return true;
}

void DatePicker::ApplyFont() {
  font_ = FontFromRecord(block_.font);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.font()), TRUE);
}

void DatePicker::ApplyRange() {
  SYSTEMTIME range[2]{};
  WPARAM which = 0;
  if (block_.earliest != 0 && ToSystemTime(block_.earliest, range[0])) which |= GDTR_MIN;
  if (block_.latest != 0 && ToSystemTime(block_.latest, range[1])) which |= GDTR_MAX;
  SendMessageW(hwnd_, DTM_SETRANGE, which, reinterpret_cast<LPARAM>(range));
}

void DatePicker::ShowValue() {
  SYSTEMTIME time{};
  if (block_.value == 0 || !ToSystemTime(block_.value, time)) GetLocalTime(&time);
  SendMessageW(hwnd_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

bool DatePicker::SetValueProperty(PropertyValue value) {
  block_.value = ValueDouble(value);
  ShowValue();
  return false;
}

double DatePicker::Value() const {
  SYSTEMTIME time{};
  if (SendMessageW(hwnd_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) != GDT_VALID) return 0;
  double oleDate = 0;
  return late::SystemTimeToVariantTime(&time, &oleDate) ? oleDate : 0;
}

std::vector<uint8_t> DatePicker::PropertyData() const {
  DatePickerBlock current = block_;
  if (hwnd_) current.value = Value();
  return current.Write();
}

}  // namespace tl
