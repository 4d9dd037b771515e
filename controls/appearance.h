// How the units look: GDI objects they own, fonts from stored logical-font records, stored
// colours, border styles, pictures from BMP files and the label text effects. Windows only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string_view>
#include <utility>

#include "runtime/background.h"

namespace tl {

// The texts are GBK whatever the system's language, so fonts that do not name their own
// character set use GB2312; the system's default set would show Chinese as boxes under a
// Western locale.
inline constexpr BYTE kTextCharSet = GB2312_CHARSET;

// Owns one GDI object; a stock object (not owned) may be held without being deleted.
class GdiObject {
 public:
  GdiObject() = default;
  GdiObject(HGDIOBJ object, bool owned) : object_(object), owned_(owned) {}
  GdiObject(GdiObject&& other) noexcept { *this = std::move(other); }
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) {
      Reset();
      object_ = std::exchange(other.object_, nullptr);
      owned_ = other.owned_;
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

// A font from a stored 60-byte logical-font record (five int32 metrics, eight bytes italic ..
// pitch and family, 32 bytes of GBK face name); any other record, or one the platform refuses,
// gives the default GUI font in the program's character set. The record's height and width are
// pixels at 96 DPI and the default font's are the system's: both are shown at `dpi`.
// forceDefaults replaces the record's character set and output precision by the program's
// defaults.
GdiObject FontFromRecord(std::span<const uint8_t> record, int32_t dpi, bool forceDefaults = false);
GdiObject SolidBrush(COLORREF colour);
// A device-independent bitmap from the bytes of a BMP file; null for anything malformed.
GdiObject BitmapFromFile(std::span<const uint8_t> file);


// The border property of the list view and the slider bar: 0 none, 1 sunken, 2 raised,
// 3 thin sunken, 4 sunken and raised, 5 single line.
struct BorderStyles {
  DWORD style;
  DWORD exStyle;
};
BorderStyles BorderFor(int32_t border);
// Replaces the border styles of a live control and lets its frame be recomputed.
void ApplyBorder(HWND hwnd, int32_t border);

// Draws text with one of the label effects: 0 none; 1 a white copy one pixel right and down
// beneath; 2 a white copy in place and the text one pixel right and down (engraved); 3 a black
// copy two pixels right and down (shadow). The background mode must already be transparent.
void DrawEffectText(HDC dc, std::wstring_view text, RECT rect, UINT format, int32_t effect,
                    COLORREF colour);

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
