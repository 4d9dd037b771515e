#include "commands/dialogs.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "commands/text.h"
#include "runtime/gbk.h"
#include "runtime/memory.h"
#include "runtime/unit.h"
#include "runtime/unit_events.h"

namespace tl::cmd {
namespace {

// A unit reference carries (window id, unit id). A window's own unit id has its top four bits
// clear; the runtime names the window's own unit with 0.
Unit* FindUnit(const ArgRecord& ref, bool checked) {
  const uint32_t unitId = (ref.high >> 28) == 0 ? 0 : ref.high;
  const Request request = checked ? Request::UnitObjectOrError : Request::UnitObject;
  return reinterpret_cast<Unit*>(CallRuntime(request, static_cast<intptr_t>(ref.low), static_cast<intptr_t>(unitId)));
}

HWND UnitWindow(const ArgRecord& ref, bool checked) {
  Unit* unit = FindUnit(ref, checked);
  return unit ? unit->hwnd() : nullptr;
}

// An owner given as a window unit or as a native handle; a window that is not loaded gives none.
HWND OwnerWindow(const ArgRecord& owner) {
  if (owner.type == UnitType::Window) return UnitWindow(owner, false);
  if (owner.type == DataType::Int) return reinterpret_cast<HWND>(static_cast<uintptr_t>(owner.low));
  return nullptr;
}

bool IsBasicType(uint32_t type) {
  switch (type) {
    case DataType::Byte:
    case DataType::Short:
    case DataType::Int:
    case DataType::Long:
    case DataType::Float:
    case DataType::Double:
    case DataType::Bool:
    case DataType::DateTime:
    case DataType::Text: return true;
    default: return false;
  }
}

// ---- InputBox -------------------------------------------------------------------------------

enum ControlId : WORD { kPromptId = 1000, kEditId = 1001 };
enum class InputMode { Any = 1, Integer = 2, Decimal = 3, Password = 4 };

// Builds a DLGTEMPLATE with its items in memory, each part on the alignment the format needs.
class DialogTemplate {
 public:
  DialogTemplate(DWORD style, short cx, short cy, std::wstring_view caption, WORD points,
                 std::wstring_view font) {
    Add(DLGTEMPLATE{style, 0, 0, 0, 0, cx, cy});
    Word(0);  // no menu
    Word(0);  // the standard dialog class
    String(caption);
    Word(points);
    String(font);
  }
  void Item(WORD classAtom, DWORD style, short x, short y, short cx, short cy, WORD id,
            std::wstring_view text, DWORD exStyle = 0) {
    Align();
    Add(DLGITEMTEMPLATE{style | WS_CHILD | WS_VISIBLE, exStyle, x, y, cx, cy, id});
    Word(0xFFFF);
    Word(classAtom);
    String(text);
    Word(0);  // no creation data
    reinterpret_cast<DLGTEMPLATE*>(bytes_.data())->cdit++;
  }
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

 private:
  template <typename T>
  void Add(const T& value) {
    const auto* p = reinterpret_cast<const uint8_t*>(&value);
    bytes_.insert(bytes_.end(), p, p + sizeof value);
  }
  void Word(WORD w) { Add(w); }
  void String(std::wstring_view s) {
    for (wchar_t c : s) Word(static_cast<WORD>(c));
    Word(0);
  }
  void Align() {
    while (bytes_.size() % 4) bytes_.push_back(0);
  }
  // DWORD storage keeps the start aligned as DialogBoxIndirect requires.
  std::vector<uint8_t> bytes_;
};

constexpr WORD kButtonAtom = 0x0080, kEditAtom = 0x0081, kStaticAtom = 0x0082;

struct InputDialog {
  std::wstring title;
  std::wstring prompt;
  std::wstring initial;
  InputMode mode = InputMode::Any;
  std::wstring answer;
};

LRESULT CALLBACK FilterDigits(HWND edit, UINT message, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR mode) {
  if (message == WM_CHAR && wp >= 32) {
    const bool digit = wp >= L'0' && wp <= L'9';
    const bool allowed = digit || wp == L'-' || (wp == L'.' && static_cast<InputMode>(mode) == InputMode::Decimal);
    if (!allowed) return 0;
  }
  return DefSubclassProc(edit, message, wp, lp);
}

INT_PTR CALLBACK InputDialogProc(HWND dialog, UINT message, WPARAM wp, LPARAM lp) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* state = reinterpret_cast<InputDialog*>(lp);
      SetWindowLongPtrW(dialog, DWLP_USER, lp);
      if (!state->title.empty()) SetWindowTextW(dialog, state->title.c_str());
      SetDlgItemTextW(dialog, kPromptId, state->prompt.c_str());
      HWND edit = GetDlgItem(dialog, kEditId);
      if (state->mode == InputMode::Integer || state->mode == InputMode::Decimal) {
        SetWindowSubclass(edit, FilterDigits, 1, static_cast<DWORD_PTR>(state->mode));
      }
      SetWindowTextW(edit, state->initial.c_str());
      SendMessageW(edit, EM_SETSEL, 0, -1);
      ::SetFocus(edit);
      return FALSE;  // the focus was placed here
    }
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK) {
        auto* state = reinterpret_cast<InputDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
        HWND edit = GetDlgItem(dialog, kEditId);
        std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
        state->answer = std::move(text);
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wp) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
    case WM_DESTROY:
      RemoveWindowSubclass(GetDlgItem(dialog, kEditId), FilterDigits, 1);
      break;
  }
  return FALSE;
}

