#include "controls/edit_box.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

#include "runtime/gbk.h"
#include "runtime/gbk_char.h"

namespace tl {
namespace {

DWORD StyleOf(const EditBoxBlock& b) {
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  if (b.multiLine) {
    style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
    if (b.scrollBars & 1) style |= ES_AUTOHSCROLL;
  } else {
    style |= ES_AUTOHSCROLL;
  }
  if (b.scrollBars & 1) style |= WS_HSCROLL;
  if (b.scrollBars & 2) style |= WS_VSCROLL;
  if (b.alignment == 1) style |= ES_CENTER;
  if (b.alignment == 2) style |= ES_RIGHT;
  if (!b.hideSelection) style |= ES_NOHIDESEL;
  if (b.letterCase == 1) style |= ES_UPPERCASE;
  if (b.letterCase == 2) style |= ES_LOWERCASE;
  if (b.inputMode == EditInputMode::Password) style |= ES_PASSWORD;
  return style;
}

DWORD ExStyleOf(const EditBoxBlock& b) { return b.border == 1 ? WS_EX_CLIENTEDGE : 0; }

// The stored password character: one GBK character in 16 bits, the lead byte low.
std::string PasswordText(uint16_t stored) {
  const char gbk[2] = {static_cast<char>(stored & 0xFF), static_cast<char>(stored >> 8)};
  return std::string(gbk, gbk[1] ? 2 : (gbk[0] ? 1 : 0));
}

uint16_t StoredPassword(std::string_view text) {
  if (text.empty()) return 0;
  const auto lead = static_cast<uint8_t>(text[0]);
  const bool doubleByte = CharLength(text, 0) == 2;
  return static_cast<uint16_t>(lead | (doubleByte ? static_cast<uint8_t>(text[1]) << 8 : 0));
}

// Start and length come from the stored block or a property write unchecked: add without overflow.
LPARAM SelectionEnd(int32_t start, int32_t length) {
  return static_cast<LPARAM>(std::clamp<int64_t>(int64_t{start} + length, INT32_MIN, INT32_MAX));
}

wchar_t ShownPasswordCharacter(uint16_t stored) {
  const std::wstring wide = Widen(PasswordText(stored));
  return wide.empty() ? L'*' : wide[0];
}

}  // namespace

const UnitTypeDescriptor kEditBoxType = DescriptorOf<EditBox>("编辑框", "EditBox", UnitState::RaisesEvents);

std::span<const Property<EditBox>> EditBox::Properties() {
  using E = EditBox;
  static constexpr auto kTable = Table({
      {P::Content, Live<&E::Content, &E::SetContentProperty>()},
      {P::Border, Stored<&B::border, kRebuild>()},
      {P::TextColour, Stored<&B::textColour, &E::ApplyColours>()},
      {P::BackColour, Stored<&B::backColour, &E::ApplyColours>()},
      {P::Font, Stored<&B::font, &E::ApplyFont>()},
      {P::HideSelection, Stored<&B::hideSelection, kRebuild>()},
      {P::MaxLength, Stored<&B::maxLength, &E::ApplyMaxLength>()},
      {P::MultiLine, Stored<&B::multiLine, kRebuild>()},
      {P::ScrollBars, Stored<&B::scrollBars, kRebuild>()},
      {P::Alignment, Stored<&B::alignment, kRebuild>()},
      {P::InputMode, Live<&E::InputMode, &E::SetInputMode>()},
      {P::PasswordCharacter, Live<&E::PasswordCharacter, &E::SetPasswordCharacter>()},
      {P::LetterCase, Stored<&B::letterCase, kRebuild>()},
      {P::SpinControl, Stored<&B::spinControl, kRebuild>()},
      {P::SpinMinimum, Stored<&B::spinMinimum, &E::ApplySpinRange>()},
      {P::SpinMaximum, Stored<&B::spinMaximum, &E::ApplySpinRange>()},
      {P::SelectionStart, Live<&E::SelectionStart, &E::SetSelectionStart>()},
      {P::SelectionLength, Live<&E::SelectionLength, &E::SetSelectionLength>()},
      {P::Reserved, {}},
      {P::Data1, Stored<&B::data1>()},
      {P::Data2, Stored<&B::data2>()},
  });
  return kTable;
}

bool EditBox::Build(uint32_t extraStyle, HWND parent, int32_t childId, Place place) {
  DWORD style = StyleOf(block_) | extraStyle;
  if (block_.border == 2) style |= WS_BORDER;
  if (!CreateControl(L"EDIT", ExStyleOf(block_), style, parent, childId, place)) return false;
  ApplyFont();
  ApplyColours();
  ApplyMaxLength();
  if (block_.inputMode == EditInputMode::Password)
    SendMessageW(hwnd_, EM_SETPASSWORDCHAR, ShownPasswordCharacter(block_.passwordChar), 0);
  SetContent(block_.content);
  SendMessageW(hwnd_, EM_SETSEL, block_.selectionStart, SelectionEnd(block_.selectionStart, block_.selectionLength));
  if (block_.spinControl) BuildSpin(parent);
  return true;
}

void EditBox::BuildSpin(HWND parent) {
  EnsureCommonControls(ICC_UPDOWN_CLASS);
  // The buddy's own text is the value: it counts within the range the properties give.
  spin_ = CreateWindowExW(0, UPDOWN_CLASSW, L"",
                          WS_CHILD | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, 0, 0,
                          0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!spin_) return;
  SendMessageW(spin_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(hwnd_), 0);
  ApplySpinRange();
  FollowEdit();
}

void EditBox::ApplySpinRange() {
  if (!spin_) return;
  SendMessageW(spin_, UDM_SETRANGE32, block_.spinMinimum, block_.spinMaximum);
  const int32_t value = std::atoi(WindowTextGbk(hwnd_).c_str());
  SendMessageW(spin_, UDM_SETPOS32, 0, std::clamp(value, std::min(block_.spinMinimum, block_.spinMaximum),
                                                  std::max(block_.spinMinimum, block_.spinMaximum)));
}

void EditBox::FollowEdit() {
  if (!spin_ || !hwnd_) return;
  RECT edit, arrows;
  GetWindowRect(hwnd_, &edit);
  GetWindowRect(spin_, &arrows);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd_), reinterpret_cast<POINT*>(&edit), 2);
  SetWindowPos(spin_, hwnd_, edit.right, edit.top, arrows.right - arrows.left, edit.bottom - edit.top,
               SWP_NOACTIVATE | (IsWindowVisible(hwnd_) ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  EnableWindow(spin_, IsWindowEnabled(hwnd_));
}

EditBox::~EditBox() {
  if (spin_ && IsWindow(spin_)) DestroyWindow(spin_);
  DestroyControl();
}

void EditBox::ApplyColours() {
  backBrush_ = SolidBrush(block_.backColour);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void EditBox::ApplyMaxLength() { SendMessageW(hwnd_, EM_LIMITTEXT, block_.maxLength > 0 ? block_.maxLength : 0, 0); }

void EditBox::SetContent(std::string_view text) {
  adjusting_ = true;
  SetWindowTextGbk(hwnd_, block_.inputMode == EditInputMode::ShortInteger ? ShortIntegerText(text)
                                                                            : std::string(text));
  adjusting_ = false;
}

void EditBox::KeepShortInteger() {
  if (adjusting_ || block_.inputMode != EditInputMode::ShortInteger) return;
  const std::string text = WindowTextGbk(hwnd_);
  const std::string kept = ShortIntegerText(text);
  if (kept == text) return;
  DWORD start = 0;
  SendMessageW(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  SetContent(kept);
  const LPARAM caret = std::min<LPARAM>(start, static_cast<LPARAM>(kept.size()));
  SendMessageW(hwnd_, EM_SETSEL, caret, caret);
}

bool EditBox::RefusesCharacter(WPARAM character) const {
  if (block_.inputMode != EditInputMode::ShortInteger || character < 0x20) return false;
  return character != L'-' && (character < L'0' || character > L'9');
}

bool EditBox::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_CHAR:
      result = 0;
      return RefusesCharacter(wParam);
    case WM_WINDOWPOSCHANGED:
    case WM_SHOWWINDOW:
    case WM_ENABLE:
      // The arrows go, show and grey out with their edit box.
      result = DefaultHandling(message, wParam, lParam);
      if (message == WM_SHOWWINDOW) ShowWindow(spin_, wParam ? SW_SHOWNA : SW_HIDE);
      else FollowEdit();
      return true;
    case WM_PASTE:
    case WM_UNDO:
    case EM_UNDO:
    case EM_REPLACESEL:
      result = DefaultHandling(message, wParam, lParam);
      KeepShortInteger();
      return true;
    default:
      return false;
  }
}

std::optional<LRESULT> EditBox::OnNotification(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == EN_CHANGE) KeepShortInteger();
      return std::nullopt;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, block_.textColour);
      SetBkColor(dc, block_.backColour);
      return reinterpret_cast<LRESULT>(backBrush_.brush());
    }
    default:
      return std::nullopt;
  }
}

