// The button unit (0x1000B): a push button with a caption or a picture; a click raises event 0.
#pragma once

#include "controls/appearance.h"
#include "controls/button_block.h"
#include "controls/control_unit.h"

namespace tl {

extern const UnitTypeDescriptor kButtonType;

class Button final : public BlockUnit<Button, ButtonBlock, ButtonProperty> {
 public:
  using BlockUnit::BlockUnit;
  // The control goes before the picture it shows.
  ~Button() override { DestroyControl(); }
  bool Build(uint32_t extraStyle, HWND parent, int32_t childId, Place place);
  static std::span<const Property<Button>> Properties();

 private:
  void ShowCaption();
  std::optional<LRESULT> OnNotification(UINT message, WPARAM wParam, LPARAM lParam) override;
  // The Apps key or Shift+F10 on a button is a right click on it.
  bool OpenKeyboardMenu() override {
    RaiseKeyboardRightClick();
    return true;
  }

  GdiObject picture_;
};

}  // namespace tl
