#include "controls/edit_box.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

#include "runtime/gbk.h"

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
  const bool doubleByte = lead >= 0x81 && text.size() > 1;
  return static_cast<uint16_t>(lead | (doubleByte ? static_cast<uint8_t>(text[1]) << 8 : 0));
}

// Start and length come from the stored block or a property write unchecked: add without overflow.
LPARAM SelectionEnd(int32_t start, int32_t length) {
  return static_cast<LPARAM>(std::clamp<int64_t>(int64_t{start} + length, INT32_MIN, INT32_MAX));
}

wchar_t PasswordCharacter(uint16_t stored) {
  const std::wstring wide = Widen(PasswordText(stored));
  return wide.empty() ? L'*' : wide[0];
}

}  // namespace

std::unique_ptr<EditBox> EditBox::Create(const EditBoxBlock& block, uint32_t extraStyle, HWND parent,
                                         int32_t childId, Place place, uint32_t windowId, uint32_t unitId) {
  auto unit = std::make_unique<EditBox>(block, windowId, unitId);
  if (!unit->Build(extraStyle, parent, childId, place)) return nullptr;
  return unit;
}

bool EditBox::Build(uint32_t extraStyle, HWND parent, int32_t childId, Place place) {
  DWORD style = StyleOf(block_) | extraStyle;
  if (block_.border == 2) style |= WS_BORDER;
  hwnd_ = CreateWindowExW(ExStyleOf(block_), L"EDIT", L"", style, place.left, place.top,
                          place.width, place.height, parent,
                          reinterpret_cast<HMENU>(static_cast<intptr_t>(childId)),
                          GetModuleHandleW(nullptr), nullptr);
  if (!hwnd_) return false;
  SetWindowSubclass(hwnd_, &ControlProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
  Attach(hwnd_);
  ApplyFont();
  ApplyColours();
  SendMessageW(hwnd_, EM_LIMITTEXT, block_.maxLength > 0 ? block_.maxLength : 0, 0);
  if (block_.inputMode == EditInputMode::Password)
    SendMessageW(hwnd_, EM_SETPASSWORDCHAR, PasswordCharacter(block_.passwordChar), 0);
  SetContent(block_.content);
  SendMessageW(hwnd_, EM_SETSEL, block_.selectionStart, SelectionEnd(block_.selectionStart, block_.selectionLength));
  if (block_.spinControl) BuildSpin(parent);
  return true;
}

void EditBox::BuildSpin(HWND parent) {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&classes);
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
  Detach();
  DestroyNativeWindow(spin_);
  DestroyNativeWindow(hwnd_);
}

void EditBox::ApplyFont() {
  font_ = FontFromRecord(block_.font);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.font()), TRUE);
}

