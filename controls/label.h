// The label unit (0x1000A): a child window of the runtime's "_RT_Label" class that paints its
// background colour and its caption itself. Labels are drag handles: with the window's
// drag-anywhere property a press on a label moves the window.
#pragma once

#include <memory>

#include "controls/common_controls_b.h"
#include "controls/label_block.h"
#include "runtime/unit.h"
#include "runtime/unit_type.h"

namespace tl {

class Label final : public Unit {
 public:
  static std::unique_ptr<Label> Create(const LabelBlock& block, uint32_t extraStyle, HWND parent,
                                       int32_t childId, Place place, uint32_t windowId, uint32_t unitId);
  Label(const LabelBlock& block, uint32_t windowId, uint32_t unitId) : Unit(windowId, unitId), block_(block) {}
  ~Label() override;

  std::vector<uint8_t> PropertyData() const override { return block_.Write(); }
  bool IsDragHandle() const override { return true; }

  PropertyValue Read(int32_t number) const;
  bool Write(int32_t number, PropertyValue value);

 private:
  void Paint(HDC dc) const;
  static LRESULT CALLBACK Procedure(HWND, UINT, WPARAM, LPARAM);

  LabelBlock block_;
  GdiObject font_;
};

extern const UnitTypeDescriptor kLabelType;

}  // namespace tl
