#include "controls/control_unit.h"

#include <commctrl.h>

#include "runtime/gbk.h"
#include "runtime/keyboard_menu.h"
#include "runtime/unit_events.h"
#include "runtime/window_class.h"
#include "runtime/window_dpi.h"

namespace tl {

void EnsureCommonControls(DWORD classes) {
  static DWORD registered = 0;
  const DWORD missing = classes & ~registered;
  if (!missing) return;
  INITCOMMONCONTROLSEX icc{sizeof icc, missing};
  if (InitCommonControlsEx(&icc)) registered |= missing;
}

std::wstring WindowTextWide(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

std::string WindowTextGbk(HWND window) { return Narrow(WindowTextWide(window)); }

void SetWindowTextGbk(HWND window, std::string_view gbk) { SetWindowTextW(window, Widen(gbk).c_str()); }

namespace {

HWND NewChild(const wchar_t* className, DWORD exStyle, DWORD style, std::wstring_view text, HWND parent,
              int32_t childId, Place place, void* creationData) {
  const std::wstring caption(text);
  return CreateWindowExW(exStyle, className, caption.c_str(), style, place.left, place.top, place.width,
                         place.height, parent, reinterpret_cast<HMENU>(static_cast<intptr_t>(childId)),
                         GetModuleHandleW(nullptr), creationData);
}

}  // namespace

bool ControlUnit::CreateControl(const wchar_t* className, DWORD exStyle, DWORD style, HWND parent, int32_t childId,
                                Place place) {
  HWND control = NewChild(className, exStyle, style, L"", parent, childId, place, nullptr);
  if (!control) return false;
  hwnd_ = control;
  SetOwningUnit(hwnd_, this);
  SetWindowSubclass(hwnd_, &ControlProc, 0, reinterpret_cast<DWORD_PTR>(this));
  return true;
}

HWND ControlUnit::CreateOwnWindow(const wchar_t* className, UINT classStyle, DWORD exStyle, DWORD style,
                                  std::wstring_view text, HWND parent, int32_t childId, Place place) {
  if (!RegisterWindowClass(className, &OwnWindowProc, classStyle)) return nullptr;
  ownClass_ = true;
  // The window procedure takes the window as the unit's own while it is being created.
  return NewChild(className, exStyle, style, text, parent, childId, place, this);
}

void ControlUnit::Forget() {
  if (!hwnd_) return;
  SetOwningUnit(hwnd_, nullptr);
  if (!ownClass_) RemoveWindowSubclass(hwnd_, &ControlProc, 0);
  hwnd_ = nullptr;
}

void ControlUnit::DestroyControl() {
  HWND window = hwnd_;
  Forget();
  if (window && IsWindow(window)) DestroyWindow(window);
}

void ControlUnit::ShowFont(std::span<const uint8_t> record) {
  GdiObject font = FontFromRecord(record, DpiOfWindow(hwnd_));
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font.font()), TRUE);
  font_ = std::move(font);
}

// Place and size keep their proportion to the window; the type shows its font at the new DPI. A
// unit whose window is not a child (a tip) places itself where it shows.
void ControlUnit::OnDpiChanged(int32_t oldDpi, int32_t newDpi) {
  if (!hwnd_) return;
  if (!(GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD)) {
    ShowFontAtDpi();
    return;
  }
  RECT r{};
  GetWindowRect(hwnd_, &r);
  MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
  const int32_t left = ScalePixels(r.left, oldDpi, newDpi), top = ScalePixels(r.top, oldDpi, newDpi);
  SetWindowPos(hwnd_, nullptr, left, top, ScalePixels(r.right - r.left, oldDpi, newDpi),
               ScalePixels(r.bottom - r.top, oldDpi, newDpi), SWP_NOZORDER | SWP_NOACTIVATE);
  ShowFontAtDpi();
}

bool ControlUnit::OnWindowMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT ControlUnit::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
  return ownClass_ ? DefWindowProcW(hwnd_, message, wParam, lParam)
                   : DefSubclassProc(hwnd_, message, wParam, lParam);
}

void ControlUnit::RaiseKeyboardRightClick() {
  RECT client{};
  GetClientRect(hwnd_, &client);
  const POINT corner{client.left, client.bottom};
  POINT screen = corner;
  ClientToScreen(hwnd_, &screen);
  const KeyboardMenuPlace place(screen);
  // A handler may destroy this unit: only the copied ids after the first event.
  const uint32_t window = windowId(), unit = unitId();
  const auto x = static_cast<uint32_t>(corner.x), y = static_cast<uint32_t>(corner.y);
  RaiseEvent(window, unit, UnitEvent::RightButtonDown, {x, y, 0});
  RaiseEvent(window, unit, UnitEvent::RightButtonUp, {x, y, 0});
}

LRESULT ControlUnit::Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const bool ownClass = ownClass_;
  auto byDefault = [&] {
    return ownClass ? DefWindowProcW(window, message, wParam, lParam)
                    : DefSubclassProc(window, message, wParam, lParam);
  };
  if (message == WM_NCDESTROY) {
    // The window went with its parent before the unit object.
    Forget();
    return byDefault();
  }
  // A runtime-drawn unit may hold controls of its own, as a window does.
  if (ownClass) {
    if (std::optional<LRESULT> answer = RouteToOwningUnit(window, message, wParam, lParam)) return *answer;
  }
  if (IsKeyboardContextMenu(message, lParam) && OpenKeyboardMenu()) return 0;
  LRESULT result = 0;
  if (OnWindowMessage(message, wParam, lParam, result)) return result;
  // A handler the unit ran may have destroyed it: only the copies from here on.
  return byDefault();
}

LRESULT CALLBACK ControlUnit::ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR data) {
  auto* self = reinterpret_cast<ControlUnit*>(data);
  if (self->hwnd_ != window) return DefSubclassProc(window, message, wParam, lParam);
  return self->Dispatch(window, message, wParam, lParam);
}

LRESULT CALLBACK ControlUnit::OwnWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<ControlUnit*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = window;
    SetOwningUnit(window, self);
  }
  // Only control units create windows of this procedure's classes.
  auto* self = static_cast<ControlUnit*>(OwningUnit(window));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  return self->Dispatch(window, message, wParam, lParam);
}

}  // namespace tl
