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

std::unique_ptr<Button> Button::Create(const ButtonBlock& block, uint32_t extraStyle, HWND parent,
                                       int32_t childId, Place place, uint32_t windowId, uint32_t unitId) {
  auto unit = std::make_unique<Button>(block, windowId, unitId);
  unit->picture_ = BitmapFromFile(block.picture);
  unit->hwnd_ = CreateWindowExW(0, L"BUTTON", L"", StyleOf(block, bool(unit->picture_)) | extraStyle,
                                place.left, place.top, place.width, place.height, parent,
                                reinterpret_cast<HMENU>(static_cast<intptr_t>(childId)),
                                GetModuleHandleW(nullptr), nullptr);
  if (!unit->hwnd_) return nullptr;
  SetWindowTextGbk(unit->hwnd_, block.caption);
  if (unit->picture_)
    SendMessageW(unit->hwnd_, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(unit->picture_.bitmap()));
  unit->ApplyFont();
  unit->Attach(unit->hwnd_);
  return unit;
}

Button::~Button() {
  Detach();
  DestroyNativeWindow(hwnd_);
}

void Button::ApplyFont() {
  font_ = FontFromRecord(block_.font);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.font()), TRUE);
}

std::optional<LRESULT> Button::OnParentMessage(UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return std::nullopt;
  // A click message can reach a disabled button (a programmatic click); it is no click.
  if (IsWindowEnabled(hwnd_)) RaiseEvent(*this, 0);
  return 0;
}

PropertyValue Button::Read(int32_t number) const {
  switch (number + 8) {
    case 8: return BytesValue(block_.picture);
    case 9: return IntValue(block_.kind);
    case 10: return TextValue(block_.caption);
    case 11: return IntValue(block_.horizontalAlign);
    case 12: return IntValue(block_.verticalAlign);
    case 13: return BytesValue(block_.font);
    default: return {};
  }
}

bool Button::Write(int32_t number, PropertyValue value) {
  switch (number + 8) {
    case 8: block_.picture = ValueBytes(value); return true;
    case 9: block_.kind = ValueInt(value); return true;
    case 10:
      block_.caption = ValueText(value);
      SetWindowTextGbk(hwnd_, block_.caption);
      return false;
    case 11: block_.horizontalAlign = ValueInt(value); return true;
    case 12: block_.verticalAlign = ValueInt(value); return true;
    case 13:
      block_.font = ValueBytes(value);
      ApplyFont();
      return false;
    default: return false;
  }
}

namespace {

Unit* CreateButton(const uint8_t* block, int32_t length, uint32_t extraStyle, HWND parent, int32_t childId,
                   HMENU, int32_t left, int32_t top, int32_t width, int32_t height, uint32_t windowId,
                   uint32_t unitId, int32_t, int32_t) {
  const std::optional<ButtonBlock> data = ButtonBlock::Read(BlockBytes(block, length));
  if (!data) return nullptr;
  return Button::Create(*data, extraStyle, parent, childId, Place{left, top, width, height}, windowId, unitId)
      .release();
}

int WriteButton(Unit* unit, int32_t number, PropertyValue value) {
  return static_cast<Button*>(unit)->Write(number, value) ? 1 : 0;
}

PropertyValue ReadButton(Unit* unit, int32_t number) { return static_cast<Button*>(unit)->Read(number); }

void* ButtonInterface(InterfaceCode code) {
  switch (code) {
    case InterfaceCode::CreateUnit: return reinterpret_cast<void*>(&CreateButton);
    case InterfaceCode::WriteProperty: return reinterpret_cast<void*>(&WriteButton);
    case InterfaceCode::ReadProperty: return reinterpret_cast<void*>(&ReadButton);
  }
  return nullptr;
}

}  // namespace

const UnitTypeDescriptor kButtonType = {"按钮", "Button", UnitState::RaisesEvents, &ButtonInterface};

}  // namespace tl
