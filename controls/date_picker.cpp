#include "controls/date_picker.h"

#include <commctrl.h>
#include <oleauto.h>

namespace tl {
namespace {

DWORD StyleOf(const DatePickerBlock& b) {
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  style |= b.format == 1 ? DTS_LONGDATEFORMAT : (b.format == 2 ? DTS_TIMEFORMAT : DTS_SHORTDATEFORMAT);
  if (!b.dropDownCalendar || b.format == 2) style |= DTS_UPDOWN;
  return style;
}

bool ToSystemTime(double oleDate, SYSTEMTIME& time) {
  return VariantTimeToSystemTime(oleDate, &time) != 0;
}

}  // namespace

std::unique_ptr<DatePicker> DatePicker::Create(const DatePickerBlock& block, uint32_t extraStyle, HWND parent,
                                               int32_t childId, Place place, uint32_t windowId, uint32_t unitId) {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_DATE_CLASSES};
  InitCommonControlsEx(&classes);
  auto unit = std::make_unique<DatePicker>(block, windowId, unitId);
  unit->hwnd_ = CreateWindowExW(block.border ? WS_EX_CLIENTEDGE : 0, DATETIMEPICK_CLASSW, L"",
                                StyleOf(block) | extraStyle, place.left, place.top, place.width, place.height,
                                parent, reinterpret_cast<HMENU>(static_cast<intptr_t>(childId)),
                                GetModuleHandleW(nullptr), nullptr);
  if (!unit->hwnd_) return nullptr;
  unit->ApplyFont();
  unit->ApplyRange();
  unit->SetValue(block.value);
  return unit;
}

DatePicker::~DatePicker() { DestroyNativeWindow(hwnd_); }

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

void DatePicker::SetValue(double oleDate) {
  SYSTEMTIME time{};
  if (oleDate == 0 || !ToSystemTime(oleDate, time)) GetLocalTime(&time);
  SendMessageW(hwnd_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

double DatePicker::Value() const {
  SYSTEMTIME time{};
  if (SendMessageW(hwnd_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) != GDT_VALID) return 0;
  double oleDate = 0;
  return SystemTimeToVariantTime(&time, &oleDate) ? oleDate : 0;
}

std::vector<uint8_t> DatePicker::PropertyData() const {
  DatePickerBlock current = block_;
  if (hwnd_) current.value = Value();
  return current.Write();
}

PropertyValue DatePicker::Read(int32_t number) const {
  switch (number + 8) {
    case 8: return IntValue(block_.dropDownCalendar);
    case 9: return IntValue(block_.format);
    case 10: return DoubleValue(Value());
    case 11: return DoubleValue(block_.earliest);
    case 12: return DoubleValue(block_.latest);
    case 13: return BytesValue(block_.font);
    case 14: return IntValue(block_.border);
    default: return {};
  }
}

bool DatePicker::Write(int32_t number, PropertyValue value) {
  switch (number + 8) {
    case 8: block_.dropDownCalendar = ValueInt(value); return true;
    case 9: block_.format = ValueInt(value); return true;
    case 10:
      block_.value = ValueDouble(value);
      SetValue(block_.value);
      return false;
    case 11:
      block_.earliest = ValueDouble(value);
      ApplyRange();
      return false;
    case 12:
      block_.latest = ValueDouble(value);
      ApplyRange();
      return false;
    case 13:
      block_.font = ValueBytes(value);
      ApplyFont();
      return false;
    case 14: block_.border = ValueInt(value); return true;
    default: return false;
  }
}

namespace {

Unit* CreateDatePicker(const uint8_t* block, int32_t length, uint32_t extraStyle, HWND parent, int32_t childId,
                       HMENU, int32_t left, int32_t top, int32_t width, int32_t height, uint32_t windowId,
                       uint32_t unitId, int32_t, int32_t) {
  const std::optional<DatePickerBlock> data = DatePickerBlock::Read(BlockBytes(block, length));
  if (!data) return nullptr;
  return DatePicker::Create(*data, extraStyle, parent, childId, Place{left, top, width, height}, windowId,
                            unitId)
      .release();
}

int WriteDatePicker(Unit* unit, int32_t number, PropertyValue value) {
  return static_cast<DatePicker*>(unit)->Write(number, value) ? 1 : 0;
}

PropertyValue ReadDatePicker(Unit* unit, int32_t number) {
  return static_cast<DatePicker*>(unit)->Read(number);
}

void* DatePickerInterface(InterfaceCode code) {
  switch (code) {
    case InterfaceCode::CreateUnit: return reinterpret_cast<void*>(&CreateDatePicker);
    case InterfaceCode::WriteProperty: return reinterpret_cast<void*>(&WriteDatePicker);
    case InterfaceCode::ReadProperty: return reinterpret_cast<void*>(&ReadDatePicker);
  }
  return nullptr;
}

}  // namespace

const UnitTypeDescriptor kDatePickerType = {"日期框", "DatePicker", UnitState::RaisesEvents,
                                            &DatePickerInterface};

}  // namespace tl
