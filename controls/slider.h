// The slider bar unit (type 0x10014): the platform trackbar with twelve own properties
// (indexes 8-19), raising event 0 when the user moves the thumb (the runtime raises -7/-8).
// Windows only.
#pragma once

#include "controls/common_controls_a.h"
#include "controls/slider_block.h"
#include "runtime/unit_type.h"

namespace tl {

extern const UnitTypeDescriptor kSliderBarType;

class SliderUnit final : public ControlUnit {
 public:
  SliderUnit(uint32_t windowId, uint32_t unitId, const SliderBlock& block);

  bool Create(uint32_t extraStyle, HWND parent, int32_t childId, RECT bounds);
  // Own property index (8-19); answers true when the control must be built anew.
  bool WriteProperty(int32_t index, int32_t value);
  int32_t ReadProperty(int32_t index) const;
  std::vector<uint8_t> PropertyData() const override { return block_.Write(); }

 protected:
  bool OnNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  int32_t SpanOfRange() const;
  void ApplyRange();
  void ApplyPosition();
  void ApplySteps();
  void ApplySelection();

  SliderBlock block_;
};

}  // namespace tl