void EditBox::ApplyColours() {
  backBrush_ = SolidBrush(block_.backColour);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

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

LRESULT CALLBACK EditBox::ControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<EditBox*>(data);
  switch (message) {
    case WM_CHAR:
      if (self->RefusesCharacter(wParam)) return 0;
      break;
    case WM_WINDOWPOSCHANGED:
    case WM_SHOWWINDOW:
    case WM_ENABLE: {
      // The arrows go, show and grey out with their edit box.
      const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
      if (message == WM_SHOWWINDOW) ShowWindow(self->spin_, wParam ? SW_SHOWNA : SW_HIDE);
      else self->FollowEdit();
      return result;
    }
    case WM_PASTE:
    case WM_UNDO:
    case EM_UNDO:
    case EM_REPLACESEL: {
      const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
      self->KeepShortInteger();
      return result;
    }
    default:
      break;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

std::optional<LRESULT> EditBox::OnParentMessage(UINT message, WPARAM wParam, LPARAM) {
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
  if (hwnd_) {
    block_.content = WindowTextGbk(hwnd_);
    DWORD start = 0, end = 0;
    SendMessageW(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    block_.selectionStart = static_cast<int32_t>(start);
    block_.selectionLength = static_cast<int32_t>(end - start);
  }
  return block_.Write();
}

PropertyValue EditBox::Read(int32_t number) {
  switch (number + 8) {
    case 8: return TextValue(WindowTextGbk(hwnd_));
    case 9: return IntValue(block_.border);
    case 10: return IntValue(static_cast<int32_t>(block_.textColour));
    case 11: return IntValue(static_cast<int32_t>(block_.backColour));
    case 12: return BytesValue(block_.font);
    case 13: return IntValue(block_.hideSelection);
    case 14: return IntValue(block_.maxLength);
    case 15: return IntValue(block_.multiLine);
    case 16: return IntValue(block_.scrollBars);
    case 17: return IntValue(block_.alignment);
    case 18: return IntValue(block_.inputMode);
    case 19: return TextValue(PasswordText(block_.passwordChar));
    case 20: return IntValue(block_.letterCase);
    case 21: return IntValue(block_.spinControl);
    case 22: return IntValue(block_.spinMinimum);
    case 23: return IntValue(block_.spinMaximum);
    case 24: {
      DWORD start = 0;
      SendMessageW(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
      return IntValue(static_cast<int32_t>(start));
    }
    case 25: {
      DWORD start = 0, end = 0;
      SendMessageW(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
      return IntValue(static_cast<int32_t>(end - start));
    }
    case 27: return TextValue(block_.data1);
    case 28: return TextValue(block_.data2);
    default: return {};
  }
}

bool EditBox::Write(int32_t number, PropertyValue value) {
  const int32_t v = ValueInt(value);
  switch (number + 8) {
    case 8:
      block_.content = ValueText(value);
      SetContent(block_.content);
      return false;
    case 9: block_.border = v; return true;
    case 10: block_.textColour = static_cast<uint32_t>(v); ApplyColours(); return false;
    case 11: block_.backColour = static_cast<uint32_t>(v); ApplyColours(); return false;
    case 12: block_.font = ValueBytes(value); ApplyFont(); return false;
    case 13: block_.hideSelection = v; return true;
    case 14:
      block_.maxLength = v;
      SendMessageW(hwnd_, EM_LIMITTEXT, v > 0 ? v : 0, 0);
      return false;
    case 15: block_.multiLine = v; return true;
    case 16: block_.scrollBars = v; return true;
    case 17: block_.alignment = v; return true;
    case 18:
      block_.inputMode = v;
      KeepShortInteger();
      return true;
    case 19:
      block_.passwordChar = StoredPassword(ValueText(value));
      if (block_.inputMode == EditInputMode::Password)
        SendMessageW(hwnd_, EM_SETPASSWORDCHAR, PasswordCharacter(block_.passwordChar), 0);
      InvalidateRect(hwnd_, nullptr, TRUE);
      return false;
    case 20: block_.letterCase = v; return true;
    case 21: block_.spinControl = v; return true;
    case 22: block_.spinMinimum = v; ApplySpinRange(); return false;
    case 23: block_.spinMaximum = v; ApplySpinRange(); return false;
    case 24:
      block_.selectionStart = v;
      SendMessageW(hwnd_, EM_SETSEL, v, SelectionEnd(v, block_.selectionLength));
      return false;
    case 25:
      block_.selectionLength = v;
      SendMessageW(hwnd_, EM_SETSEL, block_.selectionStart, SelectionEnd(block_.selectionStart, v));
      return false;
    case 27: block_.data1 = ValueText(value); return false;
    case 28: block_.data2 = ValueText(value); return false;
    default: return false;
  }
}

namespace {

Unit* CreateEditBox(const uint8_t* block, int32_t length, uint32_t extraStyle, HWND parent,
                    int32_t childId, HMENU, int32_t left, int32_t top, int32_t width, int32_t height,
                    uint32_t windowId, uint32_t unitId, int32_t, int32_t) {
  const std::optional<EditBoxBlock> data = EditBoxBlock::Read(BlockBytes(block, length));
  if (!data) return nullptr;
  return EditBox::Create(*data, extraStyle, parent, childId, Place{left, top, width, height},
                         windowId, unitId).release();
}

int WriteEditBox(Unit* unit, int32_t number, PropertyValue value) {
  return static_cast<EditBox*>(unit)->Write(number, value) ? 1 : 0;
}

PropertyValue ReadEditBox(Unit* unit, int32_t number) {
  return static_cast<EditBox*>(unit)->Read(number);
}

void* EditBoxInterface(InterfaceCode code) {
  switch (code) {
    case InterfaceCode::CreateUnit: return reinterpret_cast<void*>(&CreateEditBox);
    case InterfaceCode::WriteProperty: return reinterpret_cast<void*>(&WriteEditBox);
    case InterfaceCode::ReadProperty: return reinterpret_cast<void*>(&ReadEditBox);
  }
  return nullptr;
}

}  // namespace

const UnitTypeDescriptor kEditBoxType = {"编辑框", "EditBox", UnitState::RaisesEvents, &EditBoxInterface};

}  // namespace tl
