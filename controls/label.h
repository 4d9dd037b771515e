// The label unit (0x1000A): a child window of the runtime's "_RT_Label" class that paints its
// background colour and its caption itself. Labels are drag handles: with the window's
// drag-anywhere property a press on a label moves the window.
#pragma once

#include "controls/appearance.h"
#include "controls/control_unit.h"
#include "controls/label_block.h"

namespace tl {

extern const UnitTypeDescriptor kLabelType;

class Label final : public BlockUnit<Label, LabelBlock, LabelProperty> {
 public:
  using BlockUnit::BlockUnit;
  bool Build(uint32_t extraStyle, HWND parent, int32_t childId, Place place);
  static std::span<const Property<Label>> Properties();

  bool IsDragHandle() const override { return true; }
  // The font property at the window's DPI; also after a change of DPI.
  void ApplyFont();

 private:
  void ShowCaption();
  void Repaint();
  void Paint(HDC dc) const;
  bool OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

}  // namespace tl
