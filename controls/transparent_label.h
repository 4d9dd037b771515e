// The transparent label unit (0x20005): a caption drawn without any background, so that the
// window and the controls beneath show through. The child window has the transparent extended
// style: the parent (even with clip-children) and the siblings beneath paint first.
#pragma once

#include <memory>

#include "controls/common_controls_b.h"
#include "controls/transparent_label_block.h"
#include "runtime/unit.h"
#include "runtime/unit_type.h"

namespace tl {

class TransparentLabel final : public Unit {
 public:
  static std::unique_ptr<TransparentLabel> Create(const TransparentLabelBlock& block, uint32_t extraStyle,
                                                  HWND parent, int32_t childId, Place place,
                                                  uint32_t windowId, uint32_t unitId);
  TransparentLabel(const TransparentLabelBlock& block, uint32_t windowId, uint32_t unitId)
      : Unit(windowId, unitId), block_(block) {}
  ~TransparentLabel() override;

  std::vector<uint8_t> PropertyData() const override { return block_.Write(); }

  PropertyValue Read(int32_t number) const;
  bool Write(int32_t number, PropertyValue value);

 private:
  void Paint(HDC dc) const;
  // Repaints what lies beneath the given rectangle of the parent's client area, then the label.
  void RepaintBeneath(const RECT& inParent) const;
  RECT RectInParent() const;
  void OnPlaced();
  static LRESULT CALLBACK Procedure(HWND, UINT, WPARAM, LPARAM);

  TransparentLabelBlock block_;
  GdiObject font_;
  RECT placedAt_{};  // where the label was before a move, in the parent's client coordinates
};

extern const UnitTypeDescriptor kTransparentLabelType;

}  // namespace tl
