#include "controls/label.h"

#include "runtime/gbk.h"

namespace tl {
namespace {

constexpr wchar_t kClassName[] = L"_RT_Label";

UINT TextFormat(const LabelBlock& b) {
  UINT format = DT_NOPREFIX;
  format |= b.horizontalAlign == 1 ? DT_CENTER : (b.horizontalAlign == 2 ? DT_RIGHT : DT_LEFT);
  if (b.wordWrap) return format | DT_WORDBREAK;
  format |= DT_SINGLELINE;
  format |= b.verticalAlign == 1 ? DT_VCENTER : (b.verticalAlign == 2 ? DT_BOTTOM : DT_TOP);
  return format;
}

}  // namespace

std::unique_ptr<Label> Label::Create(const LabelBlock& block, uint32_t extraStyle, HWND parent,
                                     int32_t childId, Place place, uint32_t windowId, uint32_t unitId) {
  RegisterRuntimeClass(kClassName, &Procedure, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
  auto unit = std::make_unique<Label>(block, windowId, unitId);
  unit->font_ = FontFromRecord(block.font);
  // The native text mirrors the caption so that the window's text can be read from outside.
  HWND window = CreateWindowExW(0, kClassName, Widen(block.caption).c_str(),
                                WS_CHILD | WS_CLIPSIBLINGS | extraStyle, place.left, place.top,
                                place.width, place.height, parent,
                                reinterpret_cast<HMENU>(static_cast<intptr_t>(childId)),
                                GetModuleHandleW(nullptr), unit.get());
  if (!window) return nullptr;
  return unit;
}

Label::~Label() { DestroyNativeWindow(hwnd_); }

void Label::Paint(HDC dc) const {
  RECT client;
  GetClientRect(hwnd_, &client);
  const COLORREF back = block_.backColour == kDefaultColour ? GetSysColor(COLOR_BTNFACE) : block_.backColour;
  GdiObject brush = SolidBrush(back);
  FillRect(dc, &client, brush.brush());
  if (block_.caption.empty()) return;
  const std::wstring text = Widen(block_.caption);
  HGDIOBJ previous = SelectObject(dc, font_.font());
  SetBkMode(dc, TRANSPARENT);
  const UINT format = TextFormat(block_);
  RECT area = client;
  if (block_.wordWrap && block_.verticalAlign != 0) {
    // DrawText centres only single lines; a wrapped caption is measured and placed here.
    RECT measured = client;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, format | DT_CALCRECT);
    const int spare = (client.bottom - client.top) - (measured.bottom - measured.top);
    if (spare > 0) area.top += block_.verticalAlign == 1 ? spare / 2 : spare;
  }
  DrawEffectText(dc, text, area, format, block_.textEffect, block_.textColour);
  SelectObject(dc, previous);
}

LRESULT CALLBACK Label::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Label*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Label*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  LRESULT result = 0;
  auto paint = [self](HDC dc) {
    if (self) self->Paint(dc);
  };
  if (HandleDrawnPaint(window, message, wParam, result, paint)) return result;
  if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  return DefWindowProcW(window, message, wParam, lParam);
}

PropertyValue Label::Read(int32_t number) const {
  switch (number + 8) {
    case 8: return TextValue(block_.caption);
    case 9: return IntValue(block_.textEffect);
    case 10: return IntValue(block_.borderStyle);
    case 11: return IntValue(block_.effectDepth);
    case 12: return IntValue(static_cast<int32_t>(block_.shadowColour));
    case 13: return IntValue(static_cast<int32_t>(block_.highlightColour));
    case 14: return IntValue(static_cast<int32_t>(block_.borderColour));
    case 15: return BytesValue(block_.font);
    case 16: return IntValue(static_cast<int32_t>(block_.textColour));
    case 17: return IntValue(static_cast<int32_t>(block_.backColour));
    case 18: return BytesValue(block_.backPicture);
    case 19: return IntValue(block_.backgroundMode);
    case 20: return IntValue(block_.gradientStyle);
    case 21: return IntValue(static_cast<int32_t>(block_.gradientColour1));
    case 22: return IntValue(static_cast<int32_t>(block_.gradientColour2));
    case 23: return IntValue(static_cast<int32_t>(block_.gradientColour3));
    case 24: return IntValue(block_.horizontalAlign);
    case 25: return IntValue(block_.wordWrap);
    case 26: return IntValue(block_.verticalAlign);
    case 27: return TextValue(block_.data1);
    case 28: return TextValue(block_.data2);
    default: return {};
  }
}

bool Label::Write(int32_t number, PropertyValue value) {
  const int32_t v = ValueInt(value);
  const auto colour = static_cast<uint32_t>(v);
  switch (number + 8) {
    case 8:
      block_.caption = ValueText(value);
      SetWindowTextGbk(hwnd_, block_.caption);
      break;
    case 9: block_.textEffect = v; break;
    case 10: block_.borderStyle = v; break;
    case 11: block_.effectDepth = v; break;
    case 12: block_.shadowColour = colour; break;
    case 13: block_.highlightColour = colour; break;
    case 14: block_.borderColour = colour; break;
    case 15:
      block_.font = ValueBytes(value);
      font_ = FontFromRecord(block_.font);
      break;
    case 16: block_.textColour = colour; break;
    case 17: block_.backColour = colour; break;
    case 18: block_.backPicture = ValueBytes(value); break;
    case 19: block_.backgroundMode = v; break;
    case 20: block_.gradientStyle = v; break;
    case 21: block_.gradientColour1 = colour; break;
    case 22: block_.gradientColour2 = colour; break;
    case 23: block_.gradientColour3 = colour; break;
    case 24: block_.horizontalAlign = v; break;
    case 25: block_.wordWrap = v; break;
    case 26: block_.verticalAlign = v; break;
    case 27: block_.data1 = ValueText(value); break;
    case 28: block_.data2 = ValueText(value); break;
    default: return false;
  }
  InvalidateRect(hwnd_, nullptr, FALSE);
  return false;
}

namespace {

Unit* CreateLabel(const uint8_t* block, int32_t length, uint32_t extraStyle, HWND parent, int32_t childId,
                  HMENU, int32_t left, int32_t top, int32_t width, int32_t height, uint32_t windowId,
                  uint32_t unitId, int32_t, int32_t) {
  const std::optional<LabelBlock> data = LabelBlock::Read(BlockBytes(block, length));
  if (!data) return nullptr;
  return Label::Create(*data, extraStyle, parent, childId, Place{left, top, width, height}, windowId, unitId)
      .release();
}

int WriteLabel(Unit* unit, int32_t number, PropertyValue value) {
  return static_cast<Label*>(unit)->Write(number, value) ? 1 : 0;
}

PropertyValue ReadLabel(Unit* unit, int32_t number) { return static_cast<Label*>(unit)->Read(number); }

void* LabelInterface(InterfaceCode code) {
  switch (code) {
    case InterfaceCode::CreateUnit: return reinterpret_cast<void*>(&CreateLabel);
    case InterfaceCode::WriteProperty: return reinterpret_cast<void*>(&WriteLabel);
    case InterfaceCode::ReadProperty: return reinterpret_cast<void*>(&ReadLabel);
  }
  return nullptr;
}

}  // namespace

const UnitTypeDescriptor kLabelType = {"标签", "Label", UnitState::RaisesEvents, &LabelInterface};

}  // namespace tl
