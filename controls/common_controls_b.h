// Small Win32 helpers shared by the edit box, label, button, date picker, transparent label
// and balloon tip units: handle owners, fonts from stored logical-font records, the text
// effects, property value conversion and notifications from the parent window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/unit.h"

namespace tl {

// Where the loader places a control: the record's left, top, width and height.
struct Place {
  int32_t left, top, width, height;
};

// The property block CreateUnit was given (null or a non-positive length: empty).
inline std::span<const uint8_t> BlockBytes(const uint8_t* block, int32_t length) {
  return block && length > 0 ? std::span(block, static_cast<size_t>(length)) : std::span<const uint8_t>();
}

// Owns one GDI object; a stock object (not owned) may be held without being deleted.
class GdiObject {
 public:
  GdiObject() = default;
  GdiObject(HGDIOBJ object, bool owned) : object_(object), owned_(owned) {}
  GdiObject(GdiObject&& other) noexcept { *this = std::move(other); }
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) {
      Reset();
      object_ = other.object_;
      owned_ = other.owned_;
      other.object_ = nullptr;
    }
    return *this;
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  ~GdiObject() { Reset(); }

  void Reset() {
    if (object_ && owned_) DeleteObject(object_);
    object_ = nullptr;
  }
  HFONT font() const { return static_cast<HFONT>(object_); }
  HBRUSH brush() const { return static_cast<HBRUSH>(object_); }
  HBITMAP bitmap() const { return static_cast<HBITMAP>(object_); }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  HGDIOBJ object_ = nullptr;
  bool owned_ = false;
};

// A font from a stored 60-byte logical-font record (GBK face name); any other length gives
// the default GUI font. forceDefaults sets the character set to the program's default (GB2312,
// the set of its texts) and the output precision to the default (the transparent label's rule).
GdiObject FontFromRecord(std::span<const uint8_t> record, bool forceDefaults = false);
GdiObject SolidBrush(COLORREF colour);
// A device-independent bitmap from the bytes of a BMP file; null for anything malformed.
GdiObject BitmapFromFile(std::span<const uint8_t> file);

// Draws text with one of the label effects: 0 none; 1 a white copy one pixel right and down
// beneath; 2 a white copy in place and the text one pixel right and down (engraved); 3 a black
// copy two pixels right and down (shadow). The background mode must already be transparent.
void DrawEffectText(HDC dc, std::wstring_view text, RECT rect, UINT format, int32_t effect,
                    COLORREF colour);

std::string WindowTextGbk(HWND window);
void SetWindowTextGbk(HWND window, std::string_view gbk);

// Property values as the property services carry them.
PropertyValue IntValue(int32_t v);
PropertyValue TextValue(std::string_view gbk);           // a new runtime heap text
PropertyValue BytesValue(std::span<const uint8_t> bytes);  // a new runtime heap byte set
PropertyValue DoubleValue(double v);
int32_t ValueInt(PropertyValue v);
std::string ValueText(PropertyValue v);
std::vector<uint8_t> ValueBytes(PropertyValue v);
double ValueDouble(PropertyValue v);

// Registers a window class of the runtime once per process.
void RegisterRuntimeClass(const wchar_t* name, WNDPROC procedure, UINT style);

// Notifications (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR...) go to a control's parent. A unit that
// needs them derives from this and attaches its control: the parent's messages that concern the
// control reach OnParentMessage first; returning a value consumes the message. When the control
// is moved to another parent (the loader places controls inside their parent units) the watch
// moves with it.
class ParentNotifications {
 public:
  ParentNotifications() = default;
  ParentNotifications(const ParentNotifications&) = delete;
  ParentNotifications& operator=(const ParentNotifications&) = delete;

 protected:
  ~ParentNotifications() { Detach(); }
  void Attach(HWND control);
  void Detach();
  virtual std::optional<LRESULT> OnParentMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

 private:
  void WatchParent();
  void UnwatchParent();
  static LRESULT CALLBACK Procedure(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  static LRESULT CALLBACK ControlProcedure(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  HWND parent_ = nullptr;
  HWND control_ = nullptr;
};

// Destroys a unit's native window before the unit's members (fonts, brushes) are released.
void DestroyNativeWindow(HWND& window);

// The painting of a runtime-drawn unit (labels): no background of its own, everything drawn by
// paint(dc), also when printed into another DC. True when the message was one of those.
template <typename PaintFn>
bool HandleDrawnPaint(HWND window, UINT message, WPARAM wParam, LRESULT& result, PaintFn paint) {
  switch (message) {
    case WM_ERASEBKGND:
      result = 1;
      return true;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      paint(dc);
      EndPaint(window, &ps);
      result = 0;
      return true;
    }
    case WM_PRINTCLIENT:
      paint(reinterpret_cast<HDC>(wParam));
      result = 0;
      return true;
    default:
      return false;
  }
}

}  // namespace tl