bool EditBox::ClaimsKey(UINT virtualKey) const {
  const bool editable = hwnd_ && !(GetWindowLongW(hwnd_, GWL_STYLE) & ES_READONLY);
  return virtualKey == VK_RETURN && block_.multiLine && editable;
}

std::vector<uint8_t> EditBox::PropertyData() const {
  EditBoxBlock current = block_;
  if (hwnd_) {
    current.content = WindowTextGbk(hwnd_);
    DWORD start = 0, end = 0;
    SendMessageW(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    current.selectionStart = static_cast<int32_t>(start);
    current.selectionLength = static_cast<int32_t>(end - start);
  }
  return current.Write();
}

bool EditBox::SetContentProperty(PropertyValue value) {
  block_.content = ValueText(value);
  SetContent(block_.content);
  return false;
}

bool EditBox::SetInputMode(PropertyValue value) {
  block_.inputMode = ValueInt(value);
  KeepShortInteger();
  return true;
}

PropertyValue EditBox::PasswordCharacter() const { return TextValue(PasswordText(block_.passwordChar)); }

bool EditBox::SetPasswordCharacter(PropertyValue value) {
  block_.passwordChar = StoredPassword(ValueText(value));
  if (block_.inputMode == EditInputMode::Password)
    SendMessageW(hwnd_, EM_SETPASSWORDCHAR, ShownPasswordCharacter(block_.passwordChar), 0);
  InvalidateRect(hwnd_, nullptr, TRUE);
  return false;
}

PropertyValue EditBox::SelectionStart() const {
  DWORD start = 0;
  SendMessageW(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  return IntValue(static_cast<int32_t>(start));
}

bool EditBox::SetSelectionStart(PropertyValue value) {
  block_.selectionStart = ValueInt(value);
  SendMessageW(hwnd_, EM_SETSEL, block_.selectionStart, SelectionEnd(block_.selectionStart, block_.selectionLength));
  return false;
}

PropertyValue EditBox::SelectionLength() const {
  DWORD start = 0, end = 0;
  SendMessageW(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return IntValue(static_cast<int32_t>(end - start));
}

bool EditBox::SetSelectionLength(PropertyValue value) {
  block_.selectionLength = ValueInt(value);
  SendMessageW(hwnd_, EM_SETSEL, block_.selectionStart, SelectionEnd(block_.selectionStart, block_.selectionLength));
  return false;
}

}  // namespace tl