bool RunInputDialog(InputDialog& state, HWND owner) {
  const bool large = !state.prompt.empty();
  const DWORD style = DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  DialogTemplate t(style, large ? 252 : 214, large ? 92 : 56, Widen("请输入："), 9, Widen("宋体"));
  const DWORD editStyle = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL |
                          (state.mode == InputMode::Password ? ES_PASSWORD : 0);
  const short buttonsTop = large ? 71 : 35;
  const short right = large ? 245 : 207;
  if (large) {
    t.Item(kStaticAtom, SS_LEFT | SS_SUNKEN, 7, 7, 238, 38, kPromptId, L"");
    t.Item(kEditAtom, editStyle, 7, 51, 238, 14, kEditId, L"", WS_EX_CLIENTEDGE);
  } else {
    t.Item(kEditAtom, editStyle, 7, 10, 200, 14, kEditId, L"", WS_EX_CLIENTEDGE);
  }
  t.Item(kButtonAtom, BS_DEFPUSHBUTTON | WS_TABSTOP, static_cast<short>(right - 117), buttonsTop, 56, 14, IDOK,
         Widen("确认输入(&O)"));
  t.Item(kButtonAtom, BS_PUSHBUTTON | WS_TABSTOP, static_cast<short>(right - 56), buttonsTop, 56, 14, IDCANCEL,
         Widen("取消(&C)"));
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.get(), owner, InputDialogProc,
                                 reinterpret_cast<LPARAM>(&state)) == IDOK;
}

// Leading blanks, an optional sign and decimal digits; wraps like the narrower variables it
// is cut to.
int64_t LeadingInteger(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  uint64_t value = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) value = value * 10 + static_cast<uint64_t>(s[i] - '0');
  return static_cast<int64_t>(negative ? 0 - value : value);
}

template <typename T>
void Store(void* variable, T value) {
  std::memcpy(variable, &value, sizeof value);
}

void StoreAnswer(const ArgRecord& variable, const std::string& answer) {
  void* target = ArgPointer(variable);
  if (!target) return;
  switch (variable.type) {
    case DataType::Text: {
      char* old;
      std::memcpy(&old, target, sizeof old);
      Store(target, NewText(answer));
      Free(old);
      break;
    }
    case DataType::Byte: Store(target, static_cast<uint8_t>(LeadingInteger(answer))); break;
    case DataType::Short: Store(target, static_cast<int16_t>(LeadingInteger(answer))); break;
    case DataType::Int: Store(target, static_cast<int32_t>(LeadingInteger(answer))); break;
    case DataType::Long: Store(target, LeadingInteger(answer)); break;
    case DataType::Float: Store(target, static_cast<float>(std::strtod(answer.c_str(), nullptr))); break;
    case DataType::Double: Store(target, std::strtod(answer.c_str(), nullptr)); break;
    default: break;
  }
}

// ---- CloseWindow ----------------------------------------------------------------------------

// A message of our own, so that it can never collide with the runtime's private ones.
UINT DeferredCloseMessage() {
  static const UINT message = RegisterWindowMessageW(L"Tallyleaf.DeferredClose");
  return message;
}
constexpr UINT_PTR kDeferredCloseSubclass = 0x54434C53;

// Destroying directly skips the close request, so a window whose may-close handler refuses
// to close is destroyed all the same.
LRESULT CALLBACK DeferredClose(HWND w, UINT message, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (message == DeferredCloseMessage()) {
    DestroyWindow(w);
    return 0;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(w, DeferredClose, kDeferredCloseSubclass);
  return DefSubclassProc(w, message, wp, lp);
}

// ---- PopupMenu ------------------------------------------------------------------------------

std::wstring KeyName(int32_t shortcut) {
  static constexpr const wchar_t* kGroups[] = {L"F", L"Ctrl+F", L"Shift+F", L"Ctrl+Shift+F"};
  if (shortcut >= 1 && shortcut <= 26) return L"Ctrl+" + std::wstring(1, static_cast<wchar_t>(L'A' + shortcut - 1));
  if (shortcut >= 27 && shortcut <= 74) {
    const int n = shortcut - 27;
    return kGroups[n / 12] + std::to_wstring(n % 12 + 1);
  }
  if (shortcut == 75) return L"Ins";
  if (shortcut == 76) return L"Del";
  return {};
}

UINT ItemFlags(const MenuItemFields& item) {
  return (item.flags & MenuFlag::Checked ? MF_CHECKED : 0u) | (item.flags & MenuFlag::Disabled ? MF_GRAYED : 0u);
}

// Appends the items after position i that are nested deeper than parentLevel.
void AppendItems(HMENU menu, std::span<const MenuItemFields> run, size_t& i, int32_t parentLevel) {
  while (i < run.size() && run[i].level > parentLevel) {
    const MenuItemFields& item = run[i];
    const size_t index = i++;
    const bool opensSubmenu = i < run.size() && run[i].level > item.level;
    if (item.flags & MenuFlag::Hidden) {
      while (i < run.size() && run[i].level > item.level) ++i;
      continue;
    }
    std::wstring caption = Widen(item.caption);
    if (item.shortcut) caption += L"\t" + KeyName(item.shortcut);
    if (opensSubmenu) {
      HMENU sub = CreatePopupMenu();
      AppendItems(sub, run, i, item.level);
      AppendMenuW(menu, MF_POPUP | MF_STRING | ItemFlags(item), reinterpret_cast<UINT_PTR>(sub), caption.c_str());
    } else if (item.caption == "-") {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(menu, MF_STRING | ItemFlags(item), kFirstMenuCommand + index, caption.c_str());
    }
  }
}

}  // namespace

