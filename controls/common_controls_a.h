// What the common-control units (list view, slider bar) share: registering the control classes
// once, and a unit base that sees both the control's own messages and the notifications the
// control sends its parent window, so each unit handles its notifications whatever window
// procedure the parent has. Windows only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>
#include <type_traits>

#include "controls/fonts.h"
#include "runtime/unit.h"

namespace tl {

// InitCommonControlsEx for the given ICC_ classes, once per class.
void EnsureCommonControls(DWORD classes);

// The border property shared by the list view and the slider bar: 0 none, 1 sunken,
// 2 raised, 3 thin sunken, 4 sunken and raised, 5 single line.
struct BorderStyles {
  DWORD style;
  DWORD exStyle;
};
BorderStyles BorderFor(int32_t border);
// Replaces the border styles of a live control and lets its frame be recomputed.
void ApplyBorder(HWND hwnd, int32_t border);

struct FontDeleter {
  void operator()(HFONT font) const { DeleteObject(font); }
};
using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

// A 0x00BBGGRR colour, with 0xFF000000 standing for the button-face colour.
COLORREF ResolveColor(uint32_t stored);

class ControlUnit : public Unit {
 public:
  using Unit::Unit;
  ~ControlUnit() override;

 protected:
  // Takes ownership of a freshly created control: watches its messages and its parent's.
  void Attach(HWND control);
  // Destroys the native control now (events are not raised while it goes).
  void DestroyControl();
  bool destroying() const { return destroying_; }

  // A notification from the control to its parent (WM_NOTIFY from it, WM_HSCROLL/WM_VSCROLL
  // naming it). Return true with `result` set to answer it instead of the parent.
  virtual bool OnNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
  // The control's own messages, before its default handling; return true to consume.
  virtual bool OnControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

 private:
  static LRESULT CALLBACK ControlProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  static LRESULT CALLBACK ParentProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  void WatchParent();
  void Unwatch();

  HWND parent_ = nullptr;
  bool destroying_ = false;
};

}  // namespace tl
