#include "controls/slider.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "runtime/unit_events.h"

namespace tl {
namespace {

constexpr int32_t kPositionChanged = 0;
constexpr int32_t kLimit = 32767;
constexpr DWORD kBaseStyle = WS_CHILD | WS_CLIPSIBLINGS | TBS_AUTOTICKS;

enum Property : int32_t {
  kBorder = 8, kVertical, kTickMarks, kTickFrequency, kShowSelection, kSelectionStart,
  kSelectionLength, kPageSize, kLineSize, kMinimum, kMaximum, kPosition,
};

constexpr DWORD kTickStyles[] = {TBS_NOTICKS, TBS_TOP, 0, TBS_BOTH};

int32_t SliderBlock::*FieldOf(int32_t index) {
  static constexpr int32_t SliderBlock::*kFields[] = {
      &SliderBlock::border,          &SliderBlock::vertical,       &SliderBlock::tickMarks,
      &SliderBlock::tickFrequency,   &SliderBlock::showSelection,  &SliderBlock::selectionStart,
      &SliderBlock::selectionLength, &SliderBlock::pageSize,       &SliderBlock::lineSize,
      &SliderBlock::minimum,         &SliderBlock::maximum,        &SliderBlock::position,
  };
  return kFields[index - kBorder];
}

// Out-of-range values are clamped into the property's range, never refused.
int32_t Clamp(int32_t index, int32_t v) {
  switch (index) {
    case kVertical:
    case kShowSelection: return std::clamp(v, 0, 1);
    case kPageSize:
    case kLineSize: return std::clamp(v, 1, kLimit);
    case kBorder: return std::clamp(v, 0, 5);
    case kTickMarks: return std::clamp(v, 0, 3);
    default: return std::clamp(v, 0, kLimit);
  }
}

SliderBlock Clamped(SliderBlock block) {
  for (int32_t index = kBorder; index <= kPosition; ++index) {
    block.*FieldOf(index) = Clamp(index, block.*FieldOf(index));
  }
  return block;
}

SliderUnit* FromUnit(Unit* unit) { return dynamic_cast<SliderUnit*>(unit); }

Unit* CreateSlider(const uint8_t* data, int32_t length, uint32_t extraStyle, HWND parent,
                   int32_t childId, HMENU, int32_t left, int32_t top, int32_t width,
                   int32_t height, uint32_t windowId, uint32_t unitId, int32_t, int32_t) {
  const auto block = SliderBlock::Read(
      data && length > 0 ? std::span(data, static_cast<size_t>(length)) : std::span<const uint8_t>());
  if (!block) return nullptr;
  auto unit = std::make_unique<SliderUnit>(windowId, unitId, *block);
  if (!unit->Create(extraStyle, parent, childId, {left, top, left + width, top + height})) {
    return nullptr;
  }
  return unit.release();
}

int WriteSliderProperty(Unit* unit, int32_t number, PropertyValue value) {
  auto* slider = FromUnit(unit);
  return slider && slider->WriteProperty(number + kBorder, static_cast<int32_t>(value.low)) ? 1 : 0;
}

PropertyValue ReadSliderProperty(Unit* unit, int32_t number) {
  auto* slider = FromUnit(unit);
  if (!slider) return {};
  return {static_cast<uint32_t>(slider->ReadProperty(number + kBorder)), 0};
}

void* GetSliderInterface(InterfaceCode code) {
  switch (code) {
    case InterfaceCode::CreateUnit: return reinterpret_cast<void*>(&CreateSlider);
    case InterfaceCode::WriteProperty: return reinterpret_cast<void*>(&WriteSliderProperty);
    case InterfaceCode::ReadProperty: return reinterpret_cast<void*>(&ReadSliderProperty);
  }
  return nullptr;
}

}  // namespace

const UnitTypeDescriptor kSliderBarType = {"滑块条", "SliderBar", UnitState::RaisesEvents,
                                           &GetSliderInterface};

SliderUnit::SliderUnit(uint32_t windowId, uint32_t unitId, const SliderBlock& block)
    : ControlUnit(windowId, unitId), block_(Clamped(block)) {}

bool SliderUnit::Create(uint32_t extraStyle, HWND parent, int32_t childId, RECT bounds) {
  EnsureCommonControls(ICC_BAR_CLASSES);
  DWORD style = extraStyle | kBaseStyle | kTickStyles[block_.tickMarks];
  if (block_.vertical) style |= TBS_VERT;
  if (block_.showSelection) style |= TBS_ENABLESELRANGE;
  HWND hwnd = CreateWindowExW(0, TRACKBAR_CLASSW, L"", style, bounds.left, bounds.top,
                              bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(childId)),
                              GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) return false;
  Attach(hwnd);
  ApplyRange();
  ApplyPosition();
  ApplySteps();
  if (block_.showSelection) ApplySelection();
  ApplyBorder(hwnd_, block_.border);
  return true;
}

