// A live unit: the object a unit type's CreateUnit returns, owning its native window.
// Windows only.
#pragma once

#include <windows.h>

#include <cstdint>
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

 protected:
  HWND hwnd_ = nullptr;

 private:
  uint32_t windowId_;
  uint32_t unitId_;
};

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
