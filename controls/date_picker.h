// The date picker unit (0x10017): a date-time picker control. A stored value of 0 means the
// date and time at which the control is created; property 10 reads the control's date-time.
#pragma once

#include <memory>

#include "controls/common_controls_b.h"
#include "controls/date_picker_block.h"
#include "runtime/unit.h"
#include "runtime/unit_type.h"

namespace tl {

class DatePicker final : public Unit {
 public:
  static std::unique_ptr<DatePicker> Create(const DatePickerBlock& block, uint32_t extraStyle, HWND parent,
                                            int32_t childId, Place place, uint32_t windowId, uint32_t unitId);
  DatePicker(const DatePickerBlock& block, uint32_t windowId, uint32_t unitId)
      : Unit(windowId, unitId), block_(block) {}
  ~DatePicker() override;

  std::vector<uint8_t> PropertyData() const override;

  PropertyValue Read(int32_t number) const;
  bool Write(int32_t number, PropertyValue value);

  // The control's date-time as an OLE date; 0 when it holds none.
  double Value() const;

 private:
  void SetValue(double oleDate);
  void ApplyRange();
  void ApplyFont();

  DatePickerBlock block_;
  GdiObject font_;
};

extern const UnitTypeDescriptor kDatePickerType;

}  // namespace tl