HMENU BuildPopupMenu(std::span<const MenuItemFields> run, size_t menuIndex) {
  if (menuIndex + 1 >= run.size() || run[menuIndex + 1].level <= run[menuIndex].level) return nullptr;
  HMENU menu = CreatePopupMenu();
  size_t i = menuIndex + 1;
  AppendItems(menu, run, i, run[menuIndex].level);
  return menu;
}

void MessageBox(ArgRecord* result, int argc, ArgRecord* args) {
  const Args a(argc, args);
  const std::string content = IsBasicType(a[0].type) ? ValueText(a[0]) : std::string();
  const std::string title = a.Given(2) ? std::string(a.Text(2)) : std::string("信息：");
  auto style = static_cast<UINT>(a.Int(1));
  if (!(style & MB_SYSTEMMODAL)) style |= MB_TASKMODAL;
  const int answer = MessageBoxW(OwnerWindow(a[3]), Widen(content).c_str(), Widen(title).c_str(), style);
  // Platform ids 1 (OK) to 7 (No) become the button codes 0 to 6.
  SetInt(result, answer >= IDOK && answer <= IDNO ? answer - 1 : 0);
}

void InputBox(ArgRecord* result, int argc, ArgRecord* args) {
  const Args a(argc, args);
  InputDialog state;
  state.prompt = Widen(a.Text(0));
  state.title = Widen(a.Text(1));
  state.initial = Widen(a.Text(2));
  const int32_t mode = a.Int(4, 1);
  state.mode = static_cast<InputMode>(mode > 4 ? 4 : mode < 1 ? 1 : mode);
  const bool confirmed = RunInputDialog(state, OwnerWindow(a[5]));
  if (confirmed) StoreAnswer(a[3], Narrow(state.answer));
  SetBool(result, confirmed);
}

void LoadWindow(ArgRecord* result, int argc, ArgRecord* args) {
  const Args a(argc, args);
  SetBool(result, false);
  Unit* owner = nullptr;
  if (a.Given(1)) {
    owner = FindUnit(a[1], false);
    if (!owner) return;
  }
  // The runtime's load request record: window id, owner unit object or none, modal flag.
  struct {
    uint32_t window;
    Unit* owner;
    int32_t modal;
  } request{a[0].low, owner, a.Bool(2) ? 1 : 0};
  SetBool(result, CallRuntime(Request::LoadWindow, reinterpret_cast<intptr_t>(&request)) == 0);
}

void CloseWindow(ArgRecord*, int argc, ArgRecord* args) {
  const Args a(argc, args);
  HWND hwnd = UnitWindow(a[0], true);
  if (!hwnd) return;
  if ((a[0].high >> 28) != 0) {
    DestroyWindow(hwnd);  // a control: removed from its window
    return;
  }
  if (a.Bool(1)) {
    DestroyWindow(hwnd);
    return;
  }
  // Deferred: destroyed when the message loop next dispatches to the window.
  SetWindowSubclass(hwnd, DeferredClose, kDeferredCloseSubclass, 0);
  PostMessageW(hwnd, DeferredCloseMessage(), 0, 0);
}

void GetWindowHandle(ArgRecord* result, int argc, ArgRecord* args) {
  SetInt(result, static_cast<int32_t>(reinterpret_cast<uintptr_t>(UnitWindow(Args(argc, args)[0], true))));
}

void SetFocus(ArgRecord*, int argc, ArgRecord* args) {
  if (HWND hwnd = UnitWindow(Args(argc, args)[0], true)) ::SetFocus(hwnd);
}

void RefreshDisplay(ArgRecord*, int argc, ArgRecord* args) {
  if (HWND hwnd = UnitWindow(Args(argc, args)[0], true)) UpdateWindow(hwnd);
}

void MouseX(ArgRecord* result, int, ArgRecord*) {
  POINT p{};
  GetCursorPos(&p);
  SetInt(result, p.x);
}

void MouseY(ArgRecord* result, int, ArgRecord*) {
  POINT p{};
  GetCursorPos(&p);
  SetInt(result, p.y);
}

}  // namespace tl::cmd
