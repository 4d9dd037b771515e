#include "controls/common_controls_b.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "controls/fonts.h"
#include "runtime/gbk.h"
#include "runtime/value.h"

namespace tl {

namespace {

// The default GUI font's metrics in the program's character set, or the stock font itself.
GdiObject DefaultFont() {
  HFONT created = CreateDefaultTextFont();
  return created ? GdiObject(created, true) : GdiObject(GetStockObject(DEFAULT_GUI_FONT), false);
}

}  // namespace

GdiObject FontFromRecord(std::span<const uint8_t> record, bool forceDefaults) {
  HFONT created = CreateFontFromRecord(record, forceDefaults);
  return created ? GdiObject(created, true) : DefaultFont();
}

GdiObject SolidBrush(COLORREF colour) { return GdiObject(CreateSolidBrush(colour), true); }

GdiObject BitmapFromFile(std::span<const uint8_t> file) {
  BITMAPFILEHEADER header;
  BITMAPINFOHEADER info;
  if (file.size() < sizeof header + sizeof info) return {};
  std::memcpy(&header, file.data(), sizeof header);
  std::memcpy(&info, file.data() + sizeof header, sizeof info);
  if (header.bfType != 0x4D42 || info.biSize < sizeof info || info.biSize > file.size() - sizeof header)
    return {};
  if (info.biWidth <= 0 || info.biWidth > 8192 || info.biHeight == 0 || info.biHeight < -8192 ||
      info.biHeight > 8192 || info.biPlanes != 1 || info.biCompression != BI_RGB)
    return {};
  const uint32_t bits = info.biBitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return {};
  // GDI reads as many colour entries as biClrUsed names (at most 256), whatever the depth, and
  // 2^bits when it names none; every one of them must lie inside the file.
  const uint32_t colours = info.biClrUsed ? std::min<uint32_t>(info.biClrUsed, 256) : (bits <= 8 ? 1u << bits : 0);
  const uint64_t tableEnd = sizeof header + uint64_t{info.biSize} + colours * sizeof(RGBQUAD);
  const uint64_t stride = ((uint64_t{static_cast<uint32_t>(info.biWidth)} * bits + 31) / 32) * 4;
  const uint64_t rows = info.biHeight < 0 ? -int64_t{info.biHeight} : info.biHeight;
  if (header.bfOffBits < tableEnd || header.bfOffBits > file.size() ||
      stride * rows > file.size() - header.bfOffBits)
    return {};
  const auto* bitmapInfo = reinterpret_cast<const BITMAPINFO*>(file.data() + sizeof header);
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateDIBitmap(screen, &info, CBM_INIT, file.data() + header.bfOffBits,
                                  bitmapInfo, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return bitmap ? GdiObject(bitmap, true) : GdiObject();
}

void DrawEffectText(HDC dc, std::wstring_view text, RECT rect, UINT format, int32_t effect,
                    COLORREF colour) {
  const int length = static_cast<int>(text.size());
  auto drawAt = [&](int dx, int dy, COLORREF c) {
    RECT r = rect;
    OffsetRect(&r, dx, dy);
    SetTextColor(dc, c);
    DrawTextW(dc, text.data(), length, &r, format);
  };
  switch (effect) {
    case 1:
      drawAt(1, 1, RGB(255, 255, 255));
      drawAt(0, 0, colour);
      break;
    case 2:
      drawAt(0, 0, RGB(255, 255, 255));
      drawAt(1, 1, colour);
      break;
    case 3:
      drawAt(2, 2, RGB(0, 0, 0));
      drawAt(0, 0, colour);
      break;
    default:
      drawAt(0, 0, colour);
  }
}

std::string WindowTextGbk(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(GetWindowTextW(window, text.data(), length + 1));
  return Narrow(text);
}

void SetWindowTextGbk(HWND window, std::string_view gbk) { SetWindowTextW(window, Widen(gbk).c_str()); }

PropertyValue IntValue(int32_t v) { return {static_cast<uint32_t>(v), 0}; }
PropertyValue TextValue(std::string_view gbk) { return {reinterpret_cast<uint32_t>(NewText(gbk)), 0}; }
PropertyValue BytesValue(std::span<const uint8_t> bytes) {
  return {reinterpret_cast<uint32_t>(NewByteSet(bytes)), 0};
}
PropertyValue DoubleValue(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return {static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32)};
}
int32_t ValueInt(PropertyValue v) { return static_cast<int32_t>(v.low); }
std::string ValueText(PropertyValue v) {
  return std::string(TextView(reinterpret_cast<const char*>(v.low)));
}
std::vector<uint8_t> ValueBytes(PropertyValue v) {
  const std::span<const uint8_t> bytes = ByteSetView(reinterpret_cast<const void*>(v.low));
  return {bytes.begin(), bytes.end()};
}
double ValueDouble(PropertyValue v) {
  const uint64_t bits = (uint64_t{v.high} << 32) | v.low;
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

void RegisterRuntimeClass(const wchar_t* name, WNDPROC procedure, UINT style) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  if (GetClassInfoExW(instance, name, &existing)) return;
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.style = style;
  cls.lpfnWndProc = procedure;
  cls.hInstance = instance;
  cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  cls.lpszClassName = name;
  RegisterClassExW(&cls);
}

void ParentNotifications::Attach(HWND control) {
  Detach();
  if (!control) return;
  control_ = control;
  SetWindowSubclass(control, &ControlProcedure, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this));
  WatchParent();
}

void ParentNotifications::Detach() {
  UnwatchParent();
  if (control_ && IsWindow(control_))
    RemoveWindowSubclass(control_, &ControlProcedure, reinterpret_cast<UINT_PTR>(this));
  control_ = nullptr;
}

void ParentNotifications::WatchParent() {
  HWND parent = GetParent(control_);
  if (parent == parent_) return;
  UnwatchParent();
  if (parent && SetWindowSubclass(parent, &Procedure, reinterpret_cast<UINT_PTR>(this),
                                  reinterpret_cast<DWORD_PTR>(this))) {
    parent_ = parent;
  }
}

void ParentNotifications::UnwatchParent() {
  if (parent_ && IsWindow(parent_)) RemoveWindowSubclass(parent_, &Procedure, reinterpret_cast<UINT_PTR>(this));
  parent_ = nullptr;
}

LRESULT CALLBACK ParentNotifications::ControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                       UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<ParentNotifications*>(data);
  if (message == WM_WINDOWPOSCHANGED) self->WatchParent();
  if (message == WM_NCDESTROY) {
    self->UnwatchParent();
    self->control_ = nullptr;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK ParentNotifications::Procedure(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<ParentNotifications*>(data);
  bool concernsControl = false;
  switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      concernsControl = reinterpret_cast<HWND>(lParam) == self->control_;
      break;
    case WM_NOTIFY:
      concernsControl = lParam && reinterpret_cast<const NMHDR*>(lParam)->hwndFrom == self->control_;
      break;
    case WM_NCDESTROY:
      // The subclass goes with the parent; the unit must not remove it again later.
      self->parent_ = nullptr;
      break;
    default:
      break;
  }
  if (concernsControl) {
    if (std::optional<LRESULT> result = self->OnParentMessage(message, wParam, lParam)) return *result;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

void DestroyNativeWindow(HWND& window) {
  if (window && IsWindow(window)) DestroyWindow(window);
  window = nullptr;
}

}  // namespace tl
