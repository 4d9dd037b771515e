#include "controls/common_controls_a.h"

#include <commctrl.h>

#include <cstddef>
#include <cstring>
#include <string_view>

#include "runtime/gbk.h"

namespace tl {
namespace {

constexpr DWORD kBorderExStyles = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE;

constexpr BorderStyles kBorders[] = {
    {0, 0},
    {0, WS_EX_CLIENTEDGE},
    {0, WS_EX_DLGMODALFRAME},
    {0, WS_EX_STATICEDGE},
    {0, WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME},
    {WS_BORDER, 0},
};

}  // namespace

void EnsureCommonControls(DWORD classes) {
  static DWORD registered = 0;
  const DWORD missing = classes & ~registered;
  if (!missing) return;
  INITCOMMONCONTROLSEX icc{sizeof icc, missing};
  if (InitCommonControlsEx(&icc)) registered |= missing;
}

BorderStyles BorderFor(int32_t border) {
  if (border < 0 || border >= static_cast<int32_t>(std::size(kBorders))) return kBorders[0];
  return kBorders[border];
}

void ApplyBorder(HWND hwnd, int32_t border) {
  if (!hwnd) return;
  const BorderStyles b = BorderFor(border);
  const LONG_PTR style = (GetWindowLongPtrW(hwnd, GWL_STYLE) & ~WS_BORDER) | b.style;
  const LONG_PTR exStyle = (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & ~kBorderExStyles) | b.exStyle;
  SetWindowLongPtrW(hwnd, GWL_STYLE, style);
  SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle);
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

COLORREF ResolveColor(uint32_t stored) {
  return stored == 0xFF000000u ? GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(stored & 0xFFFFFF);
}

ControlUnit::~ControlUnit() { DestroyControl(); }

void ControlUnit::Attach(HWND control) {
  hwnd_ = control;
  SetWindowSubclass(hwnd_, ControlProc, reinterpret_cast<UINT_PTR>(this),
                    reinterpret_cast<DWORD_PTR>(this));
  WatchParent();
}

void ControlUnit::DestroyControl() {
  destroying_ = true;
  HWND control = hwnd_;
  Unwatch();
  if (control && IsWindow(control)) DestroyWindow(control);
  hwnd_ = nullptr;
  destroying_ = false;
}

void ControlUnit::WatchParent() {
  HWND parent = hwnd_ ? GetParent(hwnd_) : nullptr;
  if (parent == parent_) return;
  if (parent_) RemoveWindowSubclass(parent_, ParentProc, reinterpret_cast<UINT_PTR>(this));
  parent_ = parent;
  if (parent_) {
    SetWindowSubclass(parent_, ParentProc, reinterpret_cast<UINT_PTR>(this),
                      reinterpret_cast<DWORD_PTR>(this));
  }
}

void ControlUnit::Unwatch() {
  if (parent_) RemoveWindowSubclass(parent_, ParentProc, reinterpret_cast<UINT_PTR>(this));
  parent_ = nullptr;
  if (hwnd_) RemoveWindowSubclass(hwnd_, ControlProc, reinterpret_cast<UINT_PTR>(this));
}

// Focus events (-7/-8) are not raised here: the runtime raises them for every unit whose native
// window gains or loses the focus, and a second raise would run their handlers twice.
bool ControlUnit::OnControlMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT CALLBACK ControlUnit::ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<ControlUnit*>(data);
  switch (message) {
    case WM_NCDESTROY:
      // The control went with its parent window before the unit object.
      self->Unwatch();
      self->hwnd_ = nullptr;
      return DefSubclassProc(hwnd, message, wParam, lParam);
    case WM_WINDOWPOSCHANGED:
      // Loading places controls under their parent units after creating them.
      self->WatchParent();
      break;
  }
  LRESULT result = 0;
  if (self->OnControlMessage(message, wParam, lParam, result)) return result;
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK ControlUnit::ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<ControlUnit*>(data);
  HWND control = self->hwnd_;
  LRESULT result = 0;
  switch (message) {
    case WM_NOTIFYFORMAT:
      // Our controls always talk in UTF-16.
      if (control && reinterpret_cast<HWND>(wParam) == control) return NFR_UNICODE;
      break;
    case WM_NOTIFY:
      if (control && lParam && reinterpret_cast<const NMHDR*>(lParam)->hwndFrom == control &&
          self->OnNotify(message, wParam, lParam, result)) {
        return result;
      }
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (control && reinterpret_cast<HWND>(lParam) == control &&
          self->OnNotify(message, wParam, lParam, result)) {
        return result;
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, ParentProc, reinterpret_cast<UINT_PTR>(self));
      self->parent_ = nullptr;
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace tl
