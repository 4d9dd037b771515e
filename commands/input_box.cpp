// InputBox: a modal dialog built in memory in one of two layouts, whose answer is stored into
// the caller's variable according to the variable's type.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "commands/dialogs.h"
#include "commands/text.h"
#include "commands/unit_lookup.h"
#include "runtime/gbk.h"
#include "runtime/memory.h"
#include "runtime/typed_text.h"

namespace tl::cmd {
namespace {

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
        // A character the program cannot keep: the box stays open with the text for change.
        if (!AcceptTypedText(dialog, text)) {
          ::SetFocus(edit);
          return TRUE;
        }
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

template <typename T>
void Store(void* variable, T value) {
  std::memcpy(variable, &value, sizeof value);
}

void StoreAnswer(const VariableRef& variable, const std::string& answer) {
  void* target = variable.address;
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
    case DataType::Long: Store(target, static_cast<int64_t>(LeadingInteger(answer))); break;
    case DataType::Float: Store(target, static_cast<float>(std::strtod(answer.c_str(), nullptr))); break;
    case DataType::Double: Store(target, std::strtod(answer.c_str(), nullptr)); break;
    default: break;
  }
}

// Without an owner the box would be a window of its own, which an always-on-top window of the
// program can cover while the box waits for the keyboard. Owned by the window the user works
// in, it opens above that window and keeps it waiting until answered.
HWND OwnerOrActiveWindow(const ArgRecord& owner) {
  HWND given = OwnerWindow(owner);
  return given ? given : GetActiveWindow();
}

}  // namespace

bool InputBox(std::string_view prompt, std::string_view title, std::string_view initial, VariableRef variable,
              std::optional<int32_t> mode, const ArgRecord& owner) {
  InputDialog state;
  state.prompt = Widen(prompt);
  state.title = Widen(title);
  state.initial = Widen(initial);
  const int32_t chosen = mode.value_or(1);
  state.mode = static_cast<InputMode>(chosen > 4 ? 4 : chosen < 1 ? 1 : chosen);
  const bool confirmed = RunInputDialog(state, OwnerOrActiveWindow(owner));
  if (confirmed) StoreAnswer(variable, Narrow(state.answer));
  return confirmed;
}

}  // namespace tl::cmd