int32_t SliderUnit::SpanOfRange() const { return std::abs(block_.maximum - block_.minimum); }

void SliderUnit::ApplyRange() {
  const int32_t low = std::min(block_.minimum, block_.maximum);
  const int32_t high = std::max(block_.minimum, block_.maximum);
  SendMessageW(hwnd_, TBM_SETRANGEMIN, FALSE, low);
  SendMessageW(hwnd_, TBM_SETRANGEMAX, TRUE, high);
}

void SliderUnit::ApplyPosition() {
  const int32_t low = std::min(block_.minimum, block_.maximum);
  const int32_t high = std::max(block_.minimum, block_.maximum);
  // The stored position may lie outside the range; the thumb cannot.
  SendMessageW(hwnd_, TBM_SETPOS, TRUE, std::clamp(block_.position, low, high));
}

void SliderUnit::ApplySteps() {
  const int32_t span = SpanOfRange();
  auto limited = [span](int32_t v) { return std::max(std::min(v, span), 1); };
  SendMessageW(hwnd_, TBM_SETLINESIZE, 0, limited(block_.lineSize));
  SendMessageW(hwnd_, TBM_SETPAGESIZE, 0, limited(block_.pageSize));
  SendMessageW(hwnd_, TBM_SETTICFREQ, limited(block_.tickFrequency), 0);
}

void SliderUnit::ApplySelection() {
  const int32_t low = std::min(block_.minimum, block_.maximum);
  const int32_t high = std::max(block_.minimum, block_.maximum);
  const int32_t start = std::max(std::min(block_.selectionStart, high), low);
  const int32_t end = std::max(std::min(block_.selectionStart + block_.selectionLength, high), low);
  SendMessageW(hwnd_, TBM_SETSEL, TRUE, MAKELONG(start, end));
}

bool SliderUnit::WriteProperty(int32_t index, int32_t value) {
  if (index < kBorder || index > kPosition) return false;
  const int32_t v = Clamp(index, value);
  int32_t& field = block_.*FieldOf(index);
  const bool changed = field != v;
  field = v;
  if (!hwnd_) return false;
  switch (index) {
    case kBorder: ApplyBorder(hwnd_, v); return false;
    case kVertical:
    case kTickMarks:
    case kShowSelection: return changed;  // styles the trackbar fixes at creation
    case kTickFrequency:
    case kPageSize:
    case kLineSize: ApplySteps(); return false;
    case kSelectionStart:
    case kSelectionLength:
      if (block_.showSelection) ApplySelection();
      return false;
    case kMinimum:
    case kMaximum: ApplyRange(); return false;
    case kPosition: ApplyPosition(); return false;
  }
  return false;
}

int32_t SliderUnit::ReadProperty(int32_t index) const {
  if (index < kBorder || index > kPosition) return 0;
  if (hwnd_ && index == kSelectionStart) {
    return static_cast<int32_t>(SendMessageW(hwnd_, TBM_GETSELSTART, 0, 0));
  }
  if (hwnd_ && index == kSelectionLength) {
    return static_cast<int32_t>(SendMessageW(hwnd_, TBM_GETSELEND, 0, 0) -
                                SendMessageW(hwnd_, TBM_GETSELSTART, 0, 0));
  }
  return block_.*FieldOf(index);
}

bool SliderUnit::OnNotify(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message != WM_HSCROLL && message != WM_VSCROLL) return false;  // e.g. custom drawing
  result = 0;
  if (LOWORD(wParam) == TB_ENDTRACK) return true;
  block_.position = static_cast<int32_t>(SendMessageW(hwnd_, TBM_GETPOS, 0, 0));
  if (!destroying()) RaiseEvent(*this, kPositionChanged);
  return true;
}

}  // namespace tl
