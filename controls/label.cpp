#include "controls/label.h"

#include "runtime/gbk.h"
#include "runtime/window_dpi.h"

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

const UnitTypeDescriptor kLabelType = DescriptorOf<Label>("标签", "Label", UnitState::RaisesEvents);

// Every write repaints the label.
std::span<const Property<Label>> Label::Properties() {
  static constexpr auto kTable = Table({
      {P::Caption, Stored<&B::caption, &Label::ShowCaption>()},
      {P::TextEffect, Stored<&B::textEffect, &Label::Repaint>()},
      {P::BorderStyle, Stored<&B::borderStyle, &Label::Repaint>()},
      {P::EffectDepth, Stored<&B::effectDepth, &Label::Repaint>()},
      {P::ShadowColour, Stored<&B::shadowColour, &Label::Repaint>()},
      {P::HighlightColour, Stored<&B::highlightColour, &Label::Repaint>()},
      {P::BorderColour, Stored<&B::borderColour, &Label::Repaint>()},
      {P::Font, Stored<&B::font, &Label::ApplyFont>()},
      {P::TextColour, Stored<&B::textColour, &Label::Repaint>()},
      {P::BackColour, Stored<&B::backColour, &Label::Repaint>()},
      {P::BackPicture, Stored<&B::backPicture, &Label::Repaint>()},
      {P::BackgroundMode, Stored<&B::backgroundMode, &Label::Repaint>()},
      {P::GradientStyle, Stored<&B::gradientStyle, &Label::Repaint>()},
      {P::GradientColour1, Stored<&B::gradientColour1, &Label::Repaint>()},
      {P::GradientColour2, Stored<&B::gradientColour2, &Label::Repaint>()},
      {P::GradientColour3, Stored<&B::gradientColour3, &Label::Repaint>()},
      {P::HorizontalAlign, Stored<&B::horizontalAlign, &Label::Repaint>()},
      {P::WordWrap, Stored<&B::wordWrap, &Label::Repaint>()},
      {P::VerticalAlign, Stored<&B::verticalAlign, &Label::Repaint>()},
      {P::Data1, Stored<&B::data1, &Label::Repaint>()},
      {P::Data2, Stored<&B::data2, &Label::Repaint>()},
  });
  return kTable;
}

bool Label::Build(uint32_t extraStyle, HWND parent, int32_t childId, Place place) {
  font_ = FontFromRecord(block_.font, DpiOfWindow(parent));
  // The native text mirrors the caption so that the window's text can be read from outside.
  return CreateOwnWindow(kClassName, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, 0, WS_CHILD | WS_CLIPSIBLINGS | extraStyle,
                         Widen(block_.caption), parent, childId, place) != nullptr;
}

void Label::ShowCaption() {
  SetWindowTextGbk(hwnd_, block_.caption);
  Repaint();
}

void Label::ApplyFont() {
  font_ = FontFromRecord(block_.font, DpiOfWindow(hwnd_));
  Repaint();
}

void Label::Repaint() { InvalidateRect(hwnd_, nullptr, FALSE); }

void Label::Paint(HDC dc) const {
  RECT client;
  GetClientRect(hwnd_, &client);
  const COLORREF back = ResolveColor(block_.backColour);
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

bool Label::OnWindowMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  return HandleDrawnPaint(hwnd_, message, wParam, result, [this](HDC dc) { Paint(dc); });
}

}  // namespace tl
