#include "controls/button.h"

#include "runtime/unit_events.h"

namespace tl {
namespace {

DWORD StyleOf(const ButtonBlock& b, bool hasPicture) {
  // Multi-line so that captions stored with line breaks show as lines, not as boxes.
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | BS_MULTILINE;
  style |= b.kind == 1 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  style |= b.horizontalAlign == 0 ? BS_LEFT : (b.horizontalAlign == 2 ? BS_RIGHT : BS_CENTER);
  style |= b.verticalAlign == 0 ? BS_TOP : (b.verticalAlign == 2 ? BS_BOTTOM : BS_VCENTER);
  if (hasPicture) style |= BS_BITMAP;
  return style;
}

}  // namespace

const UnitTypeDescriptor kButtonType = {"按钮", "Button", UnitState::RaisesEvents, &UnitInterface<Button>};

std::span<const Property<Button>> Button::Properties() {
  using B = ButtonBlock;
  using P = ButtonProperty;
  static constexpr auto kTable = TableOf<Button, P>({
      {P::Picture, Stored<&B::picture, kRebuild>()},
      {P::Kind, Stored<&B::kind, kRebuild>()},
      {P::Caption, Stored<&B::caption, &Button::ShowCaption>()},
      {P::HorizontalAlign, Stored<&B::horizontalAlign, kRebuild>()},
      {P::VerticalAlign, Stored<&B::verticalAlign, kRebuild>()},
      {P::Font, Stored<&B::font, &Button::ApplyFont>()},
  });
  return kTable;
}

bool Button::Build(uint32_t extraStyle, HWND parent, int32_t childId, Place place) {
  picture_ = BitmapFromFile(block_.picture);
  if (!CreateControl(L"BUTTON", 0, StyleOf(block_, bool(picture_)) | extraStyle, parent, childId, place)) return false;
  SetWindowTextGbk(hwnd_, block_.caption);
  if (picture_) SendMessageW(hwnd_, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture_.bitmap()));
  ApplyFont();
  return true;
}

void Button::ShowCaption() { SetWindowTextGbk(hwnd_, block_.caption); }

std::optional<LRESULT> Button::OnNotification(UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return std::nullopt;
  // A click message can reach a disabled button (a programmatic click); it is no click.
  if (IsWindowEnabled(hwnd_)) RaiseEvent(*this, ButtonEvent::Clicked);
  return 0;
}

}  // namespace tl
