#include "controls/slider.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

#include "controls/appearance.h"
#include "runtime/unit_events.h"

namespace tl {
namespace {

constexpr DWORD kBaseStyle = WS_CHILD | WS_CLIPSIBLINGS | TBS_AUTOTICKS;
constexpr DWORD kTickStyles[] = {TBS_NOTICKS, TBS_TOP, 0, TBS_BOTH};

// Out-of-range values are clamped into the property's range, never refused.
constexpr Range kSwitch{0, 1};
constexpr Range kValue{0, 32767};
constexpr Range kStep{1, 32767};

}  // namespace

const UnitTypeDescriptor kSliderBarType = DescriptorOf<Slider>("滑块条", "SliderBar", UnitState::RaisesEvents);

std::span<const Property<Slider>> Slider::Properties() {
  static constexpr auto kTable = Table({
      {P::Border, Stored<&B::border, &Slider::ApplyBorder, Range{0, 5}>()},
      {P::Vertical, Stored<&B::vertical, kRestyle, kSwitch>()},
      {P::TickMarks, Stored<&B::tickMarks, kRestyle, Range{0, 3}>()},
      {P::TickFrequency, Stored<&B::tickFrequency, &Slider::ApplySteps, kValue>()},
      {P::ShowSelection, Stored<&B::showSelection, kRestyle, kSwitch>()},
      {P::SelectionStart, Live<&Slider::SelectionStart, &Slider::SetSelectionStart>()},
      {P::SelectionLength, Live<&Slider::SelectionLength, &Slider::SetSelectionLength>()},
      {P::PageSize, Stored<&B::pageSize, &Slider::ApplySteps, kStep>()},
      {P::LineSize, Stored<&B::lineSize, &Slider::ApplySteps, kStep>()},
      {P::Minimum, Stored<&B::minimum, &Slider::ApplyRange, kValue>()},
      {P::Maximum, Stored<&B::maximum, &Slider::ApplyRange, kValue>()},
      {P::Position, Stored<&B::position, &Slider::ApplyPosition, kValue>()},
  });
  return kTable;
}

Slider::Slider(const SliderBlock& block, uint32_t windowId, uint32_t unitId) : BlockUnit(block, windowId, unitId) {
  // The stored values are clamped as writes would clamp them.
  for (const Property<Slider>& property : Properties()) property.write(*this, property.read(*this));
}

bool Slider::Build(uint32_t extraStyle, HWND parent, int32_t childId, Place place) {
  EnsureCommonControls(ICC_BAR_CLASSES);
  DWORD style = extraStyle | kBaseStyle | kTickStyles[block_.tickMarks];
  if (block_.vertical) style |= TBS_VERT;
  if (block_.showSelection) style |= TBS_ENABLESELRANGE;
  if (!CreateControl(TRACKBAR_CLASSW, 0, style, parent, childId, place)) return false;
  ApplyRange();
  ApplyPosition();
  ApplySteps();
  ApplySelection();
  ApplyBorder();
  return true;
}

void Slider::ApplyBorder() { tl::ApplyBorder(hwnd_, block_.border); }

void Slider::ApplyRange() {
  const int32_t low = std::min(block_.minimum, block_.maximum);
  const int32_t high = std::max(block_.minimum, block_.maximum);
  SendMessageW(hwnd_, TBM_SETRANGEMIN, FALSE, low);
  SendMessageW(hwnd_, TBM_SETRANGEMAX, TRUE, high);
}

void Slider::ApplyPosition() {
  const int32_t low = std::min(block_.minimum, block_.maximum);
  const int32_t high = std::max(block_.minimum, block_.maximum);
  // The stored position may lie outside the range; the thumb cannot.
  SendMessageW(hwnd_, TBM_SETPOS, TRUE, std::clamp(block_.position, low, high));
}

void Slider::ApplySteps() {
  const int32_t span = std::abs(block_.maximum - block_.minimum);
  auto limited = [span](int32_t v) { return std::max(std::min(v, span), 1); };
  SendMessageW(hwnd_, TBM_SETLINESIZE, 0, limited(block_.lineSize));
  SendMessageW(hwnd_, TBM_SETPAGESIZE, 0, limited(block_.pageSize));
  SendMessageW(hwnd_, TBM_SETTICFREQ, limited(block_.tickFrequency), 0);
}

void Slider::ApplySelection() {
  if (!block_.showSelection) return;
  const int32_t low = std::min(block_.minimum, block_.maximum);
  const int32_t high = std::max(block_.minimum, block_.maximum);
  const int32_t start = std::max(std::min(block_.selectionStart, high), low);
  const int32_t end = std::max(std::min(block_.selectionStart + block_.selectionLength, high), low);
  SendMessageW(hwnd_, TBM_SETSEL, TRUE, MAKELONG(start, end));
}

// The selection reads as the control holds it, within the range.
PropertyValue Slider::SelectionStart() const {
  if (!hwnd_) return IntValue(block_.selectionStart);
  return IntValue(static_cast<int32_t>(SendMessageW(hwnd_, TBM_GETSELSTART, 0, 0)));
}

PropertyValue Slider::SelectionLength() const {
  if (!hwnd_) return IntValue(block_.selectionLength);
  return IntValue(static_cast<int32_t>(SendMessageW(hwnd_, TBM_GETSELEND, 0, 0) -
                                       SendMessageW(hwnd_, TBM_GETSELSTART, 0, 0)));
}

bool Slider::SetSelectionStart(PropertyValue value) {
  block_.selectionStart = std::clamp(ValueInt(value), kValue.low, kValue.high);
  if (hwnd_) ApplySelection();
  return false;
}

bool Slider::SetSelectionLength(PropertyValue value) {
  block_.selectionLength = std::clamp(ValueInt(value), kValue.low, kValue.high);
  if (hwnd_) ApplySelection();
  return false;
}

std::optional<LRESULT> Slider::OnNotification(UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_HSCROLL && message != WM_VSCROLL) return std::nullopt;  // e.g. custom drawing
  if (LOWORD(wParam) == TB_ENDTRACK) return 0;
  block_.position = static_cast<int32_t>(SendMessageW(hwnd_, TBM_GETPOS, 0, 0));
  RaiseEvent(*this, SliderEvent::PositionChanged);
  return 0;
}

}  // namespace tl
