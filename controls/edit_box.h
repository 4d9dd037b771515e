// The edit box unit (0x10005): a standard edit control shaped by its property block, with the
// short-integer input mode that refuses anything but "-" and digits and stays within a short,
// and optional spin arrows.
#pragma once

#include "controls/appearance.h"
#include "controls/control_unit.h"
#include "controls/edit_box_block.h"

namespace tl {

extern const UnitTypeDescriptor kEditBoxType;

class EditBox final : public BlockUnit<EditBox, EditBoxBlock> {
 public:
  using BlockUnit::BlockUnit;
  ~EditBox() override;
  bool Build(uint32_t extraStyle, HWND parent, int32_t childId, Place place);
  static std::span<const Property<EditBox>> Properties();

  std::vector<uint8_t> PropertyData() const override;
  bool ClaimsKey(UINT virtualKey) const override;

 private:
  PropertyValue Content() const { return TextValue(WindowTextGbk(hwnd_)); }
  bool SetContentProperty(PropertyValue value);
  PropertyValue InputMode() const { return IntValue(block_.inputMode); }
  bool SetInputMode(PropertyValue value);
  PropertyValue PasswordCharacter() const;
  bool SetPasswordCharacter(PropertyValue value);
  PropertyValue SelectionStart() const;
  bool SetSelectionStart(PropertyValue value);
  PropertyValue SelectionLength() const;
  bool SetSelectionLength(PropertyValue value);

  void ApplyColours();
  void ApplyMaxLength();
  void SetContent(std::string_view text);
  // Short-integer mode: brings the control's text back to the rule after a change.
  void KeepShortInteger();
  bool RefusesCharacter(WPARAM character) const;
  // The spin control: up-down arrows beside the box that count its number.
  void BuildSpin(HWND parent);
  void ApplySpinRange();
  void FollowEdit();
  std::optional<LRESULT> OnNotification(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  GdiObject backBrush_;
  HWND spin_ = nullptr;
  bool adjusting_ = false;
};

}  // namespace tl
