// The button unit (0x1000B): a push button with a caption or a picture; a click raises event 0.
#pragma once

#include <memory>

#include "controls/button_block.h"
#include "controls/common_controls_b.h"
#include "runtime/unit.h"
#include "runtime/unit_type.h"

namespace tl {

class Button final : public Unit, private ParentNotifications {
 public:
  static std::unique_ptr<Button> Create(const ButtonBlock& block, uint32_t extraStyle, HWND parent,
                                        int32_t childId, Place place, uint32_t windowId, uint32_t unitId);
  Button(const ButtonBlock& block, uint32_t windowId, uint32_t unitId) : Unit(windowId, unitId), block_(block) {}
  ~Button() override;

  std::vector<uint8_t> PropertyData() const override { return block_.Write(); }

  PropertyValue Read(int32_t number) const;
  bool Write(int32_t number, PropertyValue value);

 private:
  void ApplyFont();
  std::optional<LRESULT> OnParentMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  ButtonBlock block_;
  GdiObject font_;
  GdiObject picture_;
};

extern const UnitTypeDescriptor kButtonType;

}  // namespace tl
