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
  using P = DatePickerProperty;
  static constexpr auto kTable = TableOf<D, P>({
      {P::DropDownCalendar, Stored<&B::dropDownCalendar, kRebuild>()},
      {P::Format, Stored<&B::format, kRebuild>()},
      {P::Value, Live<&D::ValueProperty, &D::SetValueProperty>()},
      {P::Earliest, Stored<&B::earliest, &D::ApplyRange>()},
      {P::Latest, Stored<&B::latest, &D::ApplyRange>()},
      {P::Font, Stored<&B::font, &D::ApplyFont>()},
      {P::Border, Stored<&B::border, kRebuild>()},
  });
  return kTable;
}

bool DatePicker::Build(uint32_t extraStyle, HWND parent, int32_t childId, Place place) {
  EnsureCommonControls(ICC_DATE_CLASSES);
  const DWORD exStyle = block_.border ? WS_EX_CLIENTEDGE : 0;
  if (!CreateControl(DATETIMEPICK_CLASSW, exStyle, StyleOf(block_) | extraStyle, parent, childId, place)) return false;
  ApplyFont();
  ApplyRange();
  ShowValue();
  return true;
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
