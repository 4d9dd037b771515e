// The date picker unit (0x10017): a date-time picker control. A stored value of 0 means the
// date and time at which the control is created; property 10 reads the control's date-time.
#pragma once

#include "controls/control_unit.h"
#include "controls/date_picker_block.h"

namespace tl {

extern const UnitTypeDescriptor kDatePickerType;

class DatePicker final : public BlockUnit<DatePicker, DatePickerBlock> {
 public:
  using BlockUnit::BlockUnit;
  bool Build(uint32_t extraStyle, HWND parent, int32_t childId, Place place);
  static std::span<const Property<DatePicker>> Properties();

  std::vector<uint8_t> PropertyData() const override;

  // The control's date-time as an OLE date; 0 when it holds none.
  double Value() const;

 private:
  PropertyValue ValueProperty() const { return DoubleValue(Value()); }
  bool SetValueProperty(PropertyValue value);
  void ShowValue();
  void ApplyRange();
};

}  // namespace tl
