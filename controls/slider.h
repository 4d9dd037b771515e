// The slider bar unit (type 0x10014): the platform trackbar with twelve own properties
// (indexes 8-19), raising event 0 when the user moves the thumb (the runtime raises -7/-8).
// Windows only.
#pragma once

#include "controls/control_unit.h"
#include "controls/slider_block.h"

namespace tl {

extern const UnitTypeDescriptor kSliderBarType;

class Slider final : public BlockUnit<Slider, SliderBlock, SliderProperty> {
 public:
  Slider(const SliderBlock& block, uint32_t windowId, uint32_t unitId);
  bool Build(uint32_t extraStyle, HWND parent, int32_t childId, Place place);
  static std::span<const Property<Slider>> Properties();

 private:
  PropertyValue SelectionStart() const;
  bool SetSelectionStart(PropertyValue value);
  PropertyValue SelectionLength() const;
  bool SetSelectionLength(PropertyValue value);

  void ApplyBorder();
  void ApplyRange();
  void ApplyPosition();
  void ApplySteps();
  void ApplySelection();
  std::optional<LRESULT> OnNotification(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace tl
