// The edit box unit (0x10005): a standard edit control shaped by its property block, with the
// short-integer input mode that refuses anything but "-" and digits and stays within a short,
// and optional spin arrows.
#pragma once

#include <memory>

#include "controls/common_controls_b.h"
#include "controls/edit_box_block.h"
#include "runtime/unit.h"
#include "runtime/unit_type.h"

namespace tl {

class EditBox final : public Unit, private ParentNotifications {
 public:
  static std::unique_ptr<EditBox> Create(const EditBoxBlock& block, uint32_t extraStyle, HWND parent,
                                         int32_t childId, Place place, uint32_t windowId, uint32_t unitId);
  EditBox(const EditBoxBlock& block, uint32_t windowId, uint32_t unitId)
      : Unit(windowId, unitId), block_(block) {}
  ~EditBox() override;

  std::vector<uint8_t> PropertyData() const override;
  bool ClaimsKey(UINT virtualKey) const override;

  PropertyValue Read(int32_t number);
  bool Write(int32_t number, PropertyValue value);  // true: needs a new native control

 private:
  bool Build(uint32_t extraStyle, HWND parent, int32_t childId, Place place);
  void ApplyFont();
  void ApplyColours();
  void SetContent(std::string_view text);
  // Short-integer mode: brings the control's text back to the rule after a change.
  void KeepShortInteger();
  bool RefusesCharacter(WPARAM character) const;
  // The spin control: up-down arrows beside the box that count its number.
  void BuildSpin(HWND parent);
  void ApplySpinRange();
  void FollowEdit();
  std::optional<LRESULT> OnParentMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  static LRESULT CALLBACK ControlProcedure(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

  mutable EditBoxBlock block_;
  GdiObject font_;
  GdiObject backBrush_;
  HWND spin_ = nullptr;
  bool adjusting_ = false;
};

extern const UnitTypeDescriptor kEditBoxType;

}  // namespace tl
