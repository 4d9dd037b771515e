// The transparent label unit (0x20005): a caption drawn without any background, so that the
// window and the controls beneath show through. The child window has the transparent extended
// style: the parent (even with clip-children) and the siblings beneath paint first.
#pragma once

#include "controls/appearance.h"
#include "controls/control_unit.h"
#include "controls/transparent_label_block.h"

namespace tl {

extern const UnitTypeDescriptor kTransparentLabelType;

class TransparentLabel final : public BlockUnit<TransparentLabel, TransparentLabelBlock, TransparentLabelProperty> {
 public:
  using BlockUnit::BlockUnit;
  ~TransparentLabel() override;
  bool Build(uint32_t extraStyle, HWND parent, int32_t childId, Place place);
  static std::span<const Property<TransparentLabel>> Properties();
  // The font property at the window's DPI; also after a change of DPI.
  void ApplyFont();

 private:
  void ShowCaption();
  PropertyValue WordWrap() const { return IntValue(block_.wordWrap); }
  bool SetWordWrap(PropertyValue value);
  void Repaint() const { RepaintBeneath(RectInParent()); }
  void Paint(HDC dc) const;
  // Repaints what lies beneath the given rectangle of the parent's client area, then the label.
  void RepaintBeneath(const RECT& inParent) const;
  RECT RectInParent() const;
  void OnPlaced();
  bool OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  RECT placedAt_{};  // where the label was before a move, in the parent's client coordinates
};

}  // namespace tl
