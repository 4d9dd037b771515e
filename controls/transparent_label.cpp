#include "controls/transparent_label.h"

#include "runtime/gbk.h"

namespace tl {
namespace {

constexpr wchar_t kClassName[] = L"_RT_TransLabel";
constexpr DWORD kStyle = WS_CHILD | WS_CLIPSIBLINGS;  // 0x44000000

UINT TextFormat(const TransparentLabelBlock& b) {
  UINT format = DT_NOCLIP;
  format |= b.horizontalAlign == 1 ? DT_CENTER : (b.horizontalAlign == 2 ? DT_RIGHT : DT_LEFT);
  if (b.wordWrap) return format | DT_WORDBREAK | DT_VCENTER;
  format |= DT_SINGLELINE;
  format |= b.verticalAlign == 1 ? DT_VCENTER : (b.verticalAlign == 2 ? DT_BOTTOM : DT_TOP);
  return format;
}

}  // namespace

std::unique_ptr<TransparentLabel> TransparentLabel::Create(const TransparentLabelBlock& block,
                                                           uint32_t extraStyle, HWND parent, int32_t childId,
                                                           Place place, uint32_t windowId, uint32_t unitId) {
  RegisterRuntimeClass(kClassName, &Procedure, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
  auto unit = std::make_unique<TransparentLabel>(block, windowId, unitId);
  unit->font_ = FontFromRecord(block.font, /*forceDefaults=*/true);
  HWND window = CreateWindowExW(WS_EX_TRANSPARENT, kClassName, Widen(block.caption).c_str(),
                                kStyle | extraStyle, place.left, place.top, place.width, place.height, parent,
                                reinterpret_cast<HMENU>(static_cast<intptr_t>(childId)),
                                GetModuleHandleW(nullptr), unit.get());
  if (!window) return nullptr;
  unit->placedAt_ = unit->RectInParent();
  return unit;
}

TransparentLabel::~TransparentLabel() {
  HWND parent = hwnd_ ? GetParent(hwnd_) : nullptr;
  const RECT beneath = RectInParent();
  DestroyNativeWindow(hwnd_);
  if (parent) InvalidateRect(parent, &beneath, TRUE);
}

RECT TransparentLabel::RectInParent() const {
  RECT r{};
  if (!hwnd_) return r;
  GetWindowRect(hwnd_, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void TransparentLabel::Paint(HDC dc) const {
  if (block_.caption.empty()) return;
  HGDIOBJ previous = SelectObject(dc, font_.font());
  SetBkMode(dc, TRANSPARENT);
  RECT client;
  GetClientRect(hwnd_, &client);
  DrawEffectText(dc, Widen(block_.caption), client, TextFormat(block_), block_.effect, block_.textColour);
  SelectObject(dc, previous);
}

void TransparentLabel::RepaintBeneath(const RECT& inParent) const {
  HWND parent = GetParent(hwnd_);
  if (!parent) return;
  // The parent's area with its background, every sibling that overlaps it, and the label
  // itself, which paints last because of its transparent style.
  RedrawWindow(parent, &inParent, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void TransparentLabel::OnPlaced() {
  const RECT before = placedAt_;
  placedAt_ = RectInParent();
  if (EqualRect(&before, &placedAt_)) return;
  RepaintBeneath(before);
  RepaintBeneath(placedAt_);
}

LRESULT CALLBACK TransparentLabel::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<TransparentLabel*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TransparentLabel*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  LRESULT result = 0;
  auto paint = [self](HDC dc) {
    if (self) self->Paint(dc);
  };
  if (HandleDrawnPaint(window, message, wParam, result, paint)) return result;
  switch (message) {
    case WM_WINDOWPOSCHANGED: {
      constexpr UINT kNeither = SWP_NOMOVE | SWP_NOSIZE;
      if (self && (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & kNeither) != kNeither) self->OnPlaced();
      break;
    }
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

PropertyValue TransparentLabel::Read(int32_t number) const {
  switch (number + 8) {
    case 8: return TextValue(block_.caption);
    case 9: return IntValue(block_.effect);
    case 10: return BytesValue(block_.font);
    case 11: return IntValue(static_cast<int32_t>(block_.textColour));
    case 12: return IntValue(block_.horizontalAlign);
    case 13: return IntValue(block_.wordWrap);
    case 14: return IntValue(block_.verticalAlign);
    default: return {};
  }
}

bool TransparentLabel::Write(int32_t number, PropertyValue value) {
  const int32_t v = ValueInt(value);
  switch (number + 8) {
    case 8:
      block_.caption = ValueText(value);
      SetWindowTextGbk(hwnd_, block_.caption);
      break;
    case 9: block_.effect = ClampProperty(v, 3); break;
    case 10:
      block_.font = ValueBytes(value);
      font_ = FontFromRecord(block_.font, /*forceDefaults=*/true);
      break;
    case 11: block_.textColour = static_cast<uint32_t>(v); break;
    case 12: block_.horizontalAlign = ClampProperty(v, 2); break;
    case 13: block_.wordWrap = v != 0; break;
    case 14: block_.verticalAlign = ClampProperty(v, 2); break;
    default: return false;
  }
  RepaintBeneath(RectInParent());
  return false;
}

namespace {

Unit* CreateTransparentLabel(const uint8_t* block, int32_t length, uint32_t extraStyle, HWND parent,
                             int32_t childId, HMENU, int32_t left, int32_t top, int32_t width, int32_t height,
                             uint32_t windowId, uint32_t unitId, int32_t, int32_t) {
  const std::optional<TransparentLabelBlock> data = TransparentLabelBlock::Read(BlockBytes(block, length));
  if (!data) return nullptr;
  return TransparentLabel::Create(*data, extraStyle, parent, childId, Place{left, top, width, height},
                                  windowId, unitId)
      .release();
}

int WriteTransparentLabel(Unit* unit, int32_t number, PropertyValue value) {
  return static_cast<TransparentLabel*>(unit)->Write(number, value) ? 1 : 0;
}

PropertyValue ReadTransparentLabel(Unit* unit, int32_t number) {
  return static_cast<TransparentLabel*>(unit)->Read(number);
}

void* TransparentLabelInterface(InterfaceCode code) {
  switch (code) {
    case InterfaceCode::CreateUnit: return reinterpret_cast<void*>(&CreateTransparentLabel);
    case InterfaceCode::WriteProperty: return reinterpret_cast<void*>(&WriteTransparentLabel);
    case InterfaceCode::ReadProperty: return reinterpret_cast<void*>(&ReadTransparentLabel);
  }
  return nullptr;
}

}  // namespace

const UnitTypeDescriptor kTransparentLabelType = {"透明标签", "TransLabel", UnitState::RaisesEvents,
                                                  &TransparentLabelInterface};

}  // namespace tl
