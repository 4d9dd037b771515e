#include "controls/transparent_label.h"

#include "runtime/gbk.h"
#include "runtime/window_dpi.h"

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

const UnitTypeDescriptor kTransparentLabelType =
    DescriptorOf<TransparentLabel>("透明标签", "TransLabel", UnitState::RaisesEvents);

// Every write repaints the label and what lies beneath it.
std::span<const Property<TransparentLabel>> TransparentLabel::Properties() {
  using T = TransparentLabel;
  static constexpr auto kTable = Table({
      {P::Caption, Stored<&B::caption, &T::ShowCaption>()},
      {P::Effect, Stored<&B::effect, &T::Repaint, Range{0, 3}>()},
      {P::Font, Stored<&B::font, &T::ApplyFont>()},
      {P::TextColour, Stored<&B::textColour, &T::Repaint>()},
      {P::HorizontalAlign, Stored<&B::horizontalAlign, &T::Repaint, Range{0, 2}>()},
      {P::WordWrap, Live<&T::WordWrap, &T::SetWordWrap>()},
      {P::VerticalAlign, Stored<&B::verticalAlign, &T::Repaint, Range{0, 2}>()},
  });
  return kTable;
}

bool TransparentLabel::Build(uint32_t extraStyle, HWND parent, int32_t childId, Place place) {
  font_ = FontFromRecord(block_.font, DpiOfWindow(parent), /*forceDefaults=*/true);
  if (!CreateOwnWindow(kClassName, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, WS_EX_TRANSPARENT, kStyle | extraStyle,
                       Widen(block_.caption), parent, childId, place)) {
    return false;
  }
  placedAt_ = RectInParent();
  return true;
}

void TransparentLabel::ShowCaption() {
  SetWindowTextGbk(hwnd_, block_.caption);
  Repaint();
}

void TransparentLabel::ApplyFont() {
  font_ = FontFromRecord(block_.font, DpiOfWindow(hwnd_), /*forceDefaults=*/true);
  Repaint();
}

bool TransparentLabel::SetWordWrap(PropertyValue value) {
  block_.wordWrap = ValueInt(value) != 0;
  Repaint();
  return false;
}

TransparentLabel::~TransparentLabel() {
  HWND parent = hwnd_ ? GetParent(hwnd_) : nullptr;
  const RECT beneath = RectInParent();
  DestroyControl();
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

bool TransparentLabel::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (HandleDrawnPaint(hwnd_, message, wParam, result, [this](HDC dc) { Paint(dc); })) return true;
  constexpr UINT kNeither = SWP_NOMOVE | SWP_NOSIZE;
  if (message == WM_WINDOWPOSCHANGED && (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & kNeither) != kNeither) {
    OnPlaced();
  }
  return false;
}

}  // namespace tl
