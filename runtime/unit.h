// A live unit: the object a unit type's CreateUnit returns, owning its native window.
// Windows only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace tl {

static_assert(sizeof(void*) == 4, "unit objects and record slots hold 32-bit pointers");

// A property value as the property services carry it: 64 bits, texts and byte sets as a
// pointer in the low word (a new heap block on read; copied by the unit on write).
struct PropertyValue {
  uint32_t low = 0;
  uint32_t high = 0;
};

class Unit {
 public:
  Unit(uint32_t windowId, uint32_t unitId) : windowId_(windowId), unitId_(unitId) {}
  Unit(const Unit&) = delete;
  Unit& operator=(const Unit&) = delete;
  virtual ~Unit() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }

  HWND hwnd() const { return hwnd_; }
  uint32_t windowId() const { return windowId_; }
  uint32_t unitId() const { return unitId_; }

  // The unit's current property data in its stored block form, for re-creating the control.
  virtual std::vector<uint8_t> PropertyData() const = 0;
  // Keys the focused unit handles itself instead of the window's conveniences (Tab, Enter...).
  virtual bool ClaimsKey(UINT /*virtualKey*/) const { return false; }
  // A left press on a drag handle moves the window when the window allows dragging anywhere.
  virtual bool IsDragHandle() const { return false; }
  // A notification the unit's control sent the window it sits in (see RouteToOwningUnit); a
  // value answers it in that window's place.
  virtual std::optional<LRESULT> OnNotification(UINT /*message*/, WPARAM, LPARAM) { return std::nullopt; }
  // The unit's window moved to a monitor of another DPI: a unit with a place or a font of its own
  // shows them at the new DPI.
  virtual void OnDpiChanged(int32_t /*oldDpi*/, int32_t /*newDpi*/) {}

 protected:
  HWND hwnd_ = nullptr;

 private:
  uint32_t windowId_;
  uint32_t unitId_;
};

// Every unit's native window names the unit that owns it. A control reports to the window it
// sits in, not to its unit; with this mark that window hands the report on, so no unit has to
// watch its control's parent. The marks live in the thread that runs the windows, not in the
// windows: every notification asks for one, and on Wine reading a window property is a round
// trip to the window server.
void SetOwningUnit(HWND window, Unit* unit);
Unit* OwningUnit(HWND window);

// The control a notification names; null for any other message.
inline HWND NotifyingControl(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NOTIFY: return lParam ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_NOTIFYFORMAT: return reinterpret_cast<HWND>(wParam);
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL: return reinterpret_cast<HWND>(lParam);
    default:
      if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) return reinterpret_cast<HWND>(lParam);
      return nullptr;
  }
}

// Hands a notification that reached `window` from one of its child controls to the control's
// unit. Every window procedure that can hold controls asks this first; a value is the answer.
inline std::optional<LRESULT> RouteToOwningUnit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND control = NotifyingControl(message, wParam, lParam);
  if (!control || GetParent(control) != window) return std::nullopt;
  Unit* owner = OwningUnit(control);
  return owner ? owner->OnNotification(message, wParam, lParam) : std::nullopt;
}

// Interface code 1: the fourteen arguments in order; returns a new unit the caller owns, or null.
using CreateUnitFn = Unit* (*)(const uint8_t* block, int32_t blockLength, uint32_t extraStyle,
                               HWND parent, int32_t childId, HMENU menu, int32_t left,
                               int32_t top, int32_t width, int32_t height, uint32_t windowId,
                               uint32_t unitId, int32_t reserved1, int32_t reserved2);
// Interface code 4: answers 1 when the value can only take effect in a new native control.
using WritePropertyFn = int (*)(Unit* unit, int32_t number, PropertyValue value);
// Interface code 6.
using ReadPropertyFn = PropertyValue (*)(Unit* unit, int32_t number);

}  // namespace tl
